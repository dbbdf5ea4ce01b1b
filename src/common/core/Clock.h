#pragma once

#include <QDate>
#include <QDateTime>

namespace tv {

// The one source of "today" for the whole program. Tests pin it; nothing
// else may read the system date.
class Clock {
public:
    static QDate today();
    static QDateTime now();

    // The day, the time of day still running; or a moment that stays.
    static void pin(const QDate &day);
    static void pin(const QDateTime &moment);
    static void unpin();
};

} // namespace tv
