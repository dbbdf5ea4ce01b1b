#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace tv {

// The weekday maxima of one doctor, Monday first.
using MaxJourTable = std::array<std::int16_t, 7>;

// The computus works in 16-bit signed arithmetic; a year that would make an
// intermediate value leave that range is refused rather than giving a
// wrong date.
class CalendarOverflow : public std::overflow_error {
public:
    CalendarOverflow()
        : std::overflow_error("Dépassement de capacité dans le calcul de la date de Pâques")
    {
    }
};

namespace calendar {
// "Janvier".."Décembre", the month buttons' tags.
const QStringList &monthNames();
// "Jan", "Fev", ... the month buttons' captions.
const QStringList &monthCaptions();
// "lundi".."dimanche", Monday first; fixed French names, never the machine's locale.
const QStringList &weekdayNames();
// Abbreviated French month names as the grid shows them ("janv.", "févr.", "mars", ...).
const QStringList &shortMonthNames();

QString weekdayName(const QDate &date); // "lundi".."dimanche"
QString formatJMA(const QDate &date);   // "dd/mm/yyyy"
// A date typed by the user: day, month and four-digit year separated by
// "/", "-" or "."; the day and the month may lack their leading zero.
std::optional<QDate> parseJMA(const QString &text);
} // namespace calendar

// "dd/mm/yyyy" -> "yyyy/mm/dd" and back, by character positions only.
QString Date_JMA_vers_AMJ(const QString &s);
QString Date_AMJ_vers_JMA(const QString &s);

// "01".."12" for an exact month name, "" otherwise.
QString Numero_Mois(const QString &nom);

// Days of the month named in upper case; the year is the last four
// characters of the year combo's text and only divisibility by 4 decides a
// leap year. 0 for an unknown name.
std::int16_t Nombre_Jours_Mois(const QString &nomMajuscule, const QString &texteAnnee);

// Easter Sunday of the year. Throws CalendarOverflow.
QDate Date_Paques(std::int16_t annee);

// The 13 holidays of the year given as text, "ddmmNom" entries joined by ";".
// Throws CalendarOverflow when the year text is out of range.
QString Liste_Jours_Feries(const QString &texteAnnee);

// The name of the first holiday entry matching the date "dd/mm/yyyy".
std::optional<QString> Jour_Ferie(const QStringList &joursFeries, const QString &dateJMA);

// True when the count of appointments reaches the weekday's maximum.
bool Max_Visiteurs_Atteint(const QString &jour, int n, const MaxJourTable &maxJour);

} // namespace tv
