// Two connections saving the same appointment at the same moment on one
// shared database: exactly one row, the other gets the refusal, and a
// locked database is waited for, then reported in French.
#include "support/TestEnv.h"

#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <barrier>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

using namespace tv;

namespace {

constexpr int kRounds = 40;

VisiteRecord appointment(int day)
{
    return {0,
            u"DR A"_s,
            u"ALPHA"_s,
            u"%1"_s.arg(day % 28 + 1, 2, 10, QLatin1Char('0')),
            u"%1"_s.arg(day / 28 + 1, 2, 10, QLatin1Char('0')),
            u"2025"_s,
            QString()};
}

int rowCount(const QString &path)
{
    auto store = Store::open(path);
    Query q(store->db(), u"SELECT COUNT(*) FROM Visite"_s);
    return q.next() ? static_cast<int>(q.integer(0)) : -1;
}

} // namespace

class TstBookingRace : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        // A folder each: on a server its Serveur.cfg names the database.
        const QString folder = m_dir.filePath(QString::number(++m_serial));
        QVERIFY(QDir().mkpath(folder));
        m_path = folder + u"/Ferrune.mdb"_s;
        tvtest::TestEnv::createDatabase(m_path);
    }

    void twoConnectionsRaceEveryDay()
    {
        std::barrier sync(2);
        std::atomic<int> inserted{0};
        std::atomic<int> refused{0};
        std::atomic<int> failures{0};
        auto workstation = [&] {
            try {
                auto store = Store::open(m_path);
                for (int i = 0; i < kRounds; ++i) {
                    sync.arrive_and_wait();
                    const auto result = store->visites().insertUnlessDuplicate(appointment(i));
                    (result == VisiteRepository::InsertResult::Inserted ? inserted : refused)++;
                }
            } catch (const StoreError &) {
                ++failures;
            }
        };
        std::thread a(workstation);
        std::thread b(workstation);
        a.join();
        b.join();
        QCOMPARE(failures.load(), 0);
        QCOMPARE(inserted.load(), kRounds);
        QCOMPARE(refused.load(), kRounds);
        QCOMPARE(rowCount(m_path), kRounds);
    }

    void briefLockIsWaitedOut()
    {
        auto holder = Store::open(m_path);
        std::optional<Transaction> hold(std::in_place, holder->db(), u"Visite"_s);
        holder->db().flush();
        std::atomic<int> result{-1};
        std::thread other([&] {
            try {
                auto store = Store::open(m_path);
                result =
                    store->visites().insertUnlessDuplicate(appointment(0)) == VisiteRepository::InsertResult::Inserted
                        ? 1
                        : 0;
            } catch (const StoreError &) {
                result = 2;
            }
        });
        QThread::msleep(300);
        hold->commit();
        other.join();
        QCOMPARE(result.load(), 1);
        QCOMPARE(rowCount(m_path), 1);
    }

    void persistentLockReportedInFrench()
    {
        auto holder = Store::open(m_path);
        std::optional<Transaction> hold(std::in_place, holder->db(), u"Visite"_s);
        holder->db().flush(); // the lock taken now, not with the commit
        QString message;
        std::thread other([&] {
            try {
                auto store = Store::open(m_path);
                store->visites().insertUnlessDuplicate(appointment(0));
            } catch (const StoreError &e) {
                message = e.message();
            }
        });
        other.join();
        hold.reset();
        QCOMPARE(message, u"La base de données est occupée par un autre poste. Réessayez dans un instant."_s);
        QCOMPARE(rowCount(m_path), 0);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_serial = 0;
};

QTEST_GUILESS_MAIN(TstBookingRace)
#include "tst_booking_race.moc"
