#pragma once

#include "store/engine/Dialect.h"
#include "store/engine/ServerAddress.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

struct sqlite3_stmt;

namespace tv {
class ChangeFeed;

// One open connection to the practice's database: the file Ferrune.mdb
// (SQLite) or a PostgreSQL server. Text comparisons on the key columns
// ignore case; the connection also knows tv_fold(x), the case-folded text
// with accented letters included, and tv_contains(h, n), "h contains n,
// any case". What the engines say differently is in dialect().
class Database {
public:
    // Opens an existing file; never creates one. Throws StoreError.
    static std::unique_ptr<Database> open(const QString &path);
    // Creates a new file holding the empty tables. Throws StoreError.
    static std::unique_ptr<Database> create(const QString &path);
    // A database on the server holding the program's tables. Throws
    // StoreError naming the server and what to check.
    static std::unique_ptr<Database> openServer(const ServerAddress &address);
    // A connection to a database of the server, whatever it holds.
    static std::unique_ptr<Database> connectServer(const ServerAddress &address);

    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QSqlDatabase &sql() { return m_db; }
    const Dialect &dialect() const { return *m_dialect; }
    bool isServer() const { return m_dialect->engine() == Dialect::Engine::Server; }
    // The file's path; "" on a server.
    QString path() const { return m_path; }
    // For messages: the file, or the server and its database.
    QString location() const { return m_location; }
    bool hasTable(const QString &name);
    // What other workstations change from now on. Throws StoreError.
    std::unique_ptr<ChangeFeed> changeFeed();
    void close();

private:
    Database(QSqlDatabase db, QString connection, std::unique_ptr<Dialect> dialect);
    static std::unique_ptr<Database> connect(const QString &path);

    QSqlDatabase m_db;
    QString m_connection;
    std::unique_ptr<Dialect> m_dialect;
    QString m_path;
    QString m_location;
};

// A prepared statement with named placeholders. Every failure throws a
// StoreError naming the statement and the engine's message.
class SqlQuery {
public:
    SqlQuery(Database &db, const QString &statement);

    SqlQuery &bind(const QString &placeholder, const QVariant &value);
    SqlQuery &exec();
    bool next() { return m_query.next(); }
    QVariant value(int column) const { return m_query.value(column); }
    // "" for NULL on both engines (the server's NULL number reads as 0).
    QString text(int column) const
    {
        const QVariant v = m_query.value(column);
        return v.isNull() ? QString() : v.toString();
    }
    int numRowsAffected() const { return m_query.numRowsAffected(); }
    qint64 lastInsertId() const;

private:
    Database &m_db;
    QSqlQuery m_query;
    QString m_statement;
};

// A forward-only read straight from the engine, for the large lists (a
// doctor's appointments, his products history): no QVariant per value on
// the file; a forward-only QSqlQuery on a server, whose rows come in one
// answer anyway. Values are bound as with SqlQuery; every failure throws a
// StoreError.
class BulkQuery {
public:
    BulkQuery(Database &db, const QString &statement);
    ~BulkQuery();
    BulkQuery(const BulkQuery &) = delete;
    BulkQuery &operator=(const BulkQuery &) = delete;

    BulkQuery &bind(const char *placeholder, const QString &value);
    bool next();
    QString text(int column) const;
    qint64 integer(int column) const;

private:
    [[noreturn]] void fail() const;

    Database &m_db;
    sqlite3_stmt *m_statement = nullptr;
    std::unique_ptr<QSqlQuery> m_server;
    bool m_started = false;
    QString m_text;
};

// A write transaction, rolled back when left without commit(). With a
// guarded table, a check made inside (is this appointment booked already?)
// holds against every other workstation until the commit: on the file the
// whole database is locked at once, on a server that table's writers wait.
class Transaction {
public:
    explicit Transaction(Database &db, const QString &guardedTable = {});
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();
    // Marks the point between the check made under the guard and the write
    // it allows. Tests only: a hook set here holds one workstation at that
    // point, to show that another cannot make its own check meanwhile.
    static void checked();
    static void setCheckedHook(std::function<void()> hook);

private:
    Database &m_db;
    bool m_done = false;
};

// Runs one statement without results (schema, pragmas). Throws StoreError.
void execStatement(Database &db, const QString &statement);

QString foldText(const QString &text);

} // namespace tv
