#pragma once

#include <QString>

class QDate;

namespace tv {
class MainWindow;
struct ProductsWidgets;

// The entry side of the products page: one visit (date, laboratory, doctor)
// and the products presented at it.
class VisitEntry {
public:
    VisitEntry(MainWindow &main, ProductsWidgets &w)
        : m_main(main)
        , m_w(w)
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

    // The entry shows the visit of `labo` on `day`: both chosen as the user
    // would (their handlers run); a laboratory the combo does not list
    // leaves it as it was.
    void show(const QString &labo, const QDate &day);
    // What choosing the visit's laboratory does, without the box's handler:
    // its delegate is selected and the visit's products read again. Throws
    // StoreError.
    void chooseDelegateOfLaboratory();

private:
    QString visitDate() const;
    QString visitLabo() const;

    MainWindow &m_main;
    ProductsWidgets &m_w;
    // The delegate box has the focus: a change of its entry is the user's
    // choice of a delegate, not the program following the laboratory.
    bool m_delegateFocused = false;
};

} // namespace tv
