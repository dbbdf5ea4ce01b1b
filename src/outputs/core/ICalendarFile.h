#pragma once

#include "outputs/core/CalendarEvents.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The iCalendar files (RFC 5545) the agenda is exported to: one VEVENT per
// event, timed events in Europe/Paris with that zone's VTIMEZONE. Written
// with libical only here.
namespace tv::icalendarfile {

QByteArray encode(const QList<outputs::CalendarEvent> &events, const QDateTime &stamp);

// Through a temporary file and a rename. Throws StoreError.
void write(const QString &path, const QList<outputs::CalendarEvent> &events, const QDateTime &stamp);

} // namespace tv::icalendarfile
