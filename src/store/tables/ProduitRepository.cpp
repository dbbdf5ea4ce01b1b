#include "store/tables/ProduitRepository.h"

#include "store/engine/Database.h"

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

Later<ProduitRepository::Page> ProduitRepository::historyPage(Filter filter, const QString &value,
                                                              const QString &medecin, const QString &beforeDate,
                                                              int limit) const
{
    // The first `limit` rows may end inside a day: that day is read whole,
    // so a page always ends on a complete day and the next starts before
    // it. One statement: the oldest day of the first rows, then every row
    // from that day on.
    const QString where =
        filterClause(filter) + (beforeDate.isEmpty() ? QString() : QStringLiteral(" AND Date < :before"));
    Query q(m_db, QStringLiteral("SELECT %1 FROM Produit WHERE %2 AND Date >= (SELECT min(Date) FROM (SELECT Date "
                                 "FROM Produit WHERE %2 ORDER BY Date DESC, NumProduit DESC LIMIT :limit) AS head) "
                                 "ORDER BY Date DESC, NumProduit DESC")
                      .arg(kColumns, where));
    q.bind(QStringLiteral(":medecin"), medecin).bind(QStringLiteral(":limit"), limit);
    if (filter != Filter::None)
        q.bind(QStringLiteral(":value"), value);
    if (!beforeDate.isEmpty())
        q.bind(QStringLiteral(":before"), beforeDate);
    q.later();
    return {std::move(q), [limit](Query &q) {
                Page page;
                readRows(q, page.rows);
                page.more = page.rows.size() >= limit;
                return page;
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
