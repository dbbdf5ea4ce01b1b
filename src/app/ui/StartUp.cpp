// The start-up sequence of the main window.
#include "agenda/ui/AgendaController.h"
#include "app/ui/FrmLabo.h"
#include "app/ui/ScreenLayout.h"
#include "app/ui/Tooltips.h"
#include "backups/ui/BackupsController.h"
#include "common/core/Clock.h"
#include "common/core/Version.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "labs/ui/DoctorsController.h"
#include "maintenance/ui/MaintenanceController.h"
#include "products/ui/ProductsController.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QStackedWidget>
#include <QTabBar>

#include <optional>

namespace tv {

namespace {

const QString kFirstRunNetwork =
    QStringLiteral("Si vous voulez installer une version réseau, il vous faudra :\n\n"
                   "1- Transférer les fichiers nécessaires dans un répertoire choisi du serveur.\n"
                   "2- Définir le chemin de la base de données.\n\n"
                   "(le tout à partir des menus dédiés).");

const QString kUpgradeDetails = QStringLiteral(
    " La base de données mise à jour sera celle que vous avez choisie, si vous avez changé son chemin.\n\n"
    "Par défaut, elle est sur votre dsique, dans le répertoire du programme.\n\n"
    "Il sera toujours possible de copier cette base mise à jour, si vous décidez de changer le répertoire des "
    "données (menu dédié)");

} // namespace

void FrmLabo::connectEarly(const QString &programFolder)
{
    // Nothing is said here: startUp() says what fails when it opens.
    try {
        if (const auto folder = cheminbase::read(files::settingsFolder(programFolder)))
            Database::connectEarly(serveurcfg::locate(files::join(*folder, files::Database)));
    } catch (const StoreError &) {
    }
}

bool FrmLabo::startUp()
{
    const QDate today = Clock::today();
    resetSession(today);
    layOutWindow(today);
    // The laboratories and the remembered doctor's pages are asked for
    // together: one round trip to a server for the whole window.
    std::optional<ReadAhead> firstReads;
    // A failure while the data are found and opened leaves the program
    // without data: say which file and stop.
    try {
        locateData();
        if (!prepareDatabase())
            return false;
        openData();
        readWorkstationSettings();
        firstReads.emplace(store().db(), [&] { askStartUpReads(); });
        reloadLaboratoryLists();
    } catch (const StoreError &error) {
        dialogs::critical(this, error.fullText() + QStringLiteral("\n\nLe programme va se fermer."));
        return false;
    }
    // From here on a failure only leaves a setting at its default.
    applyWorkstationSettings();
    firstReads.reset();
    m_view.Lblversion->setText(QStringLiteral("Tallvane, gestion de la visite médicale [Version ") + versionText()
                               + QStringLiteral("]"));
    return true;
}

// The state of a new run: no month chosen, no doctor remembered yet.
void FrmLabo::resetSession(const QDate &today)
{
    SharedState &s = state();
    s.MoisActif = SharedState::NoMonth;
    s.DernierMedecin = SharedState::NoDoctor;
    s.AvecHeure = 0;
    s.MoisCourant = static_cast<std::int16_t>(today.month() - 1);
}

// The agenda page first, the window sized to the screen, the years offered.
void FrmLabo::layOutWindow(const QDate &today)
{
    m_view.TS->setCurrentIndex(0);
    m_view.pages->setCurrentIndex(0);
    const layout::Factors factors = applyScreenLayout(*this);
    installActivation(*this);
    m_agenda->initialiseGrid(factors.fl, factors.fh);
    m_agenda->initialiseYears(today);
    CboAn_Click();
}

// Where the settings and the data are; on the first run, the program's
// folder, said to the user and written down.
void FrmLabo::locateData()
{
    SharedState &s = state();
    m_ctx.settingsFolder = files::settingsFolder(programFolder());
    if (const auto folder = cheminbase::read(settingsFolder())) {
        s.CheminBase = *folder;
        return;
    }
    dialogs::information(
        this, QStringLiteral("Le chemin de la base de données est, par défaut, le répertoire du programme."));
    dialogs::plain(this, kFirstRunNetwork);
    s.CheminBase = QDir::toNativeSeparators(QDir::cleanPath(settingsFolder()));
    cheminbase::write(settingsFolder(), s.CheminBase);
}

// The database made ready to open: an interrupted upgrade finished, the
// shipped database put in place or the user's carried into it, the former
// program's database imported. False when the program cannot go on (the
// reason has been shown). Throws StoreError.
bool FrmLabo::prepareDatabase()
{
    const bool installed = settingsFolder() != programFolder();
    m_maintenance->recoverUpgrade();
    const QString shipped = files::shippedDatabase(programFolder());
    const QString local = files::join(settingsFolder(), files::Database);
    if (QFile::exists(shipped) && !QFile::exists(local)) {
        files::placeShippedDatabase(shipped, local, installed);
    } else if (QFile::exists(shipped) && !installed) {
        dialogs::information(this, QStringLiteral("Le programme doit mettre à jour votre base de données."));
        dialogs::information(this, kUpgradeDetails);
        if (!m_maintenance->upgradeDatabase())
            return false;
    }
    if (m_maintenance->dataIsAccessDatabase()) {
        // The former program's database with no shipped one beside it
        // (used up, or just put in place above): imported the same way.
        dialogs::information(this, QStringLiteral("Le programme doit mettre à jour votre base de données."));
        dialogs::information(this, kUpgradeDetails);
        if (!m_maintenance->importAccessDatabase())
            return false;
    }
    m_maintenance->refuseUnknownDatabase();
    return true;
}

// The doctors' list, the database and the day's backup. Throws StoreError.
void FrmLabo::openData()
{
    QCoreApplication::processEvents();
    if (!m_doctors->loadDoctors())
        dialogs::information(this, QStringLiteral("Commencez par inscrire le nom des médecins concernés par ce "
                                                  "programme.\nVous inscrirez ensuite les laboratoires au fur et à "
                                                  "mesure."));
    openStore(files::join(state().CheminBase, files::Database));
    m_backups->dailyBackup();
}

// What the window's first filling reads: the laboratories, and what the
// remembered doctor's selection will read. His selection asks through the
// current row of the doctors' list; it is his for the time of asking only,
// the real selection coming once the laboratories are listed.
void FrmLabo::askStartUpReads()
{
    store().labos().all();
    const SharedState &s = state();
    ListBox *doctors = m_view.labo.LstMed;
    if (s.DernierMedecin == SharedState::NoDoctor || s.DernierMedecin >= doctors->count())
        return;
    const QSignalBlocker blocker(doctors);
    doctors->setCurrentRow(s.DernierMedecin);
    askDoctorSelection();
    doctors->setCurrentRow(-1);
}

// Vs.ini into the state; a missing file is written with the defaults, an
// unreadable one leaves them.
void FrmLabo::readWorkstationSettings()
{
    SharedState &s = state();
    s.AvecProduits = 0;
    s.EtatChkL = 0;
    try {
        WorkstationSettings settings{s.DernierMedecin, s.AvecHeure, s.AvecProduits, s.EtatChkL};
        if (vsini::read(settingsFolder(), settings)) {
            s.DernierMedecin = settings.dernierMedecin;
            s.AvecHeure = settings.avecHeure;
            s.AvecProduits = settings.avecProduits;
            s.EtatChkL = settings.etatChkL;
        } else {
            saveWorkstationSettings();
        }
    } catch (const StoreError &) {
    }
}

// The window as the workstation's settings want it: the history tied to
// the laboratory list or not, the remembered doctor and his month, the
// products page, the medicines, the time option.
void FrmLabo::applyWorkstationSettings()
{
    const SharedState &s = state();
    MenuActions &m = m_view.menus;
    m_products->applyWorkstationSettings();
    m_doctors->selectRememberedDoctor();

    if (s.AvecProduits != 0) {
        m.mnuProduits->setChecked(true);
        // Selecting the remembered doctor has filled his history already.
        if (!hasDoctor())
            Remplir_Historique();
    } else {
        const QSignalBlocker blocker(m_view.TS);
        if (m_view.TS->count() == 3)
            m_view.TS->removeTab(2);
        m.mnuProduits->setChecked(false);
    }

    try {
        m_products->loadMedicines();
    } catch (const StoreError &) {
    }

    m.mnuHeure->setChecked(s.AvecHeure > 0);

    // The doctor's selection normally shows today's month already.
    if (hasDoctor() && s.MoisActif != s.MoisCourant)
        Choisir_Mois(s.MoisCourant);
}

} // namespace tv
