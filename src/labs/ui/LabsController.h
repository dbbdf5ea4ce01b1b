#pragma once

#include <QObject>
#include <memory>

namespace tv {
class FrmLabo;
class LabEditing;
class LabPanel;
class QuotaHandler;

// Laboratory list and record panel, quotas, add/rename/delete, search by
// delegate.
class LabsController : public QObject {
    Q_OBJECT
public:
    explicit LabsController(FrmLabo &frm);
    ~LabsController() override;

    void connectSignals();

    void LstLabo_Click();
    // LblPass from the Passage row of the selected laboratory and doctor.
    void loadQuota();
    // Writes pending edits of the record panel (before another laboratory
    // is shown and when the window closes). Throws StoreError.
    void savePanel();
    void addLaboratory();
    void openSite();
    void writeMail();

    void CmdRR_Click();
    void CmdRL_VM_Click();
    void ChkL_Click();
    void CmdPassage_Click();
    void CmdConnaitre_Click();
    void CmdListeQuitte_Click();
    void mnurenomlabo_Click();
    void mnuSuplabo_Click();
    void LstLabo_DblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showDayAppointment();
    void backToPanel();
    void showProductsOfTheDay();

    FrmLabo &m_frm;
    std::unique_ptr<LabPanel> m_panel;
    std::unique_ptr<QuotaHandler> m_quota;
    std::unique_ptr<LabEditing> m_editing;
};

} // namespace tv
