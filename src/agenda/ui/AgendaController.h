#pragma once

#include <QObject>

class QTableWidgetItem;

namespace tv {
class FrmLabo;

// Month buttons, year, month grid and its day click; weekday maxima, time
// option and absences.
class AgendaController : public QObject {
    Q_OBJECT
public:
    explicit AgendaController(FrmLabo &frm);

    void connectSignals();
    // Grid shape at start-up, from the layout's scale factors.
    void initialiseGrid(double horizontalFactor, double verticalFactor);

    void Remplir_Agenda();
    void Choisir_Mois(int mois);
    // What Choisir_Mois(mois) will read, asked ahead (ReadAhead).
    void askMonth(int mois);
    void CboAn_Click();
    void EtMois_Click(int index);
    void FG_Click(int row);
    void mnuMax_Click();
    void mnuHeure_Click();
    void mnuSansRV_Click();

private:
    void setupMonthButtons();
    void clearGrid();
    void showDayAppointments(const QString &dd, const QString &date);
    bool chooseBookingDay(int row, const QString &date);
    QString doctorEntry() const; // the doctors' list text as shown

    FrmLabo &m_frm;
};

} // namespace tv
