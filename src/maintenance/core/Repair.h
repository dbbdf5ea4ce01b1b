#pragma once

#include <QString>
#include <QStringList>

namespace tv::repair {

// What the repair tool did to the database named in CheminBase.cfg.
enum class Status {
    Repaired, // backed up, checked and compacted
    Damaged,  // the check found faults: the file was left as it is
    Missing,  // no database where the settings say
    Failed,   // could not be done (file in use, disk full...)
    Access,   // the former program's Access file: left as it is
    OnServer, // the data are on a PostgreSQL server: nothing done here
};

struct Report {
    Status status = Status::Failed;
    QString database;
    QString backup;       // the copy made before anything else, "" when none
    QStringList problems; // the engine's findings or the reason of a failure
    QString format;       // Access: "Jet 3", "Jet 4"... when readable
    qint64 sizeBefore = 0;
    qint64 sizeAfter = 0;
};

inline const QString BackupName = QStringLiteral("Sauvegarde_Ferrune.mdb");
inline const QString DamagedCopyName = QStringLiteral("Ferrune_endommagee.mdb");

// The database the program uses: CheminBase.cfg of the program folder, or
// the program folder itself when the file does not exist. Throws StoreError.
QString locateDatabase(const QString &programFolder);

// Copies the database beside itself, checks it and, only when it is sound,
// compacts it. A damaged file is reported and never rewritten: its copy is
// kept under DamagedCopyName and the last good backup stays.
Report run(const QString &databasePath);

// The report in French, for the tool's window.
QString describe(const Report &report);

} // namespace tv::repair
