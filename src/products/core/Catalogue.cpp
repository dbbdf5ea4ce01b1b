#include "products/core/Catalogue.h"

#include "common/core/ListOrder.h"

#include <algorithm>

namespace tv::catalogue {

namespace {
const QString kPrefix = QStringLiteral("  ");
}

QString entryFor(const QString &line)
{
    return kPrefix + line.toUpper();
}

QString entryForTyped(const QString &typed)
{
    return kPrefix + typed.trimmed().toUpper();
}

bool isRegistered(const QString &typed, const QStringList &entries)
{
    const QString key = typed.trimmed().toUpper();
    return std::any_of(entries.begin(), entries.end(),
                       [&](const QString &entry) { return entry.trimmed().toUpper() == key; });
}

int sortedPosition(const QStringList &entries, const QString &entry)
{
    return listorder::insertPosition(entries, entry);
}

QString editPrefixed(const QString &text)
{
    // Short texts are where the prefix gets lost: a deleted blank, or a first
    // letter typed over a selected prefix.
    if (text.size() >= 3)
        return text;
    const QString name = text.trimmed();
    return name.isEmpty() ? kPrefix : kPrefix + name;
}

} // namespace tv::catalogue
