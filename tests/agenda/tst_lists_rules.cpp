// The lines of the appointment lists that the window tests do not reach:
// ordering across years, dates that are not dates.
#include "agenda/core/AppointmentLists.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;
using namespace tv::rvlists;

namespace {
VisiteRecord rv(const char *labo, const char *jour, const char *mois, const char *an, const char *heure = "")
{
    return {0,
            u"DR A"_s,
            QString::fromUtf8(labo),
            QString::fromLatin1(jour),
            QString::fromLatin1(mois),
            QString::fromLatin1(an),
            QString::fromLatin1(heure)};
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
        QCOMPARE(laboDoctorLines(rows),
                 QStringList({u"02/04/2025  (14H00)"_s, u"12/03/2025  (libre)"_s, u"28/12/2024  (09H30)"_s}));
    }

    void historyOnlyPastLatestFirst()
    {
        const QList<VisiteRecord> rows = {rv("ALPHA", "03", "03", "2025"), rv("BETA", "05", "03", "2025"),
                                          rv("GAMMA", "06", "03", "2025"), rv("DELTA", "15", "11", "2024"),
                                          rv("ZETA", "31", "02", "2025")};
        QCOMPARE(historyLines(rows, kToday), QStringList({u"  03/03/2025      ALPHA"_s, u"  15/11/2024      DELTA"_s}));
    }

    void todayLineMatchesLaboratoryBeforeTheTime()
    {
        const QStringList day = {u" ALPHA"_s, u" BETA  [_ 10H30 _]"_s, u" BETA PLUS"_s};
        QCOMPARE(todayIndexOf(day, u"BETA"_s), 1);
        QCOMPARE(todayIndexOf(day, u"BETA PLUS"_s), 2);
        QCOMPARE(todayIndexOf(day, u"GAMMA"_s), -1);
    }
};

QTEST_GUILESS_MAIN(TstListsRules)
#include "tst_lists_rules.moc"
