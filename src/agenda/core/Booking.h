#pragma once

#include <QString>
#include <optional>

namespace tv::booking {

// Outcome of the annual quota check made before an appointment is saved.
struct QuotaCheck {
    bool respected = true; // false: the user must confirm the booking
    QString message;       // shown when not respected
};

// quota: the stored number of visits allowed in the year (nullopt or a text
// that is not a number when it was never set: nothing to check); booked:
// the appointments of that laboratory with that doctor in the year, the new
// one not counted.
QuotaCheck checkAnnualQuota(const std::optional<QString> &quota, int booked, const QString &labo, const QString &year);

QString confirmQuestion();
QString noDateMessage();
QString duplicateMessage(const QString &labo, const QString &medecin, const QString &dateJMA);

// Day, month and year of a "dd/mm/yyyy" text; nullopt for anything else.
struct DayKey {
    QString jour;
    QString mois;
    QString an;
};
std::optional<DayKey> parseDateJMA(const QString &text);

// The time typed in the time dialog, completed: "10H" -> "10H00",
// "10H3" -> "10H30". A text that is neither empty nor two digits, "H" and
// up to two digits (a single digit, letters) is incomplete: no time.
struct TimeEntry {
    QString heure;
    bool incomplete = false;
};
TimeEntry completeTime(const QString &typed);
QString incompleteTimeMessage();

} // namespace tv::booking
