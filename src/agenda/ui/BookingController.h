#pragma once

#include <QObject>

namespace tv {
class FrmLabo;

// Booking panel, time dialog and the appointment lists.
class BookingController : public QObject {
    Q_OBJECT
public:
    explicit BookingController(FrmLabo &frm);

    void connectSignals();

    void Liste_RV_Labo_Medecin();
    void Liste_RV_Medecin();
    void mnuVoirRV_Click();
    void CmdListeQuitte_Click();
    void mnusupRV_Click();

private:
    FrmLabo &m_frm;
};

} // namespace tv
