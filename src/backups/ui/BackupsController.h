#pragma once

#include <QObject>
#include <QString>

namespace tv {
class MainWindow;

// Automatic copies of the database before each command that removes or
// replaces data and at the first start of each day, and the Sauvegardes
// window that lists them and puts one back.
class BackupsController : public QObject {
    Q_OBJECT
public:
    explicit BackupsController(MainWindow &main);

    // Copies the current database before `command` (its French name, e.g.
    // "la purge"); also the one of `otherFolder` when it holds one. False,
    // with the reason shown, when the copy could not be made: the command
    // must then stop.
    bool before(const QString &command, const QString &otherFolder = QString());
    // Start-up: the day's first copy.
    void dailyBackup();

    void mnuSauvegardes_Click();
    // Puts the chosen copy back after a confirmation and a copy of the
    // current state, then reopens the program on it. True when done.
    bool restore(const QString &backupPath);

private:
    QString dataFolder() const;

    MainWindow &m_main;
};

} // namespace tv
