#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace tv {
class MainWindow;

// The delegates' personal links to the online booking page (command
// mnuLien of the pop-up mnuPlus).
class OnlineController : public QObject {
    Q_OBJECT
public:
    // isMailAddress: the laboratories' rule for a usable address, which
    // belongs to their subsystem.
    OnlineController(MainWindow &main, std::function<bool(const QString &)> isMailAddress);

    void mnuLien_Click();

private:
    MainWindow &m_main;
    std::function<bool(const QString &)> m_isMailAddress;
};

} // namespace tv
