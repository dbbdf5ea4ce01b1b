#include "server/ui/ServerController.h"

#include "common/ui/Busy.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "server/core/ServerTransfer.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressDialog>

#include <memory>
#include <optional>

namespace tv {

namespace {

const QString kTitle = QStringLiteral("Transférer la base sur un serveur PostgreSQL");

QString summary(const QList<ServerTransfer::TableReport> &reports)
{
    const QLocale french(QLocale::French);
    QStringList lines;
    for (const ServerTransfer::TableReport &r : reports)
        lines.append(QStringLiteral("%1 : %2 lignes").arg(r.table, french.toString(r.rows)));
    return lines.join(u'\n');
}

} // namespace

ServerController::ServerController(MainWindow &main)
    : m_main(main)
{
}

void ServerController::mnuServeur_Click()
{
    if (m_main.hasStore() && !m_main.store().db().canMoveToServer()) {
        dialogs::information(
            m_main.widget(),
            QStringLiteral("La base de données est déjà sur le serveur (%1).").arg(m_main.store().db().location()));
        return;
    }
    const auto answer = dialogs::input(m_main.widget(),
                                       QStringLiteral("Chaîne de connexion au serveur PostgreSQL, par exemple :\n"
                                                      "host=cabinet-serveur dbname=tallvane user=secretariat\n\n"
                                                      "Le mot de passe n'y figure pas : il est lu dans le fichier "
                                                      ".pgpass de l'utilisateur."),
                                       kTitle);
    if (!answer || answer->trimmed().isEmpty())
        return;
    std::optional<ServerAddress> address;
    if (!guarded(m_main.widget(), [&] { address = ServerAddress::parse(*answer); }))
        return;
    const QString dataFolder = m_main.state().CheminBase;
    const QString file = files::join(dataFolder, files::Database);
    if (!dialogs::askYesNo(m_main.widget(),
                           QStringLiteral("Toutes les données de « %1 » vont être copiées dans la base « %2 » du "
                                          "serveur « %3 », qui doit être vide.\nPendant la copie, les autres postes "
                                          "ne peuvent pas modifier la base.\n\nContinuer ?")
                               .arg(file, address->dbname, address->hostForMessage()),
                           true))
        return;

    QList<ServerTransfer::TableReport> reports;
    const bool copied = guarded(m_main.widget(), [&] {
        auto progress = progressWindow(m_main.widget(), QStringLiteral("Copie des données sur le serveur..."),
                                       QStringLiteral("Annuler"));
        reports = ServerTransfer::run(m_main.store().db(), *address, dataFolder, [&](qint64 done, qint64 total) {
            // Percent: the dialog counts in int.
            progress->setMaximum(100);
            progress->setValue(total > 0 ? static_cast<int>(done * 100 / total) : 100);
            QCoreApplication::processEvents();
            return !progress->wasCanceled();
        });
    });
    if (!copied)
        return;
    // Serveur.cfg is in place: the data folder now opens on the server.
    if (!guarded(m_main.widget(), [&] { m_main.openStore(file); })) {
        guarded(m_main.widget(), [&] { m_main.closeStore(); });
        return;
    }
    if (!guarded(m_main.widget(), [&] { m_main.reloadAllViews(); }))
        return;
    dialogs::information(m_main.widget(),
                         QStringLiteral("Transfert terminé et vérifié :\n\n%1\n\nLe programme travaille "
                                        "maintenant sur le serveur. Les autres postes y passeront à leur "
                                        "prochain démarrage. Le fichier « %2 » reste tel quel.")
                             .arg(summary(reports), file));
}

} // namespace tv
