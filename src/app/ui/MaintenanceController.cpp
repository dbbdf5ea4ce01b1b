#include "app/ui/MaintenanceController.h"

#include "app/ui/Dialogs.h"
#include "app/ui/FrmLabo.h"

namespace tv {

MaintenanceController::MaintenanceController(FrmLabo &frm)
    : m_frm(frm)
{
}

void MaintenanceController::connectSignals() {}

bool MaintenanceController::upgradeDatabase()
{
    dialogs::critical(&m_frm, QStringLiteral("La mise à jour de la base de données n'est pas disponible dans cette version.\n"
                                             "Votre base de données n'a pas été modifiée."));
    return true;
}

void MaintenanceController::mnuCheminBDD_Click() {}
void MaintenanceController::mnuDeplaceBDD_Click() {}
void MaintenanceController::mnuPurger_Click() {}
void MaintenanceController::mnuRepare_Click() {}

} // namespace tv
