#pragma once

#include <QStringList>

namespace tv {
struct MainView;

// LstLabo, CboLs and CboLh hold the same laboratories in the same order, so
// that one index designates one laboratory in all three. Every change of
// their entries goes through here; like adding or removing an entry on the
// user's side, none of them counts as choosing a laboratory (no handler
// runs).
namespace lablists {

QStringList entries(const MainView &v); // LstLabo's entries
void append(MainView &v, const QString &entry);
void rename(MainView &v, int row, const QString &entry);
// A combo that showed the removed laboratory is left without a selection.
void remove(MainView &v, int row);

} // namespace lablists
} // namespace tv
