#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tv {

// Asks for the time of an appointment being saved, beside the list of the
// doctor's appointments that day. However it closes, heure() holds the
// completed time ("" when none was given or it was incomplete).
class FrmHeure : public QDialog {
    Q_OBJECT
public:
    explicit FrmHeure(const QString &dayAppointments, QWidget *parent = nullptr);

    QString heure() const { return m_heure; }
    QLineEdit *MEB() const { return m_meb; }

    void done(int result) override;

private:
    void MEB_Change(const QString &typed);

    QLineEdit *m_meb = nullptr;
    QLabel *m_lblHeure = nullptr;
    QPushButton *m_cmdOK = nullptr;
    QString m_heure;
    bool m_closed = false;
};

} // namespace tv
