#include "maintenance/ui/MaintenanceController.h"

#include "common/core/Clock.h"
#include "common/ui/Busy.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "maintenance/core/DataCopy.h"
#include "maintenance/ui/AccessImport.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>

#include <memory>

namespace tv {

namespace {

const QString kCopyNotice = QStringLiteral(
    "Cette opération est à faire si vous décidez de changer le chemin des données, pour une installation réseau, "
    "par exemple, installation des données sur une clef, ou réintégration des données sur votre disque.\n\n"
    "Elle peut aussi être faite 'manuellemnent', par Copier/Coller.\n\n"
    "Les  utilisateurs devront ensuite changer le Chemin de la base de données (à partir du menu dédié), si vous "
    "avez choisi de travailler dans un nouveau réperoire (concerné par le déplacement des fichiers).");

MaintenanceController::Seams defaultSeams()
{
    MaintenanceController::Seams seams;
    seams.start = [](const QString &path) { return QProcess::startDetached(path, {}, QFileInfo(path).absolutePath()); };
    seams.quit = [] { QCoreApplication::exit(0); };
    return seams;
}

} // namespace

MaintenanceController::Seams &MaintenanceController::seams()
{
    static Seams instance = defaultSeams();
    return instance;
}

void MaintenanceController::resetSeams()
{
    seams() = defaultSeams();
}

MaintenanceController::MaintenanceController(MainWindow &main)
    : m_main(main)
{
}

QString MaintenanceController::programPath(const QString &name) const
{
#ifdef Q_OS_WIN
    return files::join(m_main.programFolder(), name + QStringLiteral(".exe"));
#else
    return files::join(m_main.programFolder(), name);
#endif
}

void MaintenanceController::recoverUpgrade()
{
    const auto paths = DatabaseUpgrade::paths(m_main.programFolder(), m_main.state().CheminBase);
    if (DatabaseUpgrade::recover(paths))
        dialogs::information(m_main.widget(),
                             QStringLiteral("La mise à jour de la base de données, interrompue lors du "
                                            "dernier démarrage, a été terminée."));
}

std::optional<QString> MaintenanceController::copyWithProgress(DatabaseUpgrade &upgrade)
{
    upgrade.setCheckpoint(seams().upgradeCheckpoint);
    auto progress = progressWindow(m_main.widget(), QStringLiteral("Mise à jour de la base de données..."));
    upgrade.setProgress([&](int done, int total) {
        // Each step lets events run: a few hundred steps are enough to see.
        if (done != total && done % 100 != 0)
            return;
        progress->setMaximum(total);
        progress->setValue(done);
    });
    try {
        upgrade.copyRows();
    } catch (const StoreError &error) {
        return error.fullText();
    }
    return std::nullopt;
}

bool MaintenanceController::upgradeDatabase()
{
    return carryOver(DatabaseUpgrade::paths(m_main.programFolder(), m_main.state().CheminBase));
}

bool MaintenanceController::carryOver(const DatabaseUpgrade::Paths &paths)
{
    // Without a copy of the old database the upgrade waits for the next
    // start. An Access file needs none: it is kept, unchanged, beside.
    if (DatabaseUpgrade::kindOf(paths.oldDatabase) == DatabaseUpgrade::Kind::Program
        && !m_main.backupBefore(QStringLiteral("la mise à jour de la base de données")))
        return true;
    DatabaseUpgrade upgrade(paths);
    std::optional<AccessImport> access;
    if (DatabaseUpgrade::kindOf(paths.oldDatabase) == DatabaseUpgrade::Kind::Access) {
        access = AccessImport::prepare(m_main.widget(), paths.oldDatabase,
                                       {QStringLiteral("Le programme va se fermer."),
                                        QStringLiteral("Si vous répondez Non, rien ne sera modifié et le programme "
                                                       "se fermera.")});
        if (!access)
            return false;
        upgrade.setAccessContent(access->content());
    }
    if (const auto error = copyWithProgress(upgrade)) {
        if (DatabaseUpgrade::kindOf(paths.oldDatabase) != DatabaseUpgrade::Kind::Program) {
            // The program cannot work on such a file: it stops, and the
            // next start-up tries again with the same files.
            dialogs::critical(m_main.widget(),
                              QStringLiteral("La base de données n'a pas pu être reprise :\n\n") + *error
                                  + QStringLiteral("\n\nAucun fichier n'a été modifié. Le programme va se "
                                                   "fermer ; la reprise sera tentée de nouveau au prochain "
                                                   "démarrage."));
            return false;
        }
        dialogs::critical(m_main.widget(), QStringLiteral("La mise à jour de la base de données a échoué :\n\n")
                                               + *error
                                               + QStringLiteral("\n\nVotre base de données n'a pas été modifiée et le "
                                                                "programme continue avec elle. La mise à jour sera "
                                                                "reprise au prochain démarrage."));
        return true;
    }
    // A partial import is never called complete.
    if (!access || access->whole())
        dialogs::information(m_main.widget(), QStringLiteral("Mise à jour des bases terminée."));
    try {
        upgrade.swapFiles();
    } catch (const StoreError &error) {
        dialogs::critical(m_main.widget(),
                          QStringLiteral("La base de données mise à jour n'a pas pu être mise en place :\n\n")
                              + error.fullText()
                              + QStringLiteral("\n\nVotre ancienne base de données n'est pas perdue. Le "
                                               "programme va se fermer ; la mise en place sera reprise au "
                                               "prochain démarrage."));
        return false;
    }
    if (access)
        access->finish(m_main.widget(), paths.backup);
    return true;
}

bool MaintenanceController::dataIsAccessDatabase() const
{
    return DatabaseUpgrade::kindOf(files::join(m_main.state().CheminBase, files::Database))
           == DatabaseUpgrade::Kind::Access;
}

void MaintenanceController::refuseUnknownDatabase() const
{
    const QString database = files::join(m_main.state().CheminBase, files::Database);
    if (QFile::exists(database) && DatabaseUpgrade::kindOf(database) == DatabaseUpgrade::Kind::Unknown)
        throw StoreError(QStringLiteral("Le fichier « %1 » n'est pas une base de données : ce n'est ni une base de ce "
                                        "programme ni une base Access. Aucun fichier n'a été modifié.")
                             .arg(files::native(database)));
}

bool MaintenanceController::importAccessDatabase()
{
    auto paths = DatabaseUpgrade::paths(m_main.programFolder(), m_main.state().CheminBase);
    // No shipped database left: an empty one is made beside the data.
    paths.shipped = DatabaseUpgrade::emptyTemplatePath(paths.oldDatabase);
    if (!guarded(m_main.widget(), [&] { DatabaseUpgrade::createEmpty(paths.shipped); }))
        return false;
    const bool goesOn = carryOver(paths);
    QFile::remove(paths.shipped);
    return goesOn;
}

bool MaintenanceController::importChosenAccessFile(const QString &chosen)
{
    const QString folder = QFileInfo(chosen).absolutePath();
    if (!dialogs::askYesNo(m_main.widget(),
                           QStringLiteral("Le fichier « %1 » est une base de données Access de l'ancien "
                                          "programme.\n\nL'importer dans une nouvelle base de données "
                                          "« Ferrune.mdb » du même répertoire ? Le fichier Access sera "
                                          "conservé, sans aucune modification, sous le nom « %2 ».")
                               .arg(files::native(chosen), files::OldDatabase)))
        return false;
    const DatabaseUpgrade::Paths paths{chosen, DatabaseUpgrade::emptyTemplatePath(chosen),
                                       files::join(folder, files::OldDatabase)};
    if (QFile::exists(paths.backup)) {
        // It may be the only copy of other data: never replaced from here.
        dialogs::critical(m_main.widget(),
                          QStringLiteral("Le répertoire contient déjà un fichier « %1 ». Déplacez-le ou "
                                         "renommez-le, puis recommencez.\n\nAucun fichier n'a été modifié.")
                              .arg(files::native(paths.backup)));
        return false;
    }
    // What an import stopped by a crash left there goes first.
    if (!guarded(m_main.widget(), [&] { DatabaseUpgrade::removeLeftovers(paths); }))
        return false;
    const auto access =
        AccessImport::prepare(m_main.widget(), chosen,
                              {QStringLiteral("Le chemin de la base de données reste le même."),
                               QStringLiteral("Si vous répondez Non, rien ne sera modifié et le chemin de la base de "
                                              "données restera le même.")});
    if (!access || !guarded(m_main.widget(), [&] { DatabaseUpgrade::createEmpty(paths.shipped); }))
        return false;
    DatabaseUpgrade upgrade(paths);
    upgrade.setAccessContent(access->content());
    std::optional<QString> error = copyWithProgress(upgrade);
    if (!error) {
        try {
            upgrade.swapFiles();
        } catch (const StoreError &e) {
            error = e.fullText();
        }
    }
    QFile::remove(paths.shipped);
    if (error) {
        dialogs::critical(m_main.widget(),
                          QStringLiteral("L'importation de la base de données Access a échoué :\n\n") + *error
                              + QStringLiteral("\n\nLe fichier Access n'a pas été modifié et le chemin de la "
                                               "base de données reste le même."));
        return false;
    }
    if (access->whole())
        dialogs::information(m_main.widget(),
                             QStringLiteral("Importation terminée. L'ancien fichier est conservé sous le nom « %1 ».")
                                 .arg(files::native(paths.backup)));
    access->finish(m_main.widget(), paths.backup);
    return true;
}

QString MaintenanceController::chooseDatabaseFile()
{
    for (;;) {
        const QString chosen = dialogs::openFile(m_main.widget(), QStringLiteral("Sélection du fichier Ferrune.mdb"),
                                                 m_main.programFolder(), QStringLiteral("*.mdb (*.mdb)"));
        if (chosen.isEmpty() || QFileInfo(chosen).fileName() == files::Database)
            return chosen;
        // The program reads the database under this one name only.
        dialogs::critical(m_main.widget(),
                          QStringLiteral("Le fichier choisi, « %1 », ne convient pas : la base de données "
                                         "doit s'appeler « Ferrune.mdb ».\n\nChoisissez de nouveau.")
                              .arg(QFileInfo(chosen).fileName()));
    }
}

void MaintenanceController::mnuCheminBDD_Click()
{
    SharedState &s = m_main.state();
    dialogs::information(m_main.widget(), QStringLiteral("Le chemin actuel est : ")
                                              + files::native(s.CheminBase + QStringLiteral("/") + files::Database));
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Changer le chemin de la base de données ?")))
        return;
    dialogs::information(m_main.widget(),
                         QStringLiteral("Vous devez avoir, préalablement, copié les fichiers nécessaires au "
                                        "programme dans un autre répertoire."));
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Continuer ?")))
        return;
    dialogs::information(m_main.widget(), QStringLiteral("Indiquez le chemin de votre base de données.\n\nPour cela, "
                                                         "sélectionnez le fichier 'Ferrune.mdb', qui se situe dans le "
                                                         "répertoire choisi."));
    if (!m_main.backupBefore(QStringLiteral("le changement de base de données")))
        return;
    const QString chosen = chooseDatabaseFile();
    if (chosen.isEmpty()) {
        dialogs::critical(m_main.widget(), QStringLiteral("Chemin invalide ; fin de programme !"));
        m_main.closeStore();
        m_main.widget()->hide();
        seams().quit();
        return;
    }
    if (DatabaseUpgrade::kindOf(chosen) == DatabaseUpgrade::Kind::Access && !importChosenAccessFile(chosen))
        return;
    dialogs::information(m_main.widget(),
                         QStringLiteral("Chemin de la base de données 'Ferrune.mdb' : \n\n") + files::native(chosen));
    const QString folder = files::native(QFileInfo(chosen).absolutePath());
    if (!guarded(m_main.widget(), [&] { cheminbase::write(m_main.settingsFolder(), folder); }))
        return;
    s.CheminBase = folder;

    dialogs::information(m_main.widget(), QStringLiteral("Le programme doit être redémarré."));
    const QString program = programPath(QStringLiteral("Ferrune"));
    if (!seams().start(program))
        dialogs::critical(m_main.widget(),
                          QStringLiteral("Le programme « %1 » n'a pas pu être relancé. Relancez-le vous-même.")
                              .arg(files::native(program)));
    m_main.widget()->close();
}

QString MaintenanceController::copyDestination(const QString &chosen)
{
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Voulez-vous créer un sous-répertoire ?"), true))
        return chosen;
    const QString answer = dialogs::input(m_main.widget(), QStringLiteral("Donnez un nom à ce sous répertoire"),
                                          QStringLiteral("Nom du sous-répertoire"), QStringLiteral("Tallvane"))
                               .value_or(QString());
    if (answer.isEmpty())
        return chosen;
    if (answer.contains(u'/') || answer.contains(u'\\') || answer == QStringLiteral(".")
        || answer == QStringLiteral("..")) {
        dialogs::critical(m_main.widget(),
                          QStringLiteral("« %1 » n'est pas un nom de sous-répertoire valable.").arg(answer));
        return {};
    }
    const QString target = files::join(chosen, answer);
    if (!guarded(m_main.widget(), [&] { datacopy::ensureFolder(target); }))
        return {};
    return target;
}

void MaintenanceController::reopenOn(const QString &databasePath)
{
    try {
        m_main.openStore(databasePath);
        return;
    } catch (const StoreError &error) {
        const QString original = files::join(m_main.state().CheminBase, files::Database);
        dialogs::critical(m_main.widget(),
                          error.fullText()
                              + QStringLiteral("\n\nLe programme continue avec la base de données « %1 ».")
                                    .arg(files::native(original)));
        guarded(m_main.widget(), [&] { m_main.openStore(original); });
    }
}

void MaintenanceController::mnuDeplaceBDD_Click()
{
    dialogs::information(m_main.widget(), kCopyNotice);
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Continuer ?")))
        return;
    const QString source =
        dialogs::folder(m_main.widget(), QStringLiteral("Sélectionner le répertoire SOURCE, et valider par OK"));
    if (source.isEmpty())
        return;
    const QString chosen = dialogs::folder(
        m_main.widget(), QStringLiteral("Sélectionner le répertoire de DESTINATION, et valider par OK"));
    if (chosen.isEmpty())
        return;
    const QString target = copyDestination(chosen);
    if (target.isEmpty())
        return;
    if (const QString reason = datacopy::unwritableReason(target); !reason.isEmpty()) {
        dialogs::critical(m_main.widget(), reason + QStringLiteral("\n\nAucun fichier n'a été copié."));
        return;
    }

    if (!m_main.backupBefore(QStringLiteral("la copie des données"), target))
        return;
    // The database file must not be in use while it is copied.
    m_main.closeStore();
    QList<datacopy::FileResult> results;
    {
        auto progress = progressWindow(m_main.widget(), QStringLiteral("Copie des fichiers de données..."));
        datacopy::Options options;
        options.source = source;
        options.destination = target;
        options.programFolder = m_main.settingsFolder();
        options.confirmReplace = [&](const QString &file) {
            return dialogs::askYesNo(m_main.widget(),
                                     QStringLiteral("le fichier ") + files::native(file)
                                         + QStringLiteral(" existe déjà.\nVoulez vous le remplacer ?"),
                                     true);
        };
        options.progress = [&](int done, int total, const QString &name) {
            progress->setMaximum(total);
            progress->setLabelText(QStringLiteral("Copie de %1...").arg(name));
            progress->setValue(done);
        };
        options.beforeWrite = seams().beforeCopy;
        results = datacopy::copyDataFiles(options);
    }
    reopenOn(files::join(target, files::Database));

    QStringList failures;
    for (const datacopy::FileResult &r : results) {
        if (r.outcome == datacopy::Outcome::Failed)
            failures.append(r.reason);
    }
    if (!failures.isEmpty())
        dialogs::critical(m_main.widget(), QStringLiteral("Des fichiers n'ont pas été copiés :\n\n")
                                               + failures.join(QStringLiteral("\n")));
    dialogs::information(m_main.widget(), QStringLiteral("Copie des fichiers terminée !"));
}

void MaintenanceController::mnuPurger_Click()
{
    const QString year =
        dialogs::input(m_main.widget(), QStringLiteral("Effacer tous les rendez-vous de l'année choisie ?"),
                       QStringLiteral("Purger la base données"), QString::number(Clock::today().year() - 2))
            .value_or(QString());
    if (year.isEmpty())
        return;
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Purger l'année ") + year + QStringLiteral(" ? "), true))
        return;
    guarded(m_main.widget(), [&] {
        Database &db = m_main.store().db();
        VisiteRepository &visites = m_main.store().visites();
        // Two round trips to a server: the count, then the delete with what
        // the window shows after it.
        const ReadAhead ahead(db, [&] { visites.countYear(year); });
        if (visites.countYear(year) == 0) {
            dialogs::information(m_main.widget(), QStringLiteral("Pas de rendez vous pour cette année."));
            return;
        }
        if (!m_main.backupBefore(QStringLiteral("la purge")))
            return;
        {
            // A year is tens of thousands of rows at a large practice.
            const BusyCursor busy;
            Transaction purge(db, {}, Transaction::Repeat::Yes);
            visites.removeYear(year);
            purge.commit([&] { m_main.askAfterPurge(year); });
            m_main.yearPurged(year);
        }
        // A server reclaims the room by itself.
        if (m_main.store().db().canBeCompacted())
            dialogs::information(m_main.widget(),
                                 QStringLiteral("Il est conseillé de réparer et compacter la base de données."));
    });
}

void MaintenanceController::mnuRepare_Click()
{
    if (m_main.hasStore() && !m_main.store().db().canBeCompacted()) {
        dialogs::information(m_main.widget(),
                             QStringLiteral("La base de données est sur le serveur %1.\n\nSa vérification et son "
                                            "compactage se font avec les outils du serveur (VACUUM, REINDEX), "
                                            "par son administrateur. Rien n'a été modifié.")
                                 .arg(m_main.store().db().location()));
        return;
    }
    const QString tool = programPath(QStringLiteral("Remisa"));
    if (!seams().start(tool)) {
        dialogs::critical(
            m_main.widget(),
            QStringLiteral("L'outil de réparation « %1 » n'a pas pu être lancé.").arg(files::native(tool)));
        return;
    }
    // The tool needs the database closed: this instance ends.
    m_main.widget()->close();
}

} // namespace tv
