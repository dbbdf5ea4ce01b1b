#pragma once

#include "maintenance/core/DatabaseUpgrade.h"

#include <QObject>
#include <functional>
#include <optional>

namespace tv {
class MainWindow;

// Data location and maintenance commands of the Options menu, and the
// upgrade of the user's database at start-up.
class MaintenanceController : public QObject {
    Q_OBJECT
public:
    // What the commands do outside the window; tests replace them.
    struct Seams {
        // Starts a program of the program folder in a window of its own.
        std::function<bool(const QString &path)> start;
        // Ends the program at once, without the closing steps.
        std::function<void()> quit;
        DatabaseUpgrade::Checkpoint upgradeCheckpoint;
        std::function<void(const QString &name)> beforeCopy;
    };
    static Seams &seams();
    static void resetSeams();

    explicit MaintenanceController(MainWindow &main);

    // Start-up: finishes an upgrade that a crash interrupted. Throws
    // StoreError when the files cannot be put in place.
    void recoverUpgrade();
    // Start-up: the user's database must be carried into the shipped one.
    // False when the program cannot go on (the reason has been shown).
    bool upgradeDatabase();
    // Start-up without a shipped database: true when the data folder's
    // database is one of the Access program the practice comes from.
    bool dataIsAccessDatabase() const;
    // Start-up: throws StoreError naming the data folder's database when it
    // is neither this program's nor an Access one.
    void refuseUnknownDatabase() const;
    // Imports it into a new empty database. False when the program cannot
    // go on (the reason has been shown; the Access file is untouched).
    bool importAccessDatabase();

    void mnuCheminBDD_Click();
    void mnuDeplaceBDD_Click();
    void mnuPurger_Click();
    void mnuRepare_Click();

    // The path of a program of the program folder ("Ferrune", "Remisa").
    QString programPath(const QString &name) const;

private:
    // The rows copied under a progress window; the error text on failure.
    std::optional<QString> copyWithProgress(DatabaseUpgrade &upgrade);
    bool carryOver(const DatabaseUpgrade::Paths &paths);
    bool importChosenAccessFile(const QString &chosen);
    QString chooseDatabaseFile();
    QString copyDestination(const QString &chosen);
    void reopenOn(const QString &databasePath);

    MainWindow &m_main;
};

} // namespace tv
