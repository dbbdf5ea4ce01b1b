#include "backups/ui/BackupsController.h"

#include "backups/core/Backups.h"
#include "backups/ui/FrmSauvegardes.h"
#include "common/ui/Busy.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace tv {

namespace {

bool hasDatabase(const QString &folder)
{
    return QFileInfo(files::join(folder, files::Database)).isFile();
}

// A folder whose data are on a server has no file to copy: its copies are
// the server's business.
bool keepsCopies(const QString &folder)
{
    return serveurcfg::locate(files::join(folder, files::Database)).keepsFileBackups();
}

} // namespace

BackupsController::BackupsController(MainWindow &main)
    : m_main(main)
{
}

QString BackupsController::dataFolder() const
{
    return m_main.state().CheminBase;
}

bool BackupsController::before(const QString &command, const QString &otherFolder)
{
    QStringList folders{dataFolder()};
    if (!otherFolder.isEmpty() && QDir(otherFolder) != QDir(dataFolder()) && hasDatabase(otherFolder))
        folders.append(otherFolder);
    for (const QString &folder : folders) {
        try {
            if (!keepsCopies(folder))
                continue;
            const BusyCursor busy;
            backups::take(folder);
        } catch (const StoreError &error) {
            dialogs::critical(m_main.widget(),
                              QStringLiteral("La sauvegarde qui précède %1 n'a pas pu être faite :\n\n").arg(command)
                                  + error.fullText()
                                  + QStringLiteral("\n\nLa commande est abandonnée ; rien n'a été modifié."));
            return false;
        }
    }
    return true;
}

void BackupsController::dailyBackup()
{
    const QString folder = dataFolder();
    try {
        if (!keepsCopies(folder) || backups::takenToday(folder))
            return;
        const BusyCursor busy;
        backups::take(folder);
    } catch (const StoreError &error) {
        dialogs::critical(m_main.widget(),
                          QStringLiteral("La sauvegarde du jour n'a pas pu être faite :\n\n") + error.fullText());
    }
}

void BackupsController::mnuSauvegardes_Click()
{
    bool copies = true;
    if (!guarded(m_main.widget(), [&] { copies = keepsCopies(dataFolder()); }))
        return;
    if (!copies) {
        dialogs::information(m_main.widget(),
                             QStringLiteral("Les données sont sur un serveur PostgreSQL : leurs sauvegardes "
                                            "sont l'affaire du serveur (pg_dump, sauvegardes de "
                                            "l'administrateur). Rien n'a été modifié."));
        return;
    }
    QList<backups::Entry> entries;
    {
        const BusyCursor busy;
        entries = backups::list(dataFolder());
    }
    if (entries.isEmpty()) {
        dialogs::information(m_main.widget(), QStringLiteral("Aucune sauvegarde dans « %1 ».")
                                                  .arg(QDir::toNativeSeparators(backups::folder(dataFolder()))));
        return;
    }
    FrmSauvegardes window(entries, m_main.widget());
    connect(&window, &FrmSauvegardes::restoreRequested, this, [&](const QString &path) {
        if (restore(path))
            window.accept();
    });
    window.exec();
}

bool BackupsController::restore(const QString &backupPath)
{
    const backups::Entry entry = backups::inspect(backupPath);
    if (!entry.sound()) {
        dialogs::critical(m_main.widget(),
                          QStringLiteral("Cette sauvegarde est endommagée ; elle ne peut pas être restaurée.\n\n")
                              + entry.problem);
        return false;
    }
    const QString when =
        QLocale(QLocale::French).toString(entry.taken, QStringLiteral("dddd d MMMM yyyy 'à' HH:mm:ss"));
    const QString database = files::join(dataFolder(), files::Database);
    // A damaged database is when a restore is needed most: no copy of it
    // can be taken, so it is kept aside instead of standing in the way.
    bool damaged = false;
    {
        const BusyCursor busy;
        damaged = !backups::inspect(database, backups::Check::Quick).sound();
    }
    if (!dialogs::askYesNo(
            m_main.widget(),
            QStringLiteral("Remplacer toutes les données de la base par celles de la sauvegarde du %1 ?\n\n%2 Les "
                           "autres postes qui partagent ces données doivent avoir quitté le programme.")
                .arg(when, damaged ? QStringLiteral("La base actuelle est endommagée : elle sera gardée à part, "
                                                    "renommée dans son répertoire.")
                                   : QStringLiteral("L'état actuel sera d'abord sauvegardé.")),
            true))
        return false;
    if (!damaged && !before(QStringLiteral("la restauration")))
        return false;

    m_main.closeStore();
    QString failure;
    QString aside;
    {
        const BusyCursor busy;
        try {
            aside = backups::restore(backupPath, dataFolder(),
                                     damaged ? backups::Current::SetAside : backups::Current::Replace);
        } catch (const StoreError &error) {
            failure = error.message();
        }
    }
    try {
        m_main.openStore(database);
        m_main.reloadAllViews();
    } catch (const StoreError &error) {
        dialogs::critical(m_main.widget(), error.fullText());
        return false;
    }
    if (!failure.isEmpty()) {
        dialogs::critical(m_main.widget(), failure);
        return false;
    }
    QString done = QStringLiteral("La sauvegarde du %1 a été restaurée.").arg(when);
    if (!aside.isEmpty())
        done += QStringLiteral("\n\nLa base endommagée qu'elle remplace a été gardée sous le nom « %1 ».")
                    .arg(QDir::toNativeSeparators(aside));
    dialogs::information(m_main.widget(), done);
    return true;
}

} // namespace tv
