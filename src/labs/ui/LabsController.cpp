#include "labs/ui/LabsController.h"

#include "app/ui/FrmLabo.h"
#include "app/ui/Widgets.h"

#include <QLabel>

namespace tv {

LabsController::LabsController(FrmLabo &frm)
    : m_frm(frm)
{
}

void LabsController::connectSignals() {}
void LabsController::LstLabo_Click() {}

void LabsController::loadQuota()
{
    QLabel *label = m_frm.view().labo.LblPass;
    if (!m_frm.hasDoctor() || !m_frm.hasLabo())
        return;
    const auto quota = m_frm.store().passages().quota(m_frm.currentLabo(), m_frm.currentDoctor());
    const QString text = quota.value_or(QString());
    label->setText(text.isEmpty() ? QStringLiteral("0") : text);
}

void LabsController::savePanel() {}
void LabsController::addLaboratory() {}
void LabsController::openSite() {}
void LabsController::writeMail() {}

} // namespace tv
