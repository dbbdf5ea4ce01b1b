// The lines of the appointment lists: the laboratory's appointments, the
// day's list and its tooltip, the history, the month list and the summary
// of a day.
#include "agenda/core/AppointmentLists.h"

#include <QTest>

using namespace tv;
using namespace tv::rvlists;

namespace {
VisiteRecord rv(const char *labo, const char *jour, const char *mois, const char *an, const char *heure = "")
{
    return {0, QStringLiteral("DR A"), QString::fromUtf8(labo), QString::fromLatin1(jour), QString::fromLatin1(mois),
            QString::fromLatin1(an), QString::fromLatin1(heure)};
}
const QDate kToday(2025, 3, 5);
} // namespace

class TstListsRules : public QObject {
    Q_OBJECT
private slots:
    void laboAppointmentsLatestFirst()
    {
        const QList<VisiteRecord> rows = {rv("ALPHA", "12", "03", "2025"), rv("ALPHA", "28", "12", "2024", "09H30"),
                                          rv("ALPHA", "02", "04", "2025", "14H00")};
        QCOMPARE(laboDoctorLines(rows), QStringList({QStringLiteral("02/04/2025  (14H00)"),
                                                     QStringLiteral("12/03/2025  (libre)"),
                                                     QStringLiteral("28/12/2024  (09H30)")}));
        QVERIFY(laboDoctorLines({}).isEmpty());
    }

    void todayListSortedWithTime()
    {
        const QList<VisiteRecord> rows = {rv("GAMMA", "05", "03", "2025"), rv("ALPHA", "05", "03", "2025", "10H30"),
                                          rv("BETA", "04", "03", "2025"), rv("DELTA", "05", "03", "2026")};
        const QStringList lines = todayLines(rows, kToday);
        QCOMPARE(lines, QStringList({QStringLiteral(" ALPHA  [_ 10H30 _]"), QStringLiteral(" GAMMA")}));
        QCOMPARE(todayTooltip(lines[0]), QStringLiteral(" ALPHA  [ 10H30 ]  "));
        QCOMPARE(laboOfTodayLine(lines[0]), QStringLiteral("ALPHA"));
        QCOMPARE(laboOfTodayLine(lines[1]), QStringLiteral("GAMMA"));
    }

    void historyOnlyPastLatestFirst()
    {
        const QList<VisiteRecord> rows = {rv("ALPHA", "03", "03", "2025"), rv("BETA", "05", "03", "2025"),
                                          rv("GAMMA", "06", "03", "2025"), rv("DELTA", "15", "11", "2024"),
                                          rv("ZETA", "31", "02", "2025")};
        QCOMPARE(historyLines(rows, kToday), QStringList({QStringLiteral("  03/03/2025      ALPHA"),
                                                          QStringLiteral("  15/11/2024      DELTA")}));
    }

    void tomorrowInNeitherList()
    {
        const QList<VisiteRecord> rows = {rv("ALPHA", "06", "03", "2025")};
        QVERIFY(todayLines(rows, kToday).isEmpty());
        QVERIFY(historyLines(rows, kToday).isEmpty());
        QCOMPARE(laboDoctorLines(rows), QStringList({QStringLiteral("06/03/2025  (libre)")}));
    }

    void monthList()
    {
        const QList<VisiteRecord> rows = {rv("GAMMA", "12", "03", "2025"), rv("BETA", "03", "03", "2025"),
                                          rv("ALPHA", "03", "03", "2025")};
        const MonthList list = rvlists::monthList(rows, 2, QStringLiteral("2025"));
        QCOMPARE(list.lines, QStringList({QStringLiteral("  "), QStringLiteral("  03    ALPHA"),
                                          QStringLiteral("  03    BETA"), QStringLiteral("  12    GAMMA")}));
        QCOMPARE(list.heading, QStringLiteral("Mars 2025 :  3  Laboratoire(s)"));
    }

    void emptyMonth()
    {
        const MonthList list = rvlists::monthList({}, 7, QStringLiteral("2026"));
        QVERIFY(list.lines.isEmpty());
        QCOMPARE(list.heading, QStringLiteral("Août 2026 :  Aucun Laboratoire"));
        QCOMPARE(twoDigitMonth(7), QStringLiteral("08"));
        QCOMPARE(monthName(11), QStringLiteral("Décembre"));
    }

    void daySummary()
    {
        QCOMPARE(dayAppointmentsText({}, QStringLiteral("12/03/2025")),
                 QStringLiteral("Aucun rendez-vous n'est pris pour cette journée."));
        const QList<VisiteRecord> rows = {rv("BETA", "12", "03", "2025", "09H00"), rv("ALPHA", "12", "03", "2025")};
        QCOMPARE(dayAppointmentsText(rows, QStringLiteral("12/03/2025")),
                 QStringLiteral("12/03/2025\n2 laboratoire(s)\n\nBETA  (09H00)\nALPHA  (libre)\n"));
    }

    void deletionQuestion()
    {
        QCOMPARE(deleteQuestion(QStringLiteral("12/03/2025  (libre)"), QStringLiteral("DR A")),
                 QStringLiteral("Supprimer le rendez vous du 12/03/2025  (libre) avec DR A ?   "));
    }
};

QTEST_GUILESS_MAIN(TstListsRules)
#include "tst_lists_rules.moc"
