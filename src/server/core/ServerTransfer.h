#pragma once

#include "store/engine/ServerAddress.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace tv {
class Database;

// Moves a practice's database file onto an empty PostgreSQL database: the
// tables, then every row of the four tables in one transaction, checked
// (row count and checksum per table) before the commit; the counters keep
// their numbers. Serveur.cfg is written last, and only then. The file is
// left as it was: the way back.
class ServerTransfer {
public:
    // Rows copied so far, of all; false cancels (nothing stays on the server).
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    struct TableReport {
        QString table;
        qint64 rows = 0;
        QString checksum; // hex, the same on both sides
    };

    // Throws StoreError with a French message: unreachable server, refused
    // password, a target that already holds tables, a row refused, a
    // difference after the copy, a cancel. On any failure the server keeps
    // nothing and Serveur.cfg is not written.
    static QList<TableReport> run(Database &source, const ServerAddress &target, const QString &dataFolder,
                                  const Progress &progress = {});

    // Rows and checksum of one table as read back, the same way on either
    // engine.
    static TableReport summarise(Database &db, const QString &table);
};

} // namespace tv
