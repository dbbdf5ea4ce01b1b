#pragma once

#include <QString>
#include <QStringList>

namespace tv {

// What the two engines say and allow differently, and nothing else: the
// repositories write one query for both and paste only these fragments,
// never a value; the rest of the program asks what the database can do.
class Dialect {
public:
    virtual ~Dialect() = default;

    // Type of column 0 of every table: the counter (NumLabo...).
    virtual QString counterColumn() const = 0;
    // Type of a key column, compared without regard to case.
    virtual QString keyColumn() const = 0;
    // Run once with the tables: what the queries call (tv_fold,
    // tv_contains) when the engine keeps it in the database.
    virtual QStringList schemaSetup() const = 0;
    // Starts a write transaction.
    virtual QString begin() const = 0;
    // Held to the commit, keeps another workstation from changing the table
    // between a check and the write it allows. Empty when begin() already
    // took the lock for the whole database.
    virtual QString lockTable(const QString &table) const = 0;
    // The counter given to the last row inserted on this connection, as an
    // expression of the same statement's transaction.
    virtual QString lastInsertId() const = 0;
    // The next number the table's counter will not go below, bound as
    // :table; empty when the engine keeps no such record.
    virtual QString counterFloor() const = 0;
    // Puts the counter of the table past its largest value and past :floor
    // (after a copy that kept the numbers). Empty when the engine does it
    // by itself.
    virtual QString resetCounter(const QString &table, const QString &column) const = 0;
    // Whether the table exists as the queries see it, bound as :name.
    virtual QString tableExists() const = 0;
    // The database's own check of itself, one row per fault ("ok" when
    // sound; quick: every page read, the indexes not compared with their
    // tables), and its compaction; empty where that is the server's
    // administrator's business.
    virtual QString integrityCheck(bool quick = false) const = 0;
    virtual QString compaction() const = 0;

    // What the database allows here.
    // Checked and compacted by the repair tool; else by its administrator.
    virtual bool canBeCompacted() const = 0;
    // Can be moved onto a server (it is not on one).
    virtual bool canMoveToServer() const = 0;
    // Tells every workstation what another changed (LISTEN/NOTIFY).
    virtual bool notifies() const = 0;
    // What keeps the other workstations told of every change, made once
    // with the tables, and a query answering true when it is in place;
    // empty when the engine needs nothing in the database.
    virtual QStringList changeNotices() const = 0;
    virtual QString changeNoticesInPlace() const = 0;
    // A number that moves when another connection commits, read without
    // reading a table; empty when the engine tells of the changes instead.
    virtual QString dataVersion() const = 0;
};

} // namespace tv
