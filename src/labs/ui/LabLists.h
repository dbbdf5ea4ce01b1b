#pragma once

#include <QStringList>

class QComboBox;

namespace tv {
struct MainView;

// LstLabo, CboLs and CboLh hold the same laboratories in the same order, so
// that one index designates one laboratory in all three. Every change of
// their entries goes through here; like adding or removing an entry on the
// user's side, none of them counts as choosing a laboratory (no handler
// runs).
namespace lablists {

QStringList entries(const MainView &v); // LstLabo's entries
// Each change keeps the lists in alphabetical order; the row the entry
// lands on is returned, and a selection follows its laboratory.
int insert(MainView &v, const QString &entry);
int rename(MainView &v, int row, const QString &entry);
// A combo that showed the removed laboratory is left without a selection.
void remove(MainView &v, int row);
// A delegate combo (CboDs, CboDh) is sorted too.
void insertSorted(QComboBox *combo, const QString &entry);

} // namespace lablists
} // namespace tv
