#include "products/ui/HistoryView.h"

#include "app/ui/FrmLabo.h"
#include "app/ui/Guard.h"
#include "app/ui/Widgets.h"
#include "store/Store.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace tv {

namespace {
const QString kSupprimer = QStringLiteral("Supprimer tout l'historique");
const QString kMontrer = QStringLiteral("Montrer tout l'historique");
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
    ListBox *list = m_frm.view().products.LstHistPr;
    list->clear();
    list->setToolTip(QString());
    if (!m_frm.hasStore() || !m_frm.hasDoctor())
        return;
    guarded(&m_frm, [&] {
        ProduitRepository &produits = m_frm.store().produits();
        const QString doctor = m_frm.currentDoctor();
        QList<ProduitRecord> records;
        switch (mode) {
        case history::Mode::All: records = produits.forMedecin(doctor); break;
        case history::Mode::Delegue: records = produits.forDelegue(value, doctor); break;
        case history::Mode::Labo: records = produits.forLabo(value, doctor); break;
        case history::Mode::Medicament: records = produits.containing(value, doctor); break;
        }
        for (const QString &line : history::lines(mode, records)) {
            auto *item = new QListWidgetItem(line, list);
            // Long lines are read whole in the item's tooltip.
            item->setToolTip(line);
        }
    });
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
    ListBox *list = m_frm.view().products.LstHistPr;
    const QListWidgetItem *item = list->itemAt(pos);
    list->setToolTip(item ? item->text() : QString());
}

} // namespace tv
