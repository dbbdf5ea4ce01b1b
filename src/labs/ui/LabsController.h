#pragma once

#include "store/tables/Records.h"

#include <QList>
#include <QObject>
#include <memory>

namespace tv {
class MainWindow;
struct LaboWidgets;
class LabEditing;
class LabPanel;
class QuotaHandler;

// Laboratory list and record panel, quotas, add/rename/delete, search by
// delegate.
class LabsController : public QObject {
    Q_OBJECT
public:
    LabsController(MainWindow &main, LaboWidgets &w);
    ~LabsController() override;

    void connectSignals();

    void LstLabo_Click();
    // LblPass from the Passage row of the selected laboratory and doctor.
    void loadQuota();
    // Writes pending edits of the record panel (before another laboratory
    // is shown and when the window closes). Throws StoreError.
    void savePanel();
    void addLaboratory();
    // Fills LstLabo and the products' combos anew from the Labo table; none
    // is selected, no handler runs. Throws StoreError.
    void reloadList();
    // The table as another workstation may have left it: the lists follow,
    // the selection and the record panel too; a laboratory renamed or
    // deleted there is shown so, and the panel's pending edits are not
    // written into it. Throws StoreError.
    void followStore();
    // What the other subsystems ask through the main window.
    bool laboratoryRefused() const;
    void showQuotaButton();
    bool selectLaboratory(const QString &labo);
    void openSite();
    void writeMail();

    void CmdRR_Click();
    void CmdRL_VM_Click();
    void CmdPassage_Click();
    void mnurenomlabo_Click();
    void mnuSuplabo_Click();
    void LstLabo_DblClick();

signals:
    // The user chose a laboratory in the list.
    void laboratoryClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void backToPanel();
    // The selected laboratory is no longer in the list.
    void laboratoryGone();

    MainWindow &m_main;
    LaboWidgets &m_w;
    std::unique_ptr<LabPanel> m_panel;
    std::unique_ptr<QuotaHandler> m_quota;
    std::unique_ptr<LabEditing> m_editing;
    QList<LaboEntry> m_rows; // the table as last read whole
};

} // namespace tv
