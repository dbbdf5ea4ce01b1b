#pragma once

#include "app/ui/MainView.h"
#include "common/core/AppContext.h"
#include "common/core/LiveChanges.h"
#include "common/ui/MainWindow.h"

#include <QWidget>
#include <memory>

namespace tv {

class AboutController;
class LiveView;
class AgendaController;
class BackupsController;
class BookingController;
class DoctorsController;
class LabsController;
class MaintenanceController;
class OnlineController;
class OutputsController;
class ProductsController;
class ServerController;

// The main window. It builds the widgets, owns the shared state and the
// database, and one controller per subsystem; it hands each event, and
// each request of one subsystem to another, to the controller that owns
// the widgets concerned.
class FrmLabo : public QWidget, public MainWindow {
    Q_OBJECT
public:
    explicit FrmLabo(const QString &programFolder, QWidget *parent = nullptr);
    ~FrmLabo() override;

    // The link to the practice's server, when its data are there, made
    // while the window is built (called before the constructor): start-up
    // then waits for it less, or not at all.
    static void connectEarly(const QString &programFolder);
    // The start-up sequence. False when it could not go on; the reason has
    // been shown and the program should end with a non-zero code.
    bool startUp();

    MainView &view() { return m_view; }
    AppContext &context() { return m_ctx; }

    AgendaController &agenda() { return *m_agenda; }
    BookingController &booking() { return *m_booking; }
    LabsController &labs() { return *m_labs; }
    DoctorsController &doctors() { return *m_doctors; }
    ProductsController &products() { return *m_products; }
    MaintenanceController &maintenance() { return *m_maintenance; }
    AboutController &about() { return *m_about; }
    BackupsController &backups() { return *m_backups; }
    OutputsController &outputs() { return *m_outputs; }
    LiveView &live() { return *m_live; }

    void Choisir_Mois(int mois);
    void Remplir_Historique();
    void menu_Click(int index);
    int tabCount() const;
    // Refills LstLabo, CboLs, CboLh, CboDh and CboDs from the Labo table.
    void reloadLaboratoryLists();
    // What a change made elsewhere may touch, and the parts it touched read
    // again, the selections, the scroll positions and what is being typed
    // kept.
    live::Shown shownNow() const;
    // Of these parts, those on screen: the lists beside the pages and the
    // page shown. The others wait until their page is shown.
    live::Parts onScreen(const live::Parts &parts) const;
    void refreshParts(const live::Parts &parts);

    // MainWindow
    QWidget *widget() override { return this; }
    SharedState &state() override { return m_ctx.state; }
    QString programFolder() const override { return m_ctx.programFolder; }
    QString settingsFolder() const override { return m_ctx.settingsFolder; }
    bool hasStore() const override { return m_ctx.store != nullptr; }
    Store &store() override;
    void openStore(const QString &databasePath) override;
    void closeStore() override;
    void saveWorkstationSettings() override;
    bool backupBefore(const QString &command, const QString &otherFolder = QString()) override;

    bool hasDoctor() const override;
    QString currentDoctor() const override;
    QString doctorEntry() const override;
    bool hasLabo() const override;
    QString currentLabo() const override;

    void Remplir_Agenda() override;
    void CboAn_Click() override;
    void Liste_RV_Medecin() override;
    void Liste_RV_Labo_Medecin() override;
    void Charger_Produits_Visite() override;
    void reloadAllViews() override;
    void askDoctorSelection() override;
    void askVisitProducts(const QString &labo) override;

    int currentTab() const override;
    void showTab(int number) override;
    void showProductsTab(bool shown) override;
    void focusCmdFoc() override;

    void forgetBookingDay() override;
    void highlightTodayVisit(const QString &labo) override;
    void agendaFollowsDoctor() override;
    void showDoctorMonth() override;
    void yearPurged(const QString &an) override;
    void askAfterPurge(const QString &an) override;
    QString displayedYear() const override;
    std::optional<ShownList> shownMonthList() override;

    bool laboratoryRefused() const override;
    void showQuotaButton() override;
    bool selectLaboratory(const QString &labo) override;

    void productsFollowDoctor(const QString &doctor) override;
    void laboratoriesListed(const QStringList &labos, const QStringList &delegates, bool keepChoices) override;
    void productsFollowLaboratory(int row) override;
    void historyFollowsLaboratory(int row) override;
    void laboratoryInserted(int row, const QString &entry, const QString &delegateEntry) override;
    void laboratoryMoved(int row, int to, const QString &entry) override;
    void laboratoryRemoved(int row) override;
    void delegateRenamed(const QString &from, const QString &to) override;
    void showVisitEntry(const QString &labo, const QDate &day) override;
    ShownList shownHistory() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The steps of startUp, in their order.
    void resetSession(const QDate &today);
    void layOutWindow(const QDate &today);
    void locateData();
    bool prepareDatabase();
    void openData();
    void askStartUpReads();
    void askParts(const live::Parts &parts);
    void readWorkstationSettings();
    void applyWorkstationSettings();

    void buildWidgets();
    QWidget *buildSidePanel();
    void connectSignals();
    void connectMenus();
    void TS_Click(int index);

    AppContext m_ctx;
    MainView m_view;
    std::unique_ptr<AgendaController> m_agenda;
    std::unique_ptr<BookingController> m_booking;
    std::unique_ptr<LabsController> m_labs;
    std::unique_ptr<DoctorsController> m_doctors;
    std::unique_ptr<ProductsController> m_products;
    std::unique_ptr<MaintenanceController> m_maintenance;
    std::unique_ptr<AboutController> m_about;
    std::unique_ptr<BackupsController> m_backups;
    std::unique_ptr<OutputsController> m_outputs;
    std::unique_ptr<ServerController> m_server;
    std::unique_ptr<LiveView> m_live;
    std::unique_ptr<OnlineController> m_online;
};

} // namespace tv
