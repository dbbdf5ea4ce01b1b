#pragma once

#include "store/engine/StoreError.h"

#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace tv {
struct Request;

// The one way the program opens an SQLite file: the database of a data
// folder, a backup being checked, the old file being upgraded or repaired.
// Every connection waits the same while another workstation writes, and
// says what failed in the same French words.
class SqliteConnection {
public:
    enum class Mode { ReadWrite, ReadOnly, Create };

    // Throws StoreError naming the file.
    SqliteConnection(const QString &path, Mode mode);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    QString path() const { return m_path; }

    // Binds the request's values and runs it: a write to its end, a read
    // as its rows are asked for. Throws StoreError.
    void run(Request &request);

    // The French message for an SQLite result code, the engine's text and
    // the statement going to the log. Used for every failure of the file.
    [[noreturn]] void fail(int code, const QString &statement) const;
    static StoreError describe(int code);

    // The whole file copied into a new one through SQLite's online backup:
    // whole and consistent even while another workstation writes. The copy
    // has no journal of its own and is not synced: the caller syncs it once
    // and renames it into place. Throws StoreError.
    static void copy(const QString &from, const QString &to);

    // The statement cache of the connection, used by the rows of a read.
    sqlite3_stmt *take(const QString &statement);
    void giveBack(const QString &statement, sqlite3_stmt *handle);

private:
    void prepareFunctions();

    sqlite3 *m_db = nullptr;
    QString m_path;
    QHash<QString, sqlite3_stmt *> m_idle;
};

} // namespace tv
