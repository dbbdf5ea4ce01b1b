#pragma once

#include <QStringList>

class QComboBox;

namespace tv {
struct ProductsWidgets;

// CboLs and CboLh hold the laboratory list's entries in its order, so that
// one row designates one laboratory in the list and in both combos; CboDs
// and CboDh hold the delegates, sorted. The laboratories' side says what
// changed in its list, and every change of the combos' entries goes through
// here; like adding or removing an entry on the user's side, none of them
// counts as choosing a laboratory or a delegate (no handler runs).
namespace labcombos {

// All the entries anew, in list order; no combo shows one.
void reload(ProductsWidgets &w, const QStringList &labos, const QStringList &delegates);
// The same, each combo still showing what it showed when it is still there.
void follow(ProductsWidgets &w, const QStringList &labos, const QStringList &delegates);
void insert(ProductsWidgets &w, int row, const QString &entry, const QString &delegateEntry);
// The entry of `row` renamed, now at `to`; a combo that showed it still does.
void move(ProductsWidgets &w, int row, int to, const QString &entry);
// A combo that showed the removed laboratory is left without a selection,
// and the visit's delegate too.
void remove(ProductsWidgets &w, int row);
// The delegate's new name takes its place in the order of both delegate
// combos, the history's showing none.
void renameDelegate(ProductsWidgets &w, const QString &from, const QString &to);

} // namespace labcombos
} // namespace tv
