#pragma once

#include "common/ui/DayListModel.h"

#include <QObject>

namespace tv {
class MainWindow;
struct AgendaWidgets;
struct VisiteRecord;

// Booking panel, time dialog and the appointment lists.
class BookingController : public QObject {
    Q_OBJECT
public:
    BookingController(MainWindow &main, AgendaWidgets &w);

    void connectSignals();

    void Liste_RV_Labo_Medecin();
    void Liste_RV_Medecin();
    // What the lists will read, asked for ahead (ReadAhead): the day's
    // list, the past appointments' first page, the history's refresh,
    // and those three with the pair's list.
    void askToday();
    void askPast();
    void askHistory();
    void askDoctorLists();
    void mnusupRV_Click();

    void CmdRV_Click();
    void CmdAnn_Click();
    void CmdEnr_Click();
    // False, after saying so, when the selected laboratory has had its
    // year's quota of visits with the selected doctor.
    bool Verifier_Quota_Annuel();
    void LstRV_DblClick();
    void LstRVJour_Click();

    // After one appointment was saved or removed, or a year purged: the
    // lists and the grid that show it follow.
    void appointmentChanged(const VisiteRecord &visite);
    void yearPurged(const QString &an);
    // What yearPurged will read but the grid, asked ahead (ReadAhead).
    void askAfterPurge(const QString &an);
    // Today's list and the history as another workstation may have left
    // them, or read for a new day; their selection and scroll position kept.
    void refreshToday();
    void refreshHistory();
    // The day chosen for a booking is forgotten.
    void forgetBookingDay();
    // Today's appointment of the laboratory is highlighted (no handler runs).
    void highlightTodayVisit(const QString &labo);

private:
    // LstHist's rows: the selected doctor's, before today.
    DayListModel::Source historySource();
    void saveAppointment();
    // The grid and the lists as the database has them now.
    void showCurrentAgenda();
    // Asks for the time of the appointment of that day; "" when none.
    QString askTime(const QString &dateJMA);
    // The question naming the first missing selection; false when one is
    // missing.
    bool selectionComplete();
    void fillToday();
    bool gridShows(const QString &an, const QString &mois) const;
    // What appointmentChanged will read, asked ahead (ReadAhead).
    void askAfterChange(const VisiteRecord &visite);

    MainWindow &m_main;
    AgendaWidgets &m_w;
    bool m_saving = false;
};

} // namespace tv
