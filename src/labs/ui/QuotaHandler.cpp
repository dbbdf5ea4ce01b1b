#include "labs/ui/QuotaHandler.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "labs/core/LabRules.h"
#include "labs/ui/LaboPage.h"

#include <QLabel>

namespace tv {

QuotaHandler::QuotaHandler(MainWindow &main, LaboWidgets &w)
    : m_main(main)
    , m_w(w)
{
}

void QuotaHandler::loadQuota()
{
    QLabel *label = m_w.LblPass;
    if (!m_main.hasDoctor() || !m_main.hasLabo())
        return;
    const auto quota = m_main.store().passages().quota(m_main.currentLabo(), m_main.currentDoctor()).get();
    const QString text = quota.value_or(QString());
    label->setText(text.isEmpty() ? QStringLiteral("0") : text);
}

void QuotaHandler::CmdPassage_Click()
{
    if (!m_main.hasDoctor() || !m_main.hasLabo()) {
        dialogs::information(m_main.widget(), QStringLiteral("Un médecin et un laboratoire doivent être renseignés !"));
        return;
    }

    // The booking rules compare the quota with a count of appointments: only
    // a whole number is stored, so the question is asked again until the
    // answer is one.
    QString proposed = m_w.LblPass->text();
    std::optional<int> quota;
    for (;;) {
        const QString answer = dialogs::input(m_main.widget(), QStringLiteral("Nombre de passages annuels autorisés ?"),
                                              m_w.LstLabo->text(), proposed)
                                   .value_or(QString());
        quota = labrules::parseQuota(answer);
        if (quota)
            break;
        dialogs::critical(m_main.widget(), QStringLiteral("Le nombre de passages doit être un nombre entier, 0 ou plus "
                                                          "(0 refuse le laboratoire pour ce médecin)."));
        proposed = answer;
    }

    m_w.LblPass->setText(QString::number(*quota));
    guarded(m_main.widget(), [&] {
        m_main.store().passages().setQuota(m_main.currentLabo(), m_main.currentDoctor(), *quota);
        loadQuota();
    });
}

} // namespace tv
