#include "agenda/ui/AgendaController.h"

#include "app/ui/FrmLabo.h"

namespace tv {

AgendaController::AgendaController(FrmLabo &frm)
    : m_frm(frm)
{
}

void AgendaController::connectSignals() {}
void AgendaController::initialiseGrid(double, double) {}
void AgendaController::Remplir_Agenda() {}
void AgendaController::Choisir_Mois(int mois) { m_frm.state().MoisActif = static_cast<std::int16_t>(mois); }
void AgendaController::CboAn_Click() { m_frm.state().MoisActif = SharedState::NoMonth; }
void AgendaController::EtMois_Click(int index) { Choisir_Mois(index); }
void AgendaController::FG_Click(int) {}
void AgendaController::mnuMax_Click() {}
void AgendaController::mnuHeure_Click() {}
void AgendaController::mnuSansRV_Click() {}

} // namespace tv
