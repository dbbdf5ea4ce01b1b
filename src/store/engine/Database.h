#pragma once

#include "store/engine/Dialect.h"
#include "store/engine/Query.h"
#include "store/engine/ServerAddress.h"

#include <QString>
#include <memory>
#include <optional>

namespace tv {
class Notifier;
struct Request;

// Where a data folder keeps the practice's database: its file, or the
// server its Serveur.cfg names. What the data there allow can be asked
// before anything is opened.
struct Location {
    // A file alone is a place too.
    Location(QString path, std::optional<ServerAddress> address = std::nullopt)
        : file(std::move(path))
        , server(std::move(address))
    {
    }

    QString file;
    std::optional<ServerAddress> server;

    // Dated copies of the file in Sauvegardes/ before destructive commands.
    bool keepsFileBackups() const { return !server; }
    bool canBeCompacted() const { return !server; }
    // For messages: the file, or the server and its database.
    QString describe() const;
};

// One open connection to the practice's database: the file Ferrune.mdb
// (SQLite) or a PostgreSQL server, each engine a small class of its own
// holding its dialect and its connection. Text comparisons on the key
// columns ignore case; the connection also knows tv_fold(x), the
// case-folded text with accented letters included, and tv_contains(h, n),
// "h contains n, any case". The rest of the program asks what it can do,
// never which engine it is.
class Database {
public:
    enum class FileMode { ReadWrite, ReadOnly, Create };

    // The practice's database at that place, its tables checked. Throws
    // StoreError naming the file or the server and what to check.
    static std::unique_ptr<Database> open(const Location &location);
    // The server's link, when the place is on a server, made on a thread of
    // its own from now on: its round trips go while the program builds its
    // window, and the next open() of the same server takes it.
    static void connectEarly(const Location &location);
    // An SQLite file as it is (a backup, an old database, a new one).
    static std::unique_ptr<Database> openFile(const QString &path, FileMode mode = FileMode::ReadWrite);
    // Creates a new file holding the empty tables.
    static std::unique_ptr<Database> create(const QString &path);
    // A database of the server, whatever it holds.
    static std::unique_ptr<Database> connectServer(const ServerAddress &address);
    // The whole file copied into a new one through SQLite's online backup:
    // whole and consistent even while another workstation writes. The copy
    // has no journal and is not synced: the caller syncs it once and
    // renames it into place. Throws StoreError.
    static void copyFile(const QString &from, const QString &to);

    virtual ~Database() = default;
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    virtual const Dialect &dialect() const = 0;
    // The file's path; "" on a server.
    virtual QString path() const { return {}; }
    // For messages: the file, or the server and its database.
    virtual QString location() const = 0;
    bool hasTable(const QString &name);

    bool canBeCompacted() const { return dialect().canBeCompacted(); }
    bool canMoveToServer() const { return dialect().canMoveToServer(); }
    // Notifications another workstation sends (NOTIFY), delivered through
    // Qt's event loop; nullptr when the engine has none.
    virtual Notifier *notifier() { return nullptr; }
    // Round trips to the server since it was opened; 0 on a file.
    virtual long long roundTrips() const { return 0; }

    // For Query and Transaction: a request runs now on a file; on a server
    // it waits for the next round trip, which takes every request waiting.
    virtual void submit(const std::shared_ptr<Request> &request) = 0;
    virtual void flush() = 0;
    // Takes back the requests still waiting from `first` on; false when it
    // was sent already.
    virtual bool withdraw(const Request *first) = 0;
    // What one action reads, asked for at its start (ReadAhead): on a
    // server sent together in one round trip, and the action's own reads of
    // the same rows take those answers until something is written. Nothing
    // to gain on a file, where a read costs no round trip.
    virtual bool readsAhead() const { return false; }
    virtual void aheadScope(int) { }

    // Inside a Transaction a write waits for the commit, and may be sent
    // twice when the transaction may.
    bool inTransaction() const { return m_transactions > 0; }
    bool inRepeatableTransaction() const { return m_transactions > 0 && m_repeatable; }
    void enterTransaction(int step, bool repeatable)
    {
        m_transactions += step;
        m_repeatable = repeatable;
    }

protected:
    Database() = default;

private:
    int m_transactions = 0;
    bool m_repeatable = false;
};

template<typename F>
ReadAhead::ReadAhead(Database &db, F &&reads)
    : m_db(db)
{
    m_db.aheadScope(1);
    try {
        if (m_db.readsAhead())
            reads();
    } catch (...) {
        m_db.aheadScope(-1);
        throw;
    }
}

} // namespace tv
