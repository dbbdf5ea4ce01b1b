// The window benchmark's other workstations: the refresh, the look for
// their changes, and the delay until one of them shows, measured with a
// second process.
#include "LiveBench.h"
#include "WindowBench.h"

#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QCoreApplication>

namespace tvbench::windowbench {

double liveRefresh()
{
    ensureDoctorAndLabo();
    static std::unique_ptr<tv::Store> other;
    if (!other)
        other = tv::Store::open(env->databasePath);
    // Its own booking taken back each other time, whatever ran before.
    static bool booked = false;
    booked = !booked;
    return tvbench::live::refresh(*env->window, *other, booked, !env->server.isEmpty());
}

double liveCheck()
{
    // A server tells of the changes: there is nothing to look at.
    if (!env->server.isEmpty())
        throw tv::StoreError(QStringLiteral("no look at a server"));
    return tvbench::live::check(*env->window);
}

double liveDelay()
{
    ensureDoctorAndLabo();
    static tvbench::live::Delay delay(QCoreApplication::applicationFilePath(), env->databasePath);
    const double ms = delay.next(*env->window);
    if (ms < 0)
        throw tv::StoreError(QStringLiteral("L'autre poste n'a pas été suivi"));
    return ms;
}

} // namespace tvbench::windowbench
