// The booking service over HTTP, in process, on the engine of the run:
// statuses, headers and French texts of every kind of request, escaping, the
// rate limit, a race of 50 requests for the last place, the --lien command
// and the upgrade that adds the links' table.
#include "support/TestEnv.h"

#include "agenda/core/BookingSequence.h"
#include "online/core/OnlineLinks.h"
#include "store/engine/Database.h"
#include "store/engine/Schema.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"
#include "web/WebServer.h"

#include <httplib.h>

#include <QProcess>
#include <QTest>

#include <barrier>
#include <thread>

using namespace Qt::StringLiterals;
using namespace tv;

namespace {

const QString kDoctorEntry = u"  DR A"_s;

// A practice with one doctor (at most `perDay` visitors on weekdays) and
// laboratories LABO 0..n-1, each with a link and `quota` visits a year.
struct Practice {
    tvtest::TestEnv env;
    std::unique_ptr<Store> store;
    QStringList tokens;

    Practice(int labs, int quota, int perDay, const QString &firstName = u"LABO 0"_s)
    {
        env.prepareData({u"Dr A"_s});
        textfile::writeLines(env.dataFile(u"Passages"_s + kDoctorEntry + u".txt"_s),
                             {u" %1  %1  %1  %1  %1  0  0 "_s.arg(perDay)});
        online::writeAddress(env.dataFolder(), u"https://rdv.exemple.fr"_s);
        store = env.openStore();
        online::LinkBook links(*store, env.dataFolder());
        for (int i = 0; i < labs; ++i) {
            const QString name = i == 0 ? firstName : u"LABO %1"_s.arg(i);
            const QString labo = store->addLaboratory(name, {u"DR A"_s}).labo;
            store->passages().setQuota(labo, u"DR A"_s, quota);
            tokens.append(links.ensure(labo));
        }
    }
};

struct Running {
    web::WebServer server;
    std::thread thread;
    explicit Running(const QString &dataFolder)
        : server({dataFolder, {}, "127.0.0.1", 0, {}, {}})
    {
        if (!server.bind())
            qFatal("no port");
        thread = std::thread([this] { server.run(); });
    }
    ~Running()
    {
        server.stop();
        thread.join();
    }
    httplib::Client client() const { return httplib::Client("127.0.0.1", server.port()); }
};

int visitsOn(Store &store, const QString &jour)
{
    return tvtest::count(store, u"SELECT COUNT(*) FROM Visite WHERE Jour = '%1' AND Mois = '03'"_s.arg(jour));
}

} // namespace

class TstWebService : public QObject {
    Q_OBJECT
private slots:
    void requests_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("absent");
        const QByteArray none;
        QTest::newRow("page, name escaped") << "GET"
                                            << "/r/{A}" << none << 200 << "Rendez-vous de LABO &lt;B&gt;&amp;&#39;"
                                            << "<B";
        QTest::newRow("unknown page") << "GET"
                                      << "/nulle-part" << none << 404 << "Page introuvable"
                                      << "";
        QTest::newRow("unknown token") << "GET"
                                       << "/r/" + QString(43, u'x') << none << 404 << "Page introuvable"
                                       << "";
        QTest::newRow("revoked token") << "GET"
                                       << "/r/{R}" << none << 404 << "Page introuvable"
                                       << "";
        QTest::newRow("GET never books") << "GET"
                                         << "/r/{A}/reserver?medecin=DR%20A&jour=2025-03-10" << none << 405
                                         << "Méthode refusée"
                                         << "";
        QTest::newRow("unknown parameter") << "GET"
                                           << "/r/{A}?x=1" << none << 400 << "Paramètre inconnu"
                                           << "";
        QTest::newRow("parameter twice") << "GET"
                                         << "/r/{A}?mois=2025-03&mois=2025-04" << none << 400
                                         << "Paramètre donné deux fois"
                                         << "";
        QTest::newRow("bad month") << "GET"
                                   << "/r/{A}?mois=2025-13" << none << 400 << "Le mois demandé"
                                   << "";
        QTest::newRow("other doctor") << "GET"
                                      << "/r/{A}?medecin=DR%20Z" << none << 400 << "Ce médecin"
                                      << "";
        QTest::newRow("bad time") << "POST"
                                  << "/r/{A}/reserver" << QByteArray("medecin=DR+A&jour=2025-03-10&heure=25H00") << 400
                                  << "L'heure n'est pas valable"
                                  << "";
        QTest::newRow("no day") << "POST"
                                << "/r/{A}/reserver" << QByteArray("medecin=DR+A") << 400
                                << "Choisissez d'abord un jour"
                                << "";
        QTest::newRow("bad bytes") << "POST"
                                   << "/r/{A}/annuler" << QByteArray("medecin=%FF&jour=2025-03-10") << 400
                                   << "n'est pas valable"
                                   << "";
        QTest::newRow("body over 16 kB") << "POST"
                                         << "/r/{A}/reserver"
                                         << "medecin=DR+A&jour=2025-03-10&heure=" + QByteArray(17000, '1') << 413
                                         << "taille permise"
                                         << "";
        QTest::newRow("cancelled on the day") << "POST"
                                              << "/r/{A}/annuler" << QByteArray("medecin=DR+A&jour=2025-03-05") << 409
                                              << "ne peut plus être annulé en ligne"
                                              << "";
        QTest::newRow("booked") << "POST"
                                << "/r/{A}/reserver" << QByteArray("medecin=DR+A&jour=2025-03-10&heure=9h05") << 200
                                << "Rendez-vous enregistré avec DR A le 10/03/2025."
                                << "";
    }

    void requests()
    {
        QFETCH(QString, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, shown);
        QFETCH(QString, absent);
        Practice practice(2, 3, 2, u"Labo <b>&'"_s);
        online::LinkBook(*practice.store, practice.env.dataFolder()).revoke(u"LABO 1"_s);
        practice.store->visites().insert({0, u"DR A"_s, u"LABO <B>&'"_s, u"05"_s, u"03"_s, u"2025"_s, {}});
        path.replace(u"{A}"_s, practice.tokens[0]).replace(u"{R}"_s, practice.tokens[1]);
        Running running(practice.env.dataFolder());
        httplib::Client client = running.client();
        const auto result = method == u"GET"_s ? client.Get(path.toStdString())
                                               : client.Post(path.toStdString(), body.toStdString(),
                                                             "application/x-www-form-urlencoded");
        QVERIFY(result);
        QCOMPARE(result->status, status);
        const QString text = QString::fromStdString(result->body);
        // The pages write an apostrophe as &#39;.
        QVERIFY2(text.contains(shown.replace(u'\'', u"&#39;"_s)), qPrintable(text));
        QVERIFY(absent.isEmpty() || !text.contains(absent));
        QVERIFY(result->get_header_value("Content-Security-Policy").find("frame-ancestors 'none'")
                != std::string::npos);
        QCOMPARE(result->get_header_value("Referrer-Policy"), "no-referrer");
        QCOMPARE(result->get_header_value("X-Content-Type-Options"), "nosniff");
        if (status == 404) // one answer for every unknown address and token
            QCOMPARE(result->body, client.Get("/nulle-part")->body);
        const int booked = visitsOn(*practice.store, u"10"_s);
        QCOMPARE(booked, status == 200 && method == u"POST"_s ? 1 : 0);
        QCOMPARE(visitsOn(*practice.store, u"05"_s), 1);
    }

    void tokens()
    {
        QVERIFY(online::sameText(u"abc"_s, u"abc"_s));
        QVERIFY(!online::sameText(u"xbc"_s, u"abc"_s));
        QVERIFY(!online::sameText(u"abc"_s, u"abx"_s));
        QVERIFY(!online::sameText(u"abc"_s, u"abcd"_s));
        const QString seed = online::newSeed();
        QCOMPARE(seed.size(), 32);
        QVERIFY(seed != online::newSeed());
        const QString token = online::tokenFor(QByteArray(32, 'k'), seed);
        QVERIFY(online::isTokenShaped(token));
        QVERIFY(token != online::tokenFor(QByteArray(32, 'K'), seed));
    }

    void rateLimit()
    {
        using namespace std::chrono;
        web::RateLimiter limiter;
        const auto t0 = web::RateLimiter::Clock::now();
        for (int i = 0; i < 19; ++i)
            limiter.badToken("a", t0);
        limiter.badToken("a", t0 + seconds(61)); // the first 19 are a minute old
        QVERIFY(!limiter.banned("a", t0 + seconds(61)));
        for (int i = 0; i < 19; ++i)
            limiter.badToken("a", t0 + seconds(62));
        QVERIFY(limiter.banned("a", t0 + seconds(62)));
        QVERIFY(!limiter.banned("b", t0 + seconds(62)));
        QVERIFY(limiter.banned("a", t0 + seconds(62) + minutes(10) - seconds(1)));
        QVERIFY(!limiter.banned("a", t0 + seconds(62) + minutes(10)));
    }

    void race_data()
    {
        QTest::addColumn<bool>("lastPlaceOfTheDay");
        QTest::newRow("50 laboratories, one place left on the day") << true;
        QTest::newRow("one laboratory, one visit left in its quota, 50 days") << false;
    }

    void race()
    {
        QFETCH(bool, lastPlaceOfTheDay);
        constexpr int kRequests = 50;
        Practice practice(lastPlaceOfTheDay ? kRequests : 1, lastPlaceOfTheDay ? 5 : 1, lastPlaceOfTheDay ? 1 : 9);
        Running running(practice.env.dataFolder());
        std::barrier start(kRequests);
        std::atomic<int> booked{0};
        std::atomic<int> busy{0};
        // The bookable weekdays from 10 March 2025 on.
        QList<QDate> days;
        const QStringList holidays = booking::holidaysOf(2025);
        for (QDate d(2025, 3, 10); days.size() < kRequests; d = d.addDays(1))
            if (d.dayOfWeek() <= 5 && !Jour_Ferie(holidays, calendar::formatJMA(d)))
                days.append(d);
        std::vector<std::thread> threads;
        for (int i = 0; i < kRequests; ++i) {
            threads.emplace_back([&, i] {
                const QString token = practice.tokens[lastPlaceOfTheDay ? i : 0];
                const QDate day = days[lastPlaceOfTheDay ? 0 : i];
                httplib::Client client = running.client();
                client.set_read_timeout(30);
                const std::string body = "medecin=DR+A&jour=" + day.toString(u"yyyy-MM-dd"_s).toStdString();
                start.arrive_and_wait();
                const auto result = client.Post(("/r/" + token + u"/reserver"_s).toStdString(), body,
                                                "application/x-www-form-urlencoded");
                if (result && result->status == 200)
                    ++booked;
                // The others wait for the lock and are refused by the rules,
                // not turned away by a busy database.
                if (result && result->status >= 500)
                    ++busy;
            });
        }
        for (std::thread &t : threads)
            t.join();
        QCOMPARE(booked.load(), 1);
        QCOMPARE(busy.load(), 0);
        QCOMPARE(tvtest::count(*practice.store, u"SELECT COUNT(*) FROM Visite"_s), 1);
    }

    void linkCommand()
    {
        Practice practice(1, 3, 2);
        const QString program = qEnvironmentVariable("TALLVANE_PROGRAM_DIR") + u"/tallvane-web"_s;
        const auto run = [&](const QString &labo, int expectedCode) {
            QProcess p;
            p.start(program, {u"--lien"_s, labo, u"--data"_s, practice.env.dataFolder()});
            p.waitForFinished(30000);
            if (p.exitCode() != expectedCode)
                qWarning() << p.readAllStandardError();
            return p.exitCode() == expectedCode ? QString::fromUtf8(p.readAll()).trimmed() : u"?"_s;
        };
        const QString expected = u"https://rdv.exemple.fr/r/"_s + practice.tokens[0];
        QCOMPARE(run(u"labo 0"_s, 0), expected);
        QCOMPARE(run(u"LABO 0"_s, 0), expected); // shown again, not renewed
        QCOMPARE(run(u"LABO INCONNU"_s, 1), QString());
        online::LinkBook links(*practice.store, practice.env.dataFolder());
        const QString renewed = links.renew(u"LABO 0"_s);
        QVERIFY(!links.laboFor(practice.tokens[0]));
        QCOMPARE(links.laboFor(renewed), u"LABO 0"_s);
        links.revoke(u"LABO 0"_s);
        QVERIFY(run(u"LABO 0"_s, 0) != expected); // made anew
    }

    void onePortOneServiceAndWorkersForKeptConnections()
    {
        Practice practice(1, 3, 2);
        Running running(practice.env.dataFolder());
        web::WebServer second({practice.env.dataFolder(), {}, "127.0.0.1", running.server.port(), {}, {}});
        QVERIFY(!second.bind() && second.error().contains(u"est déjà utilisée"_s));
        // Connections kept alive, as browsers do: each is answered at once
        // (the service closes an idle one after 2 s).
        std::vector<std::unique_ptr<httplib::Client>> kept;
        for (int i = 0; i < 12; ++i) {
            kept.push_back(std::make_unique<httplib::Client>("127.0.0.1", running.server.port()));
            kept.back()->set_keep_alive(true);
            kept.back()->set_read_timeout(1, 0);
            QVERIFY(kept.back()->Get("/style.css"));
        }
    }

    void upgradeAddsTheLinksTable()
    {
        tvtest::TestEnv env;
        env.prepareData({u"Dr A"_s});
        {
            auto store = env.openStore();
            execStatement(store->db(), u"DROP TABLE Lien"_s);
        }
        // The checks, and what they find missing, go with the first round
        // trip: the service makes it at once, as here.
        auto store = env.openStore();
        store->db().flush();
        QVERIFY(store->db().hasTable(u"Lien"_s));
        for (const QString &table : schema::tableNames()) {
            Query q(store->db(), u"SELECT * FROM "_s + table + u" WHERE 1 = 0"_s);
            q.exec();
            QStringList names;
            for (int i = 0; i < q.columnCount(); ++i)
                names.append(q.columnName(i).toLower());
            QStringList expected = schema::columns(table);
            for (QString &name : expected)
                name = name.toLower();
            QCOMPARE(names, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TstWebService)
#include "tst_web_service.moc"
