#include "products/core/HistoryLines.h"

#include "common/core/ListOrder.h"
#include "products/core/ProductsText.h"
#include "store/tables/Records.h"

#include <algorithm>

namespace tv::history {

QString sortDate(const QString &isoDate)
{
    QString date = isoDate.left(10);
    date.replace(QLatin1Char('-'), QLatin1Char('/'));
    return date;
}

QString displayDate(const QString &sortDate)
{
    if (sortDate.size() < 10)
        return sortDate;
    return sortDate.mid(8, 2) + QLatin1Char('/') + sortDate.mid(5, 2) + QLatin1Char('/') + sortDate.left(4);
}

QString key(Mode mode, const ProduitRecord &r)
{
    const QString date = sortDate(r.date).leftJustified(10, QLatin1Char(' '), true);
    switch (mode) {
    case Mode::All:
        return date + QStringLiteral("  ") + r.labo + QStringLiteral("  [") + r.delegue + QStringLiteral("]   ")
               + productstext::historyPart(r.produit);
    case Mode::Delegue:
        return date + QStringLiteral("  [") + r.labo + QStringLiteral("]   ") + productstext::historyPart(r.produit);
    case Mode::Labo:
        return date + QStringLiteral("  [") + r.delegue + QStringLiteral("]   ") + productstext::historyPart(r.produit);
    case Mode::Medicament: return date + QStringLiteral("    [") + r.delegue + QStringLiteral("]     ") + r.labo;
    }
    return date;
}

QStringList lines(Mode mode, const QList<ProduitRecord> &records)
{
    QStringList keys;
    keys.reserve(records.size());
    for (const ProduitRecord &r : records)
        keys.append(key(mode, r));
    newestFirst(keys);
    QStringList result;
    result.reserve(keys.size());
    for (const QString &k : keys)
        result.append(lineOfKey(k));
    return result;
}

void newestFirst(QStringList &keys)
{
    // Every key starts with the same ten-character date form, whose digits
    // the collation orders as digits: the date decides first.
    listorder::sort(keys);
    std::reverse(keys.begin(), keys.end());
}

QString lineOfKey(const QString &key)
{
    return QStringLiteral("  ") + displayDate(key.left(10)) + key.mid(10);
}

} // namespace tv::history
