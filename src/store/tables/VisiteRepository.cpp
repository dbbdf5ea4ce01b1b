#include "store/tables/VisiteRepository.h"

#include "store/engine/Database.h"
#include "store/tables/WholeDays.h"

#include <algorithm>

namespace tv {

namespace {
const QString kColumns = QStringLiteral("NumVisite, Medecin, Labo, Jour, Mois, An, Heure");

void readBulk(BulkQuery &q, QList<VisiteRecord> &rows)
{
    while (q.next())
        rows.append({q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5), q.text(6)});
}

QList<VisiteRecord> readAll(SqlQuery &q)
{
    QList<VisiteRecord> rows;
    while (q.next())
        rows.append({q.value(0).toLongLong(), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5), q.text(6)});
    return rows;
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
} // namespace

QList<VisiteRecord> VisiteRepository::forLaboMedecin(const QString &labo, const QString &medecin) const
{
    SqlQuery q(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE Labo = :labo AND Medecin = :medecin "
                                    "ORDER BY An DESC, Mois DESC, Jour DESC, NumVisite DESC")
                         .arg(kColumns));
    q.bind(QStringLiteral(":labo"), labo).bind(QStringLiteral(":medecin"), medecin).exec();
    return readAll(q);
}

int VisiteRepository::countForLaboYear(const QString &labo, const QString &an, const QString &medecin) const
{
    SqlQuery q(m_db,
               QStringLiteral("SELECT COUNT(*) FROM Visite WHERE Labo = :labo AND An = :an AND Medecin = :medecin"));
    q.bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":medecin"), medecin)
        .exec();
    return q.next() ? q.value(0).toInt() : 0;
}

QList<VisiteRecord> VisiteRepository::forMedecin(const QString &medecin) const
{
    // Thousands of rows at a busy practice: read straight from the engine.
    BulkQuery q(m_db,
                QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin ORDER BY NumVisite").arg(kColumns));
    q.bind(":medecin", medecin);
    QList<VisiteRecord> rows;
    readBulk(q, rows);
    return rows;
}

QString VisiteRepository::dayOf(const VisiteRecord &v)
{
    return v.an + u'-' + v.mois + u'-' + v.jour;
}

int VisiteRepository::countPast(const QString &medecin, const QString &today) const
{
    const QStringList day = today.split(u'-');
    BulkQuery q(m_db, QStringLiteral("SELECT COUNT(*) FROM Visite WHERE Medecin = :medecin "
                                     "AND (An, Mois, Jour) < (:an, :mois, :jour)"));
    q.bind(":medecin", medecin).bind(":an", day.value(0)).bind(":mois", day.value(1)).bind(":jour", day.value(2));
    return q.next() ? static_cast<int>(q.integer(0)) : 0;
}

DayPage<VisiteRecord> VisiteRepository::pastDays(const QString &medecin, const QString &today, const DayRange &range,
                                                 bool newestFirst, int limit) const
{
    // Only the past: a newer bound at or after today is today, excluded.
    const bool beforeToday = range.newest.isEmpty() || range.newest >= today;
    const QStringList newest = (beforeToday ? today : range.newest).split(u'-');
    const QStringList oldest = range.oldest.split(u'-');
    // The bounds on the index's date columns: the doctor's rows are walked
    // from one end of the range.
    QString where = QStringLiteral("Medecin = :medecin AND (An, Mois, Jour) %1 (:na, :nm, :nj)")
                        .arg(beforeToday ? QStringLiteral("<") : newerBound(range));
    if (!range.oldest.isEmpty())
        where += QStringLiteral(" AND (An, Mois, Jour) %1 (:oa, :om, :oj)").arg(olderBound(range));
    const QString direction = newestFirst ? QStringLiteral("DESC") : QStringLiteral("ASC");
    BulkQuery q(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE %2 ORDER BY An %3, Mois %3, Jour %3 LIMIT :limit")
                          .arg(kColumns, where, direction));
    q.bind(":medecin", medecin).bind(":na", newest.value(0)).bind(":nm", newest.value(1)).bind(":nj", newest.value(2));
    if (!range.oldest.isEmpty())
        q.bind(":oa", oldest.value(0)).bind(":om", oldest.value(1)).bind(":oj", oldest.value(2));
    q.bind(":limit", QString::number(limit));
    QList<VisiteRecord> rows;
    readBulk(q, rows);
    return wholeDays(std::move(rows), limit, &VisiteRepository::dayOf, [&](const QString &day) {
        const QStringList parts = day.split(u'-');
        BulkQuery whole(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin AND An = :an "
                                             "AND Mois = :mois AND Jour = :jour")
                                  .arg(kColumns));
        whole.bind(":medecin", medecin).bind(":an", parts.value(0)).bind(":mois", parts.value(1));
        whole.bind(":jour", parts.value(2));
        QList<VisiteRecord> dayRows;
        readBulk(whole, dayRows);
        return dayRows;
    });
}

QList<VisiteRecord> VisiteRepository::forMonth(const QString &medecin, const QString &an, const QString &mois) const
{
    SqlQuery q(
        m_db,
        QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin AND An = :an AND Mois = :mois").arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":mois"), mois)
        .exec();
    return inTableOrder(readAll(q));
}

QList<VisiteRecord> VisiteRepository::forDay(const QString &medecin, const QString &jour, const QString &mois,
                                             const QString &an) const
{
    SqlQuery q(m_db, QStringLiteral("SELECT %1 FROM Visite WHERE Medecin = :medecin AND An = :an AND Mois = :mois "
                                    "AND Jour = :jour")
                         .arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":mois"), mois)
        .bind(QStringLiteral(":jour"), jour)
        .exec();
    return inTableOrder(readAll(q));
}

void VisiteRepository::insert(const VisiteRecord &v)
{
    SqlQuery q(m_db, QStringLiteral("INSERT INTO Visite (Medecin, Labo, Jour, Mois, An, Heure) "
                                    "VALUES (:medecin, :labo, :jour, :mois, :an, :heure)"));
    q.bind(QStringLiteral(":medecin"), v.medecin)
        .bind(QStringLiteral(":labo"), v.labo)
        .bind(QStringLiteral(":jour"), v.jour)
        .bind(QStringLiteral(":mois"), v.mois)
        .bind(QStringLiteral(":an"), v.an)
        .bind(QStringLiteral(":heure"), v.heure)
        .exec();
}

VisiteRepository::InsertResult VisiteRepository::insertUnlessDuplicate(const VisiteRecord &v)
{
    Transaction transaction(m_db, QStringLiteral("Visite"));
    SqlQuery check(m_db, QStringLiteral("SELECT 1 FROM Visite WHERE Medecin = :medecin AND An = :an AND Mois = :mois "
                                        "AND Jour = :jour AND Labo = :labo LIMIT 1"));
    check.bind(QStringLiteral(":medecin"), v.medecin)
        .bind(QStringLiteral(":an"), v.an)
        .bind(QStringLiteral(":mois"), v.mois)
        .bind(QStringLiteral(":jour"), v.jour)
        .bind(QStringLiteral(":labo"), v.labo)
        .exec();
    if (check.next())
        return InsertResult::Duplicate;
    Transaction::checked();
    insert(v);
    transaction.commit();
    return InsertResult::Inserted;
}

int VisiteRepository::removeForLabo(const QString &labo)
{
    SqlQuery q(m_db, QStringLiteral("DELETE FROM Visite WHERE Labo = :labo"));
    q.bind(QStringLiteral(":labo"), labo).exec();
    return q.numRowsAffected();
}

int VisiteRepository::removeForMedecin(const QString &medecin)
{
    SqlQuery q(m_db, QStringLiteral("DELETE FROM Visite WHERE Medecin = :medecin"));
    q.bind(QStringLiteral(":medecin"), medecin).exec();
    return q.numRowsAffected();
}

int VisiteRepository::removeYear(const QString &an)
{
    SqlQuery q(m_db, QStringLiteral("DELETE FROM Visite WHERE An = :an"));
    q.bind(QStringLiteral(":an"), an).exec();
    return q.numRowsAffected();
}

int VisiteRepository::countYear(const QString &an) const
{
    SqlQuery q(m_db, QStringLiteral("SELECT COUNT(*) FROM Visite WHERE An = :an"));
    q.bind(QStringLiteral(":an"), an).exec();
    return q.next() ? q.value(0).toInt() : 0;
}

int VisiteRepository::renameLabo(const QString &from, const QString &to)
{
    SqlQuery q(m_db, QStringLiteral("UPDATE Visite SET Labo = :to WHERE Labo = :from"));
    q.bind(QStringLiteral(":to"), to).bind(QStringLiteral(":from"), from).exec();
    return q.numRowsAffected();
}

int VisiteRepository::removeFirstAppointment(const QString &jour, const QString &mois, const QString &an,
                                             const QString &labo, const QString &medecin)
{
    SqlQuery q(m_db, QStringLiteral("DELETE FROM Visite WHERE NumVisite = (SELECT NumVisite FROM Visite "
                                    "WHERE Jour = :jour AND Mois = :mois AND An = :an AND Labo = :labo "
                                    "AND Medecin = :medecin ORDER BY NumVisite LIMIT 1)"));
    q.bind(QStringLiteral(":jour"), jour)
        .bind(QStringLiteral(":mois"), mois)
        .bind(QStringLiteral(":an"), an)
        .bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":medecin"), medecin)
        .exec();
    return q.numRowsAffected();
}

} // namespace tv
