#include "agenda/core/MonthGridModel.h"

#include "agenda/core/AgendaFormat.h"
#include "agenda/core/NumberText.h"

namespace tv {

QHash<QString, int> countAppointmentsByDay(const QList<VisiteRecord> &visits)
{
    QHash<QString, int> counts;
    for (const VisiteRecord &visit : visits)
        ++counts[visit.jour];
    return counts;
}

namespace {

void fillRow(std::array<GridCell, MonthGrid::Columns> &row, const QDate &date, int count)
{
    row[0] = {calendar::weekdayName(date), true, {}, {}};
    row[1] = {QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')), true, {}, {}};
    row[2] = {calendar::shortMonthNames().at(date.month() - 1), false, {}, {}};
    row[3] = {QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')), false, {}, {}};
    row[4] = {QString::number(count) + QStringLiteral("    labo(s)"), true, {}, {}};
}

// The rules apply in this order; a later one overrides an earlier one.
void paintFull(std::array<GridCell, MonthGrid::Columns> &row)
{
    for (GridCell &cell : row)
        cell.background = gridcolours::Full;
    row[4].foreground = gridcolours::FullText;
}

void paintAbsence(std::array<GridCell, MonthGrid::Columns> &row)
{
    for (GridCell &cell : row) {
        cell.background = gridcolours::Black;
        cell.foreground = gridcolours::White;
    }
    row[0].text = QStringLiteral("Abs - ") + row[0].text;
}

void paintToday(std::array<GridCell, MonthGrid::Columns> &row)
{
    row[0].background = gridcolours::TodayBackground;
    row[0].text = QStringLiteral("  ") + row[0].text;
    for (int c = 0; c < 4; ++c)
        row[static_cast<std::size_t>(c)].foreground = gridcolours::TodayText;
}

} // namespace

MonthGrid buildMonthGrid(const MonthGridInput &input)
{
    MonthGrid grid;
    if (input.month < 1 || input.month > 12)
        return grid;
    const auto year = numbertext::toInt16(numbertext::val(input.yearText));
    const QString monthName = calendar::monthNames().at(input.month - 1);
    const int days = Nombre_Jours_Mois(monthName.toUpper(), input.yearText);
    if (!year)
        return grid;

    for (int d = 1; d <= days; ++d) {
        const QDate date(*year, input.month, d);
        if (!date.isValid())
            break;
        auto &row = grid.cells[static_cast<std::size_t>(d - 1)];
        const QString dd = QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0'));
        const int count = input.appointmentsByDay.value(dd, 0);
        const QString weekday = calendar::weekdayName(date);
        const QString jma = calendar::formatJMA(date);
        fillRow(row, date, count);
        if (Max_Visiteurs_Atteint(weekday, count, input.maxJour))
            paintFull(row);
        if (agendaformat::isAbsence(input.absenceText, jma))
            paintAbsence(row);
        if (date == input.today)
            paintToday(row);
        if (const auto holiday = Jour_Ferie(input.joursFeries, jma))
            grid.tooltips[static_cast<std::size_t>(d - 1)] = *holiday;
        grid.days = d;
    }
    return grid;
}

} // namespace tv
