#pragma once

#include <QObject>

namespace tv {
class FrmLabo;

// Laboratory list and record panel, quotas, add/rename/delete, search by
// delegate.
class LabsController : public QObject {
    Q_OBJECT
public:
    explicit LabsController(FrmLabo &frm);

    void connectSignals();

    void LstLabo_Click();
    // LblPass from the Passage row of the selected laboratory and doctor.
    void loadQuota();
    // Writes pending edits of the record panel (before another laboratory
    // is shown and when the window closes).
    void savePanel();
    void addLaboratory();
    void openSite();
    void writeMail();

private:
    FrmLabo &m_frm;
};

} // namespace tv
