// tallvane-web: the practice's online booking page for the laboratories'
// delegates, and the command that prints a laboratory's link.
#include "online/core/OnlineLinks.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"
#include "web/WebOptions.h"
#include "web/WebServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <csignal>
#include <pthread.h>
#include <thread>

namespace {

int fail(const QString &text)
{
    QTextStream(stderr) << "tallvane-web : " << text << Qt::endl;
    return 1;
}

int printLink(const tv::web::WebOptions &o)
{
    const auto address = tv::online::readAddress(o.dataFolder);
    if (!address)
        return fail(QStringLiteral("Le fichier %1 du dossier des données doit donner l'adresse du service, par "
                                   "exemple https://rdv.cabinet.fr")
                        .arg(tv::online::AddressFile));
    auto store = tv::Store::open(tv::files::join(o.dataFolder, tv::files::Database));
    if (!store->labos().exists(o.labo))
        return fail(QStringLiteral("Le laboratoire %1 est inconnu.").arg(o.labo));
    const QString token = tv::online::LinkBook(*store, o.dataFolder).ensure(o.labo);
    QTextStream(stdout) << tv::online::linkText(*address, token) << Qt::endl;
    return 0;
}

int serve(const tv::web::WebOptions &o)
{
    // SIGTERM (systemd) and SIGINT stop the server cleanly: they are taken
    // by one thread that waits for them, never by a worker.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    tv::web::WebServer server({o.dataFolder, o.workstations, o.host.toStdString(), o.port, o.trustedProxy.toStdString(),
                               o.logFile.toStdString()});
    // The database is opened and checked once here (its checks sent now, not
    // with a first read) so that a wrong folder is said at once.
    tv::Store::open(tv::files::join(o.dataFolder, tv::files::Database))->db().flush();
    if (!server.bind())
        return fail(server.error());
    std::thread([&server, stopSignals] {
        int received = 0;
        sigwait(&stopSignals, &received);
        server.stop();
    }).detach();
    QTextStream(stderr) << "tallvane-web : à l'écoute sur " << o.host << ':' << server.port() << Qt::endl;
    server.run();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    const tv::web::ParsedOptions parsed = tv::web::parseOptions(arguments);
    if (!parsed.options) {
        fail(parsed.error);
        QTextStream(stderr) << tv::web::usage();
        return 2;
    }
    tv::web::WebOptions o = *parsed.options;
    if (o.mode == tv::web::WebOptions::Mode::Help) {
        QTextStream(stdout) << tv::web::usage();
        return 0;
    }
    o.dataFolder = QDir(o.dataFolder).absolutePath();
    try {
        return o.mode == tv::web::WebOptions::Mode::Link ? printLink(o) : serve(o);
    } catch (const tv::StoreError &e) {
        return fail(e.message());
    }
}
