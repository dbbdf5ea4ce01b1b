// A practice's file moved onto a real PostgreSQL server: every row arrives,
// the counters go on from where they were, the folder then opens on the
// server; a refused or cancelled move leaves the file in use and the
// server empty.
#include "TestEnv.h"

#include "agenda/core/BookingSequence.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "online/core/OnlineLinks.h"
#include "server/core/ServerTransfer.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tv;
using tvtest::TestEnv;

namespace {

// Returns the laboratory's online link.
QString fillPractice(const TestEnv &env)
{
    auto store = env.openStore();
    store->addLaboratory(u"ÉLAN"_s, {u"DR A"_s});
    store->addLaboratory(u"L'OREAL"_s, {u"DR A"_s});
    store->deleteLaboratory(u"L'OREAL"_s);
    store->passages().setQuota(u"ÉLAN"_s, u"DR A"_s, 3);
    store->visites().insert({0, u"DR A"_s, u"ÉLAN"_s, u"05"_s, u"03"_s, u"2025"_s, u"10:30"_s});
    store->visites().insert({0, u"DR A"_s, u"ÉLAN"_s, u"06"_s, u"03"_s, u"2025"_s, QString()});
    store->produits().insert({0, u"DR A"_s, u"ÉLAN"_s, u"Zoé"_s, u"2025-03-05"_s, u"Éphédrine\nx' or '1'='1\n"_s});
    return online::LinkBook(*store, env.dataFolder()).ensure(u"ÉLAN"_s);
}

QVariant serverValue(const ServerAddress &address, const QString &sql)
{
    auto db = Database::connectServer(address);
    Query q(*db, sql);
    return q.next() ? q.value(0) : QVariant();
}

int serverTables(const ServerAddress &address)
{
    return serverValue(address,
                       u"SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = current_schema()"_s)
        .toInt();
}

} // namespace

class TstServerTransfer : public QObject {
    Q_OBJECT

private slots:
    void everyRowArrivesAndTheFolderMovesToTheServer()
    {
        TestEnv env;
        env.prepareData({u"Dr A"_s});
        const QString link = fillPractice(env);
        const QByteArray file = TestEnv::readFile(env.dataFile(files::Database));
        const ServerAddress address = TestEnv::emptyServerDatabase();
        const ServerAddress neighbour = TestEnv::emptyServerDatabase();
        execStatement(*Database::connectServer(neighbour), u"CREATE TABLE voisine (n INTEGER)"_s);
        qint64 lastDone = 0;
        try {
            auto store = env.openStore();
            const auto reports = ServerTransfer::run(store->db(), address, env.dataFolder(),
                                                     [&](qint64 done, qint64) { return (lastDone = done), true; });
            QCOMPARE(reports.size(), 5);
            QCOMPARE(reports.at(0).rows, 1); // Labo
            QCOMPARE(reports.at(2).rows, 2); // Visite
        } catch (const StoreError &e) {
            QFAIL(qPrintable(e.fullText()));
        }
        QCOMPARE(lastDone, 1 + 1 + 2 + 1 + 1);
        QCOMPARE(TestEnv::readFile(env.dataFile(files::Database)), file);
        QCOMPARE(serveurcfg::read(env.dataFolder())->conninfo, address.conninfo);
        // Analysed: the tables copied, not the rest of the server.
        const auto analysed = u"SELECT reltuples >= 0 FROM pg_class WHERE oid = '%1'::regclass"_s;
        QCOMPARE(serverValue(address, analysed.arg(u"visite"_s)).toString(), u"t"_s);
        QCOMPARE(serverValue(neighbour, analysed.arg(u"voisine"_s)).toString(), u"f"_s);

        auto server = env.openStore();
        QVERIFY(!server->db().canMoveToServer());
        QCOMPARE(*server->passages().quota(u"élan"_s.toUpper(), u"dr a"_s).get(), u"3"_s);
        QCOMPARE(server->visites().forDay(u"DR A"_s, u"06"_s, u"03"_s, u"2025"_s).get().at(0).heure, QString());
        QCOMPARE(server->produits().containing(u"ÉPHÉ"_s, u"DR A"_s).get().size(), 1);
        QCOMPARE(online::LinkBook(*server, env.dataFolder()).laboFor(link), u"ÉLAN"_s);
        // The file had given number 2 to the deleted laboratory.
        QCOMPARE(server->addLaboratory(u"NOUVEAU"_s, {}).numLabo, 3);
    }

    void refusedMoveLeavesTheFileInUse_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected");
        QTest::newRow("server not empty") << u"occupied"_s << u"n'est pas vide (tables : labo)"_s;
        QTest::newRow("cancelled") << u"cancel"_s << u"Transfert annulé"_s;
        QTest::newRow("unreachable") << u"unreachable"_s << u"Impossible de joindre le serveur"_s;
        QTest::newRow("file changed after its copy") << u"touched"_s << u"la table Labo du serveur diffère"_s;
    }

    void refusedMoveLeavesTheFileInUse()
    {
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        TestEnv env;
        env.prepareData({u"Dr A"_s});
        fillPractice(env);
        ServerAddress address = TestEnv::emptyServerDatabase();
        if (fault == u"occupied"_s)
            execStatement(*Database::connectServer(address), u"CREATE TABLE Labo (NumLabo INTEGER)"_s);
        if (fault == u"unreachable"_s)
            address = ServerAddress::parse(u"host=/nulle-part dbname=tallvane"_s);
        const int tablesBefore = fault == u"unreachable"_s ? 0 : serverTables(address);
        const QByteArray file = TestEnv::readFile(env.dataFile(files::Database));
        QString message;
        try {
            auto store = env.openStore();
            ServerTransfer::run(store->db(), address, env.dataFolder(), [&](qint64 done, qint64 total) {
                if (fault == u"touched"_s && done == total)
                    execStatement(store->db(), u"UPDATE Labo SET Nom = 'autre'"_s);
                return fault != u"cancel"_s;
            });
        } catch (const StoreError &error) {
            message = error.message();
        }
        QVERIFY2(message.contains(expected), qPrintable(message));
        QCOMPARE(TestEnv::readFile(env.dataFile(files::Database)), file);
        QVERIFY(!QFile::exists(env.dataFile(files::ServerCfg)));
        QVERIFY(env.openStore()->db().canMoveToServer());
        if (fault != u"unreachable"_s)
            QCOMPARE(serverTables(address), tablesBefore);
    }

    void killedMidwayTheFileStaysInUseAndTheServerEmpty()
    {
        TestEnv env;
        env.prepareData({u"Dr A"_s});
        {
            auto store = env.openStore();
            Transaction transaction(store->db());
            for (int i = 0; i < 2000; ++i)
                store->visites().insert({0, u"DR A"_s, u"L%1"_s.arg(i), u"05"_s, u"03"_s, u"2025"_s, QString()});
            transaction.commit();
        }
        const ServerAddress address = TestEnv::emptyServerDatabase();
        QProcess worker;
        worker.start(QCoreApplication::applicationDirPath() + u"/tallvane_store_worker"_s,
                     {u"transfer"_s, env.dataFile(files::Database), address.conninfo});
        QVERIFY(worker.waitForReadyRead(30000));
        QVERIFY(worker.readAll().contains("copie"));
        worker.kill();
        QVERIFY(worker.waitForFinished(10000));

        QVERIFY(!QFile::exists(env.dataFile(files::ServerCfg)));
        QVERIFY(env.openStore()->db().canMoveToServer());
        QTRY_COMPARE_WITH_TIMEOUT(serverTables(address), 0, 10000);
        auto store = env.openStore();
        QCOMPARE(ServerTransfer::run(store->db(), address, env.dataFolder()).at(2).rows, 2000);
    }

    // A backend ended while the store was idle: the booking goes through on
    // a new link, once.
    void terminatedBackendIsReplacedBeforeTheBooking()
    {
        TestEnv env;
        env.prepareData({u"Dr A"_s});
        const ServerAddress address = TestEnv::emptyServerDatabase();
        {
            auto file = env.openStore();
            ServerTransfer::run(file->db(), address, env.dataFolder());
        }
        auto store = env.openStore();
        Query pid(store->db(), u"SELECT pg_backend_pid()"_s);
        QVERIFY(pid.next());
        auto admin = Database::connectServer(address);
        Query end(*admin, u"SELECT pg_terminate_backend(:pid)"_s);
        end.bind(u":pid"_s, pid.value(0)).exec();
        // The booking's one statement is sent again on a new link.
        QVERIFY(booking::book(*store, {}, {u"DR A"_s, u"ALPHA"_s, QDate(2025, 3, 5), {}}, booking::Policy::Desk).done);
        QCOMPARE(env.openStore()->visites().countYear(u"2025"_s).get(), 1);
    }

    void commandMovesTheOpenWindowToTheServer()
    {
        TestEnv env;
        env.prepareData({u"Dr A"_s});
        fillPractice(env);
        const ServerAddress address = TestEnv::emptyServerDatabase();
        auto w = env.startWindow();
        dialogs::script::pushInput(address.conninfo);
        dialogs::script::push(QMessageBox::Yes);
        dialogs::script::push(QMessageBox::Ok);
        w->view().menus.mnuServeur->trigger();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QVERIFY2(dialogs::script::log().back().text.startsWith(u"Transfert terminé et vérifié"_s),
                 qPrintable(dialogs::script::log().back().text));
        QVERIFY(!w->store().db().canMoveToServer());
        QCOMPARE(w->view().labo.LstLabo->count(), 1);

        // Purging a year is done by the server, with no advice to compact.
        dialogs::script::pushInput(u"2025"_s);
        dialogs::script::push(QMessageBox::Yes);
        w->view().menus.mnuPurger->trigger();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(w->store().visites().countYear(u"2025"_s).get(), 0);

        // The server's own tools do the upkeep.
        dialogs::script::push(QMessageBox::Ok);
        w->view().menus.mnuRepare->trigger();
        QVERIFY(dialogs::script::log().back().text.contains(u"outils du serveur"_s));
    }
};

QTEST_MAIN(TstServerTransfer)
#include "tst_server_transfer.moc"
