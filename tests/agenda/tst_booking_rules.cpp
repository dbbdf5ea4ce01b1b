// Saving an appointment: the quota cases the window tests do not reach, the
// chosen date and the completion of the time typed in the time dialog.
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
        QTest::newRow("zero allowed, none booked") << "0" << 0 << false
                                                   << "Les 0 visites accordées à ALPHA pour l'année 2025 ont été atteintes.";
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

    void quotaWithoutRow()
    {
        QVERIFY(checkAnnualQuota(std::nullopt, 12, u"ALPHA"_s, u"2025"_s).respected);
    }

    void chosenDate()
    {
        const auto day = parseDateJMA(u"07/03/2025"_s);
        QVERIFY(day);
        QCOMPARE(day->jour, u"07"_s);
        QCOMPARE(day->an, u"2025"_s);
        QVERIFY(!parseDateJMA(u"7/3/2025"_s));
        QVERIFY(!parseDateJMA(u"07/03/2025  (libre)"_s));
    }

    void timeCompletion_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("heure");
        QTest::addColumn<bool>("incomplete");
        QTest::newRow("one digit") << "9" << "" << true;
        QTest::newRow("hour only") << "10H" << "10H00" << false;
        QTest::newRow("one minute digit") << "10H3" << "10H30" << false;
        QTest::newRow("letters") << "1aH" << "" << true;
        QTest::newRow("separator first") << "H10" << "" << true;
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
