#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>

struct sqlite3_stmt;

namespace tv {

// One open connection to a database file (Ferrune.mdb). Text comparisons on
// the key columns ignore case; the connection also knows tv_fold(x), the
// case-folded text with accented letters included, and tv_contains(h, n),
// "h contains n, any case".
class Database {
public:
    // Opens an existing file; never creates one. Throws StoreError.
    static std::unique_ptr<Database> open(const QString &path);
    // Creates a new file holding the empty tables. Throws StoreError.
    static std::unique_ptr<Database> create(const QString &path);

    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QSqlDatabase &sql() { return m_db; }
    QString path() const { return m_path; }
    bool hasTable(const QString &name) const;
    void close();

private:
    Database(QSqlDatabase db, QString connection, QString path);
    static std::unique_ptr<Database> connect(const QString &path);

    QSqlDatabase m_db;
    QString m_connection;
    QString m_path;
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
    QString text(int column) const { return m_query.value(column).toString(); }
    int numRowsAffected() const { return m_query.numRowsAffected(); }
    qint64 lastInsertId() const { return m_query.lastInsertId().toLongLong(); }

private:
    QSqlQuery m_query;
    QString m_statement;
};

// A forward-only read straight from the engine, for the large lists (a
// doctor's appointments, his products history): no QVariant per value.
// Values are bound as with SqlQuery; every failure throws a StoreError.
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
    QString m_text;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back when left without commit().
// IMMEDIATE takes the write lock at once, so a check made inside holds
// against another workstation until the commit.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    Database &m_db;
    bool m_done = false;
};

// Runs one statement without results (schema, pragmas). Throws StoreError.
void execStatement(Database &db, const QString &statement);

QString foldText(const QString &text);

} // namespace tv
