#pragma once

#include "products/core/HistoryLines.h"

class QComboBox;
class QPoint;

namespace tv {
class FrmLabo;

// The history side of the products page: the doctor's recorded visits,
// whole or filtered by delegate, laboratory or medicine.
class HistoryView {
public:
    explicit HistoryView(FrmLabo &frm)
        : m_frm(frm)
    {
    }

    void Remplir_Historique();
    // What Remplir_Historique will read first, asked ahead (ReadAhead).
    void askHistory();
    void CboDh_Click();
    void CboLh_Click();
    void CboPrPr_Click();
    void CmdTH_Click();
    void LstHistPr_MouseMove(Qt::MouseButtons buttons, const QPoint &pos);

private:
    void filterChosen(history::Mode mode, QComboBox *chosen);
    void clearFilters();
    void build(history::Mode mode, const QString &value);

    FrmLabo &m_frm;
};

} // namespace tv
