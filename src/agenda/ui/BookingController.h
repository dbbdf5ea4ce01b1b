#pragma once

#include <QObject>

namespace tv {
class FrmLabo;
struct VisiteRecord;

// Booking panel, time dialog and the appointment lists.
class BookingController : public QObject {
    Q_OBJECT
public:
    explicit BookingController(FrmLabo &frm);

    void connectSignals();

    void Liste_RV_Labo_Medecin();
    void Liste_RV_Medecin();
    // What Liste_RV_Medecin and Liste_RV_Labo_Medecin will read, asked
    // ahead (ReadAhead).
    void askDoctorLists();
    // What appointmentChanged will read, asked ahead (ReadAhead).
    void askAfterChange(const VisiteRecord &visite);
    void mnuVoirRV_Click();
    void mnusupRV_Click();

    void CmdRV_Click();
    void CmdAnn_Click();
    void CmdEnr_Click();
    void Verifier_Quota_Annuel();
    void LstRV_DblClick();
    void LstRVJour_Click();

    // After one appointment was saved or removed, or a year purged: the
    // lists and the grid follow without the doctor's whole list being read
    // again.
    enum class Change { Added, Removed };
    void appointmentChanged(const VisiteRecord &visite, Change change);
    void yearPurged(const QString &an);

private:
    void saveAppointment();
    // Asks for the time of the appointment of that day; "" when none.
    QString askTime(const QString &dateJMA);
    // The question naming the first missing selection; false when one is
    // missing.
    bool selectionComplete();
    void fillToday();
    bool gridShows(const QString &an, const QString &mois) const;

    FrmLabo &m_frm;
    bool m_saving = false;
};

} // namespace tv
