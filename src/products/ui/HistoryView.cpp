#include "products/ui/HistoryView.h"

#include "app/ui/FrmLabo.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "products/ui/ProductHistoryModel.h"
#include "store/tables/Store.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace tv {

namespace {
const QString kSupprimer = QStringLiteral("Supprimer tout l'historique");
const QString kMontrer = QStringLiteral("Montrer tout l'historique");

ProduitRepository::Filter filterOf(history::Mode mode)
{
    switch (mode) {
    case history::Mode::All: return ProduitRepository::Filter::None;
    case history::Mode::Delegue: return ProduitRepository::Filter::Delegue;
    case history::Mode::Labo: return ProduitRepository::Filter::Labo;
    case history::Mode::Medicament: return ProduitRepository::Filter::Medicament;
    }
    return ProduitRepository::Filter::None;
}

} // namespace

void HistoryView::clearFilters()
{
    ProductsWidgets &w = m_frm.view().products;
    for (QComboBox *combo : {w.CboPrPr, w.CboDh, w.CboLh}) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
    }
}

void HistoryView::build(history::Mode mode, const QString &value)
{
    ProductsWidgets &w = m_frm.view().products;
    w.LstHistPr->setToolTip(QString());
    if (!m_frm.hasStore() || !m_frm.hasDoctor()) {
        w.LstHistPr->clear();
        return;
    }
    const QString doctor = m_frm.currentDoctor();
    const ProduitRepository::Filter filter = filterOf(mode);
    // Pages read while scrolling; a failure or a closed database ends the
    // list where it is.
    w.historyModel->show(mode, [this, filter, value, doctor](const QString &before, int limit) {
        ProduitRepository::Page page;
        if (m_frm.hasStore())
            guarded(&m_frm,
                    [&] { page = m_frm.store().produits().historyPage(filter, value, doctor, before, limit).get(); });
        return page;
    });
}

void HistoryView::askHistory()
{
    m_frm.store().produits().historyPage(ProduitRepository::Filter::None, QString(), m_frm.currentDoctor(), QString(),
                                         ProductHistoryModel::FirstPage);
}

void HistoryView::Remplir_Historique()
{
    clearFilters();
    build(history::Mode::All, QString());
}

void HistoryView::filterChosen(history::Mode mode, QComboBox *chosen)
{
    // The program clears the filters itself; that is no choice.
    if (chosen->currentIndex() < 0)
        return;
    ProductsWidgets &w = m_frm.view().products;
    for (QComboBox *combo : {w.CboDh, w.CboLh, w.CboPrPr}) {
        if (combo == chosen)
            continue;
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
    }
    w.CmdTH->setText(kMontrer);
    build(mode, chosen->currentText().trimmed());
}

void HistoryView::CboDh_Click()
{
    filterChosen(history::Mode::Delegue, m_frm.view().products.CboDh);
}

void HistoryView::CboLh_Click()
{
    filterChosen(history::Mode::Labo, m_frm.view().products.CboLh);
}

void HistoryView::CboPrPr_Click()
{
    filterChosen(history::Mode::Medicament, m_frm.view().products.CboPrPr);
}

void HistoryView::CmdTH_Click()
{
    ProductsWidgets &w = m_frm.view().products;
    if (w.CmdTH->text() == kSupprimer) {
        // Only the display goes; the records stay.
        w.CmdTH->setText(kMontrer);
        clearFilters();
        w.LstHistPr->clear();
        w.LstHistPr->setToolTip(QString());
    } else {
        w.CmdTH->setText(kSupprimer);
        Remplir_Historique();
    }
    m_frm.focusCmdFoc();
}

void HistoryView::LstHistPr_MouseMove(Qt::MouseButtons buttons, const QPoint &pos)
{
    if (buttons != Qt::NoButton)
        return;
    LineView *list = m_frm.view().products.LstHistPr;
    const QModelIndex index = list->indexAt(pos);
    list->setToolTip(index.isValid() ? list->text(index.row()) : QString());
}

} // namespace tv
