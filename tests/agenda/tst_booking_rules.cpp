// Saving an appointment: the quota cases the window tests do not reach and
// the completion of the time typed in the time dialog.
#include "agenda/core/Booking.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv::booking;

class TstBookingRules : public QObject {
    Q_OBJECT
private slots:
    void quota_data()
    {
        QTest::addColumn<QString>("quota");
        QTest::addColumn<int>("booked");
        QTest::addColumn<bool>("respected");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero allowed, none booked")
            << "0" << 0 << false << "Les 0 visites accordées à ALPHA pour l'année 2025 ont été atteintes.";
        QTest::newRow("never set") << "" << 7 << true << "";
        QTest::newRow("not a number") << "beaucoup" << 7 << true << "";
    }
    void quota()
    {
        QFETCH(QString, quota);
        QFETCH(int, booked);
        QFETCH(bool, respected);
        QFETCH(QString, message);
        const QuotaCheck check = checkAnnualQuota(quota, booked, u"ALPHA"_s, u"2025"_s);
        QCOMPARE(check.respected, respected);
        QCOMPARE(check.message, message);
    }

    void timeCompletion_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("heure");
        QTest::addColumn<bool>("incomplete");
        // The window test types "9", "10" and "103"; here what it cannot type.
        QTest::newRow("letters") << "1aH"
                                 << "" << true;
        QTest::newRow("separator first") << "H10"
                                         << "" << true;
    }
    void timeCompletion()
    {
        QFETCH(QString, typed);
        QFETCH(QString, heure);
        QFETCH(bool, incomplete);
        const TimeEntry entry = completeTime(typed);
        QCOMPARE(entry.heure, heure);
        QCOMPARE(entry.incomplete, incomplete);
    }
};

QTEST_GUILESS_MAIN(TstBookingRules)
#include "tst_booking_rules.moc"
