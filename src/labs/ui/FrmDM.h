#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tv {
class MainWindow;
struct LaboWidgets;
class ListBox;

// Finds a laboratory from its delegate's name: every delegate is listed,
// a click shows his laboratory, Quitter (or a double click) selects that
// laboratory in the main window and shows its record.
class FrmDM : public QDialog {
    Q_OBJECT
public:
    FrmDM(MainWindow &main, LaboWidgets &w);

    // Lists the delegates of every Labo row, in table order. Throws StoreError.
    void load();

    void LstDM_Click();
    void CmdQuit_Click();

    ListBox *LstDM = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *LblLabo = nullptr;
    QPushButton *CmdQuit = nullptr;

private:
    MainWindow &m_main;
    LaboWidgets &m_w;
};

} // namespace tv
