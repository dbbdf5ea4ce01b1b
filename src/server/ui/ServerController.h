#pragma once

#include <QObject>

namespace tv {
class FrmLabo;

// Moves the practice's database from the file onto a PostgreSQL server
// (command mnuServeur of the pop-up mnuPlus).
class ServerController : public QObject {
    Q_OBJECT
public:
    explicit ServerController(FrmLabo &frm);

    void connectSignals();
    void mnuServeur_Click();

private:
    FrmLabo &m_frm;
};

} // namespace tv
