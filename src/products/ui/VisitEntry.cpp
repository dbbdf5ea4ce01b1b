#include "products/ui/VisitEntry.h"

#include "common/core/ListOrder.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "products/core/ProductsText.h"
#include "products/ui/ProductsPage.h"
#include "store/tables/Store.h"

#include <QComboBox>
#include <QDateEdit>
#include <QSignalBlocker>

namespace tv {

namespace {

const QString kPrefix = QStringLiteral("  ");

void warning(QWidget *parent, const QString &text)
{
    dialogs::message(parent, text, QMessageBox::Warning);
}

QStringList entries(const ListBox *list)
{
    QStringList texts;
    texts.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

} // namespace

QString VisitEntry::visitDate() const
{
    // Stored as yyyy-MM-dd so that visits sort and compare as dates.
    return m_w.DTP->date().toString(Qt::ISODate);
}

QString VisitEntry::visitLabo() const
{
    return m_w.CboLs->currentText().trimmed();
}

void VisitEntry::askVisit(const QString &labo)
{
    m_main.store().produits().find(labo.isNull() ? visitLabo() : labo, m_main.currentDoctor(), visitDate());
}

void VisitEntry::Charger_Produits_Visite()
{
    m_w.LstPr->clear();
    if (!m_main.hasStore())
        return;
    guarded(m_main.widget(), [&] {
        const auto record = m_main.store().produits().find(visitLabo(), m_main.currentDoctor(), visitDate()).get();
        if (!record)
            return;
        QStringList lines;
        for (const QString &piece : productstext::split(record->produit))
            lines.append(kPrefix + piece);
        listorder::sort(lines);
        m_w.LstPr->addItems(lines);
    });
}

void VisitEntry::DTP_Change()
{
    Charger_Produits_Visite();
}

void VisitEntry::CboLs_Click()
{
    m_delegateFocused = false;
    const QString labo = visitLabo();
    if (!labo.isEmpty() && m_main.hasStore()) {
        guarded(m_main.widget(), [&] {
            // A delegate the combo does not list leaves it empty rather than
            // on the previous laboratory's delegate.
            if (const auto record = m_main.store().labos().findByLabo(labo).get())
                m_w.CboDs->setCurrentIndex(m_w.CboDs->findText(kPrefix + record->nom.trimmed()));
        });
    }
    Charger_Produits_Visite();
}

void VisitEntry::show(const QString &labo, const QDate &day)
{
    m_w.DTP->setDate(day);
    const int inCombo = m_w.CboLs->findText(kPrefix + labo, Qt::MatchFixedString);
    if (inCombo >= 0)
        m_w.CboLs->setCurrentIndex(inCombo);
}

void VisitEntry::chooseDelegateOfLaboratory()
{
    m_delegateFocused = false;
    const QString labo = visitLabo();
    if (!labo.isEmpty()) {
        if (const auto record = m_main.store().labos().findByLabo(labo).get()) {
            const QSignalBlocker blocker(m_w.CboDs);
            m_w.CboDs->setCurrentIndex(m_w.CboDs->findText(kPrefix + record->nom.trimmed()));
        }
    }
    Charger_Produits_Visite();
}

void VisitEntry::CboDs_GotFocus()
{
    m_delegateFocused = true;
}

void VisitEntry::CboDs_Click()
{
    if (!m_delegateFocused || !m_main.hasStore())
        return;
    const QString delegue = m_w.CboDs->currentText().trimmed();
    if (delegue.isEmpty())
        return;
    guarded(m_main.widget(), [&] {
        const auto labo = m_main.store().labos().findByNom(delegue).get();
        if (!labo) {
            m_delegateFocused = false;
            m_w.CboDs->setCurrentIndex(-1);
            m_w.CboLs->setCurrentIndex(-1);
            dialogs::information(m_main.widget(), QStringLiteral("Laboratoire correspondant effacé ou renommé !"));
            return;
        }
        m_w.CboLs->setCurrentText(kPrefix + labo->labo.trimmed());
    });
    m_main.focusCmdFoc();
}

void VisitEntry::CmdAjoutePr_Click()
{
    m_main.focusCmdFoc();
    // Only a box without any character is refused: its empty state, the
    // two-blank prefix, adds a blank entry, which recording skips.
    const QString text = m_w.CboPr->currentText();
    if (text.isEmpty()) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un produit !"));
        return;
    }
    const QString entry = kPrefix + text.trimmed();
    m_w.LstPr->insertItem(listorder::insertPosition(entries(m_w.LstPr), entry), entry);
}

void VisitEntry::CmdRetirePr_Click()
{
    ListBox *list = m_w.LstPr;
    m_main.focusCmdFoc();
    QListWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected()) {
        dialogs::message(m_main.widget(), QStringLiteral("Quel produit faut il retirer !"), QMessageBox::Question);
        return;
    }
    delete list->takeItem(list->row(item));
}

void VisitEntry::CmdEnrPr_Click()
{
    guarded(m_main.widget(), [&] {
        ProduitRepository &produits = m_main.store().produits();
        const QString doctor = m_main.currentDoctor();
        const auto found = produits.find(visitLabo(), doctor, visitDate()).get();
        const QString text = productstext::join(entries(m_w.LstPr));
        // A list holding blank entries only is still recorded: the visit
        // took place, with nothing presented.
        if (m_w.LstPr->count() == 0 && !found) {
            warning(m_main.widget(), QStringLiteral("Aucun produit n'est sélectionné !"));
            return;
        }
        // A record without its doctor would belong to nobody's history.
        if (visitLabo().isEmpty() || m_w.CboDs->currentText().trimmed().isEmpty() || doctor.isEmpty()) {
            warning(m_main.widget(), QStringLiteral("Une donnée n'est pas renseignée !"));
            return;
        }
        if (found && text.isEmpty()) {
            produits.remove(found->numProduit);
            dialogs::information(m_main.widget(), QStringLiteral("Suppression des données enregistrées !"));
            return;
        }
        ProduitRecord record{found ? found->numProduit : 0,      doctor,      visitLabo(),
                             m_w.CboDs->currentText().trimmed(), visitDate(), text};
        if (found)
            produits.update(record);
        else
            produits.insert(record);
        dialogs::information(m_main.widget(), QStringLiteral("Données enregistrées !"));
    });
    m_main.focusCmdFoc();
}

} // namespace tv
