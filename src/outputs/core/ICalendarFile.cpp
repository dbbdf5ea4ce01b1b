#include "outputs/core/ICalendarFile.h"

#include "store/engine/StoreError.h"
#include "store/files/TextFile.h"

#include <libical/ical.h>

#include <memory>

namespace tv::icalendarfile {

namespace {

constexpr const char *kZone = "Europe/Paris";

struct ComponentFree {
    void operator()(icalcomponent *c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

icaltimetype dateValue(const QDate &d)
{
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

icaltimetype localValue(const QDate &d, const QTime &time, icaltimezone *zone)
{
    icaltimetype t = icaltime_null_time();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    t.hour = time.hour();
    t.minute = time.minute();
    return icaltime_set_timezone(&t, zone);
}

icalproperty *zoned(icalproperty *property)
{
    icalproperty_add_parameter(property, icalparameter_new_tzid(kZone));
    return property;
}

// libical names its built-in zones after its own site; calendars and
// readers know the plain Olson name, so the copy carries that one.
icalcomponent *zoneComponent(icaltimezone *zone)
{
    icalcomponent *vtimezone = icalcomponent_new_clone(icaltimezone_get_component(zone));
    if (icalproperty *tzid = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY))
        icalproperty_set_tzid(tzid, kZone);
    return vtimezone;
}

icalcomponent *eventComponent(const outputs::CalendarEvent &e, const icaltimetype &stamp, icaltimezone *zone)
{
    icalcomponent *event = icalcomponent_new_vevent();
    icalcomponent_add_property(event, icalproperty_new_uid(e.uid.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));
    icalcomponent_add_property(event, icalproperty_new_summary(e.summary.toUtf8().constData()));
    if (e.start) {
        const QTime end = e.start->addSecs(e.minutes * 60);
        const QDate endDay = end < *e.start ? e.date.addDays(1) : e.date;
        icalcomponent_add_property(event, zoned(icalproperty_new_dtstart(localValue(e.date, *e.start, zone))));
        icalcomponent_add_property(event, zoned(icalproperty_new_dtend(localValue(endDay, end, zone))));
    } else {
        icalcomponent_add_property(event, icalproperty_new_dtstart(dateValue(e.date)));
        icalcomponent_add_property(event, icalproperty_new_dtend(dateValue(e.date.addDays(1))));
    }
    return event;
}

} // namespace

QByteArray encode(const QList<outputs::CalendarEvent> &events, const QDateTime &stamp)
{
    icaltimezone *zone = icaltimezone_get_builtin_timezone(kZone);
    if (!zone)
        throw StoreError(QStringLiteral("Le fuseau horaire « Europe/Paris » est introuvable sur cet ordinateur."));
    Component calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Tallvane//Agenda des visites//FR"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    icalcomponent_add_component(calendar.get(), zoneComponent(zone));
    const QDateTime utc = stamp.toUTC();
    icaltimetype stampValue = icaltime_null_time();
    stampValue.year = utc.date().year();
    stampValue.month = utc.date().month();
    stampValue.day = utc.date().day();
    stampValue.hour = utc.time().hour();
    stampValue.minute = utc.time().minute();
    stampValue.second = utc.time().second();
    stampValue = icaltime_set_timezone(&stampValue, icaltimezone_get_utc_timezone());
    for (const outputs::CalendarEvent &e : events)
        icalcomponent_add_component(calendar.get(), eventComponent(e, stampValue, zone));
    // The string belongs to libical's ring buffer; copy it at once.
    const char *text = icalcomponent_as_ical_string(calendar.get());
    return text ? QByteArray(text) : QByteArray();
}

void write(const QString &path, const QList<outputs::CalendarEvent> &events, const QDateTime &stamp)
{
    textfile::writeBytes(path, encode(events, stamp));
}

} // namespace tv::icalendarfile
