#pragma once

#include "common/ui/DayListModel.h"
#include "products/core/HistoryLines.h"

class QComboBox;
class QPoint;

namespace tv {
class MainWindow;
struct ProductsWidgets;

// The history side of the products page: the doctor's recorded visits,
// whole or filtered by delegate, laboratory or medicine.
class HistoryView {
public:
    HistoryView(MainWindow &main, ProductsWidgets &w)
        : m_main(main)
        , m_w(w)
    {
    }

    void Remplir_Historique();
    // The list shown read again, its selection and scroll position kept.
    void refresh();
    // What Remplir_Historique will read first, asked ahead (ReadAhead).
    void askHistory();
    void CboDh_Click();
    void CboLh_Click();
    void CboPrPr_Click();
    void CmdTH_Click();
    void LstHistPr_MouseMove(Qt::MouseButtons buttons, const QPoint &pos);
    // What the list shows: "tout l'historique", or the filter it was built
    // with, which the filter's box may no longer show (a renamed delegate).
    QString shownFilter() const { return m_shownFilter; }

private:
    void filterChosen(history::Mode mode, QComboBox *chosen);
    void clearFilters();
    void build(history::Mode mode, const QString &value);
    DayListModel::Source source(history::Mode mode, const QString &value);

    MainWindow &m_main;
    ProductsWidgets &m_w;
    QString m_shownFilter;
};

} // namespace tv
