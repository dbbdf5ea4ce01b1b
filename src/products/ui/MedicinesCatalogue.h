#pragma once

class QString;

namespace tv {
class FrmLabo;

// The medicines catalogue: Medoc.txt shown in CboPr and CboPrPr, its
// additions and deletions, and the two-blank prefix of the medicine box.
class MedicinesCatalogue {
public:
    explicit MedicinesCatalogue(FrmLabo &frm)
        : m_frm(frm)
    {
    }

    void loadMedicines();
    void Ajouter_Medicament();
    void Supprimer_Medicament();
    void CboPr_Change();
    void CboPr_GotFocus();

private:
    void setEditText(const QString &text);

    FrmLabo &m_frm;
    bool m_changing = false;
};

} // namespace tv
