#include "products/ui/VisitEntry.h"

#include "app/ui/FrmLabo.h"
#include "common/core/ListOrder.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "products/core/ProductsText.h"
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
    return m_frm.view().products.DTP->date().toString(Qt::ISODate);
}

QString VisitEntry::visitLabo() const
{
    return m_frm.view().products.CboLs->currentText().trimmed();
}

void VisitEntry::askVisit(const QString &labo)
{
    m_frm.store().produits().find(labo.isNull() ? visitLabo() : labo, m_frm.currentDoctor(), visitDate());
}

void VisitEntry::Charger_Produits_Visite()
{
    ProductsWidgets &w = m_frm.view().products;
    w.LstPr->clear();
    if (!m_frm.hasStore())
        return;
    guarded(&m_frm, [&] {
        const auto record = m_frm.store().produits().find(visitLabo(), m_frm.currentDoctor(), visitDate()).get();
        if (!record)
            return;
        SharedState &s = m_frm.state();
        s.Tableau = productstext::split(record->produit);
        QStringList lines;
        for (const QString &piece : s.Tableau)
            lines.append(kPrefix + piece);
        listorder::sort(lines);
        w.LstPr->addItems(lines);
    });
}

void VisitEntry::DTP_Change()
{
    Charger_Produits_Visite();
}

void VisitEntry::CboLs_Click()
{
    ProductsWidgets &w = m_frm.view().products;
    m_frm.state().ClicDelegue = false;
    const QString labo = visitLabo();
    if (!labo.isEmpty() && m_frm.hasStore()) {
        guarded(&m_frm, [&] {
            // A delegate the combo does not list leaves it empty rather than
            // on the previous laboratory's delegate.
            if (const auto record = m_frm.store().labos().findByLabo(labo).get())
                w.CboDs->setCurrentIndex(w.CboDs->findText(kPrefix + record->nom.trimmed()));
        });
    }
    Charger_Produits_Visite();
}

void VisitEntry::CboDs_GotFocus()
{
    m_frm.state().ClicDelegue = true;
}

void VisitEntry::CboDs_Click()
{
    SharedState &s = m_frm.state();
    ProductsWidgets &w = m_frm.view().products;
    if (!s.ClicDelegue || !m_frm.hasStore())
        return;
    const QString delegue = w.CboDs->currentText().trimmed();
    if (delegue.isEmpty())
        return;
    guarded(&m_frm, [&] {
        const auto labo = m_frm.store().labos().findByNom(delegue).get();
        if (!labo) {
            s.ClicDelegue = false;
            w.CboDs->setCurrentIndex(-1);
            w.CboLs->setCurrentIndex(-1);
            dialogs::information(&m_frm, QStringLiteral("Laboratoire correspondant effacé ou renommé !"));
            return;
        }
        w.CboLs->setCurrentText(kPrefix + labo->labo.trimmed());
    });
    m_frm.focusCmdFoc();
}

void VisitEntry::CmdAjoutePr_Click()
{
    ProductsWidgets &w = m_frm.view().products;
    m_frm.focusCmdFoc();
    // The medicine box keeps a two-blank prefix: blanks only means nothing
    // was chosen.
    const QString product = w.CboPr->currentText().trimmed();
    if (product.isEmpty()) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un produit !"));
        return;
    }
    w.LstPr->insertItem(listorder::insertPosition(entries(w.LstPr), kPrefix + product), kPrefix + product);
}

void VisitEntry::CmdRetirePr_Click()
{
    ListBox *list = m_frm.view().products.LstPr;
    m_frm.focusCmdFoc();
    QListWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected()) {
        dialogs::message(&m_frm, QStringLiteral("Quel produit faut il retirer !"), QMessageBox::Question);
        return;
    }
    delete list->takeItem(list->row(item));
}

void VisitEntry::CmdEnrPr_Click()
{
    ProductsWidgets &w = m_frm.view().products;
    SharedState &s = m_frm.state();
    guarded(&m_frm, [&] {
        ProduitRepository &produits = m_frm.store().produits();
        const QString doctor = m_frm.currentDoctor();
        const auto found = produits.find(visitLabo(), doctor, visitDate()).get();
        const QString text = productstext::join(entries(w.LstPr));
        // The blank entry a reload leaves is no product either.
        if (text.isEmpty() && !found) {
            warning(&m_frm, QStringLiteral("Aucun produit n'est sélectionné !"));
            return;
        }
        // A record without its doctor would belong to nobody's history.
        if (visitLabo().isEmpty() || w.CboDs->currentText().trimmed().isEmpty() || doctor.isEmpty()) {
            warning(&m_frm, QStringLiteral("Une donnée n'est pas renseignée !"));
            return;
        }
        s.ProduitTexte = text;
        if (found && s.ProduitTexte.isEmpty()) {
            produits.remove(found->numProduit);
            dialogs::information(&m_frm, QStringLiteral("Suppression des données enregistrées !"));
            return;
        }
        ProduitRecord record{found ? found->numProduit : 0,    doctor,      visitLabo(),
                             w.CboDs->currentText().trimmed(), visitDate(), s.ProduitTexte};
        if (found)
            produits.update(record);
        else
            produits.insert(record);
        dialogs::information(&m_frm, QStringLiteral("Données enregistrées !"));
    });
    m_frm.focusCmdFoc();
}

} // namespace tv
