#pragma once

#include <QObject>

namespace tv {
class FrmLabo;

// About box, the program's web site and the author's mail.
class AboutController : public QObject {
    Q_OBJECT
public:
    explicit AboutController(FrmLabo &frm);

    void connectSignals();
    void mnuAP_Click();
    void mnuSite_Click();
    void mnuEcrire_Click();

private:
    FrmLabo &m_frm;
};

} // namespace tv
