#include "products/ui/MedicinesCatalogue.h"

#include "app/ui/FrmLabo.h"
#include "common/core/ListOrder.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "products/core/Catalogue.h"
#include "products/core/MedocFile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

namespace tv {

namespace {

const QString kBlankEntry = QStringLiteral("  ");

QStringList itemTexts(const QComboBox *combo)
{
    QStringList texts;
    texts.reserve(combo->count());
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

int insertSorted(QComboBox *combo, const QString &entry)
{
    const int at = catalogue::sortedPosition(itemTexts(combo), entry);
    const QSignalBlocker blocker(combo);
    combo->insertItem(at, entry);
    return at;
}

} // namespace

void MedicinesCatalogue::loadMedicines()
{
    ProductsWidgets &w = m_frm.view().products;
    const auto lines = medocfile::read(m_frm.state().CheminBase);
    QStringList entries;
    for (const QString &line : lines.value_or(QStringList{}))
        entries.append(catalogue::entryFor(line));
    listorder::sort(entries);
    {
        const QSignalBlocker b1(w.CboPr), b2(w.CboPrPr);
        w.CboPr->clear();
        w.CboPrPr->clear();
        w.CboPr->addItems(entries);
        w.CboPrPr->addItems(entries);
        w.CboPr->setCurrentIndex(-1);
        w.CboPrPr->setCurrentIndex(-1);
    }
    setEditText(kBlankEntry);
}

void MedicinesCatalogue::setEditText(const QString &text)
{
    QComboBox *box = m_frm.view().products.CboPr;
    if (box->currentText() != text)
        box->setEditText(text);
}

void MedicinesCatalogue::CboPr_Change()
{
    if (m_changing)
        return;
    QComboBox *box = m_frm.view().products.CboPr;
    const QString text = box->currentText();
    if (text.size() >= 3)
        return;
    m_changing = true;
    setEditText(catalogue::editPrefixed(text));
    box->lineEdit()->setCursorPosition(std::min<int>(3, static_cast<int>(box->currentText().size())));
    m_changing = false;
}

void MedicinesCatalogue::CboPr_GotFocus()
{
    QComboBox *box = m_frm.view().products.CboPr;
    const QString text = box->currentText();
    if (!text.trimmed().isEmpty() || text == kBlankEntry)
        return;
    m_changing = true;
    box->setEditText(kBlankEntry);
    box->lineEdit()->setCursorPosition(2);
    m_changing = false;
}

void MedicinesCatalogue::Ajouter_Medicament()
{
    ProductsWidgets &w = m_frm.view().products;
    const QString typed = w.CboPr->currentText();
    // The box always holds its two-blank prefix: blanks only is no name.
    if (typed.trimmed().isEmpty()) {
        w.CboPr->setFocus();
        return;
    }
    if (catalogue::isRegistered(typed, itemTexts(w.CboPr))) {
        dialogs::information(&m_frm, QStringLiteral("Produit déjà enregistré !"));
        setEditText(QString());
        w.CboPr->setFocus();
        return;
    }
    // The file first: when it cannot be written the lists do not show a
    // medicine the other workstations will never see.
    if (!guarded(&m_frm, [&] { medocfile::append(m_frm.state().CheminBase, typed); }))
        return;
    const QString entry = catalogue::entryForTyped(typed);
    const int at = insertSorted(w.CboPr, entry);
    insertSorted(w.CboPrPr, entry);
    setEditText(QString());
    w.CboPr->setCurrentIndex(at);
    w.CboPr->setEditText(entry);
}

void MedicinesCatalogue::Supprimer_Medicament()
{
    ProductsWidgets &w = m_frm.view().products;
    const int index = w.CboPr->currentIndex();
    const QString text = w.CboPr->currentText();
    if (index < 0 || w.CboPr->itemText(index) != text) {
        dialogs::message(&m_frm, QStringLiteral("Quel médicament faut-il suuprimer de la liste ?"),
                         QMessageBox::Question);
        return;
    }
    if (!dialogs::askYesNo(&m_frm, QStringLiteral("Supprimer ") + text + QStringLiteral(" ?"), true))
        return;
    guarded(&m_frm, [&] {
        medocfile::remove(m_frm.state().CheminBase, text);
        loadMedicines();
    });
}

} // namespace tv
