#pragma once

#include "store/tables/Records.h"

namespace tv {

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
