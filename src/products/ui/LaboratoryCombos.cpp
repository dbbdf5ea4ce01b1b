#include "products/ui/LaboratoryCombos.h"

#include "common/core/ListOrder.h"
#include "common/ui/Widgets.h"
#include "products/ui/ProductsPage.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace tv::labcombos {

namespace {

const QString kPrefix = QStringLiteral("  ");

void insertSorted(QComboBox *combo, const QString &entry)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    const QSignalBlocker blocker(combo);
    combo->insertItem(listorder::insertPosition(items, entry), entry);
}

} // namespace

void reload(ProductsWidgets &w, const QStringList &labos, const QStringList &delegates)
{
    setEntries(w.CboLs, labos);
    setEntries(w.CboLh, labos);
    setEntries(w.CboDh, delegates);
    setEntries(w.CboDs, delegates);
}

void follow(ProductsWidgets &w, const QStringList &labos, const QStringList &delegates)
{
    syncEntries(w.CboLs, labos);
    syncEntries(w.CboLh, labos);
    syncEntries(w.CboDs, delegates);
    syncEntries(w.CboDh, delegates);
}

void insert(ProductsWidgets &w, int row, const QString &entry, const QString &delegateEntry)
{
    {
        const QSignalBlocker b1(w.CboLs), b2(w.CboLh);
        w.CboLs->insertItem(row, entry);
        w.CboLh->insertItem(row, entry);
    }
    insertSorted(w.CboDs, delegateEntry);
    insertSorted(w.CboDh, delegateEntry);
}

void move(ProductsWidgets &w, int row, int to, const QString &entry)
{
    const QSignalBlocker b1(w.CboLs), b2(w.CboLh);
    for (QComboBox *combo : {w.CboLs, w.CboLh}) {
        if (row < 0 || row >= combo->count())
            continue;
        const bool shown = combo->currentIndex() == row;
        combo->removeItem(row);
        combo->insertItem(to, entry);
        if (shown)
            combo->setCurrentIndex(to);
    }
}

void remove(ProductsWidgets &w, int row)
{
    const QSignalBlocker b1(w.CboLs), b2(w.CboLh), b3(w.CboDs);
    for (QComboBox *combo : {w.CboLs, w.CboLh}) {
        const bool shown = combo->currentIndex() == row;
        combo->removeItem(row);
        if (shown)
            combo->setCurrentIndex(-1);
    }
    w.CboDs->setCurrentIndex(-1);
}

void renameDelegate(ProductsWidgets &w, const QString &from, const QString &to)
{
    const QString before = kPrefix + from.trimmed();
    const QString now = kPrefix + to.trimmed();
    const QSignalBlocker b1(w.CboDs), b2(w.CboDh);
    for (QComboBox *combo : {w.CboDs, w.CboDh}) {
        const int at = combo->findText(before);
        if (at < 0)
            continue;
        combo->removeItem(at);
        insertSorted(combo, now);
    }
    w.CboDh->setCurrentIndex(-1);
}

} // namespace tv::labcombos
