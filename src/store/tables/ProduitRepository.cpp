#include "store/tables/ProduitRepository.h"

#include "store/engine/Database.h"
#include "store/tables/DayBounds.h"

namespace tv {

namespace {
const QString kColumns = QStringLiteral("NumProduit, Medecin, Labo, Delegue, Date, Produit");

QString filterClause(ProduitRepository::Filter filter)
{
    switch (filter) {
    case ProduitRepository::Filter::None: return QStringLiteral("Medecin = :medecin");
    case ProduitRepository::Filter::Delegue:
        return QStringLiteral("Medecin = :medecin AND tv_fold(Delegue) = tv_fold(:value)");
    case ProduitRepository::Filter::Labo: return QStringLiteral("Medecin = :medecin AND Labo = :value");
    case ProduitRepository::Filter::Medicament:
        return QStringLiteral("Medecin = :medecin AND tv_contains(Produit, :value)");
    }
    return QStringLiteral("Medecin = :medecin");
}

void readRows(Query &q, QList<ProduitRecord> &rows)
{
    while (q.next())
        rows.append({q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5)});
}
} // namespace

Later<int> ProduitRepository::historyCount(Filter filter, const QString &value, const QString &medecin) const
{
    Query q(m_db, QStringLiteral("SELECT COUNT(*) FROM Produit WHERE %1").arg(filterClause(filter)));
    q.bind(QStringLiteral(":medecin"), medecin);
    if (filter != Filter::None)
        q.bind(QStringLiteral(":value"), value);
    q.later();
    return {std::move(q), [](Query &count) { return count.next() ? static_cast<int>(count.integer(0)) : 0; }};
}

Later<DayPage<ProduitRecord>> ProduitRepository::historyDays(Filter filter, const QString &value,
                                                             const QString &medecin, const DayRange &range,
                                                             bool newestFirst, int limit) const
{
    const QString where = filterClause(filter);
    QString bounds;
    if (!range.newest.isEmpty())
        bounds += QStringLiteral(" AND Date %1 :newest").arg(newerBound(range));
    if (!range.oldest.isEmpty())
        bounds += QStringLiteral(" AND Date %1 :oldest").arg(olderBound(range));
    // The first `limit` rows may end inside a day: every row of that day
    // comes too, in the same statement, so a page ends on a whole day.
    Query q(m_db, QStringLiteral("SELECT %1 FROM Produit WHERE %2%3 AND Date %5 (SELECT %6(Date) FROM (SELECT Date "
                                 "FROM Produit WHERE %2%3 ORDER BY Date %4 LIMIT :limit) AS head) ORDER BY Date %4")
                      .arg(kColumns, where, bounds, newestFirst ? QStringLiteral("DESC") : QStringLiteral("ASC"),
                           newestFirst ? QStringLiteral(">=") : QStringLiteral("<="),
                           newestFirst ? QStringLiteral("min") : QStringLiteral("max")));
    q.bind(QStringLiteral(":medecin"), medecin).bind(QStringLiteral(":limit"), limit);
    if (filter != Filter::None)
        q.bind(QStringLiteral(":value"), value);
    if (!range.newest.isEmpty())
        q.bind(QStringLiteral(":newest"), range.newest);
    if (!range.oldest.isEmpty())
        q.bind(QStringLiteral(":oldest"), range.oldest);
    q.later();
    return {std::move(q), [limit](Query &page) {
                DayPage<ProduitRecord> result;
                readRows(page, result.rows);
                result.more = result.rows.size() >= limit;
                return result;
            }};
}

Later<QList<ProduitRecord>> ProduitRepository::select(const QString &where,
                                                      const QList<std::pair<QString, QString>> &values) const
{
    // A doctor's whole history runs to thousands of rows: read straight
    // from the engine.
    Query q(m_db,
            QStringLiteral("SELECT %1 FROM Produit WHERE %2 ORDER BY Date DESC, NumProduit DESC").arg(kColumns, where));
    for (const auto &[name, value] : values)
        q.bind(name, value);
    q.later();
    return {std::move(q), [](Query &q) {
                QList<ProduitRecord> rows;
                readRows(q, rows);
                return rows;
            }};
}

Later<std::optional<ProduitRecord>> ProduitRepository::find(const QString &labo, const QString &medecin,
                                                            const QString &date) const
{
    Query q(m_db, QStringLiteral("SELECT %1 FROM Produit WHERE Medecin = :medecin AND Labo = :labo AND Date = :date "
                                 "ORDER BY NumProduit LIMIT 1")
                      .arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":date"), date)
        .later();
    return {std::move(q), [](Query &q) {
                return q.next() ? std::optional(
                           ProduitRecord{q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5)})
                                : std::nullopt;
            }};
}

qint64 ProduitRepository::insert(const ProduitRecord &r)
{
    // A visit has one record: unless it is there already, so that sent
    // twice (the server's first answer lost) it is not recorded twice.
    Query insert(m_db,
                 QStringLiteral("INSERT INTO Produit (Medecin, Labo, Delegue, Date, Produit) "
                                "SELECT :medecin, :labo, :delegue, :date, :produit WHERE NOT EXISTS "
                                "(SELECT 1 FROM Produit WHERE Medecin = :medecin AND Labo = :labo AND Date = :date)"));
    insert.bind(QStringLiteral(":medecin"), r.medecin)
        .bind(QStringLiteral(":labo"), r.labo)
        .bind(QStringLiteral(":delegue"), r.delegue)
        .bind(QStringLiteral(":date"), r.date)
        .bind(QStringLiteral(":produit"), r.produit)
        .repeatable()
        .later();
    Query added(m_db, QStringLiteral("SELECT NumProduit FROM Produit WHERE Medecin = :medecin AND Labo = :labo "
                                     "AND Date = :date ORDER BY NumProduit LIMIT 1"));
    added.bind(QStringLiteral(":medecin"), r.medecin)
        .bind(QStringLiteral(":labo"), r.labo)
        .bind(QStringLiteral(":date"), r.date)
        .exec();
    return added.next() ? added.integer(0) : 0;
}

void ProduitRepository::update(const ProduitRecord &r)
{
    Query q(m_db, QStringLiteral("UPDATE Produit SET Medecin = :medecin, Labo = :labo, Delegue = :delegue, "
                                 "Date = :date, Produit = :produit WHERE NumProduit = :id"));
    q.bind(QStringLiteral(":medecin"), r.medecin)
        .bind(QStringLiteral(":labo"), r.labo)
        .bind(QStringLiteral(":delegue"), r.delegue)
        .bind(QStringLiteral(":date"), r.date)
        .bind(QStringLiteral(":produit"), r.produit)
        .bind(QStringLiteral(":id"), r.numProduit)
        .repeatable()
        .exec();
}

void ProduitRepository::remove(qint64 numProduit)
{
    Query q(m_db, QStringLiteral("DELETE FROM Produit WHERE NumProduit = :id"));
    q.bind(QStringLiteral(":id"), numProduit).repeatable().exec();
}

Later<QList<ProduitRecord>> ProduitRepository::forMedecin(const QString &medecin) const
{
    return select(QStringLiteral("Medecin = :medecin"), {{QStringLiteral(":medecin"), medecin}});
}

Later<QList<ProduitRecord>> ProduitRepository::forDelegue(const QString &delegue, const QString &medecin) const
{
    return select(QStringLiteral("Medecin = :medecin AND tv_fold(Delegue) = tv_fold(:delegue)"),
                  {{QStringLiteral(":medecin"), medecin}, {QStringLiteral(":delegue"), delegue}});
}

Later<QList<ProduitRecord>> ProduitRepository::containing(const QString &text, const QString &medecin) const
{
    return select(QStringLiteral("Medecin = :medecin AND tv_contains(Produit, :text)"),
                  {{QStringLiteral(":medecin"), medecin}, {QStringLiteral(":text"), text}});
}

} // namespace tv
