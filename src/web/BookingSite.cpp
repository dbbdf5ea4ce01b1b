#include "web/BookingSite.h"

#include "common/core/Clock.h"
#include "store/engine/Database.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"
#include "web/Html.h"

#include <QSet>

namespace tv::web {

namespace {

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// 409: the request was understood but the practice's rules refuse it.
constexpr int kRefused = 409;

} // namespace

BookingSite::BookingSite(QString dataFolder, QStringList workstations)
    : m_dataFolder(std::move(dataFolder))
    , m_workstations(std::move(workstations))
{
}

BookingSite::Doctors BookingSite::doctorsOf(Store &store, const QString &labo) const
{
    Doctors d;
    for (const QString &entry : doctorsfile::listEntries(doctorsfile::read(m_dataFolder).value_or(QStringList())))
        d.all.append(entry.trimmed());
    const QHash<QString, QString> quotas = store.passages().quotasForLabo(labo).get();
    QSet<QString> seen;
    for (const QString &doctor : d.all) {
        if (!seen.contains(doctor) && booking::positiveQuota(quotas.value(doctor)))
            d.received.append(doctor);
        seen.insert(doctor);
    }
    return d;
}

bool BookingSite::asksTime(const QString &medecin, const QStringList &allDoctors) const
{
    for (const QString &folder : m_workstations) {
        WorkstationSettings settings;
        if (!vsini::read(folder, settings))
            continue;
        if (settings.dernierMedecin < allDoctors.size() && allDoctors[settings.dernierMedecin] == medecin
            && settings.avecHeure == 1)
            return true;
    }
    return false;
}

Reply BookingSite::render(Store &store, const QString &labo, const QString &token, const QString &medecin,
                          const QDate &month, const QString &message, bool error, int status)
{
    const QDate today = Clock::today();
    const Doctors doctors = doctorsOf(store, labo);
    PageModel m;
    m.token = token;
    m.labo = labo;
    m.doctors = doctors.received;
    m.today = today;
    m.message = message;
    m.error = error;
    m.firstMonth = QDate(today.year() - 1, 1, 1);
    m.lastMonth = QDate(today.year() + 3, 12, 1);
    m.month = month.isValid() ? month : QDate(today.year(), today.month(), 1);
    m.medecin = doctors.received.contains(medecin) ? medecin : doctors.received.value(0);
    const QString an = QString::number(today.year());
    const QString year = QString::number(m.month.year());
    // The page's reads, asked together: one round trip to a server.
    auto coming = store.visites().comingForLabo(labo, an, two(today.month()), two(today.day()));
    auto quota = store.passages().quota(labo, m.medecin);
    auto used = store.visites().countForLaboYear(labo, year, m.medecin);
    auto monthRows = store.visites().forMonth(m.medecin, year, two(m.month.month()));
    m.coming = coming.get();
    if (!m.medecin.isEmpty()) {
        m.quota = booking::positiveQuota(quota.get()).value_or(0);
        m.used = used.get();
        m.askTime = asksTime(m.medecin, doctors.all);
        const booking::DoctorDays days = booking::DoctorDays::read(m_dataFolder, m.medecin, today);
        const QStringList holidays = booking::holidaysOf(m.month.year());
        QHash<QString, int> count;
        QSet<QString> ours;
        for (const VisiteRecord &v : monthRows.get()) {
            ++count[v.jour];
            if (foldText(v.labo) == foldText(labo)) // as the key columns compare
                ours.insert(v.jour);
        }
        for (int d = 1; d <= m.month.daysInMonth(); ++d) {
            const QDate day(m.month.year(), m.month.month(), d);
            m.days.append({day, booking::dayStatus(days, holidays, day, count.value(two(d)), ours.contains(two(d)))});
        }
    }
    return {status, html::page(QStringLiteral("Rendez-vous de ") + labo, renderPage(m))};
}

Reply BookingSite::page(Store &store, const QString &labo, const ParsedRequest &r)
{
    if (r.medecin && !doctorsOf(store, labo).received.contains(*r.medecin))
        return badRequest(r.token,
                          QStringLiteral("Ce médecin ne figure pas parmi ceux qui reçoivent votre laboratoire."));
    return render(store, labo, r.token, r.medecin.value_or(QString()), r.month.value_or(QDate()), {}, false, 200);
}

Reply BookingSite::book(Store &store, const QString &labo, const ParsedRequest &r)
{
    const booking::Result result =
        booking::book(store, m_dataFolder, {*r.medecin, labo, *r.day, r.heure}, booking::Policy::Online);
    const QDate month(r.day->year(), r.day->month(), 1);
    return render(store, labo, r.token, *r.medecin, month, result.message, !result.done, result.done ? 200 : kRefused);
}

Reply BookingSite::cancel(Store &store, const QString &labo, const ParsedRequest &r)
{
    const booking::Result result =
        booking::cancel(store, {*r.medecin, labo, *r.day, QString()}, booking::Policy::Online);
    const QDate month(r.day->year(), r.day->month(), 1);
    return render(store, labo, r.token, *r.medecin, month, result.message, !result.done, result.done ? 200 : kRefused);
}

Reply BookingSite::badRequest(const QString &token, const QString &message) const
{
    return {400, html::messagePage(QStringLiteral("Demande incorrecte"), message,
                                   token.isEmpty() ? QString() : QStringLiteral("/r/") + token)};
}

} // namespace tv::web
