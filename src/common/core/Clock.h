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

    static void pin(const QDate &day);
    static void unpin();
};

} // namespace tv
