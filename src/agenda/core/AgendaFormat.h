#pragma once

#include "agenda/core/Calendar.h"

#include <QString>
#include <QStringList>

// Names and contents of a doctor's agenda files. The doctor is named by his
// entry of the doctors' list exactly as shown, leading blanks included, so
// that every workstation finds the same files.
namespace tv::agendaformat {

QString passagesFileName(const QString &doctorEntry);    // "Passages" + entry + ".txt"
QString absencesFileName(const QString &doctorEntry);    // "Absences" + entry + ".txt"
QString tmpAbsencesFileName(const QString &doctorEntry); // "TmpAbsences" + entry + ".txt"

// The one line of the weekday maxima, without its line end: each value as a
// sign position (blank or "-"), its digits and a blank.
QString passagesLine(const MaxJourTable &values);

// The seven maxima of a file's text. Numbers are separated by blanks,
// commas or line ends; what is missing or not a whole number in the 16-bit
// range reads as 0 and the following values keep their places.
struct MaximaRead {
    MaxJourTable values{};
    int valid = 0; // how many of the seven were read as numbers
};
MaximaRead parseMaxima(const QString &text);

// The absence lines joined with no separator, and the test of one day.
QString absenceText(const QStringList &lines);
bool isAbsence(const QString &absenceText, const QString &dateJMA);

} // namespace tv::agendaformat
