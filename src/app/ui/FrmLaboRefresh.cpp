// The parts of the main window read again after another workstation's
// changes, each by the controller that owns its widgets.
#include "agenda/core/AppointmentLists.h"
#include "agenda/ui/AgendaController.h"
#include "agenda/ui/BookingController.h"
#include "agenda/ui/MonthListPanel.h"
#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/ui/Guard.h"
#include "labs/ui/DoctorsController.h"
#include "labs/ui/LabsController.h"
#include "products/ui/ProductsController.h"
#include "store/engine/Database.h"

namespace tv {

live::Shown FrmLabo::shownNow() const
{
    live::Shown shown;
    shown.doctor = currentDoctor();
    shown.labo = currentLabo();
    const int month = m_ctx.state.MoisActif;
    if (month >= 0 && month <= 11) {
        shown.year = m_agenda->displayedYear();
        shown.month = rvlists::twoDigitMonth(month);
    }
    shown.today = Clock::today();
    return shown;
}

live::Parts FrmLabo::onScreen(const live::Parts &parts) const
{
    live::Parts shown;
    shown.laboratories = parts.laboratories; // the list beside the pages, the panel and the combos
    shown.doctors = parts.doctors;
    shown.day = parts.day;
    switch (currentTab()) {
    case 1:
        shown.grid = parts.grid;
        shown.today = parts.today;
        shown.history = parts.history;
        break;
    case 2:
        shown.quota = parts.quota;
        shown.pair = parts.pair;
        break;
    default:
        shown.products = parts.products;
        shown.medicines = parts.medicines;
        break;
    }
    return shown;
}

// The reads of the parts whose reads are known before they are made (the
// products' history reads its own after, from what it shows).
void FrmLabo::askParts(const live::Parts &parts)
{
    if (parts.laboratories)
        store().labos().all();
    if (!hasDoctor())
        return;
    if ((parts.quota || parts.pair) && hasLabo()) {
        store().passages().quota(currentLabo(), currentDoctor());
        store().visites().forLaboMedecin(currentLabo(), currentDoctor());
    }
    if (parts.grid)
        m_agenda->askDoctorMonth();
    if (parts.today)
        m_booking->askToday();
    if (parts.history)
        m_booking->askHistory();
}

void FrmLabo::refreshParts(const live::Parts &parts)
{
    // In the order the window's own routines refresh; a failure is said
    // once and leaves the rest as it was.
    guarded(this, [&] {
        // What they read, asked for together: one round trip to a server.
        const ReadAhead ahead(store().db(), [&] { askParts(parts); });
        if (parts.day)
            m_agenda->followToday(Clock::today());
        if (parts.doctors)
            m_doctors->followFile();
        if (parts.laboratories)
            m_labs->followStore();
        if (parts.quota && hasDoctor() && hasLabo())
            m_labs->loadQuota();
        if (parts.pair)
            Liste_RV_Labo_Medecin();
        if (parts.grid) {
            Remplir_Agenda();
            m_agenda->monthList().reload();
        }
        if (parts.today)
            m_booking->refreshToday();
        if (parts.history)
            m_booking->refreshHistory();
        if (parts.products)
            m_products->refreshHistory();
        if (parts.medicines)
            m_products->followMedicines();
    });
}

} // namespace tv
