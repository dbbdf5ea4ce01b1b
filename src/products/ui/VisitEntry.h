#pragma once

#include <QString>

namespace tv {
class FrmLabo;

// The entry side of the products page: one visit (date, laboratory, doctor)
// and the products presented at it.
class VisitEntry {
public:
    explicit VisitEntry(FrmLabo &frm)
        : m_frm(frm)
    {
    }

    void Charger_Produits_Visite();
    // What Charger_Produits_Visite will read for that laboratory (the
    // visit's own when null), asked ahead (ReadAhead).
    void askVisit(const QString &labo = QString());
    void DTP_Change();
    void CboLs_Click();
    void CboDs_GotFocus();
    void CboDs_Click();
    void CmdAjoutePr_Click();
    void CmdRetirePr_Click();
    void CmdEnrPr_Click();

private:
    QString visitDate() const;
    QString visitLabo() const;

    FrmLabo &m_frm;
};

} // namespace tv
