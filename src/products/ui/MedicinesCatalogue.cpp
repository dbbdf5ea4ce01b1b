#include "products/ui/MedicinesCatalogue.h"

#include "common/core/ListOrder.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "products/core/Catalogue.h"
#include "products/core/MedocFile.h"
#include "products/ui/ProductsPage.h"

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

QStringList MedicinesCatalogue::entries() const
{
    const auto lines = medocfile::read(m_main.state().CheminBase);
    QStringList entries;
    for (const QString &line : lines.value_or(QStringList{}))
        entries.append(catalogue::entryFor(line));
    listorder::sort(entries);
    return entries;
}

void MedicinesCatalogue::followFile()
{
    const QStringList now = entries();
    if (now == itemTexts(m_w.CboPrPr))
        return;
    syncEntries(m_w.CboPrPr, now);
    QComboBox *box = m_w.CboPr;
    const QString typed = box->currentText();
    const int caret = box->lineEdit()->cursorPosition();
    m_changing = true;
    syncEntries(box, now);
    {
        const QSignalBlocker blocker(box);
        box->setEditText(typed);
        box->lineEdit()->setCursorPosition(caret);
    }
    m_changing = false;
}

void MedicinesCatalogue::loadMedicines()
{
    const QStringList entries = this->entries();
    setEntries(m_w.CboPr, entries);
    setEntries(m_w.CboPrPr, entries);
    setEditText(kBlankEntry);
}

void MedicinesCatalogue::setEditText(const QString &text)
{
    QComboBox *box = m_w.CboPr;
    if (box->currentText() != text)
        box->setEditText(text);
}

void MedicinesCatalogue::CboPr_Change()
{
    if (m_changing)
        return;
    QComboBox *box = m_w.CboPr;
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
    QComboBox *box = m_w.CboPr;
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
    const QString typed = m_w.CboPr->currentText();
    // The box always holds its two-blank prefix: blanks only is no name.
    if (typed.trimmed().isEmpty()) {
        m_w.CboPr->setFocus();
        return;
    }
    if (catalogue::isRegistered(typed, itemTexts(m_w.CboPr))) {
        dialogs::information(m_main.widget(), QStringLiteral("Produit déjà enregistré !"));
        setEditText(QString());
        m_w.CboPr->setFocus();
        return;
    }
    // The file first: when it cannot be written the lists do not show a
    // medicine the other workstations will never see.
    if (!guarded(m_main.widget(), [&] { medocfile::append(m_main.state().CheminBase, typed); }))
        return;
    const QString entry = catalogue::entryForTyped(typed);
    const int at = insertSorted(m_w.CboPr, entry);
    insertSorted(m_w.CboPrPr, entry);
    setEditText(QString());
    m_w.CboPr->setCurrentIndex(at);
    m_w.CboPr->setEditText(entry);
}

void MedicinesCatalogue::Supprimer_Medicament()
{
    const int index = m_w.CboPr->currentIndex();
    const QString text = m_w.CboPr->currentText();
    if (index < 0 || m_w.CboPr->itemText(index) != text) {
        dialogs::message(m_main.widget(), QStringLiteral("Quel médicament faut-il suuprimer de la liste ?"),
                         QMessageBox::Question);
        return;
    }
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Supprimer ") + text + QStringLiteral(" ?"), true))
        return;
    guarded(m_main.widget(), [&] {
        medocfile::remove(m_main.state().CheminBase, text);
        loadMedicines();
    });
}

} // namespace tv
