#include "labs/ui/LabLists.h"

#include "app/ui/MainView.h"
#include "app/ui/Widgets.h"

#include <QComboBox>

namespace tv::lablists {

QStringList entries(const MainView &v)
{
    QStringList list;
    for (int i = 0; i < v.LstLabo->count(); ++i)
        list.append(v.LstLabo->item(i)->text());
    return list;
}

void append(MainView &v, const QString &entry)
{
    const QSignalBlocker b1(v.LstLabo), b2(v.products.CboLs), b3(v.products.CboLh);
    v.LstLabo->addItem(entry);
    v.products.CboLs->addItem(entry);
    v.products.CboLh->addItem(entry);
}

void rename(MainView &v, int row, const QString &entry)
{
    if (row < 0 || row >= v.LstLabo->count())
        return;
    const QSignalBlocker b1(v.LstLabo), b2(v.products.CboLs), b3(v.products.CboLh);
    v.LstLabo->item(row)->setText(entry);
    v.products.CboLs->setItemText(row, entry);
    v.products.CboLh->setItemText(row, entry);
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
