#pragma once

#include "agenda/core/Calendar.h"
#include "store/tables/Records.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tv {
class Store;

// Booking and cancelling an appointment: the checks, the transaction and
// the lock that make them hold against every other workstation. The
// desktop and the online service both go through here.
namespace booking {

// What the doctor's files say about his days: weekday maxima, absences.
struct DoctorDays {
    QString medecin; // the doctor's name, upper case, no blanks around
    MaxJourTable maxJour{};
    QString absenceText;
    QDate today;

    // Reads the doctor's Passages and Absences files. Throws StoreError.
    static DoctorDays read(const QString &dataFolder, const QString &medecin, const QDate &today);
};

// How a day stands for one laboratory with one doctor, as the online
// page shows it.
enum class DayStatus { Free, Full, Closed, Past, Booked };
QString statusName(DayStatus status); // "libre", "complet", "ferme", "passe", "pris"

// The holiday names of the year, as Jour_Ferie reads them.
QStringList holidaysOf(int year);

// count: the doctor's appointments that day; bookedHere: the laboratory
// has one of them. Online, a day is only bookable from the next day on.
DayStatus dayStatus(const DoctorDays &days, const QStringList &holidays, const QDate &day, int count, bool bookedHere);

// The annual number of visits allowed, when it is a positive number.
std::optional<int> positiveQuota(const std::optional<QString> &quota);

// The desktop asks the user about a reached quota and warns about a full
// day before it books; the online page refuses both, and also refuses
// holidays, absences, closed weekdays and past days.
enum class Policy { Desk, Online };

struct Request {
    QString medecin;
    QString labo;
    QDate day;
    QString heure; // "" for none
};

struct Result {
    bool done = false;
    QString message; // French: the refusal, or what was done
    VisiteRecord visite;
};

// Checks and writes in one transaction holding the Visite lock: of two
// requests for the last place, or for the same laboratory's day, one books
// and the other is refused. One visit per laboratory per day with a doctor
// is the insert's own test, on the desktop and online alike. `thenRead`
// asks for what is shown next, sent with the commit. Throws StoreError.
Result book(Store &store, const QString &dataFolder, const Request &request, Policy policy,
            const std::function<void()> &thenRead = {});

// Removes the laboratory's appointment with the doctor that day (the
// first row, when old data holds it twice). Online, only until the day
// before ("today" from the program's clock). Throws StoreError.
Result cancel(Store &store, const Request &request, Policy policy);

QString refusedLaboMessage(const QString &labo, const QString &medecin);
QString fullDayMessage();
QString holidayMessage(const QString &dateJMA, const QString &holiday);

} // namespace booking
} // namespace tv
