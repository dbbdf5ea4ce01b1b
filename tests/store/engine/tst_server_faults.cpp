// The program left open on a server that restarts, loses a backend, goes
// away for half a minute or cuts a link under a read: through the real
// window, on a cluster of the test's own (scripts/pg-cluster.sh own), each
// case ending with exactly the rows expected. Also the round trips of one
// action, counted on the wire, and the secure link.
#include "support/TestEnv.h"

#include "NetProxy.h"
#include "agenda/ui/FrmHeure.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "maintenance/ui/MaintenanceController.h"
#include "store/engine/Notifier.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace tv;
namespace script = tv::dialogs::script;

namespace {

void server(const QString &action)
{
    QCOMPARE(QProcess::execute(qEnvironmentVariable("TALLVANE_PG_SCRIPT"),
                               {action, qEnvironmentVariable("TALLVANE_PG_DIR")}),
             0);
}

ServerAddress admin()
{
    return ServerAddress::parse(qEnvironmentVariable("TALLVANE_PG_SERVER"));
}

// Every other client of the cluster (the window's) ended, and gone; the
// window may link again at once to hear the other workstations.
void terminateBackends()
{
    auto db = Database::connectServer(admin());
    Query others(*db, u"SELECT pid FROM pg_stat_activity WHERE backend_type = 'client backend' "
                      u"AND pid <> pg_backend_pid()"_s);
    others.exec();
    QStringList pids;
    while (others.next())
        pids.append(others.text(0));
    for (const QString &pid : pids)
        Query(*db, u"SELECT pg_terminate_backend(CAST(:pid AS integer))"_s).bind(u":pid"_s, pid).exec();
    QTRY_VERIFY(std::all_of(pids.cbegin(), pids.cend(), [&](const QString &pid) {
        Query left(*db, u"SELECT 1 FROM pg_stat_activity WHERE pid = CAST(:pid AS integer)"_s);
        return !left.bind(u":pid"_s, pid).exec().next();
    }));
}

// A window on DR A with ALPHA and BETA, ALPHA selected; on the server
// directly or through a proxy.
struct Practice {
    explicit Practice(const QString &vsIni = u"0,0,0,0"_s, bool viaProxy = false)
    {
        env.prepareData({u"Dr A"_s, u"Dr B"_s}, vsIni);
        env.openStore()->addLaboratory(u"ALPHA"_s, {u"DR A"_s, u"DR B"_s});
        env.openStore()->addLaboratory(u"BETA"_s, {u"DR A"_s, u"DR B"_s});
        if (viaProxy) {
            const QString direct = serveurcfg::read(env.dataFolder())->conninfo;
            proxy = tvbench::proxyFor(direct);
            serveurcfg::write(env.dataFolder(), ServerAddress::parse(proxy->conninfo(direct)));
        }
        w = env.startWindow();
        w->view().labo.LstLabo->setCurrentRow(0);
        w->state().MoisActif = 2;
    }
    void book(const QString &date)
    {
        w->view().agenda.LblDateRV->setText(date);
        w->view().agenda.CmdEnr->click();
    }
    QStringList rows() { return tvtest::queryRows(*env.openStore(), u"SELECT Labo, Jour, Heure FROM Visite"_s); }

    tvtest::TestEnv env;
    std::unique_ptr<tvbench::NetProxy> proxy;
    std::unique_ptr<FrmLabo> w;
};

// The time dialog of a booking answered "10:30", after `meanwhile`.
void answerTimeDialog(const std::function<void()> &meanwhile)
{
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, meanwhile] {
        auto *dialog = qobject_cast<FrmHeure *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->deleteLater();
        QTimer::singleShot(0, dialog, [dialog, meanwhile] {
            meanwhile();
            QTest::keyClicks(dialog->MEB(), u"1030"_s);
            dialog->findChild<QPushButton *>(u"CmdOK"_s)->click();
        });
    });
    timer->start(10);
}

} // namespace

class TstServerFaults : public QObject {
    Q_OBJECT

    QTemporaryFile m_file;

private slots:
    void initTestCase() { QVERIFY(m_file.open()); }

    void serverLostBetweenActions_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("server restarted") << true;
        QTest::newRow("backend terminated") << false;
    }
    void serverLostBetweenActions()
    {
        QFETCH(bool, restart);
        Practice p;
        restart ? server(u"restart"_s) : terminateBackends();
        p.w->view().labo.LstLabo->setCurrentRow(1);
        QCOMPARE(p.w->view().labo.LBlLabo->text(), u"BETA"_s);
        restart ? server(u"restart"_s) : terminateBackends();
        p.w->view().labo.LstLabo->setCurrentRow(0);
        p.book(u"12/03/2025"_s);
        QCOMPARE(p.rows(), QStringList{u"ALPHA|12|"_s});
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void restartWhileTheTimeIsAsked()
    {
        Practice p(u"0,1,0,0"_s);
        answerTimeDialog([] { server(u"restart"_s); });
        p.book(u"12/03/2025"_s);
        QCOMPARE(p.rows(), QStringList{u"ALPHA|12|10H30"_s});
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void linkCutInTheMiddleOfAnAnswer()
    {
        Practice p(u"0,0,0,0"_s, true);
        for (int day = 1; day <= 20; ++day)
            p.w->store().visites().insert({0, u"DR A"_s, u"BETA"_s, u"%1"_s.arg(day, 2, 10, QLatin1Char('0')), u"01"_s,
                                           u"2025"_s, u"une longue remarque %1"_s.arg(day)});
        p.proxy->cutAfter(300);
        p.w->view().labo.LstLabo->setCurrentRow(1);
        QVERIFY(!p.proxy->cutPending());
        QCOMPARE(p.w->view().agenda.LstRV->count(), 20);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // The link cut while the answer to a write comes back: sent again, it
    // is not done twice, and the booking is not taken for another's.
    void answerToAWriteLost_data()
    {
        QTest::addColumn<bool>("booking");
        QTest::newRow("booking") << true;
        QTest::newRow("products record") << false;
    }
    void answerToAWriteLost()
    {
        QFETCH(bool, booking);
        Practice p(u"0,0,0,0"_s, true);
        Store &store = p.w->store();
        p.proxy->cutAfter(20);
        if (booking)
            QVERIFY(store.visites().insertUnlessDuplicate({0, u"DR A"_s, u"ALPHA"_s, u"12"_s, u"03"_s, u"2025"_s, {}})
                    == VisiteRepository::InsertResult::Inserted);
        else
            store.produits().insert({0, u"DR A"_s, u"ALPHA"_s, u"M. X"_s, u"2025-03-12"_s, u"ASPIRINE\n"_s});
        QVERIFY(!p.proxy->cutPending());
        const QString table = booking ? u"Visite"_s : u"Produit"_s;
        QCOMPARE(tvtest::count(*p.env.openStore(), u"SELECT COUNT(*) FROM "_s + table), 1);
    }

    // The round trips of an action, whatever it reads through its pages;
    // three per statement as a prepare-execute-deallocate driver makes, or
    // one per read, fail here.
    void roundTripsOfAnAction_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("trips");
        QTest::addColumn<QString>("shown");
        QTest::newRow("laboratory selected") << 0 << 1 << u"BETA"_s;
        QTest::newRow("doctor selected") << 1 << 1 << u"DR B"_s;
        QTest::newRow("booking") << 2 << 2 << u"05/03/2025  (libre)"_s;
        // The TCP handshake, libpq's TLS request (refused: the proxy reaches
        // the server by its Unix socket), the login, then one batch: the
        // tables' checks, the listening, the laboratories and the
        // remembered doctor's pages.
        QTest::newRow("start-up") << 3 << 4 << u"  BETA"_s;
        // The other workstation's booking (one), then this window's grid and
        // day list read again together (one).
        QTest::newRow("other workstation's booking") << 4 << 2 << u"BETA"_s;
        QTest::newRow("doctor's lists") << 5 << 1 << u"05/03/2025  (libre)"_s;
        // The history already shown (its count read again with its days):
        // the other workstation's insert, then one refresh.
        QTest::newRow("other workstation's booking on a past day") << 6 << 2 << u"05/03/2025  (libre)"_s;
        // The count, then the delete with the grid and the lists after it.
        QTest::newRow("purge of a year") << 7 << 2 << u"05/03/2025  (libre)"_s;
    }
    void roundTripsOfAnAction()
    {
        QFETCH(int, action);
        QFETCH(int, trips);
        QFETCH(QString, shown);
        Practice p(u"0,0,0,0"_s, true);
        if (action == 3) {
            // The first window's link closed (its last words) before counting.
            p.w.reset();
            QTest::qWait(100);
        }
        const auto other = action == 4 || action == 6 ? p.env.openStore() : nullptr;
        if (action >= 5)
            p.book(u"05/03/2025"_s);
        if (action >= 6) {
            for (const QString &an : {u"2023"_s, u"2025"_s})
                p.w->store().visites().insert({0, u"DR A"_s, u"ALPHA"_s, u"10"_s, u"02"_s, an, {}});
            p.w->Liste_RV_Medecin();
            p.w->Liste_RV_Labo_Medecin();
            QTest::qWait(300);
            script::pushInput(u"2023"_s);
            script::push(QMessageBox::Yes);
        }
        const long long before = p.proxy->roundTrips();
        switch (action) {
        case 0: p.w->view().labo.LstLabo->setCurrentRow(1); break;
        case 1: p.w->view().labo.LstMed->setCurrentRow(1); break;
        case 2: p.book(u"05/03/2025"_s); break;
        case 3:
            // As main() does: the link made while the window is built.
            FrmLabo::connectEarly(p.env.programFolder());
            p.w = p.env.startWindow();
            break;
        case 4:
            other->visites().insert({0, u"DR A"_s, u"BETA"_s, u"05"_s, u"03"_s, u"2025"_s, {}});
            QTRY_COMPARE(p.w->view().agenda.LstRVJour->count(), 1);
            break;
        case 5: p.w->Liste_RV_Medecin(); break;
        case 6:
            other->visites().insert({0, u"DR A"_s, u"BETA"_s, u"20"_s, u"02"_s, u"2025"_s, {}});
            QTRY_COMPARE(p.w->view().agenda.LstHist->count(), 3);
            break;
        default:
            p.w->maintenance().mnuPurger_Click();
            QCOMPARE(p.w->view().agenda.LstHist->count(), 1);
            QCOMPARE(p.w->view().agenda.LstRV->count(), 2);
            break;
        }
        // None after it either: the server's notice of this workstation's
        // own change reads nothing again.
        QTest::qWait(300);
        QCOMPARE(p.proxy->roundTrips() - before, trips);
        const QStringList texts{p.w->view().labo.LBlLabo->text(), p.w->currentDoctor(),
                                p.w->view().agenda.LstRV->text(0), p.w->view().labo.LstLabo->text(1),
                                p.w->view().agenda.LstRVJour->text(0).section(u' ', -1)};
        QCOMPARE(texts.at(action >= 5 ? 2 : action), shown);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // Stopped for half a minute: one French message naming the server, the
    // window as it was, then the first action once it is back works.
    void outageOfHalfAMinute()
    {
        Practice p;
        QElapsedTimer outage;
        server(u"halt"_s);
        outage.start();
        script::push(QMessageBox::Ok);
        p.w->view().labo.LstLabo->setCurrentRow(1);
        p.book(u"12/03/2025"_s);
        QCOMPARE(script::texts().size(), 1);
        QVERIFY2(script::texts().at(0).contains(u"ne répond pas"_s)
                     && script::texts().at(0).contains(admin().hostForMessage()),
                 qPrintable(script::texts().at(0)));
        QCOMPARE(p.w->view().labo.LBlLabo->text(), u"ALPHA"_s);
        QTest::qWait(static_cast<int>(30000 - outage.elapsed()));
        server(u"resume"_s);
        p.w->view().labo.LstLabo->setCurrentRow(0);
        p.book(u"13/03/2025"_s);
        QCOMPARE(p.rows(), QStringList{u"ALPHA|13|"_s});
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // The window's link lost while another workstation books: once it is
    // made again what was missed shows, and what follows shows too.
    void otherWorkstationFollowedAcrossALostLink()
    {
        Practice p;
        terminateBackends();
        auto other = p.env.openStore();
        other->visites().insert({0, u"DR A"_s, u"BETA"_s, u"05"_s, u"03"_s, u"2025"_s, {}});
        QTRY_COMPARE_WITH_TIMEOUT(p.w->view().agenda.LstRVJour->count(), 1, 10000);
        other->visites().insert({0, u"DR A"_s, u"ALPHA"_s, u"05"_s, u"03"_s, u"2025"_s, {}});
        QTRY_COMPARE(p.w->view().agenda.LstRVJour->count(), 2);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // What another workstation announces arrives through the event loop,
    // and again once the link was lost and made anew.
    void notificationsAfterARestart()
    {
        auto db = Database::connectServer(admin());
        Notifier *notifier = db->notifier();
        QVERIFY(notifier);
        execStatement(*db, u"LISTEN tallvane"_s);
        notifier->follow(u"LISTEN tallvane"_s);
        QSignalSpy notified(notifier, &Notifier::notified);
        QSignalSpy reconnected(notifier, &Notifier::reconnected);
        auto other = Database::connectServer(admin());
        execStatement(*other, u"NOTIFY tallvane, 'Visite 1'"_s);
        QVERIFY(notified.wait(5000));
        server(u"restart"_s);
        QVERIFY(reconnected.wait(10000));
        execStatement(*Database::connectServer(admin()), u"NOTIFY tallvane, 'Visite 2'"_s);
        QTRY_COMPARE(notified.size(), 2);
        QCOMPARE(notified.at(1).at(1).toString(), u"Visite 2"_s);
        QCOMPARE(Database::openFile(m_file.fileName())->notifier(), nullptr);
    }

    // What a database is checked for on opening goes with its first read:
    // a table of the four missing is said, in French, by that read; the
    // online links' table and the change notices are made again.
    void openingChecks_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("said");
        QTest::newRow("appointments missing") << u"DROP TABLE Visite"_s << u"table Visite absente"_s;
        QTest::newRow("links missing") << u"DROP TABLE Lien"_s << QString();
        QTest::newRow("notices missing") << u"DROP TRIGGER tv_notice_insert ON Visite"_s << QString();
    }
    void openingChecks()
    {
        QFETCH(QString, damage);
        QFETCH(QString, said);
        tvtest::TestEnv env;
        env.prepareData({u"Dr A"_s});
        execStatement(env.openStore()->db(), damage);
        try {
            auto store = env.openStore();
            QCOMPARE(store->labos().all().get().size(), 0);
            QVERIFY(said.isEmpty());
        } catch (const StoreError &error) {
            QVERIFY2(!said.isEmpty() && error.message().contains(said), qPrintable(error.message()));
            return;
        }
        auto store = env.openStore();
        QVERIFY(store->db().hasTable(u"Lien"_s));
        QCOMPARE(tvtest::count(*store, u"SELECT COUNT(*) FROM pg_trigger WHERE tgname LIKE 'tv\\_notice\\_%'"_s), 16);
    }

    void secureLink_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<bool>("opens");
        const QString root = u" sslrootcert="_s + qEnvironmentVariable("TALLVANE_PG_DIR") + u"/server.crt"_s;
        QTest::newRow("require") << u"host=127.0.0.1 sslmode=require"_s << true;
        QTest::newRow("verify-full") << u"host=localhost sslmode=verify-full"_s + root << true;
        QTest::newRow("verify-full, other name") << u"host=127.0.0.1 sslmode=verify-full"_s + root << false;
    }
    void secureLink()
    {
        QFETCH(QString, options);
        QFETCH(bool, opens);
        const QString port = tvbench::conninfoValue(admin().conninfo, u"port"_s);
        const auto address = ServerAddress::parse(u"port=%1 user=postgres dbname=postgres "_s.arg(port) + options);
        try {
            auto db = Database::connectServer(address);
            Query ssl(*db, u"SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()"_s);
            QVERIFY(opens && ssl.next() && ssl.text(0) == u"t"_s);
        } catch (const StoreError &error) {
            QVERIFY2(!opens && error.message().contains(u"certificat"_s), qPrintable(error.message()));
        }
    }
};

QTEST_MAIN(TstServerFaults)
#include "tst_server_faults.moc"
