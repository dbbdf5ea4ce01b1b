#include "labs/ui/LabLists.h"

#include "common/core/ListOrder.h"
#include "common/ui/Widgets.h"
#include "labs/ui/LaboPage.h"

namespace tv::lablists {

QStringList entries(const LaboWidgets &w)
{
    QStringList list;
    for (int i = 0; i < w.LstLabo->count(); ++i)
        list.append(w.LstLabo->item(i)->text());
    return list;
}

int insert(LaboWidgets &w, const QString &entry)
{
    const QSignalBlocker blocker(w.LstLabo);
    const int row = listorder::insertPosition(entries(w), entry);
    w.LstLabo->insertItem(row, entry);
    return row;
}

int rename(LaboWidgets &w, int row, const QString &entry)
{
    if (row < 0 || row >= w.LstLabo->count())
        return row;
    const QSignalBlocker blocker(w.LstLabo);
    const bool selected = w.LstLabo->currentRow() == row;
    remove(w, row);
    const int moved = insert(w, entry);
    if (selected)
        w.LstLabo->setCurrentRow(moved);
    return moved;
}

void remove(LaboWidgets &w, int row)
{
    if (row < 0 || row >= w.LstLabo->count())
        return;
    const QSignalBlocker blocker(w.LstLabo);
    delete w.LstLabo->takeItem(row);
}

} // namespace tv::lablists
