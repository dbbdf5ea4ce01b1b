#pragma once

#include <QObject>

namespace tv {
class MainWindow;

// Moves the practice's database from the file onto a PostgreSQL server
// (command mnuServeur of the pop-up mnuPlus).
class ServerController : public QObject {
    Q_OBJECT
public:
    explicit ServerController(MainWindow &main);

    void mnuServeur_Click();

private:
    MainWindow &m_main;
};

} // namespace tv
