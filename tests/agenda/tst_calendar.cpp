// Calendar rules, number reading, agenda file formats and the month grid
// model, tested without widgets.
#include "agenda/core/AgendaFormat.h"
#include "agenda/core/Calendar.h"
#include "agenda/core/MonthGridModel.h"
#include "agenda/core/NumberText.h"

#include <QTest>

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

MaxJourTable maxima(std::initializer_list<int> values)
{
    MaxJourTable table{};
    std::size_t i = 0;
    for (int v : values)
        table[i++] = static_cast<std::int16_t>(v);
    return table;
}

} // namespace

class TestCalendar : public QObject {
    Q_OBJECT
private slots:
    void easterKnownDates_data();
    void easterKnownDates();
    void easterAgreesWithGaussRule();
    void easterOutOfRangeIsAnError();
    void holidayList2024();
    void holidayLookUp();
    void dateTextConversions();
    void monthNumbersAndDays();
    void weekdayMaximum();
    void frenchNamesIgnoreLocale();
    void parseTypedDates();
    void numberReading_data();
    void numberReading();
    void passagesLineFormat();
    void maximaParsing();
    void absenceSubstringTest();
    void gridCellByCell();
    void gridTodayOnFullDay();
    void gridRowCountsAndTooltips();
    void appointmentsCountedByDayText();
};

void TestCalendar::easterKnownDates_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("easter");
    QTest::newRow("2024") << 2024 << QDate(2024, 3, 31);
    QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
    QTest::newRow("2038") << 2038 << QDate(2038, 4, 25);
    QTest::newRow("earliest 1818") << 1818 << QDate(1818, 3, 22);
    QTest::newRow("earliest 2285") << 2285 << QDate(2285, 3, 22);
    QTest::newRow("latest 1943") << 1943 << QDate(1943, 4, 25);
    // Years where the epact corrections move the date (Gauss's exceptions).
    QTest::newRow("1954") << 1954 << QDate(1954, 4, 18);
    QTest::newRow("1981") << 1981 << QDate(1981, 4, 19);
    QTest::newRow("2049") << 2049 << QDate(2049, 4, 18);
    QTest::newRow("2076") << 2076 << QDate(2076, 4, 19);
    // Century years: solar and lunar corrections.
    QTest::newRow("1700") << 1700 << QDate(1700, 4, 11);
    QTest::newRow("1900") << 1900 << QDate(1900, 4, 15);
    QTest::newRow("2000") << 2000 << QDate(2000, 4, 23);
    QTest::newRow("2100") << 2100 << QDate(2100, 3, 28);
}

void TestCalendar::easterKnownDates()
{
    QFETCH(int, year);
    QFETCH(QDate, easter);
    QCOMPARE(Date_Paques(static_cast<std::int16_t>(year)), easter);
}

void TestCalendar::easterAgreesWithGaussRule()
{
    for (int year = 1583; year <= 4099; ++year) {
        const QDate easter = Date_Paques(static_cast<std::int16_t>(year));
        if (easter != gaussEaster(year))
            QFAIL(qPrintable(QStringLiteral("year %1: %2 vs %3").arg(year).arg(easter.toString(Qt::ISODate),
                                                                              gaussEaster(year).toString(Qt::ISODate))));
        QCOMPARE(easter.dayOfWeek(), 7);
    }
}

void TestCalendar::easterOutOfRangeIsAnError()
{
    QVERIFY(Date_Paques(32767).isValid());
    QVERIFY_THROWS_EXCEPTION(CalendarOverflow, Liste_Jours_Feries(QStringLiteral("40000")));
    QVERIFY_THROWS_EXCEPTION(CalendarOverflow, Liste_Jours_Feries(QString()));
}

void TestCalendar::holidayList2024()
{
    const QString list = Liste_Jours_Feries(QStringLiteral("2024"));
    QCOMPARE(list, QStringLiteral("0101Jour de l'an;0105Fête du travail;0805Victoire 1945;1407Fête nationale;"
                                  "1508Assomption;0111Toussaint;1111Armistice 1918;2512Noël;"
                                  "3103Pâques;0104Lundi de Pâques;0905Jeudi de l'Ascencion;1905Pentecôte;"
                                  "2005Lundi de Pentecôte"));
    QCOMPARE(list.split(u';').size(), 13);
    // Ascension crosses into the next month in 2038 (Easter 25 April).
    QVERIFY(Liste_Jours_Feries(QStringLiteral("2038")).contains(QStringLiteral("0306Jeudi de l'Ascencion")));
}

void TestCalendar::holidayLookUp()
{
    const QStringList list = Liste_Jours_Feries(QStringLiteral("2025")).split(u';');
    QCOMPARE(Jour_Ferie(list, QStringLiteral("25/12/2025")), std::optional<QString>(QStringLiteral("Noël")));
    QCOMPARE(Jour_Ferie(list, QStringLiteral("21/04/2025")), std::optional<QString>(QStringLiteral("Lundi de Pâques")));
    QCOMPARE(Jour_Ferie(list, QStringLiteral("22/04/2025")), std::nullopt);
    // First match wins when two entries share a day.
    const QStringList twice = {QStringLiteral("0805Victoire 1945"), QStringLiteral("0805Jeudi de l'Ascencion")};
    QCOMPARE(Jour_Ferie(twice, QStringLiteral("08/05/2024")), std::optional<QString>(QStringLiteral("Victoire 1945")));
}

void TestCalendar::dateTextConversions()
{
    QCOMPARE(Date_JMA_vers_AMJ(QStringLiteral("07/03/2025")), QStringLiteral("2025/03/07"));
    QCOMPARE(Date_AMJ_vers_JMA(QStringLiteral("2025/03/07")), QStringLiteral("07/03/2025"));
    // Character copies only: a short text is not repaired.
    QCOMPARE(Date_JMA_vers_AMJ(QStringLiteral("7/3/2025")), QStringLiteral("2025//2/7/"));
}

void TestCalendar::monthNumbersAndDays()
{
    QCOMPARE(Numero_Mois(QStringLiteral("janvier")), QString());
    QCOMPARE(Numero_Mois(QStringLiteral("Janvier")), QStringLiteral("01"));
    QCOMPARE(Numero_Mois(QStringLiteral("Août")), QStringLiteral("08"));
    QCOMPARE(Numero_Mois(QStringLiteral("Aout")), QString());
    QCOMPARE(Numero_Mois(QStringLiteral("Décembre")), QStringLiteral("12"));

    QCOMPARE(Nombre_Jours_Mois(QStringLiteral("FÉVRIER"), QStringLiteral("2024")), 29);
    QCOMPARE(Nombre_Jours_Mois(QStringLiteral("FÉVRIER"), QStringLiteral("2100")), 29);
    QCOMPARE(Nombre_Jours_Mois(QStringLiteral("FÉVRIER"), QStringLiteral("2025")), 28);
    QCOMPARE(Nombre_Jours_Mois(QStringLiteral("AOÛT"), QStringLiteral("2025")), 31);
    QCOMPARE(Nombre_Jours_Mois(QStringLiteral("SEPTEMBRE"), QStringLiteral("2025")), 30);
    QCOMPARE(Nombre_Jours_Mois(QStringLiteral("Septembre"), QStringLiteral("2025")), 0);
}

void TestCalendar::weekdayMaximum()
{
    const MaxJourTable table = maxima({3, 3, 0, 3, 3, 1, 0});
    QVERIFY(Max_Visiteurs_Atteint(QStringLiteral("mercredi"), 0, table));
    QVERIFY(!Max_Visiteurs_Atteint(QStringLiteral("lundi"), 2, table));
    QVERIFY(Max_Visiteurs_Atteint(QStringLiteral("lundi"), 3, table));
    QVERIFY(!Max_Visiteurs_Atteint(QStringLiteral("Lundi"), 10, table));
    QVERIFY(Max_Visiteurs_Atteint(QStringLiteral("samedi"), 1, table));
    QVERIFY(Max_Visiteurs_Atteint(QStringLiteral("dimanche"), 0, table));
    QVERIFY(Max_Visiteurs_Atteint(QStringLiteral("jeudi"), 0, maxima({0, 0, 0, -1, 0, 0, 0})));
}

void TestCalendar::frenchNamesIgnoreLocale()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German));
    QCOMPARE(calendar::weekdayName(QDate(2025, 3, 5)), QStringLiteral("mercredi"));
    QCOMPARE(calendar::shortMonthNames().at(1), QStringLiteral("févr."));
    QLocale::setDefault(previous);
}

void TestCalendar::parseTypedDates()
{
    QCOMPARE(calendar::parseJMA(QStringLiteral("5/3/2025")), std::optional<QDate>(QDate(2025, 3, 5)));
    QCOMPARE(calendar::parseJMA(QStringLiteral("05-03-2025")), std::optional<QDate>(QDate(2025, 3, 5)));
    QCOMPARE(calendar::parseJMA(QStringLiteral("05/03/2025   ")), std::optional<QDate>(QDate(2025, 3, 5)));
    QCOMPARE(calendar::parseJMA(QStringLiteral("31/02/2025")), std::nullopt);
    QCOMPARE(calendar::parseJMA(QStringLiteral("05/03-2025")), std::nullopt);
    QCOMPARE(calendar::parseJMA(QStringLiteral("05/03/25")), std::nullopt);
    QCOMPARE(calendar::parseJMA(QStringLiteral("demain")), std::nullopt);
    QCOMPARE(calendar::formatJMA(QDate(2026, 1, 2)), QStringLiteral("02/01/2026"));
}

void TestCalendar::numberReading_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("stored"); // 99999 = refused
    QTest::newRow("number then word") << "4 jours" << 4;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("comma ends it") << "2,5" << 2;
    QTest::newRow("half to even down") << "2.5" << 2;
    QTest::newRow("half to even up") << "3.5" << 4;
    QTest::newRow("negative half") << "-2.5" << -2;
    QTest::newRow("point first") << ".5" << 0;
    QTest::newRow("minus one") << "-1" << -1;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("blanks skipped anywhere") << " \t1 2\n" << 12;
    QTest::newRow("exponent") << "1e2" << 100;
    QTest::newRow("exponent D") << "15D-1" << 2;
    QTest::newRow("dangling exponent") << "3e" << 3;
    QTest::newRow("hex") << "&H1A" << 26;
    QTest::newRow("hex 16-bit") << "&HFFFF" << -1;
    QTest::newRow("octal") << "&o17" << 15;
    QTest::newRow("ampersand alone") << "&5" << 0;
    QTest::newRow("lowest") << "-32768" << -32768;
    QTest::newRow("highest rounded") << "32767.4" << 32767;
    QTest::newRow("rounds past the top") << "32767.5" << 99999;
    QTest::newRow("too large") << "40000" << 99999;
    QTest::newRow("too small") << "-40000" << 99999;
    QTest::newRow("huge exponent") << "1e999" << 99999;
}

void TestCalendar::numberReading()
{
    QFETCH(QString, answer);
    QFETCH(int, stored);
    const auto value = numbertext::toInt16(numbertext::val(answer));
    if (stored == 99999)
        QVERIFY(!value);
    else
        QCOMPARE(value, std::optional<std::int16_t>(static_cast<std::int16_t>(stored)));
}

void TestCalendar::passagesLineFormat()
{
    QCOMPARE(agendaformat::passagesLine(maxima({3, 3, 2, 3, 3, 0, 0})), QStringLiteral(" 3  3  2  3  3  0  0 "));
    QCOMPARE(agendaformat::passagesLine(maxima({-1, 12, 0, 0, 0, 0, -32768})),
             QStringLiteral("-1  12  0  0  0  0 -32768 "));
    QCOMPARE(agendaformat::passagesFileName(QStringLiteral("  MARTIN")), QStringLiteral("Passages  MARTIN.txt"));
    QCOMPARE(agendaformat::absencesFileName(QStringLiteral("  MARTIN")), QStringLiteral("Absences  MARTIN.txt"));
    QCOMPARE(agendaformat::tmpAbsencesFileName(QStringLiteral("  MARTIN")), QStringLiteral("TmpAbsences  MARTIN.txt"));
}

void TestCalendar::maximaParsing()
{
    const MaxJourTable expected = maxima({3, -1, 2, 3, 3, 0, 7});
    QCOMPARE(agendaformat::parseMaxima(agendaformat::passagesLine(expected) + "\r\n").values, expected);
    QCOMPARE(agendaformat::parseMaxima(QStringLiteral("3,-1,2,3,3,0,7")).values, expected);
    QCOMPARE(agendaformat::parseMaxima(QStringLiteral("3\r\n-1\r\n2, 3\r\n3 0\n7\r\n")).values, expected);

    const auto shortFile = agendaformat::parseMaxima(QStringLiteral(" 4  5 "));
    QCOMPARE(shortFile.values, maxima({4, 5, 0, 0, 0, 0, 0}));
    QCOMPARE(shortFile.valid, 2);
    // A damaged value reads 0 and the others keep their weekdays.
    const auto damaged = agendaformat::parseMaxima(QStringLiteral("1 x 3 4.5 99999 6 7 8"));
    QCOMPARE(damaged.values, maxima({1, 0, 3, 0, 0, 6, 7}));
    QCOMPARE(damaged.valid, 4);
    QCOMPARE(agendaformat::parseMaxima(QString()).values, MaxJourTable{});
}

void TestCalendar::absenceSubstringTest()
{
    const QString text = agendaformat::absenceText({QStringLiteral("05/03/2025"), QStringLiteral("06/03/2025")});
    QVERIFY(agendaformat::isAbsence(text, QStringLiteral("05/03/2025")));
    QVERIFY(agendaformat::isAbsence(text, QStringLiteral("06/03/2025")));
    QVERIFY(!agendaformat::isAbsence(text, QStringLiteral("07/03/2025")));
    // Nothing is found across the line boundary ("2025" + "06/03").
    QVERIFY(!agendaformat::isAbsence(text, QStringLiteral("25/06/0320")));
    QVERIFY(!agendaformat::isAbsence(QString(), QStringLiteral("05/03/2025")));
}

namespace {

MonthGridInput march2025()
{
    MonthGridInput input;
    input.yearText = QStringLiteral("2025");
    input.month = 3;
    input.maxJour = maxima({2, 2, 2, 2, 2, 0, 0});
    input.absenceText = agendaformat::absenceText(
        {QStringLiteral("04/03/2025"), QStringLiteral("05/03/2025"), QStringLiteral("10/03/2025")});
    input.appointmentsByDay = {{QStringLiteral("03"), 2}, {QStringLiteral("04"), 1},
                               {QStringLiteral("05"), 1}, {QStringLiteral("10"), 3}};
    input.today = QDate(2025, 3, 5);
    input.joursFeries = Liste_Jours_Feries(QStringLiteral("2025")).split(u';');
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
        const QByteArray where = QStringLiteral("row %1 column %2").arg(row).arg(c).toUtf8();
        QVERIFY2(cell.text == QString::fromUtf16(e.text), where + " text " + cell.text.toUtf8());
        QVERIFY2(cell.bold == e.bold, where + " bold");
        QVERIFY2(cell.background == e.background, where + " background");
        QVERIFY2(cell.foreground == e.foreground, where + " foreground");
    }
}

} // namespace

void TestCalendar::gridCellByCell()
{
    using namespace gridcolours;
    const MonthGrid grid = buildMonthGrid(march2025());
    QCOMPARE(grid.days, 31);

    // Saturday: maximum 0, so full with no appointment.
    checkRow(grid, 0, {{{u"samedi", true, Full, {}}, {u"01", true, Full, {}}, {u"mars", false, Full, {}},
                        {u"2025", false, Full, {}}, {u"0    labo(s)", true, Full, FullText}}});
    // Monday with two appointments for a maximum of two.
    checkRow(grid, 2, {{{u"lundi", true, Full, {}}, {u"03", true, Full, {}}, {u"mars", false, Full, {}},
                        {u"2025", false, Full, {}}, {u"2    labo(s)", true, Full, FullText}}});
    // Absence, not full.
    checkRow(grid, 3, {{{u"Abs - mardi", true, Black, White}, {u"04", true, Black, White},
                        {u"mars", false, Black, White}, {u"2025", false, Black, White},
                        {u"1    labo(s)", true, Black, White}}});
    // Today and absent: today's colours over the absence, column 4 stays black.
    checkRow(grid, 4, {{{u"  Abs - mercredi", true, TodayBackground, TodayText}, {u"05", true, Black, TodayText},
                        {u"mars", false, Black, TodayText}, {u"2025", false, Black, TodayText},
                        {u"1    labo(s)", true, Black, White}}});
    // An ordinary day keeps the grid's colours.
    checkRow(grid, 5, {{{u"jeudi", true, {}, {}}, {u"06", true, {}, {}}, {u"mars", false, {}, {}},
                        {u"2025", false, {}, {}}, {u"0    labo(s)", true, {}, {}}}});
    // Full and absent: the absence wins everywhere.
    checkRow(grid, 9, {{{u"Abs - lundi", true, Black, White}, {u"10", true, Black, White},
                        {u"mars", false, Black, White}, {u"2025", false, Black, White},
                        {u"3    labo(s)", true, Black, White}}});
    checkRow(grid, 30, {{{u"lundi", true, {}, {}}, {u"31", true, {}, {}}, {u"mars", false, {}, {}},
                         {u"2025", false, {}, {}}, {u"0    labo(s)", true, {}, {}}}});
    for (const QString &tip : grid.tooltips)
        QVERIFY(tip.isEmpty());
}

void TestCalendar::gridTodayOnFullDay()
{
    using namespace gridcolours;
    MonthGridInput input = march2025();
    input.today = QDate(2025, 3, 3);
    const MonthGrid grid = buildMonthGrid(input);
    checkRow(grid, 2, {{{u"  lundi", true, TodayBackground, TodayText}, {u"03", true, Full, TodayText},
                        {u"mars", false, Full, TodayText}, {u"2025", false, Full, TodayText},
                        {u"2    labo(s)", true, Full, FullText}}});
    // Today in another month marks nothing.
    input.today = QDate(2025, 4, 3);
    QCOMPARE(buildMonthGrid(input).cells[2][0].text, QStringLiteral("lundi"));
}

void TestCalendar::gridRowCountsAndTooltips()
{
    MonthGridInput input;
    input.yearText = QStringLiteral("2024");
    input.month = 2;
    MonthGrid grid = buildMonthGrid(input);
    QCOMPARE(grid.days, 29);
    QCOMPARE(grid.cells[28][1].text, QStringLiteral("29"));
    QCOMPARE(grid.cells[28][2].text, QStringLiteral("févr."));
    QVERIFY(grid.cells[29][0].text.isEmpty());
    QVERIFY(!grid.cells[29][0].background);

    input.yearText = QStringLiteral("2025");
    QCOMPARE(buildMonthGrid(input).days, 28);

    input.month = 4;
    input.joursFeries = Liste_Jours_Feries(QStringLiteral("2025")).split(u';');
    grid = buildMonthGrid(input);
    QCOMPARE(grid.days, 30);
    QCOMPARE(grid.cells[0][2].text, QStringLiteral("avr."));
    QCOMPARE(grid.tooltips[19], QStringLiteral("Pâques"));
    QCOMPARE(grid.tooltips[20], QStringLiteral("Lundi de Pâques"));
    QVERIFY(grid.tooltips[21].isEmpty());
}

void TestCalendar::appointmentsCountedByDayText()
{
    QList<VisiteRecord> visits;
    visits.append({1, QStringLiteral("A"), QStringLiteral("L1"), QStringLiteral("05"), QStringLiteral("03"), QStringLiteral("2025"), {}});
    visits.append({2, QStringLiteral("A"), QStringLiteral("L2"), QStringLiteral("05"), QStringLiteral("03"), QStringLiteral("2025"), {}});
    visits.append({3, QStringLiteral("A"), QStringLiteral("L3"), QStringLiteral("5"), QStringLiteral("03"), QStringLiteral("2025"), {}});
    const auto counts = countAppointmentsByDay(visits);
    QCOMPARE(counts.value(QStringLiteral("05")), 2);
    QCOMPARE(counts.value(QStringLiteral("06")), 0);
}

QTEST_GUILESS_MAIN(TestCalendar)
#include "tst_calendar.moc"
