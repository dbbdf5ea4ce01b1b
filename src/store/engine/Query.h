#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace tv {
class Database;
struct Request;

// One statement, its values bound by name (:labo), never pasted into the
// text. exec() sends it with every statement waiting (a write inside a
// Transaction waits for the commit); later() lets it wait for the next
// round trip, so that what one action reads goes to a server together: the
// first result used sends them all. On a file both run at once. Every failure throws a StoreError in French; the engine's words go
// to its log.
class Query {
public:
    Query(Database &db, const QString &statement);
    ~Query();
    Query(Query &&) noexcept;
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Query &bind(const QString &name, const QVariant &value);
    // A write that may reach the server twice without harm: sent again
    // when the link broke before its answer came.
    Query &repeatable();
    Query &exec();
    Query &later();

    bool next();
    // Its round trip is made and brought its answer (exec() not needed).
    bool answered() const;
    int columnCount();
    QString columnName(int column);
    bool isNull(int column) const;
    // "" for NULL on both engines.
    QString text(int column) const;
    qint64 integer(int column) const;
    QVariant value(int column) const;
    // Rows changed by a write.
    int numRowsAffected();

private:
    void ensureDone();

    Database *m_db;
    std::shared_ptr<Request> m_request;
    bool m_submitted = false;
};

// What a read will give, once its round trip is made: asked for with the
// other reads of the same action, used after them all. get() sends what is
// waiting when it has not gone yet, and reads the rows once.
template<typename T>
class Later {
public:
    Later(Query query, std::function<T(Query &)> read)
        : m_query(std::make_shared<Query>(std::move(query)))
        , m_read(std::move(read))
    {
    }

    T get()
    {
        if (!m_value)
            m_value = m_read(*m_query);
        return *m_value;
    }
    operator T() { return get(); }

private:
    std::shared_ptr<Query> m_query;
    std::function<T(Query &)> m_read;
    std::optional<T> m_value;
};

// The reads an action will make, asked for at its start so that a server
// gets them in one round trip; the action's code then reads as usual and
// takes those answers. `reads` runs only where that saves round trips.
class ReadAhead {
public:
    template<typename F>
    ReadAhead(Database &db, F &&reads);
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

private:
    Database &m_db;
};

// A write transaction, rolled back when left without commit(). With a
// guarded table, a check made inside (is this appointment booked already?)
// holds against every other workstation until the commit: on the file the
// whole database is locked at once, on a server that table's writers wait.
// On a server its statements wait for the commit, which sends them with it
// in one round trip; a transaction marked repeatable is sent again whole
// when the link broke before the commit's answer.
class Transaction {
public:
    enum class Repeat { No, Yes };

    explicit Transaction(Database &db, const QString &guardedTable = {}, Repeat repeat = Repeat::No);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // `thenRead` asks for reads (ReadAhead's kind) that go in the same
    // round trip, after the commit: what the action shows next.
    void commit(const std::function<void()> &thenRead = {});
    // Marks the point between the check made under the guard and the write
    // it allows. Tests only: with a hook set, what waits is sent (the lock
    // taken, the check and the write made, not committed) and the hook
    // holds this workstation there, to show that another cannot make its
    // own check meanwhile. Without one it does nothing.
    void checked();
    static void setCheckedHook(std::function<void()> hook);
    // The commit's first answer was lost and the transaction sent again: a
    // row it inserted may have been there already.
    bool repeated() const;

private:
    std::shared_ptr<Request> control(const QString &statement);

    Database &m_db;
    bool m_repeatable;
    std::shared_ptr<Request> m_begin;
    std::shared_ptr<Request> m_commit;
    bool m_done = false;
};

// Runs one statement to its end (schema, pragmas). Throws StoreError.
void execStatement(Database &db, const QString &statement);

QString foldText(const QString &text);

} // namespace tv
