#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tv {
class FrmLabo;
class ListBox;

// Finds a laboratory from its delegate's name: every delegate is listed,
// a click shows his laboratory, Quitter (or a double click) selects that
// laboratory in the main window and shows its record.
class FrmDM : public QDialog {
    Q_OBJECT
public:
    explicit FrmDM(FrmLabo &frm);

    // Lists the delegates of every Labo row, in table order. Throws StoreError.
    void load();

    void LstDM_Click();
    void CmdQuit_Click();

    ListBox *LstDM = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *LblLabo = nullptr;
    QPushButton *CmdQuit = nullptr;

private:
    FrmLabo &m_frm;
};

} // namespace tv
