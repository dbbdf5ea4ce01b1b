// Calendar rules, number reading, agenda file formats and the month grid
// model, tested without widgets.
#include "agenda/core/AgendaFormat.h"
#include "agenda/core/Calendar.h"
#include "agenda/core/MonthGridModel.h"
#include "agenda/core/NumberText.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;

namespace {

// Gauss's Easter rule with Lichtenberg's corrections: a different way to
// the same dates, to check the computus year by year.
QDate gaussEaster(int x)
{
    const int k = x / 100;
    const int m = 15 + (3 * k + 3) / 4 - (8 * k + 13) / 25;
    const int s = 2 - (3 * k + 3) / 4;
    const int a = x % 19;
    const int d = (19 * a + m) % 30;
    const int r = (d + a / 11) / 29;
    const int og = 21 + d - r;
    const int sz = 7 - (x + x / 4 + s) % 7;
    const int oe = 7 - (og - sz) % 7;
    return QDate(x, 3, 1).addDays(og + oe - 1);
}

} // namespace

class TstCalendar : public QObject {
    Q_OBJECT
private slots:
    void easterAgreesWithGaussRule();
    void easterOutOfRangeIsAnError();
    void holidayList2024();
    void monthNumbersAndDays();
    void weekdayMaximum();
    void frenchNamesIgnoreLocale();
    void parseTypedDates();
    void numberReading_data();
    void numberReading();
    void maximaParsing();
    void absenceSubstringTest();
    void gridCellByCell();
    void gridTodayOnFullDay();
};

void TstCalendar::easterAgreesWithGaussRule()
{
    for (int year = 1583; year <= 4099; ++year) {
        const QDate easter = Date_Paques(static_cast<std::int16_t>(year));
        if (easter != gaussEaster(year))
            QFAIL(qPrintable(u"year %1: %2 vs %3"_s.arg(year).arg(easter.toString(Qt::ISODate),
                                                                  gaussEaster(year).toString(Qt::ISODate))));
        QCOMPARE(easter.dayOfWeek(), 7);
    }
}

void TstCalendar::easterOutOfRangeIsAnError()
{
    QVERIFY(Date_Paques(32767).isValid());
    QVERIFY_THROWS_EXCEPTION(CalendarOverflow, Liste_Jours_Feries(u"40000"_s));
    QVERIFY_THROWS_EXCEPTION(CalendarOverflow, Liste_Jours_Feries(QString()));
}

void TstCalendar::holidayList2024()
{
    const QString list = Liste_Jours_Feries(u"2024"_s);
    QCOMPARE(list, u"0101Jour de l'an;0105Fête du travail;0805Victoire 1945;1407Fête nationale;"
                   "1508Assomption;0111Toussaint;1111Armistice 1918;2512Noël;"
                   "3103Pâques;0104Lundi de Pâques;0905Jeudi de l'Ascencion;1905Pentecôte;"
                   "2005Lundi de Pentecôte"_s);
    // Ascension crosses into the next month in 2038 (Easter 25 April).
    QVERIFY(Liste_Jours_Feries(u"2038"_s).contains(u"0306Jeudi de l'Ascencion"_s));
}

void TstCalendar::monthNumbersAndDays()
{
    QCOMPARE(Numero_Mois(u"janvier"_s), QString());
    QCOMPARE(Numero_Mois(u"Janvier"_s), u"01"_s);
    QCOMPARE(Numero_Mois(u"Aout"_s), QString());

    QCOMPARE(Nombre_Jours_Mois(u"FÉVRIER"_s, u"2100"_s), 29);
    QCOMPARE(Nombre_Jours_Mois(u"Septembre"_s, u"2025"_s), 0);
}

void TstCalendar::weekdayMaximum()
{
    const MaxJourTable table{3, 3, 0, 3, 3, 1, 0};
    QVERIFY(Max_Visiteurs_Atteint(u"mercredi"_s, 0, table));
    QVERIFY(Max_Visiteurs_Atteint(u"lundi"_s, 3, table));
    QVERIFY(!Max_Visiteurs_Atteint(u"Lundi"_s, 10, table));
    QVERIFY(Max_Visiteurs_Atteint(u"jeudi"_s, 0, MaxJourTable{0, 0, 0, -1, 0, 0, 0}));
}

void TstCalendar::frenchNamesIgnoreLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German));
    QCOMPARE(calendar::weekdayName(QDate(2025, 3, 5)), u"mercredi"_s);
    QCOMPARE(calendar::shortMonthNames().at(1), u"févr."_s);
    QLocale::setDefault(previous);
}

void TstCalendar::parseTypedDates()
{
    QCOMPARE(calendar::parseJMA(u"5/3/2025"_s), std::optional<QDate>(QDate(2025, 3, 5)));
    QCOMPARE(calendar::parseJMA(u"05-03-2025"_s), std::optional<QDate>(QDate(2025, 3, 5)));
    QCOMPARE(calendar::parseJMA(u"31/02/2025"_s), std::nullopt);
    QCOMPARE(calendar::parseJMA(u"05/03-2025"_s), std::nullopt);
    QCOMPARE(calendar::parseJMA(u"05/03/25"_s), std::nullopt);
}

void TstCalendar::numberReading_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("stored"); // 99999 = refused
    QTest::newRow("half to even down") << "2.5" << 2;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("blanks skipped anywhere") << " \t1 2\n" << 12;
    QTest::newRow("exponent") << "1e2" << 100;
    QTest::newRow("hex 16-bit") << "&HFFFF" << -1;
    QTest::newRow("ampersand alone") << "&5" << 0;
    QTest::newRow("lowest") << "-32768" << -32768;
    QTest::newRow("highest rounded") << "32767.4" << 32767;
    QTest::newRow("rounds past the top") << "32767.5" << 99999;
    QTest::newRow("huge exponent") << "1e999" << 99999;
}

void TstCalendar::numberReading()
{
    QFETCH(QString, answer);
    QFETCH(int, stored);
    const auto value = numbertext::toInt16(numbertext::val(answer));
    if (stored == 99999)
        QVERIFY(!value);
    else
        QCOMPARE(value, std::optional<std::int16_t>(static_cast<std::int16_t>(stored)));
}

void TstCalendar::maximaParsing()
{
    const MaxJourTable expected{3, -1, 2, 3, 3, 0, 7};
    QCOMPARE(agendaformat::parseMaxima(agendaformat::passagesLine(expected) + "\r\n").values, expected);
    QCOMPARE(agendaformat::parseMaxima(u"3\r\n-1\r\n2, 3\r\n3 0\n7\r\n"_s).values, expected);
    QCOMPARE(agendaformat::passagesLine(MaxJourTable{-1, 12, 0, 0, 0, 0, -32768}), u"-1  12  0  0  0  0 -32768 "_s);

    const auto shortFile = agendaformat::parseMaxima(u" 4  5 "_s);
    QCOMPARE(shortFile.values, (MaxJourTable{4, 5, 0, 0, 0, 0, 0}));
    // A damaged value reads 0 and the others keep their weekdays.
    const auto damaged = agendaformat::parseMaxima(u"1 x 3 4.5 99999 6 7 8"_s);
    QCOMPARE(damaged.values, (MaxJourTable{1, 0, 3, 0, 0, 6, 7}));
    QCOMPARE(damaged.valid, 4);
}

void TstCalendar::absenceSubstringTest()
{
    const QString text = agendaformat::absenceText({u"05/03/2025"_s, u"06/03/2025"_s});
    QVERIFY(agendaformat::isAbsence(text, u"05/03/2025"_s));
    // Nothing is found across the line boundary ("2025" + "06/03").
    QVERIFY(!agendaformat::isAbsence(text, u"25/06/0320"_s));
}

namespace {

MonthGridInput march2025()
{
    MonthGridInput input;
    input.yearText = u"2025"_s;
    input.month = 3;
    input.maxJour = MaxJourTable{2, 2, 2, 2, 2, 0, 0};
    input.absenceText = agendaformat::absenceText({u"04/03/2025"_s, u"05/03/2025"_s, u"10/03/2025"_s});
    input.appointmentsByDay = {{u"03"_s, 2}, {u"04"_s, 1}, {u"05"_s, 1}, {u"10"_s, 3}};
    input.today = QDate(2025, 3, 5);
    input.joursFeries = Liste_Jours_Feries(u"2025"_s).split(u';');
    return input;
}

struct Expect {
    const char16_t *text;
    bool bold;
    std::optional<Rgb> background;
    std::optional<Rgb> foreground;
};

void checkRow(const MonthGrid &grid, int row, const std::array<Expect, 5> &expected)
{
    for (int c = 0; c < 5; ++c) {
        const GridCell &cell = grid.cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(c)];
        const Expect &e = expected[static_cast<std::size_t>(c)];
        const QByteArray where = u"row %1 column %2"_s.arg(row).arg(c).toUtf8();
        QVERIFY2(cell.text == QString::fromUtf16(e.text), where + " text " + cell.text.toUtf8());
        QVERIFY2(cell.bold == e.bold, where + " bold");
        QVERIFY2(cell.background == e.background, where + " background");
        QVERIFY2(cell.foreground == e.foreground, where + " foreground");
    }
}

} // namespace

void TstCalendar::gridCellByCell()
{
    using namespace gridcolours;
    const MonthGrid grid = buildMonthGrid(march2025());
    QCOMPARE(grid.days, 31);

    // Saturday: maximum 0, so full with no appointment.
    checkRow(grid, 0,
             {{{u"samedi", true, Full, {}},
               {u"01", true, Full, {}},
               {u"mars", false, Full, {}},
               {u"2025", false, Full, {}},
               {u"0    labo(s)", true, Full, FullText}}});
    // Absence, not full.
    checkRow(grid, 3,
             {{{u"Abs - mardi", true, Black, White},
               {u"04", true, Black, White},
               {u"mars", false, Black, White},
               {u"2025", false, Black, White},
               {u"1    labo(s)", true, Black, White}}});
    // Today and absent: today's colours over the absence, column 4 stays black.
    checkRow(grid, 4,
             {{{u"  Abs - mercredi", true, TodayBackground, TodayText},
               {u"05", true, Black, TodayText},
               {u"mars", false, Black, TodayText},
               {u"2025", false, Black, TodayText},
               {u"1    labo(s)", true, Black, White}}});
    // An ordinary day keeps the grid's colours.
    checkRow(grid, 5,
             {{{u"jeudi", true, {}, {}},
               {u"06", true, {}, {}},
               {u"mars", false, {}, {}},
               {u"2025", false, {}, {}},
               {u"0    labo(s)", true, {}, {}}}});
    // Full and absent: the absence wins everywhere.
    checkRow(grid, 9,
             {{{u"Abs - lundi", true, Black, White},
               {u"10", true, Black, White},
               {u"mars", false, Black, White},
               {u"2025", false, Black, White},
               {u"3    labo(s)", true, Black, White}}});
    for (const QString &tip : grid.tooltips)
        QVERIFY(tip.isEmpty());
}

void TstCalendar::gridTodayOnFullDay()
{
    using namespace gridcolours;
    MonthGridInput input = march2025();
    input.today = QDate(2025, 3, 3);
    const MonthGrid grid = buildMonthGrid(input);
    checkRow(grid, 2,
             {{{u"  lundi", true, TodayBackground, TodayText},
               {u"03", true, Full, TodayText},
               {u"mars", false, Full, TodayText},
               {u"2025", false, Full, TodayText},
               {u"2    labo(s)", true, Full, FullText}}});
    // Today in another month marks nothing.
    input.today = QDate(2025, 4, 3);
    QCOMPARE(buildMonthGrid(input).cells[2][0].text, u"lundi"_s);
}

QTEST_GUILESS_MAIN(TstCalendar)
#include "tst_calendar.moc"
