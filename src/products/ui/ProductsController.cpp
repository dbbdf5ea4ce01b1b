#include "products/ui/ProductsController.h"

#include "app/ui/FrmLabo.h"
#include "store/SettingsFiles.h"
#include "store/TextFile.h"

#include <QComboBox>

namespace tv {

ProductsController::ProductsController(FrmLabo &frm)
    : m_frm(frm)
{
}

void ProductsController::connectSignals() {}

void ProductsController::loadMedicines()
{
    const auto lines = textfile::readLines(files::join(m_frm.state().CheminBase, files::Medoc));
    if (!lines)
        return;
    for (const QString &line : *lines) {
        const QString entry = QStringLiteral("  ") + line.toUpper();
        m_frm.view().products.CboPr->addItem(entry);
        m_frm.view().products.CboPrPr->addItem(entry);
    }
}

void ProductsController::Remplir_Historique() {}
void ProductsController::Charger_Produits_Visite() {}
void ProductsController::Ajouter_Medicament() {}
void ProductsController::Supprimer_Medicament() {}
void ProductsController::mnuProduits_Click() {}

} // namespace tv
