#include "app/core/ListOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

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
    std::stable_sort(entries.begin(), entries.end(), less);
}

int insertPosition(const QStringList &sorted, const QString &entry)
{
    return static_cast<int>(std::upper_bound(sorted.begin(), sorted.end(), entry, less) - sorted.begin());
}

} // namespace tv::listorder
