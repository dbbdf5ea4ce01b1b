#include "products/ui/HistoryView.h"

#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "products/ui/ProductHistoryModel.h"
#include "products/ui/ProductsPage.h"
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

QString filterName(history::Mode mode, const QString &value)
{
    switch (mode) {
    case history::Mode::All: return QStringLiteral("tout l'historique");
    case history::Mode::Delegue: return QStringLiteral("délégué ") + value;
    case history::Mode::Labo: return QStringLiteral("laboratoire ") + value;
    case history::Mode::Medicament: return QStringLiteral("médicament ") + value;
    }
    return QString();
}

} // namespace

void HistoryView::clearFilters()
{
    for (QComboBox *combo : {m_w.CboPrPr, m_w.CboDh, m_w.CboLh}) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
    }
}

void HistoryView::build(history::Mode mode, const QString &value)
{
    m_shownFilter = filterName(mode, value);
    m_w.LstHistPr->setToolTip(QString());
    if (!m_main.hasStore() || !m_main.hasDoctor()) {
        m_w.LstHistPr->clear();
        return;
    }
    m_w.historyModel->show(source(mode, value));
}

DayListModel::Source HistoryView::source(history::Mode mode, const QString &value)
{
    const QString doctor = m_main.currentDoctor();
    const ProduitRepository::Filter filter = filterOf(mode);
    // Read while the list is shown: a failure or a closed database ends
    // the list where it is.
    return ProductHistoryModel::source(
        mode,
        [this, filter, value, doctor] {
            int rows = 0;
            if (m_main.hasStore())
                guarded(m_main.widget(),
                        [&] { rows = m_main.store().produits().historyCount(filter, value, doctor).get(); });
            return rows;
        },
        [this, filter, value, doctor](const DayRange &range, bool newestFirst, int limit) {
            DayPage<ProduitRecord> page;
            if (m_main.hasStore())
                guarded(m_main.widget(), [&] {
                    page =
                        m_main.store().produits().historyDays(filter, value, doctor, range, newestFirst, limit).get();
                });
            return page;
        });
}

void HistoryView::refresh()
{
    m_w.historyModel->refresh();
}

void HistoryView::askHistory()
{
    // The count is needed only past the first page: asked all the same, it
    // costs no round trip of its own.
    Store &store = m_main.store();
    store.produits().historyDays(ProduitRepository::Filter::None, QString(), m_main.currentDoctor(), {}, true,
                                 ProductHistoryModel::FirstPage);
    store.produits().historyCount(ProduitRepository::Filter::None, QString(), m_main.currentDoctor());
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
    for (QComboBox *combo : {m_w.CboDh, m_w.CboLh, m_w.CboPrPr}) {
        if (combo == chosen)
            continue;
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
    }
    m_w.CmdTH->setText(kMontrer);
    build(mode, chosen->currentText().trimmed());
}

void HistoryView::CboDh_Click()
{
    filterChosen(history::Mode::Delegue, m_w.CboDh);
}

void HistoryView::CboLh_Click()
{
    filterChosen(history::Mode::Labo, m_w.CboLh);
}

void HistoryView::CboPrPr_Click()
{
    filterChosen(history::Mode::Medicament, m_w.CboPrPr);
}

void HistoryView::CmdTH_Click()
{
    if (m_w.CmdTH->text() == kSupprimer) {
        // Only the display goes; the records stay.
        m_w.CmdTH->setText(kMontrer);
        clearFilters();
        m_w.LstHistPr->clear();
        m_w.LstHistPr->setToolTip(QString());
    } else {
        m_w.CmdTH->setText(kSupprimer);
        Remplir_Historique();
    }
    m_main.focusCmdFoc();
}

void HistoryView::LstHistPr_MouseMove(Qt::MouseButtons buttons, const QPoint &pos)
{
    if (buttons != Qt::NoButton)
        return;
    LineView *list = m_w.LstHistPr;
    const QModelIndex index = list->indexAt(pos);
    list->setToolTip(index.isValid() ? list->text(index.row()) : QString());
}

} // namespace tv
