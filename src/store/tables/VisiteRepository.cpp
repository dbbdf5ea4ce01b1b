#include "store/tables/VisiteRepository.h"

#include "store/engine/Database.h"
#include "store/tables/DayBounds.h"

#include <algorithm>

namespace tv {

namespace {
const QString kColumns = QStringLiteral("NumVisite, Medecin, Labo, Jour, Mois, An, Heure");
// The laboratory's visit with the doctor that day.
const QString kSameDay = QStringLiteral("SELECT 1 FROM Visite WHERE Medecin = :medecin AND An = :an AND Mois = :mois "
                                        "AND Jour = :jour AND Labo = :labo");

QList<VisiteRecord> readAll(Query &q)
{
    QList<VisiteRecord> rows;
    while (q.next())
        rows.append({q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5), q.text(6)});
    return rows;
}

int readCount(Query &q)
{
    return q.next() ? static_cast<int>(q.integer(0)) : 0;
}

// Table order, restored here: asked of the engine, "ORDER BY NumVisite"
// makes it walk the year's index in row order (tens of thousands of rows)
// instead of finding the doctor's few through his own.
QList<VisiteRecord> inTableOrder(QList<VisiteRecord> rows)
{
    std::sort(rows.begin(), rows.end(),
              [](const VisiteRecord &a, const VisiteRecord &b) { return a.numVisite < b.numVisite; });
    return rows;
}
// The laboratory's visit to the doctor on that day: the key every
// statement about one appointment binds.
Query &bindDay(Query &q, const VisiteRecord &v)
{
    return q.bind(QStringLiteral(":medecin"), v.medecin)
        .bind(QStringLiteral(":labo"), v.labo)
        .bind(QStringLiteral(":jour"), v.jour)
        .bind(QStringLiteral(":mois"), v.mois)
        .bind(QStringLiteral(":an"), v.an);
}

} // namespace

Later<QList<VisiteRecord>> VisiteRepository::forLaboMedecin(const QString &labo, const QString &medecin) const
{
    Query q(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE Labo = :labo AND Medecin = :medecin "
                                 "ORDER BY An DESC, Mois DESC, Jour DESC, NumVisite DESC")
                      .arg(kColumns));
    q.bind(QStringLiteral(":labo"), labo).bind(QStringLiteral(":medecin"), medecin).later();
    return {std::move(q), readAll};
}

Later<int> VisiteRepository::countForLaboYear(const QString &labo, const QString &an, const QString &medecin) const
{
    Query q(m_db, QStringLiteral("SELECT COUNT(*) FROM Visite WHERE Labo = :labo AND An = :an AND Medecin = :medecin"));
    q.bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":medecin"), medecin)
        .later();
    return {std::move(q), readCount};
}

Later<QList<VisiteRecord>> VisiteRepository::forMedecin(const QString &medecin) const
{
    Query q(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin ORDER BY NumVisite").arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin).later();
    return {std::move(q), readAll};
}

Later<QList<VisiteRecord>> VisiteRepository::forMedecinYear(const QString &medecin, const QString &an) const
{
    Query q(
        m_db,
        QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin AND An = :an ORDER BY NumVisite").arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin).bind(QStringLiteral(":an"), an).later();
    return {std::move(q), readAll};
}

QString VisiteRepository::dayOf(const VisiteRecord &v)
{
    return v.an + u'-' + v.mois + u'-' + v.jour;
}

Later<int> VisiteRepository::countPast(const QString &medecin, const QString &today) const
{
    const QStringList day = today.split(u'-');
    Query q(m_db, QStringLiteral("SELECT COUNT(*) FROM Visite WHERE Medecin = :medecin "
                                 "AND (An, Mois, Jour) < (:an, :mois, :jour)"));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":an"), day.value(0))
        .bind(QStringLiteral(":mois"), day.value(1))
        .bind(QStringLiteral(":jour"), day.value(2))
        .later();
    return {std::move(q), readCount};
}

Later<DayPage<VisiteRecord>> VisiteRepository::pastDays(const QString &medecin, const QString &today,
                                                        const DayRange &range, bool newestFirst, int limit) const
{
    // Only the past: a newer bound at or after today is today, excluded.
    const bool beforeToday = range.newest.isEmpty() || range.newest >= today;
    const QStringList newest = (beforeToday ? today : range.newest).split(u'-');
    const QStringList oldest = range.oldest.split(u'-');
    // The bounds on the index's date columns: the doctor's rows are walked
    // from one end of the range.
    const auto within = [&](const QString &t) {
        QString where = QStringLiteral("%1Medecin = :medecin AND (%1An, %1Mois, %1Jour) %2 (:na, :nm, :nj)")
                            .arg(t, beforeToday ? QStringLiteral("<") : newerBound(range));
        if (!range.oldest.isEmpty())
            where += QStringLiteral(" AND (%1An, %1Mois, %1Jour) %2 (:oa, :om, :oj)").arg(t, olderBound(range));
        return where;
    };
    // The first `limit` rows may end inside a day: every row of that day
    // comes too, in the same statement, so a page ends on a whole day. The
    // day found first is joined, not compared with a subquery, so that the
    // server walks the index from it too.
    const QString direction = newestFirst ? QStringLiteral("DESC") : QStringLiteral("ASC");
    const QString back = newestFirst ? QStringLiteral("ASC") : QStringLiteral("DESC");
    Query q(m_db, QStringLiteral("SELECT v.NumVisite, v.Medecin, v.Labo, v.Jour, v.Mois, v.An, v.Heure FROM "
                                 "(SELECT An, Mois, Jour FROM (SELECT An, Mois, Jour FROM Visite WHERE %1 "
                                 "ORDER BY An %3, Mois %3, Jour %3 LIMIT :limit) AS h ORDER BY An %4, Mois %4, Jour %4 "
                                 "LIMIT 1) AS head, Visite v WHERE %2 AND (v.An, v.Mois, v.Jour) %5 "
                                 "(head.An, head.Mois, head.Jour) ORDER BY v.An %3, v.Mois %3, v.Jour %3")
                      .arg(within(QString()), within(QStringLiteral("v.")), direction, back,
                           newestFirst ? QStringLiteral(">=") : QStringLiteral("<=")));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":na"), newest.value(0))
        .bind(QStringLiteral(":nm"), newest.value(1))
        .bind(QStringLiteral(":nj"), newest.value(2));
    if (!range.oldest.isEmpty())
        q.bind(QStringLiteral(":oa"), oldest.value(0))
            .bind(QStringLiteral(":om"), oldest.value(1))
            .bind(QStringLiteral(":oj"), oldest.value(2));
    q.bind(QStringLiteral(":limit"), limit).later();
    return {std::move(q), [limit](Query &page) {
                DayPage<VisiteRecord> result;
                result.rows = readAll(page);
                result.more = result.rows.size() >= limit;
                return result;
            }};
}

Later<QList<VisiteRecord>> VisiteRepository::comingForLabo(const QString &labo, const QString &an, const QString &mois,
                                                           const QString &jour) const
{
    Query q(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE Labo = :labo AND An >= :an "
                                 "AND (An > :an OR Mois > :mois OR (Mois = :mois AND Jour >= :jour)) "
                                 "ORDER BY An, Mois, Jour, Medecin, NumVisite")
                      .arg(kColumns));
    q.bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":mois"), mois)
        .bind(QStringLiteral(":jour"), jour)
        .later();
    return {std::move(q), readAll};
}

Later<QList<VisiteRecord>> VisiteRepository::forMonth(const QString &medecin, const QString &an,
                                                      const QString &mois) const
{
    Query q(
        m_db,
        QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin AND An = :an AND Mois = :mois").arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":mois"), mois)
        .later();
    return {std::move(q), [](Query &q) { return inTableOrder(readAll(q)); }};
}

Later<QList<VisiteRecord>> VisiteRepository::forDay(const QString &medecin, const QString &jour, const QString &mois,
                                                    const QString &an) const
{
    Query q(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin AND An = :an AND Mois = :mois "
                                 "AND Jour = :jour")
                      .arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":mois"), mois)
        .bind(QStringLiteral(":jour"), jour)
        .later();
    return {std::move(q), [](Query &q) { return inTableOrder(readAll(q)); }};
}

void VisiteRepository::insert(const VisiteRecord &v)
{
    Query q(m_db, QStringLiteral("INSERT INTO Visite (Medecin, Labo, Jour, Mois, An, Heure) "
                                 "VALUES (:medecin, :labo, :jour, :mois, :an, :heure)"));
    bindDay(q, v).bind(QStringLiteral(":heure"), v.heure).exec();
}

Later<bool> VisiteRepository::hasVisitOn(const VisiteRecord &v) const
{
    Query q(m_db, kSameDay + QStringLiteral(" LIMIT 1"));
    bindDay(q, v).later();
    return {std::move(q), [](Query &q) { return q.next(); }};
}

Query VisiteRepository::insertUnlessBooked(const VisiteRecord &v)
{
    Query insert(m_db, QStringLiteral("INSERT INTO Visite (Medecin, Labo, Jour, Mois, An, Heure) "
                                      "SELECT :medecin, :labo, :jour, :mois, :an, :heure WHERE NOT EXISTS (%1)")
                           .arg(kSameDay));
    bindDay(insert, v).bind(QStringLiteral(":heure"), v.heure).later();
    return insert;
}

VisiteRepository::InsertResult VisiteRepository::insertUnlessDuplicate(const VisiteRecord &v,
                                                                       const std::function<void()> &thenRead)
{
    // The check and the insert are one statement under the table's lock:
    // one round trip, and sent again when the server's first answer was
    // lost, since it cannot add the appointment twice.
    Transaction transaction(m_db, QStringLiteral("Visite"), Transaction::Repeat::Yes);
    Query insert = insertUnlessBooked(v);
    transaction.checked();
    transaction.commit(thenRead);
    // Sent twice, the first one did it.
    if (insert.numRowsAffected() == 1 || transaction.repeated())
        return InsertResult::Inserted;
    return InsertResult::Duplicate;
}

void VisiteRepository::removeForLabo(const QString &labo)
{
    Query q(m_db, QStringLiteral("DELETE FROM Visite WHERE Labo = :labo"));
    q.bind(QStringLiteral(":labo"), labo).repeatable().exec();
}

void VisiteRepository::removeForMedecin(const QString &medecin)
{
    Query q(m_db, QStringLiteral("DELETE FROM Visite WHERE Medecin = :medecin"));
    q.bind(QStringLiteral(":medecin"), medecin).repeatable().exec();
}

void VisiteRepository::removeYear(const QString &an)
{
    Query q(m_db, QStringLiteral("DELETE FROM Visite WHERE An = :an"));
    q.bind(QStringLiteral(":an"), an).repeatable().exec();
}

Later<int> VisiteRepository::countYear(const QString &an) const
{
    Query q(m_db, QStringLiteral("SELECT COUNT(*) FROM Visite WHERE An = :an"));
    q.bind(QStringLiteral(":an"), an).later();
    return {std::move(q), readCount};
}

void VisiteRepository::renameLabo(const QString &from, const QString &to)
{
    Query q(m_db, QStringLiteral("UPDATE Visite SET Labo = :to WHERE Labo = :from"));
    q.bind(QStringLiteral(":to"), to).bind(QStringLiteral(":from"), from).repeatable().exec();
}

int VisiteRepository::removeFirstAppointment(const QString &jour, const QString &mois, const QString &an,
                                             const QString &labo, const QString &medecin)
{
    Query q(m_db, QStringLiteral("DELETE FROM Visite WHERE NumVisite = (SELECT NumVisite FROM Visite "
                                 "WHERE Jour = :jour AND Mois = :mois AND An = :an AND Labo = :labo "
                                 "AND Medecin = :medecin ORDER BY NumVisite LIMIT 1)"));
    q.bind(QStringLiteral(":jour"), jour)
        .bind(QStringLiteral(":mois"), mois)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":medecin"), medecin)
        .repeatable()
        .exec();
    return q.numRowsAffected();
}

} // namespace tv
