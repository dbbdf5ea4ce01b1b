#include "agenda/ui/BookingController.h"

#include "app/ui/FrmLabo.h"

namespace tv {

BookingController::BookingController(FrmLabo &frm)
    : m_frm(frm)
{
}

void BookingController::connectSignals() {}
void BookingController::Liste_RV_Labo_Medecin() {}
void BookingController::Liste_RV_Medecin() {}
void BookingController::mnuVoirRV_Click() {}
void BookingController::CmdListeQuitte_Click() {}
void BookingController::mnusupRV_Click() {}

} // namespace tv
