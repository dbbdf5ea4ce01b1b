#include "common/core/Clock.h"

#include <optional>

namespace tv {

namespace {
std::optional<QDate> &pinnedDay()
{
    static std::optional<QDate> day;
    return day;
}
} // namespace

QDate Clock::today()
{
    if (pinnedDay())
        return *pinnedDay();
    return QDate::currentDate();
}

QDateTime Clock::now()
{
    if (pinnedDay())
        return QDateTime(*pinnedDay(), QTime::currentTime());
    return QDateTime::currentDateTime();
}

void Clock::pin(const QDate &day)
{
    pinnedDay() = day;
}

void Clock::unpin()
{
    pinnedDay().reset();
}

} // namespace tv
