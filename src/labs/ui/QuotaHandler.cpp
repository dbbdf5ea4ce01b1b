#include "labs/ui/QuotaHandler.h"

#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "labs/core/LabRules.h"

#include <QLabel>

namespace tv {

QuotaHandler::QuotaHandler(FrmLabo &frm)
    : m_frm(frm)
{
}

void QuotaHandler::loadQuota()
{
    QLabel *label = m_frm.view().labo.LblPass;
    if (!m_frm.hasDoctor() || !m_frm.hasLabo())
        return;
    const auto quota = m_frm.store().passages().quota(m_frm.currentLabo(), m_frm.currentDoctor()).get();
    const QString text = quota.value_or(QString());
    label->setText(text.isEmpty() ? QStringLiteral("0") : text);
}

void QuotaHandler::CmdPassage_Click()
{
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    if (!m_frm.hasDoctor() || !m_frm.hasLabo()) {
        dialogs::information(&m_frm, QStringLiteral("Un médecin et un laboratoire doivent être renseignés !"));
        return;
    }

    // The booking rules compare the quota with a count of appointments: only
    // a whole number is stored, so the question is asked again until the
    // answer is one.
    QString proposed = v.labo.LblPass->text();
    std::optional<int> quota;
    for (;;) {
        const auto answer = dialogs::input(&m_frm, QStringLiteral("Nombre de passages annuels autorisés ?"),
                                           v.LstLabo->text(), proposed);
        s.Reponse = answer.value_or(QString());
        quota = labrules::parseQuota(s.Reponse);
        if (quota)
            break;
        dialogs::critical(&m_frm, QStringLiteral("Le nombre de passages doit être un nombre entier, 0 ou plus "
                                                 "(0 refuse le laboratoire pour ce médecin)."));
        proposed = s.Reponse;
    }

    v.labo.LblPass->setText(QString::number(*quota));
    guarded(&m_frm, [&] {
        m_frm.store().passages().setQuota(m_frm.currentLabo(), m_frm.currentDoctor(), *quota);
        loadQuota();
    });
}

} // namespace tv
