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

void readRows(BulkQuery &q, QList<ProduitRecord> &rows)
{
    while (q.next())
        rows.append({q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5)});
}
} // namespace

ProduitRepository::Page ProduitRepository::historyPage(Filter filter, const QString &value, const QString &medecin,
                                                       const QString &beforeDate, int limit) const
{
    const QString where = filterClause(filter);
    const bool hasValue = filter != Filter::None;
    const bool bounded = !beforeDate.isEmpty();
    BulkQuery q(m_db,
                QStringLiteral("SELECT %1 FROM Produit WHERE %2%3 ORDER BY Date DESC, NumProduit DESC LIMIT :limit")
                    .arg(kColumns, where, bounded ? QStringLiteral(" AND Date < :before") : QString()));
    q.bind(":medecin", medecin).bind(":limit", QString::number(limit));
    if (hasValue)
        q.bind(":value", value);
    if (bounded)
        q.bind(":before", beforeDate);
    Page page;
    readRows(q, page.rows);
    if (page.rows.size() < limit)
        return page;
    // The limit may cut a day in two: its rows are read again whole, so a
    // page always ends on a complete day and the next starts before it.
    const QString lastDay = page.rows.constLast().date;
    while (!page.rows.isEmpty() && page.rows.constLast().date == lastDay)
        page.rows.removeLast();
    BulkQuery day(m_db, QStringLiteral("SELECT %1 FROM Produit WHERE %2 AND Date = :day ORDER BY NumProduit DESC")
                            .arg(kColumns, where));
    day.bind(":medecin", medecin).bind(":day", lastDay);
    if (hasValue)
        day.bind(":value", value);
    readRows(day, page.rows);
    page.more = true;
    return page;
}

QList<ProduitRecord> ProduitRepository::select(const QString &where,
                                               const QList<std::pair<QString, QString>> &values) const
{
    // A doctor's whole history runs to thousands of rows: read straight
    // from the engine.
    BulkQuery q(
        m_db,
        QStringLiteral("SELECT %1 FROM Produit WHERE %2 ORDER BY Date DESC, NumProduit DESC").arg(kColumns, where));
    for (const auto &[name, value] : values)
        q.bind(name.toUtf8().constData(), value);
    QList<ProduitRecord> rows;
    while (q.next())
        rows.append({q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5)});
    return rows;
}

std::optional<ProduitRecord> ProduitRepository::find(const QString &labo, const QString &medecin,
                                                     const QString &date) const
{
    SqlQuery q(m_db, QStringLiteral("SELECT %1 FROM Produit WHERE Medecin = :medecin AND Labo = :labo AND Date = :date "
                                    "ORDER BY NumProduit LIMIT 1")
                         .arg(kColumns));
    q.bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":date"), date)
        .exec();
    if (!q.next())
        return std::nullopt;
    return ProduitRecord{q.value(0).toLongLong(), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5)};
}

qint64 ProduitRepository::insert(const ProduitRecord &r)
{
    SqlQuery q(m_db, QStringLiteral("INSERT INTO Produit (Medecin, Labo, Delegue, Date, Produit) "
                                    "VALUES (:medecin, :labo, :delegue, :date, :produit)"));
    q.bind(QStringLiteral(":medecin"), r.medecin)
        .bind(QStringLiteral(":labo"), r.labo)
        .bind(QStringLiteral(":delegue"), r.delegue)
        .bind(QStringLiteral(":date"), r.date)
        .bind(QStringLiteral(":produit"), r.produit)
        .exec();
    return q.lastInsertId();
}

void ProduitRepository::update(const ProduitRecord &r)
{
    SqlQuery q(m_db, QStringLiteral("UPDATE Produit SET Medecin = :medecin, Labo = :labo, Delegue = :delegue, "
                                    "Date = :date, Produit = :produit WHERE NumProduit = :id"));
    q.bind(QStringLiteral(":medecin"), r.medecin)
        .bind(QStringLiteral(":labo"), r.labo)
        .bind(QStringLiteral(":delegue"), r.delegue)
        .bind(QStringLiteral(":date"), r.date)
        .bind(QStringLiteral(":produit"), r.produit)
        .bind(QStringLiteral(":id"), r.numProduit)
        .exec();
}

void ProduitRepository::remove(qint64 numProduit)
{
    SqlQuery q(m_db, QStringLiteral("DELETE FROM Produit WHERE NumProduit = :id"));
    q.bind(QStringLiteral(":id"), numProduit).exec();
}

QList<ProduitRecord> ProduitRepository::forMedecin(const QString &medecin) const
{
    return select(QStringLiteral("Medecin = :medecin"), {{QStringLiteral(":medecin"), medecin}});
}

QList<ProduitRecord> ProduitRepository::forDelegue(const QString &delegue, const QString &medecin) const
{
    return select(QStringLiteral("Medecin = :medecin AND tv_fold(Delegue) = tv_fold(:delegue)"),
                  {{QStringLiteral(":medecin"), medecin}, {QStringLiteral(":delegue"), delegue}});
}

QList<ProduitRecord> ProduitRepository::containing(const QString &text, const QString &medecin) const
{
    return select(QStringLiteral("Medecin = :medecin AND tv_contains(Produit, :text)"),
                  {{QStringLiteral(":medecin"), medecin}, {QStringLiteral(":text"), text}});
}

} // namespace tv
