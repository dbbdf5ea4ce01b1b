#pragma once

#include "agenda/core/Calendar.h"
#include "common/ui/MainWindow.h"

#include <QObject>
#include <memory>

class QDate;

namespace tv {
class MonthListPanel;
struct AgendaWidgets;

// Month buttons, year, month grid and its day click; weekday maxima, time
// option and absences.
class AgendaController : public QObject {
    Q_OBJECT
public:
    AgendaController(MainWindow &main, AgendaWidgets &w);
    ~AgendaController() override;

    void connectSignals();
    // Grid shape at start-up, from the layout's scale factors.
    void initialiseGrid(double horizontalFactor, double verticalFactor);
    // Start-up: the year box offers this year and the three next, the day's
    // heading names the day. No handler runs.
    void initialiseYears(const QDate &today);
    // A new day: its heading, and the month a doctor's selection shows.
    void followToday(const QDate &today);

    void Remplir_Agenda();
    void Choisir_Mois(int mois);
    void CboAn_Click();
    void EtMois_Click(int index);
    void FG_Click(int row);
    void mnuMax_Click();
    void mnuHeure_Click();
    void mnuSansRV_Click();
    void CmdConnaitre_Click();

    MonthListPanel &monthList() { return *m_monthList; }
    // The weekday maxima of the doctor shown, Monday first: the grid's, or
    // the ones mnuMax has been given since.
    const MaxJourTable &maxJour() const { return m_maxJour; }

    // What the other subsystems ask through the main window.
    void followDoctor();
    void showDoctorMonth();
    // What showDoctorMonth will read, asked ahead (ReadAhead).
    void askDoctorMonth();
    QString displayedYear() const;

private:
    void setupMonthButtons();
    void clearGrid();
    void showDayAppointments(const QString &dd, const QString &date);
    bool chooseBookingDay(int row, const QString &date);
    MainWindow &m_main;
    AgendaWidgets &m_w;
    std::unique_ptr<MonthListPanel> m_monthList;
    MaxJourTable m_maxJour{};
    QStringList m_joursFeries; // of the year shown
};

} // namespace tv
