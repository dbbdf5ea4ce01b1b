#pragma once

#include <QObject>

namespace tv {
class FrmLabo;

// The practice's doctors: add, select, delete, and the doctor selected when
// the program starts.
class DoctorsController : public QObject {
    Q_OBJECT
public:
    explicit DoctorsController(FrmLabo &frm);

    void connectSignals();

    // Fills LstMed from Medecin.ini; false when the file does not exist.
    bool loadDoctors();
    void addDoctor();
    void LstMed_Click();
    void LstMed_DblClick();
    void mnuSupMed_Click();
    void mnuSelMed_Click();

private:
    void askStartUpDoctor();

    FrmLabo &m_frm;
};

} // namespace tv
