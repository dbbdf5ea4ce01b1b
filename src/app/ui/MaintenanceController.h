#pragma once

#include <QObject>

namespace tv {
class FrmLabo;

// Data location and maintenance commands of the Options menu.
class MaintenanceController : public QObject {
    Q_OBJECT
public:
    explicit MaintenanceController(FrmLabo &frm);

    void connectSignals();
    // Start-up: the user's database must be carried into the shipped one.
    // False when it failed (the reason has been shown).
    bool upgradeDatabase();

    void mnuCheminBDD_Click();
    void mnuDeplaceBDD_Click();
    void mnuPurger_Click();
    void mnuRepare_Click();

private:
    FrmLabo &m_frm;
};

} // namespace tv
