#pragma once

#include <QObject>

namespace tv {
class LabsController;
class MainWindow;
struct LaboWidgets;

// The practice's doctors: add, select, delete, and the doctor selected when
// the program starts.
class DoctorsController : public QObject {
    Q_OBJECT
public:
    DoctorsController(MainWindow &main, LaboWidgets &w, LabsController &labs);

    void connectSignals();

    // Fills LstMed from Medecin.ini; false when the file does not exist.
    bool loadDoctors();
    void addDoctor();
    void LstMed_Click();
    void LstMed_DblClick();
    void mnuSupMed_Click();
    void mnuSelMed_Click();
    // The doctor remembered in Vs.ini selected, as at start-up.
    void selectRememberedDoctor();
    // Medecin.ini as another workstation may have left it: the list follows,
    // the selected doctor stays selected while he is still listed.
    void followFile();

private:
    void askStartUpDoctor();
    // No doctor is selected any more: the agenda shows none.
    void noDoctorShown();

    MainWindow &m_main;
    LaboWidgets &m_w;
    LabsController &m_labs;
    // After "Sélectionner un Médecin à l'ouverture du programme": the next
    // doctor clicked is offered as the one to select at start-up, unless a
    // laboratory is clicked first.
    bool m_choosingStartUpDoctor = false;
};

} // namespace tv
