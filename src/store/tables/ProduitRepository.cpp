#include "store/tables/ProduitRepository.h"

#include "store/engine/Database.h"
#include "store/tables/WholeDays.h"

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

int ProduitRepository::historyCount(Filter filter, const QString &value, const QString &medecin) const
{
    BulkQuery q(m_db, QStringLiteral("SELECT COUNT(*) FROM Produit WHERE %1").arg(filterClause(filter)));
    q.bind(":medecin", medecin);
    if (filter != Filter::None)
        q.bind(":value", value);
    return q.next() ? static_cast<int>(q.integer(0)) : 0;
}

DayPage<ProduitRecord> ProduitRepository::historyDays(Filter filter, const QString &value, const QString &medecin,
                                                      const DayRange &range, bool newestFirst, int limit) const
{
    const QString where = filterClause(filter);
    QString bounds;
    if (!range.newest.isEmpty())
        bounds += QStringLiteral(" AND Date %1 :newest").arg(newerBound(range));
    if (!range.oldest.isEmpty())
        bounds += QStringLiteral(" AND Date %1 :oldest").arg(olderBound(range));
    BulkQuery q(m_db, QStringLiteral("SELECT %1 FROM Produit WHERE %2%3 ORDER BY Date %4 LIMIT :limit")
                          .arg(kColumns, where, bounds, newestFirst ? QStringLiteral("DESC") : QStringLiteral("ASC")));
    q.bind(":medecin", medecin).bind(":limit", QString::number(limit));
    if (filter != Filter::None)
        q.bind(":value", value);
    if (!range.newest.isEmpty())
        q.bind(":newest", range.newest);
    if (!range.oldest.isEmpty())
        q.bind(":oldest", range.oldest);
    QList<ProduitRecord> rows;
    readRows(q, rows);
    return wholeDays(
        std::move(rows), limit, [](const ProduitRecord &r) { return r.date; },
        [&](const QString &day) {
            BulkQuery whole(m_db,
                            QStringLiteral("SELECT %1 FROM Produit WHERE %2 AND Date = :day").arg(kColumns, where));
            whole.bind(":medecin", medecin).bind(":day", day);
            if (filter != Filter::None)
                whole.bind(":value", value);
            QList<ProduitRecord> dayRows;
            readRows(whole, dayRows);
            return dayRows;
        });
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
