// Two workstations saving the same appointment, or the same quota, at the
// same moment on one shared database. One is held between its check and its
// write: the other cannot even make its check meanwhile, is told in French
// that the base is busy, and its retry finds the first one's row. A brief
// lock is waited out.
#include "support/TestEnv.h"

#include "agenda/core/BookingSequence.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <optional>
#include <semaphore>
#include <thread>

using namespace Qt::StringLiterals;

using namespace tv;

namespace {

// The desktop's booking of one appointment: true when it was saved.
bool bookAppointment(Store &store)
{
    return booking::book(store, {}, {u"DR A"_s, u"ALPHA"_s, QDate(2025, 3, 5), {}}, booking::Policy::Desk).done;
}

int rowCount(const QString &path, const QString &table)
{
    return tvtest::count(*Store::open(path), u"SELECT COUNT(*) FROM "_s + table);
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
    void cleanup() { Transaction::setCheckedHook({}); }

    void otherWaitsWhileOneIsBetweenCheckAndWrite_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("appointment") << u"Visite"_s;
        QTest::newRow("quota") << u"Passage"_s;
    }
    void otherWaitsWhileOneIsBetweenCheckAndWrite()
    {
        QFETCH(QString, table);
        const auto save = [&](Store &store) {
            if (table == u"Passage"_s) {
                store.passages().setQuota(u"ALPHA"_s, u"DR A"_s, 3);
                return u"saved"_s;
            }
            return bookAppointment(store) ? u"saved"_s : u"refused"_s;
        };
        std::counting_semaphore<> held(0);
        std::binary_semaphore release(0);
        std::atomic<int> checks{0};
        Transaction::setCheckedHook([&] {
            if (checks++ == 0) {
                held.release();
                release.acquire();
            }
        });
        QString first;
        std::thread holder([&] {
            try {
                first = save(*Store::open(m_path));
            } catch (const StoreError &e) {
                first = e.message();
            }
            held.release(); // also when it never got to its write
        });
        held.acquire();
        auto other = Store::open(m_path);
        execStatement(other->db(),
                      tvtest::TestEnv::onServer() ? u"SET lock_timeout = '100ms'"_s : u"PRAGMA busy_timeout = 100"_s);
        QString message;
        try {
            message = save(*other);
        } catch (const StoreError &e) {
            message = e.message();
        }
        release.release();
        holder.join();
        QCOMPARE(checks.load(), 1);
        QCOMPARE(message, u"La base de données est occupée par un autre poste. Réessayez dans un instant."_s);
        QCOMPARE(first, u"saved"_s);
        QCOMPARE(save(*other), table == u"Visite"_s ? u"refused"_s : u"saved"_s);
        QCOMPARE(rowCount(m_path, table), 1);
    }

    void briefLockIsWaitedOut()
    {
        auto holder = Store::open(m_path);
        std::optional<Transaction> hold(std::in_place, holder->db(), u"Visite"_s);
        holder->db().flush(); // the lock taken now, not with the commit
        std::atomic<int> result{-1};
        std::thread other([&] {
            try {
                auto store = Store::open(m_path);
                result = bookAppointment(*store) ? 1 : 0;
            } catch (const StoreError &) {
                result = 2;
            }
        });
        QThread::msleep(300);
        hold->commit();
        other.join();
        QCOMPARE(result.load(), 1);
        QCOMPARE(rowCount(m_path, u"Visite"_s), 1);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_serial = 0;
};

QTEST_GUILESS_MAIN(TstBookingRace)
#include "tst_booking_race.moc"
