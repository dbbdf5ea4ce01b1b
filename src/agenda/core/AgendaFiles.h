#pragma once

#include "agenda/core/Calendar.h"

#include <QString>
#include <QStringList>
#include <optional>

// A doctor's agenda files in the data folder: the weekday maxima
// ("Passages") and the absence dates ("Absences"). The doctor is his list
// entry as shown, blanks included. Failures throw StoreError.
namespace tv::agendafiles {

QString passagesPath(const QString &dataFolder, const QString &doctorEntry);
QString absencesPath(const QString &dataFolder, const QString &doctorEntry);
QString tmpAbsencesPath(const QString &dataFolder, const QString &doctorEntry);

// The seven maxima; all 0 when the file does not exist. What a damaged
// file does not give reads as 0.
MaxJourTable readMaxima(const QString &dataFolder, const QString &doctorEntry);
// Replaces the file whole; the old file stays as it was when writing fails.
void writeMaxima(const QString &dataFolder, const QString &doctorEntry, const MaxJourTable &values);

// The absence lines in file order; nullopt when there is no file.
std::optional<QStringList> readAbsences(const QString &dataFolder, const QString &doctorEntry);
// The lines joined with no separator, "" without a file.
QString readAbsenceText(const QString &dataFolder, const QString &doctorEntry);
// Adds the dates at the end, creating the file when missing.
void appendAbsences(const QString &dataFolder, const QString &doctorEntry, const QStringList &dates);
// Drops every line equal to the date, through the TmpAbsences file.
void removeAbsence(const QString &dataFolder, const QString &doctorEntry, const QString &date);
// Deletes the file when it exists.
void removeAllAbsences(const QString &dataFolder, const QString &doctorEntry);

} // namespace tv::agendafiles
