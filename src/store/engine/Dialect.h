#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSqlError;

namespace tv {
class ChangeFeed;
class Database;

// What the two engines say differently, and nothing else: the repositories
// write one query for both and paste only these fragments, never a value.
class Dialect {
public:
    enum class Engine { File, Server };

    virtual ~Dialect() = default;

    virtual Engine engine() const = 0;
    // Qt's driver name.
    virtual QString driver() const = 0;
    // Type of column 0 of every table: the counter (NumLabo...).
    virtual QString counterColumn() const = 0;
    // Type of a key column, compared without regard to case.
    virtual QString keyColumn() const = 0;
    // Run once with the tables: what the queries call (tv_fold,
    // tv_contains) when the engine keeps it in the database.
    virtual QStringList schemaSetup() const = 0;
    // Run on every new connection.
    virtual void prepareConnection(Database &db) const = 0;
    // Starts a write transaction.
    virtual QString begin() const = 0;
    // Held to the commit, keeps another workstation from changing the table
    // between a check and the write it allows. Empty when begin() already
    // took the lock for the whole database.
    virtual QString lockTable(const QString &table) const = 0;
    // The French text for a failed statement.
    virtual QString describe(const QSqlError &error) const = 0;
    // The counter given to the last row inserted on this connection.
    virtual qint64 lastInsertId(Database &db, const QVariant &driverValue) const = 0;
    // The next number the table's counter will not go below, bound as
    // :table; empty when the engine keeps no such record.
    virtual QString counterFloor() const = 0;
    // Puts the counter of the table past its largest value and past :floor
    // (after a copy that kept the numbers). Empty when the engine does it
    // by itself.
    virtual QString resetCounter(const QString &table, const QString &column) const = 0;

    // What keeps the other workstations told of every change, made once
    // with the tables; empty when the engine needs nothing in the database.
    virtual QStringList changeNotices() const = 0;
    // A query answering true when they are in place.
    virtual QString changeNoticesInPlace() const = 0;
    // The changes others make, as this engine learns of them. Throws
    // StoreError.
    virtual std::unique_ptr<ChangeFeed> changeFeed(Database &db) const = 0;
};

std::unique_ptr<Dialect> makeFileDialect();
std::unique_ptr<Dialect> makeServerDialect();

} // namespace tv
