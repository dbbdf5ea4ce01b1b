#include "common/core/Clock.h"

#include <optional>

namespace tv {

namespace {
std::optional<QDate> &pinnedDay()
{
    static std::optional<QDate> day;
    return day;
}
std::optional<QTime> &pinnedTime()
{
    static std::optional<QTime> time;
    return time;
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
        return QDateTime(*pinnedDay(), pinnedTime().value_or(QTime::currentTime()));
    return QDateTime::currentDateTime();
}

void Clock::pin(const QDate &day)
{
    pinnedDay() = day;
    pinnedTime().reset();
}

void Clock::pin(const QDateTime &moment)
{
    pinnedDay() = moment.date();
    pinnedTime() = moment.time();
}

void Clock::unpin()
{
    pinnedDay().reset();
    pinnedTime().reset();
}

} // namespace tv
