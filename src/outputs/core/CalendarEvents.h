#pragma once

#include "store/tables/Records.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

// A doctor's appointments as calendar events, ready to be written in any
// calendar format.
namespace tv::outputs {

struct CalendarEvent {
    QString uid;
    QString summary;
    QDate date;
    std::optional<QTime> start; // none: an all-day event
    int minutes = 30;

    friend bool operator==(const CalendarEvent &, const CalendarEvent &) = default;
};

struct CalendarRequest {
    QString doctor;
    QDate from;
    QDate to; // included
    bool withAbsences = false;
};

// "10H30" -> 10:30; nothing for an empty or damaged text.
std::optional<QTime> parseHeure(const QString &heure);

// A UID that depends only on what the appointment is (doctor, laboratory,
// day): the same appointment exported twice updates the calendar's copy,
// whatever its row number after a repair or a copy of the database.
QString appointmentUid(const QString &doctor, const QString &labo, const QDate &date);
QString absenceUid(const QString &doctor, const QDate &date);

// The events of the period, in date then time order. Absence lines are
// "dd/mm/yyyy" dates as the Absences file holds them.
QList<CalendarEvent> calendarEvents(const CalendarRequest &request, const QList<VisiteRecord> &visits,
                                    const QStringList &absenceLines);

} // namespace tv::outputs
