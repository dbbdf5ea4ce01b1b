#pragma once

#include "agenda/core/Calendar.h"
#include "store/tables/Records.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace tv {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

namespace gridcolours {
inline constexpr Rgb Full{242, 213, 70};
inline constexpr Rgb FullText{48, 126, 173};
// The grid reads 0 as "default colour", so black is one step above it.
inline constexpr Rgb Black{1, 1, 1};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb TodayBackground{238, 241, 252};
inline constexpr Rgb TodayText{255, 0, 76};
inline constexpr Rgb Area{238, 241, 252};
inline constexpr Rgb MonthSelected{242, 213, 70};
inline constexpr Rgb MonthOther{255, 245, 179};
} // namespace gridcolours

// One cell of the month grid; no colour means the grid's default.
struct GridCell {
    QString text;
    bool bold = false;
    std::optional<Rgb> background;
    std::optional<Rgb> foreground;
};

// What the grid shows for one doctor's month.
struct MonthGridInput {
    QString yearText; // the year combo's text
    int month = 1;    // 1..12
    MaxJourTable maxJour{};
    QString absenceText;                   // the doctor's absence lines joined
    QHash<QString, int> appointmentsByDay; // Jour text -> count
    QDate today;
    QStringList joursFeries; // tooltips of the holiday rows
};

struct MonthGrid {
    static constexpr int Rows = 31;
    static constexpr int Columns = 5;
    int days = 0; // rows filled, the rest stay empty
    std::array<std::array<GridCell, Columns>, Rows> cells{};
    std::array<QString, Rows> tooltips{};
};

// The month's appointments counted per Jour text, in one pass.
QHash<QString, int> countAppointmentsByDay(const QList<VisiteRecord> &visits);

MonthGrid buildMonthGrid(const MonthGridInput &input);

} // namespace tv
