#pragma once

#include <QObject>
#include <memory>

namespace tv {
class FrmLabo;
class HistoryView;
class MedicinesCatalogue;
class VisitEntry;

// Medicines catalogue, products of a visit and products history.
class ProductsController : public QObject {
    Q_OBJECT
public:
    explicit ProductsController(FrmLabo &frm);
    ~ProductsController() override;

    void connectSignals();

    // Fills CboPr and CboPrPr from Medoc.txt.
    void loadMedicines();
    void Remplir_Historique();
    void Charger_Produits_Visite();
    void Ajouter_Medicament();
    void Supprimer_Medicament();
    void mnuProduits_Click();

    MedicinesCatalogue &medicines() { return *m_catalogue; }
    VisitEntry &visit() { return *m_visit; }
    HistoryView &history() { return *m_history; }

protected:
    // Focus, double clicks and pointer moves the widgets do not signal.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FrmLabo &m_frm;
    std::unique_ptr<MedicinesCatalogue> m_catalogue;
    std::unique_ptr<VisitEntry> m_visit;
    std::unique_ptr<HistoryView> m_history;
};

} // namespace tv
