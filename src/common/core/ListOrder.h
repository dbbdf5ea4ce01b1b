#pragma once

#include <QString>
#include <QStringList>

namespace tv::listorder {

// The order of the sorted lists (laboratories, delegates): French
// alphabetical order, letter case and the leading blanks of an entry
// ignored.
bool less(const QString &a, const QString &b);
void sort(QStringList &entries);
// Where an entry goes in a sorted list: after the entries equal to it.
int insertPosition(const QStringList &sorted, const QString &entry);

} // namespace tv::listorder
