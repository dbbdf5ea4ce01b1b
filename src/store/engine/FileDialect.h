#pragma once

#include "store/engine/Dialect.h"

namespace tv {

// SQLite, the database file Ferrune.mdb of a data folder.
class FileDialect final : public Dialect {
public:
    QString counterColumn() const override { return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"); }
    QString keyColumn() const override { return QStringLiteral("TEXT COLLATE NOCASE"); }
    // tv_fold and tv_contains are functions of the connection.
    QStringList schemaSetup() const override { return {}; }
    // IMMEDIATE takes the write lock of the whole file at once, so a check
    // made inside holds against another workstation until the commit.
    QString begin() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QString lockTable(const QString &) const override { return {}; }
    QString lastInsertId() const override { return QStringLiteral("last_insert_rowid()"); }
    // AUTOINCREMENT remembers the largest number ever given, deleted rows'
    // included.
    QString counterFloor() const override
    {
        return QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = :table");
    }
    QString resetCounter(const QString &, const QString &) const override { return {}; }
    QString tableExists() const override
    {
        return QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = :name COLLATE NOCASE");
    }
    QString integrityCheck(bool quick) const override
    {
        return quick ? QStringLiteral("PRAGMA quick_check") : QStringLiteral("PRAGMA integrity_check");
    }
    QString compaction() const override { return QStringLiteral("VACUUM"); }

    bool canBeCompacted() const override { return true; }
    bool canMoveToServer() const override { return true; }
    bool notifies() const override { return false; }
    QStringList changeNotices() const override { return {}; }
    QString changeNoticesInPlace() const override { return {}; }
    // A look at the file's header: another workstation's commit moves it.
    QString dataVersion() const override { return QStringLiteral("PRAGMA data_version"); }
};

} // namespace tv
