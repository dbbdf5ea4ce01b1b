#pragma once

#include <QStringList>

class QString;

namespace tv {
class MainWindow;
struct ProductsWidgets;

// The medicines catalogue: Medoc.txt shown in CboPr and CboPrPr, its
// additions and deletions, and the two-blank prefix of the medicine box.
class MedicinesCatalogue {
public:
    MedicinesCatalogue(MainWindow &main, ProductsWidgets &w)
        : m_main(main)
        , m_w(w)
    {
    }

    void loadMedicines();
    // Medoc.txt as another workstation may have left it: both combos
    // follow, the name being typed and the filter chosen kept.
    void followFile();
    void Ajouter_Medicament();
    void Supprimer_Medicament();
    void CboPr_Change();
    void CboPr_GotFocus();

private:
    QStringList entries() const;
    void setEditText(const QString &text);

    MainWindow &m_main;
    ProductsWidgets &m_w;
    bool m_changing = false;
};

} // namespace tv
