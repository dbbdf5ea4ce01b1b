#pragma once

#include <QStringList>

namespace tv {
struct LaboWidgets;

// LstLabo's entries in alphabetical order. Every change of them goes
// through here; like adding or removing an entry on the user's side, none
// of them counts as choosing a laboratory (no handler runs). The products'
// laboratory combos mirror the list row for row: the caller tells them.
namespace lablists {

QStringList entries(const LaboWidgets &w);
// The row the entry lands on is returned, and a selection follows its
// laboratory.
int insert(LaboWidgets &w, const QString &entry);
int rename(LaboWidgets &w, int row, const QString &entry);
void remove(LaboWidgets &w, int row);

} // namespace lablists
} // namespace tv
