#pragma once

#include "store/tables/Records.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tv::rvlists {

// "dd/mm/yyyy" of an appointment, as the user sees it.
QString dateJMA(const VisiteRecord &v);

// LstRV: the appointments of one laboratory with one doctor, latest first,
// each "dd/mm/yyyy  (hh)" or "dd/mm/yyyy  (libre)".
QStringList laboDoctorLines(const QList<VisiteRecord> &visites);

// LstRVJour: today's appointments of the doctor, in text order.
QStringList todayLines(const QList<VisiteRecord> &visites, const QDate &today);
// Its tooltip for one line.
QString todayTooltip(const QString &line);
// The laboratory named by a line of today's list.
QString laboOfTodayLine(const QString &line);
// The first line of today's list that belongs to the laboratory; -1 when
// none does.
int todayIndexOf(const QStringList &todayLines, const QString &labo);

// LstHist: the doctor's appointments before today, latest first.
QStringList historyLines(const QList<VisiteRecord> &visites, const QDate &today);
// One line of it.
QString historyLine(const VisiteRecord &v);
// The day of an appointment; none when its fields make no date.
std::optional<QDate> dayOf(const VisiteRecord &v);

// The month list of a doctor: a blank first line, then one line per
// appointment in date then laboratory order; and its heading.
struct MonthList {
    QStringList lines; // empty when the month has no appointment
    QString heading;
};
// monthIndex 0..11; year as the year box shows it.
MonthList monthList(const QList<VisiteRecord> &visites, int monthIndex, const QString &year);
QString monthName(int monthIndex);     // "Janvier".."Décembre", "" out of range
QString twoDigitMonth(int monthIndex); // "01".."12"

// The appointments of one doctor on one day, for the time dialog.
QString dayAppointmentsText(const QList<VisiteRecord> &visites, const QString &dateJMA);

// The deletion asked for from a line of LstRV.
QString deleteQuestion(const QString &line, const QString &medecin);

} // namespace tv::rvlists
