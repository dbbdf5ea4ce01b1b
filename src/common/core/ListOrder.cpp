#include "common/core/ListOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <utility>
#include <vector>

namespace tv::listorder {

namespace {
const QCollator &collator()
{
    static const QCollator c = [] {
        QCollator french{QLocale(QLocale::French, QLocale::France)};
        french.setCaseSensitivity(Qt::CaseInsensitive);
        return french;
    }();
    return c;
}
} // namespace

bool less(const QString &a, const QString &b)
{
    return collator().compare(a.trimmed(), b.trimmed()) < 0;
}

void sort(QStringList &entries)
{
    // One collation key per entry rather than two collations per
    // comparison: the lists run to thousands of names.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keyed;
    keyed.reserve(static_cast<std::size_t>(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i)
        keyed.emplace_back(collator().sortKey(entries.at(i).trimmed()), i);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    QStringList sorted;
    sorted.reserve(entries.size());
    for (const auto &entry : keyed)
        sorted.append(entries.at(entry.second));
    entries.swap(sorted);
}

int insertPosition(const QStringList &sorted, const QString &entry)
{
    return static_cast<int>(std::upper_bound(sorted.begin(), sorted.end(), entry, less) - sorted.begin());
}

} // namespace tv::listorder
