#include "agenda/core/BookingSequence.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/AgendaFormat.h"
#include "agenda/core/Booking.h"
#include "common/core/Clock.h"
#include "store/engine/Database.h"
#include "store/tables/Store.h"

namespace tv::booking {

namespace {

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

VisiteRecord visiteOf(const Request &r)
{
    return {0, r.medecin, r.labo, two(r.day.day()), two(r.day.month()), QString::number(r.day.year()), r.heure};
}

Result refused(const QString &message)
{
    return {false, message, {}};
}

// Why the online page does not take the day; "" when it does. A visit
// of the laboratory that day is the insert's to refuse.
QString onlineRefusal(Store &store, const DoctorDays &days, const VisiteRecord &v, const QDate &day)
{
    const QString date = calendar::formatJMA(day);
    // The three reads in one round trip.
    auto quotaText = store.passages().quota(v.labo, v.medecin);
    auto sameDay = store.visites().forDay(v.medecin, v.jour, v.mois, v.an);
    auto yearCount = store.visites().countForLaboYear(v.labo, v.an, v.medecin);
    const auto quota = positiveQuota(quotaText.get());
    if (!quota)
        return refusedLaboMessage(v.labo, v.medecin);
    const QStringList holidays = holidaysOf(day.year());
    const auto count = int(sameDay.get().size());
    switch (dayStatus(days, holidays, day, count, false)) {
    case DayStatus::Booked: // not with bookedHere false
    case DayStatus::Past:
        return QStringLiteral("Le ") + date
               + QStringLiteral(" ne peut plus être réservé en ligne : les rendez-vous se prennent au plus tard la "
                                "veille.");
    case DayStatus::Full: return fullDayMessage();
    case DayStatus::Closed:
        if (const auto holiday = Jour_Ferie(holidays, date))
            return holidayMessage(date, *holiday);
        if (agendaformat::isAbsence(days.absenceText, date))
            return v.medecin + QStringLiteral(" est absent le ") + date + u'.';
        return v.medecin + QStringLiteral(" ne reçoit pas de visiteurs le ") + calendar::weekdayName(day) + u'.';
    case DayStatus::Free: break;
    }
    const QuotaCheck check = checkAnnualQuota(QString::number(*quota), yearCount.get(), v.labo, v.an);
    return check.respected ? QString() : check.message;
}

} // namespace

DoctorDays DoctorDays::read(const QString &dataFolder, const QString &medecin, const QDate &today)
{
    const QString entry = QStringLiteral("  ") + medecin;
    return {medecin, agendafiles::readMaxima(dataFolder, entry), agendafiles::readAbsenceText(dataFolder, entry),
            today};
}

QString statusName(DayStatus status)
{
    switch (status) {
    case DayStatus::Free: return QStringLiteral("libre");
    case DayStatus::Full: return QStringLiteral("complet");
    case DayStatus::Closed: return QStringLiteral("ferme");
    case DayStatus::Past: return QStringLiteral("passe");
    case DayStatus::Booked: return QStringLiteral("pris");
    }
    return {};
}

QStringList holidaysOf(int year)
{
    return Liste_Jours_Feries(QString::number(year)).split(u';');
}

DayStatus dayStatus(const DoctorDays &days, const QStringList &holidays, const QDate &day, int count, bool bookedHere)
{
    if (day <= days.today)
        return DayStatus::Past;
    if (bookedHere)
        return DayStatus::Booked;
    const QString date = calendar::formatJMA(day);
    // A weekday whose maximum is 0 (or less) receives nobody: closed, not full.
    if (Jour_Ferie(holidays, date) || agendaformat::isAbsence(days.absenceText, date)
        || days.maxJour[day.dayOfWeek() - 1] <= 0)
        return DayStatus::Closed;
    if (Max_Visiteurs_Atteint(calendar::weekdayName(day), count, days.maxJour))
        return DayStatus::Full;
    return DayStatus::Free;
}

std::optional<int> positiveQuota(const std::optional<QString> &quota)
{
    if (!quota)
        return std::nullopt;
    bool ok = false;
    const int value = quota->trimmed().toInt(&ok);
    if (!ok || value <= 0)
        return std::nullopt;
    return value;
}

Result book(Store &store, const QString &dataFolder, const Request &request, Policy policy,
            const std::function<void()> &thenRead)
{
    const VisiteRecord visite = visiteOf(request);
    const QString date = calendar::formatJMA(request.day);
    const Result done{
        true, QStringLiteral("Rendez-vous enregistré avec ") + visite.medecin + QStringLiteral(" le ") + date + u'.',
        visite};
    const Result duplicate = refused(duplicateMessage(visite.labo, visite.medecin, date));
    // One visit per laboratory per day is the insert's own test, so that
    // a booking re-sent after a lost answer cannot be made twice.
    if (policy == Policy::Desk)
        return store.visites().insertUnlessDuplicate(visite, thenRead) == VisiteRepository::InsertResult::Inserted
                   ? done
                   : duplicate;
    // The doctor's files are read before the lock: they are not the
    // database's to guard. The day's count and the quota are, with the
    // insert, so that of two requests for the last place one books.
    const DoctorDays days = DoctorDays::read(dataFolder, request.medecin, Clock::today());
    Transaction transaction(store.db(), QStringLiteral("Visite"));
    const QString refusal = onlineRefusal(store, days, visite, request.day);
    if (!refusal.isEmpty())
        return refused(refusal);
    Query insert = store.visites().insertUnlessBooked(visite);
    transaction.checked();
    transaction.commit(thenRead);
    return insert.numRowsAffected() == 1 ? done : duplicate;
}

Result cancel(Store &store, const Request &request, Policy policy)
{
    const QDate today = Clock::today();
    const QString date = calendar::formatJMA(request.day);
    if (policy == Policy::Online && request.day <= today)
        return refused(QStringLiteral("Le rendez-vous du ") + date
                       + QStringLiteral(" ne peut plus être annulé en ligne : appelez le cabinet."));
    const VisiteRecord visite = visiteOf(request);
    Transaction removal(store.db(), QStringLiteral("Visite"));
    const int removed =
        store.visites().removeFirstAppointment(visite.jour, visite.mois, visite.an, visite.labo, visite.medecin);
    removal.commit();
    if (removed == 0)
        return refused(QStringLiteral("Aucun rendez-vous avec ") + visite.medecin + QStringLiteral(" le ") + date
                       + u'.');
    return {true,
            QStringLiteral("Rendez-vous du ") + date + QStringLiteral(" avec ") + visite.medecin
                + QStringLiteral(" annulé."),
            visite};
}

QString refusedLaboMessage(const QString &labo, const QString &medecin)
{
    return labo + QStringLiteral(" est interdit de passage avec  ") + medecin
           + QStringLiteral(",\nle nombre de passage annuel étant fixé à 0.");
}

QString fullDayMessage()
{
    return QStringLiteral("Le nombre maximum de visiteurs est atteint pour cette journée !");
}

QString holidayMessage(const QString &dateJMA, const QString &holiday)
{
    return QStringLiteral("Le ") + dateJMA + QStringLiteral(" est un jour férié !\n") + holiday;
}

} // namespace tv::booking
