#pragma once

#include <QObject>

namespace tv {
class FrmLabo;

// Medicines catalogue, products of a visit and products history.
class ProductsController : public QObject {
    Q_OBJECT
public:
    explicit ProductsController(FrmLabo &frm);

    void connectSignals();

    // Fills CboPr and CboPrPr from Medoc.txt.
    void loadMedicines();
    void Remplir_Historique();
    void Charger_Produits_Visite();
    void Ajouter_Medicament();
    void Supprimer_Medicament();
    void mnuProduits_Click();

private:
    FrmLabo &m_frm;
};

} // namespace tv
