#pragma once

#include <QDialog>

class QCalendarWidget;
class QDate;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tv {
class MainWindow;
class ListBox;

// The absence dates of the doctor selected in the main window: a month
// view and two boxes to enter a period, and a list view to delete dates.
class FrmDate : public QDialog {
    Q_OBJECT
public:
    explicit FrmDate(MainWindow &main);

    void Charger_Dates_Absences();
    void MV_DateClick(const QDate &date);
    void CmdOK_Click();
    void CmdAnnule_Click();
    void CmdQuitte_Click();
    void CmdSupprime_Click();
    void CmdAjout_Click();
    void CmdEfface_Click();
    void LstDateAbs_DblClick();

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildWidgets();
    void buildListView();
    void connectSignals();
    void Form_Load();
    void leave();
    void showCount();
    QString doctorEntry() const;
    QString folder() const;

    MainWindow &m_main;
    QCalendarWidget *MV = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *MEB3 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *MEB4 = nullptr;
    QPushButton *CmdOK = nullptr;
    QPushButton *CmdAnnule = nullptr;
    QPushButton *CmdSupprime = nullptr;
    QFrame *Frame0 = nullptr;
    ListBox *LstDateAbs = nullptr;
    QListWidget *LstS = nullptr;
    QLabel *LblAbsMed = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *CmdEfface = nullptr;
    QPushButton *CmdAjout = nullptr;
    QPushButton *CmdQuitte = nullptr;
    QPushButton *cmdFoc = nullptr;
};

} // namespace tv
