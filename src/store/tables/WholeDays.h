#pragma once

#include "store/tables/Records.h"

namespace tv {

// A read limited to a number of rows may stop inside a day: the rows of
// that last day are read again whole, so a page always ends on a complete
// day and the next read starts past it.
template<typename Record, typename DayOf, typename ReadDay>
DayPage<Record> wholeDays(QList<Record> rows, int limit, DayOf dayOf, ReadDay readDay)
{
    DayPage<Record> page;
    if (rows.size() < limit) {
        page.rows = std::move(rows);
        return page;
    }
    const QString lastDay = dayOf(rows.constLast());
    while (!rows.isEmpty() && dayOf(rows.constLast()) == lastDay)
        rows.removeLast();
    rows.append(readDay(lastDay));
    page.rows = std::move(rows);
    page.more = true;
    return page;
}

// The SQL comparison of a dated list's day with the bounds of a range.
inline QString newerBound(const DayRange &range)
{
    return range.inclusive ? QStringLiteral("<=") : QStringLiteral("<");
}
inline QString olderBound(const DayRange &range)
{
    return range.inclusive ? QStringLiteral(">=") : QStringLiteral(">");
}

} // namespace tv
