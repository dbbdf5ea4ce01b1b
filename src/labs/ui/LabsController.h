#pragma once

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
    // Fills LstLabo anew with these entries; none is selected, no handler
    // runs.
    void reloadList(const QStringList &entries);
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

    MainWindow &m_main;
    LaboWidgets &m_w;
    std::unique_ptr<LabPanel> m_panel;
    std::unique_ptr<QuotaHandler> m_quota;
    std::unique_ptr<LabEditing> m_editing;
};

} // namespace tv
