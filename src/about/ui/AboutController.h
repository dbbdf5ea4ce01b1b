#pragma once

#include <QObject>

namespace tv {
class MainWindow;

// About box, the program's web site and the author's mail.
class AboutController : public QObject {
    Q_OBJECT
public:
    explicit AboutController(MainWindow &main);

    void mnuAP_Click();
    void mnuSite_Click();
    void mnuEcrire_Click();

private:
    MainWindow &m_main;
};

} // namespace tv
