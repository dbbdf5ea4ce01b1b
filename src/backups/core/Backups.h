#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace tv::backups {

// Dated copies of Ferrune.mdb in <data folder>/Sauvegardes, taken through
// SQLite's online backup so that a database in use is copied consistently.
// A copy is written under a temporary name and renamed when whole: a killed
// program never leaves half a copy under a real name.

inline constexpr int Kept = 30;
inline const QString FolderName = QStringLiteral("Sauvegardes");

QString folder(const QString &dataFolder);

// Copies the data folder's Ferrune.mdb into a new dated file, checked,
// then keeps only the last `Kept`. Returns its path. Throws StoreError
// (French) when the copy cannot be made whole or fails its check; then
// nothing else has changed.
QString take(const QString &dataFolder);
// True when a copy dated today is already there.
bool takenToday(const QString &dataFolder);

struct Entry {
    QString path;
    QDateTime taken;
    qint64 size = 0;
    QList<QPair<QString, qint64>> rows; // table -> row count
    QString problem;                    // empty when the copy can be restored
    bool sound() const { return problem.isEmpty(); }
};

// The copies, most recent first, each checked.
QList<Entry> list(const QString &dataFolder);
// Quick: every page read, the indexes not compared with their tables.
enum class Check { Full, Quick };
Entry inspect(const QString &path, Check depth = Check::Full);

// Puts the copy in place of the data folder's Ferrune.mdb: checked first,
// copied beside under a temporary name, renamed over the database. The
// database must be closed. Throws StoreError; the database is then intact.
// A damaged database (no copy of it can be taken) is not overwritten but
// kept aside: renamed Ferrune_endommagee_<date>.mdb beside itself, the new
// path returned (empty when the database was replaced).
enum class Current { Replace, SetAside };
QString restore(const QString &backupPath, const QString &dataFolder, Current current = Current::Replace);

} // namespace tv::backups
