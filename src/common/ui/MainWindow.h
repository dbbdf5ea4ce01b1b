#pragma once

#include "common/core/SharedState.h"
#include "store/tables/Store.h"

#include <QString>
#include <QStringList>
#include <optional>

class QDate;
class QWidget;

namespace tv {

// A list as a page shows it, for a print or an export.
struct ShownList {
    QString heading;
    QStringList lines;
};

// The main window as the controllers of the subsystems see it. Each
// subsystem's controllers hold that subsystem's widgets and nobody else's:
// what one subsystem needs of another goes through here, said as what it
// wants done, and the window hands it to the controller that owns the
// widgets. Only the program's composition root (app) implements it.
class MainWindow {
public:
    virtual ~MainWindow() = default;

    // The window and what every handler shares.
    virtual QWidget *widget() = 0; // the parent of every dialog
    virtual SharedState &state() = 0;
    virtual QString programFolder() const = 0;
    virtual QString settingsFolder() const = 0; // CheminBase.cfg, Vs.ini
    virtual bool hasStore() const = 0;
    virtual Store &store() = 0; // throws StoreError when the database is not open
    virtual void openStore(const QString &databasePath) = 0;
    virtual void closeStore() = 0;
    // Rewrites Vs.ini from the four values in memory. Throws StoreError.
    virtual void saveWorkstationSettings() = 0;
    // A copy of the database before a command that removes or replaces
    // data (`command` names it in French, e.g. "la purge"); also the one of
    // `otherFolder` when it holds one. False, the reason shown, when the
    // copy could not be made: the command must then stop.
    virtual bool backupBefore(const QString &command, const QString &otherFolder = QString()) = 0;

    // The selection: trimmed names, "" when nothing is selected.
    virtual bool hasDoctor() const = 0;
    virtual QString currentDoctor() const = 0;
    virtual QString doctorEntry() const = 0; // as listed: the doctor's file names use it
    virtual bool hasLabo() const = 0;
    virtual QString currentLabo() const = 0;

    // Routines several subsystems run, in the refresh order
    // Liste_RV_Labo_Medecin, Remplir_Agenda, Liste_RV_Medecin.
    virtual void Remplir_Agenda() = 0;
    virtual void CboAn_Click() = 0;
    virtual void Liste_RV_Medecin() = 0;
    virtual void Liste_RV_Labo_Medecin() = 0;
    virtual void Charger_Produits_Visite() = 0;
    // After the store was opened anew: every list is read again whole.
    virtual void reloadAllViews() = 0;
    // What an action will read on the pages of other subsystems, asked
    // ahead inside the action's ReadAhead so that a server gets it in the
    // same round trip: selecting the current doctor, and the visit's
    // products of a laboratory.
    virtual void askDoctorSelection() = 0;
    virtual void askVisitProducts(const QString &labo) = 0;

    // The pages.
    virtual int currentTab() const = 0; // 1-based, as the tab strip numbers them
    virtual void showTab(int number) = 0;
    // Adds or removes the "Produits présentés" page; the page shown stays
    // unless it was the one removed.
    virtual void showProductsTab(bool shown) = 0;
    virtual void focusCmdFoc() = 0;

    // The agenda, for the other subsystems.
    // The day chosen for a booking is forgotten (the selection changed).
    virtual void forgetBookingDay() = 0;
    // Today's appointment of the laboratory is highlighted, none when it
    // has none; no handler runs.
    virtual void highlightTodayVisit(const QString &labo) = 0;
    // The agenda names the selected doctor, or shows none.
    virtual void agendaFollowsDoctor() = 0;
    // The newly selected doctor's month: today's month in the grid, or the
    // month list again when it is shown. Throws StoreError.
    virtual void showDoctorMonth() = 0;
    // The appointments of year `an` were purged. Throws StoreError.
    virtual void yearPurged(const QString &an) = 0;
    // What yearPurged will read, asked ahead (ReadAhead).
    virtual void askAfterPurge(const QString &an) = 0;
    virtual QString displayedYear() const = 0; // the year box's text
    // The month list, when it is shown instead of the grid.
    virtual std::optional<ShownList> shownMonthList() = 0;

    // The laboratories, for the other subsystems.
    // The selected laboratory may not visit the selected doctor: its quota,
    // as the laboratory page shows it, is 0.
    virtual bool laboratoryRefused() const = 0;
    // The laboratory page, the focus on its quota button.
    virtual void showQuotaButton() = 0;
    // Selects the laboratory in the list as a click would (its handler
    // runs once). False when the list does not hold it.
    virtual bool selectLaboratory(const QString &labo) = 0;

    // The products, for the other subsystems. The laboratory combos hold
    // the laboratory list's entries in its order: one row, one laboratory.
    virtual void productsFollowDoctor(const QString &doctor) = 0;
    // The laboratory list was read again from the table: the combos hold
    // these entries now, what they showed kept when `keepChoices` and it is
    // still there.
    virtual void laboratoriesListed(const QStringList &labos, const QStringList &delegates, bool keepChoices) = 0;
    virtual void productsFollowLaboratory(int row) = 0; // the visit's laboratory
    virtual void historyFollowsLaboratory(int row) = 0; // when the history is tied to the list
    virtual void laboratoryInserted(int row, const QString &entry, const QString &delegateEntry) = 0;
    virtual void laboratoryMoved(int row, int to, const QString &entry) = 0; // renamed
    virtual void laboratoryRemoved(int row) = 0;
    virtual void delegateRenamed(const QString &from, const QString &to) = 0;
    // The visit entry shows that laboratory's visit of that day.
    virtual void showVisitEntry(const QString &labo, const QDate &day) = 0;
    // The history as filtered; the heading names the filter.
    virtual ShownList shownHistory() = 0;
};

} // namespace tv
