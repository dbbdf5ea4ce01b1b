#include "outputs/core/CalendarEvents.h"

#include "agenda/core/Calendar.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace tv::outputs {

namespace {

QString hashedUid(const QString &kind, const QStringList &parts)
{
    // Case-folded: the database compares these names without case.
    const QByteArray key = (kind + QChar(0x1f) + parts.join(QChar(0x1f)).toUpper()).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex())
           + QStringLiteral("@tallvane");
}

std::optional<QDate> visitDate(const VisiteRecord &v)
{
    bool okD = false, okM = false, okY = false;
    const QDate date(v.an.trimmed().toInt(&okY), v.mois.trimmed().toInt(&okM), v.jour.trimmed().toInt(&okD));
    if (!okD || !okM || !okY || !date.isValid())
        return std::nullopt;
    return date;
}

} // namespace

std::optional<QTime> parseHeure(const QString &heure)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,2})\\s*[Hh:]\\s*(\\d{0,2})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(heure);
    if (!m.hasMatch())
        return std::nullopt;
    const QTime time(m.captured(1).toInt(), m.captured(2).isEmpty() ? 0 : m.captured(2).toInt());
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

QString appointmentUid(const QString &doctor, const QString &labo, const QDate &date)
{
    return hashedUid(QStringLiteral("visite"), {doctor.trimmed(), labo.trimmed(), date.toString(Qt::ISODate)});
}

QString absenceUid(const QString &doctor, const QDate &date)
{
    return hashedUid(QStringLiteral("absence"), {doctor.trimmed(), date.toString(Qt::ISODate)});
}

QList<CalendarEvent> calendarEvents(const CalendarRequest &request, const QList<VisiteRecord> &visits,
                                    const QStringList &absenceLines)
{
    const auto inPeriod = [&](const QDate &d) { return d >= request.from && d <= request.to; };
    QList<CalendarEvent> events;
    QSet<QString> seen; // old data may hold the same appointment twice
    for (const VisiteRecord &v : visits) {
        const auto date = visitDate(v);
        if (!date || !inPeriod(*date))
            continue;
        CalendarEvent e{appointmentUid(request.doctor, v.labo, *date), QStringLiteral("Visite : ") + v.labo.trimmed(),
                        *date, parseHeure(v.heure), 30};
        if (!seen.contains(e.uid)) {
            seen.insert(e.uid);
            events.append(e);
        }
    }
    if (request.withAbsences) {
        for (const QString &line : absenceLines) {
            const auto date = calendar::parseJMA(line.trimmed());
            if (!date || !inPeriod(*date))
                continue;
            CalendarEvent e{absenceUid(request.doctor, *date), QStringLiteral("Absent"), *date, std::nullopt, 0};
            if (!seen.contains(e.uid)) {
                seen.insert(e.uid);
                events.append(e);
            }
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const CalendarEvent &a, const CalendarEvent &b) {
        if (a.date != b.date)
            return a.date < b.date;
        return a.start.value_or(QTime(0, 0)) < b.start.value_or(QTime(0, 0));
    });
    return events;
}

} // namespace tv::outputs
