#include "labs/ui/LabLists.h"

#include "app/ui/MainView.h"
#include "common/core/ListOrder.h"
#include "common/ui/Widgets.h"

#include <QComboBox>

namespace tv::lablists {

QStringList entries(const MainView &v)
{
    QStringList list;
    for (int i = 0; i < v.LstLabo->count(); ++i)
        list.append(v.LstLabo->item(i)->text());
    return list;
}

int insert(MainView &v, const QString &entry)
{
    const QSignalBlocker b1(v.LstLabo), b2(v.products.CboLs), b3(v.products.CboLh);
    const int row = listorder::insertPosition(entries(v), entry);
    v.LstLabo->insertItem(row, entry);
    v.products.CboLs->insertItem(row, entry);
    v.products.CboLh->insertItem(row, entry);
    return row;
}

int rename(MainView &v, int row, const QString &entry)
{
    if (row < 0 || row >= v.LstLabo->count())
        return row;
    const QSignalBlocker b1(v.LstLabo), b2(v.products.CboLs), b3(v.products.CboLh);
    const bool selected = v.LstLabo->currentRow() == row;
    const bool shownLs = v.products.CboLs->currentIndex() == row;
    const bool shownLh = v.products.CboLh->currentIndex() == row;
    remove(v, row);
    const int moved = insert(v, entry);
    if (selected)
        v.LstLabo->setCurrentRow(moved);
    if (shownLs)
        v.products.CboLs->setCurrentIndex(moved);
    if (shownLh)
        v.products.CboLh->setCurrentIndex(moved);
    return moved;
}

void insertSorted(QComboBox *combo, const QString &entry)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    const QSignalBlocker blocker(combo);
    combo->insertItem(listorder::insertPosition(items, entry), entry);
}

void remove(MainView &v, int row)
{
    if (row < 0 || row >= v.LstLabo->count())
        return;
    const QSignalBlocker b1(v.LstLabo), b2(v.products.CboLs), b3(v.products.CboLh);
    delete v.LstLabo->takeItem(row);
    for (QComboBox *combo : {v.products.CboLs, v.products.CboLh}) {
        const bool wasShown = combo->currentIndex() == row;
        combo->removeItem(row);
        if (wasShown)
            combo->setCurrentIndex(-1);
    }
}

} // namespace tv::lablists
