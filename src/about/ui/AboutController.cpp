#include "about/ui/AboutController.h"

#include "app/ui/FrmLabo.h"

namespace tv {

AboutController::AboutController(FrmLabo &frm)
    : m_frm(frm)
{
}

void AboutController::connectSignals() {}
void AboutController::mnuAP_Click() {}
void AboutController::mnuSite_Click() {}
void AboutController::mnuEcrire_Click() {}

} // namespace tv
