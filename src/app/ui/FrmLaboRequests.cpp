// What the controllers ask of the main window through MainWindow: the
// selection, the shared routines, and each request of one subsystem to
// another handed to the controller that owns the widgets concerned.
#include "agenda/ui/AgendaController.h"
#include "agenda/ui/BookingController.h"
#include "agenda/ui/MonthListPanel.h"
#include "app/ui/FrmLabo.h"
#include "app/ui/LiveView.h"
#include "backups/ui/BackupsController.h"
#include "common/ui/Widgets.h"
#include "labs/ui/LabsController.h"
#include "products/ui/HistoryView.h"
#include "products/ui/ProductsController.h"
#include "products/ui/VisitEntry.h"

namespace tv {

bool FrmLabo::backupBefore(const QString &command, const QString &otherFolder)
{
    return m_backups->before(command, otherFolder);
}

bool FrmLabo::hasDoctor() const
{
    return m_view.labo.LstMed->currentRow() >= 0;
}

QString FrmLabo::currentDoctor() const
{
    return hasDoctor() ? m_view.labo.LstMed->text().trimmed() : QString();
}

QString FrmLabo::doctorEntry() const
{
    return m_view.labo.LstMed->text();
}

bool FrmLabo::hasLabo() const
{
    return m_view.labo.LstLabo->currentRow() >= 0;
}

QString FrmLabo::currentLabo() const
{
    return hasLabo() ? m_view.labo.LstLabo->text().trimmed() : QString();
}

void FrmLabo::Remplir_Agenda()
{
    m_agenda->Remplir_Agenda();
}

void FrmLabo::Choisir_Mois(int mois)
{
    m_agenda->Choisir_Mois(mois);
}

void FrmLabo::CboAn_Click()
{
    m_agenda->CboAn_Click();
}

void FrmLabo::Liste_RV_Medecin()
{
    m_booking->Liste_RV_Medecin();
}

void FrmLabo::Liste_RV_Labo_Medecin()
{
    m_booking->Liste_RV_Labo_Medecin();
}

void FrmLabo::Remplir_Historique()
{
    m_products->Remplir_Historique();
}

void FrmLabo::Charger_Produits_Visite()
{
    m_products->Charger_Produits_Visite();
}

void FrmLabo::askDoctorSelection()
{
    m_products->history().askHistory();
    m_products->visit().askVisit();
    if (hasLabo())
        store().passages().quota(currentLabo(), currentDoctor());
    m_agenda->askDoctorMonth();
    m_booking->askDoctorLists();
}

void FrmLabo::askVisitProducts(const QString &labo)
{
    m_products->visit().askVisit(labo);
}

void FrmLabo::forgetBookingDay()
{
    m_booking->forgetBookingDay();
}

void FrmLabo::highlightTodayVisit(const QString &labo)
{
    m_booking->highlightTodayVisit(labo);
}

void FrmLabo::agendaFollowsDoctor()
{
    m_live->followFiles();
    m_agenda->followDoctor();
}

void FrmLabo::showDoctorMonth()
{
    m_agenda->showDoctorMonth();
}

void FrmLabo::yearPurged(const QString &an)
{
    m_booking->yearPurged(an);
}

void FrmLabo::askAfterPurge(const QString &an)
{
    m_booking->askAfterPurge(an);
    if (hasDoctor() && an == displayedYear())
        m_agenda->askDoctorMonth();
}

QString FrmLabo::displayedYear() const
{
    return m_agenda->displayedYear();
}

std::optional<ShownList> FrmLabo::shownMonthList()
{
    return m_agenda->monthList().shown();
}

bool FrmLabo::laboratoryRefused() const
{
    return m_labs->laboratoryRefused();
}

void FrmLabo::showQuotaButton()
{
    m_labs->showQuotaButton();
}

bool FrmLabo::selectLaboratory(const QString &labo)
{
    return m_labs->selectLaboratory(labo);
}

void FrmLabo::productsFollowDoctor(const QString &doctor)
{
    m_products->followDoctor(doctor);
}

void FrmLabo::laboratoriesListed(const QStringList &labos, const QStringList &delegates, bool keepChoices)
{
    m_products->laboratoriesListed(labos, delegates, keepChoices);
}

void FrmLabo::productsFollowLaboratory(int row)
{
    m_products->followLaboratory(row);
}

void FrmLabo::historyFollowsLaboratory(int row)
{
    m_products->historyFollowsLaboratory(row);
}

void FrmLabo::laboratoryInserted(int row, const QString &entry, const QString &delegateEntry)
{
    m_products->laboratoryInserted(row, entry, delegateEntry);
}

void FrmLabo::laboratoryMoved(int row, int to, const QString &entry)
{
    m_products->laboratoryMoved(row, to, entry);
}

void FrmLabo::laboratoryRemoved(int row)
{
    m_products->laboratoryRemoved(row);
}

void FrmLabo::delegateRenamed(const QString &from, const QString &to)
{
    m_products->delegateRenamed(from, to);
}

void FrmLabo::showVisitEntry(const QString &labo, const QDate &day)
{
    m_products->showVisitEntry(labo, day);
}

ShownList FrmLabo::shownHistory()
{
    return m_products->shownHistory();
}

} // namespace tv
