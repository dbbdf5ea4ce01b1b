#pragma once

#include "app/ui/MainView.h"
#include "common/core/AppContext.h"

#include <QWidget>
#include <memory>

namespace tv {

class AboutController;
class AgendaController;
class BackupsController;
class BookingController;
class DoctorsController;
class LabsController;
class MaintenanceController;
class OutputsController;
class ProductsController;
class ServerController;

// The main window. It builds the widgets, owns the shared state and the
// database, and hands each event to the controller of its subsystem.
class FrmLabo : public QWidget {
    Q_OBJECT
public:
    explicit FrmLabo(const QString &programFolder, QWidget *parent = nullptr);
    ~FrmLabo() override;

    // The start-up sequence. False when it could not go on; the reason has
    // been shown and the program should end with a non-zero code.
    bool startUp();

    MainView &view() { return m_view; }
    SharedState &state() { return m_ctx.state; }
    AppContext &context() { return m_ctx; }
    QString programFolder() const { return m_ctx.programFolder; }
    QString settingsFolder() const { return m_ctx.settingsFolder; }
    bool hasStore() const { return m_ctx.store != nullptr; }
    Store &store(); // throws StoreError when the database is not open
    void openStore(const QString &databasePath);
    void closeStore();

    AgendaController &agenda() { return *m_agenda; }
    BookingController &booking() { return *m_booking; }
    LabsController &labs() { return *m_labs; }
    DoctorsController &doctors() { return *m_doctors; }
    ProductsController &products() { return *m_products; }
    MaintenanceController &maintenance() { return *m_maintenance; }
    AboutController &about() { return *m_about; }
    BackupsController &backups() { return *m_backups; }
    OutputsController &outputs() { return *m_outputs; }

    // Current selection: the trimmed entries, "" when nothing is selected.
    QString currentDoctor() const;
    QString currentLabo() const;
    bool hasDoctor() const;
    bool hasLabo() const;

    // Routines several subsystems call, in the refresh order
    // Liste_RV_Labo_Medecin, Remplir_Agenda, Liste_RV_Medecin.
    void Remplir_Agenda();
    void Choisir_Mois(int mois);
    void CboAn_Click();
    void Liste_RV_Medecin();
    void Liste_RV_Labo_Medecin();
    void Remplir_Historique();
    void Charger_Produits_Visite();
    // What Charger_Produits_Visite will read for that laboratory, asked
    // ahead (ReadAhead).
    void askVisitProducts(const QString &labo);
    // What selecting the current doctor reads through every page, asked
    // ahead (ReadAhead).
    void askDoctorSelection();

    void menu_Click(int index);
    void showTab(int number); // 1-based, as the tab strip numbers them
    int tabCount() const;
    void focusCmdFoc();
    // Rewrites Vs.ini from the four values in memory.
    void saveWorkstationSettings();
    // Refills LstLabo, CboLs, CboLh, CboDh and CboDs from the Labo table.
    void reloadLaboratoryLists();
    // After the store was opened anew (a restore, a move to the server):
    // every row may have changed, so every list is read again whole.
    void reloadAllViews();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWidgets();
    QWidget *buildSidePanel();
    void connectSignals();
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
};

} // namespace tv
