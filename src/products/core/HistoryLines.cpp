#include "products/core/HistoryLines.h"

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
    // Descending order puts the newest date first since every key starts
    // with year, month and day.
    std::sort(keys.begin(), keys.end(), [](const QString &a, const QString &b) { return a > b; });
    QStringList result;
    result.reserve(keys.size());
    for (const QString &k : keys)
        result.append(lineOfKey(k));
    return result;
}

QString lineOfKey(const QString &key)
{
    return QStringLiteral("  ") + displayDate(key.left(10)) + key.mid(10);
}

} // namespace tv::history
