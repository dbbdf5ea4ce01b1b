#pragma once

#include "store/engine/ServerAddress.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <utility>

struct pg_conn;

namespace tv {
struct Request;

// The link to the practice's PostgreSQL server, straight through libpq.
// Whatever is sent together goes in one round trip (pipeline mode, unnamed
// statements: no statement prepared and deallocated per execution), and
// nothing is asked at start-up that the connection string cannot say.
//
// A link found broken before anything is sent is made again first. One
// that breaks while a batch is on its way is made again and the batch sent
// once more when that cannot do anything twice: reads, and writes marked
// repeatable. Otherwise, and when the server cannot be reached, a
// StoreError in French names the server; the engine's own words go to the
// log.
class PgConnection {
public:
    // Throws StoreError naming the server and what to check.
    explicit PgConnection(const ServerAddress &address);
    // The link made by connectEarly() for that server, when there is one,
    // else a new one. Throws StoreError as the constructor does.
    static std::unique_ptr<PgConnection> open(const ServerAddress &address);
    // Starts making a link to that server on a thread of its own.
    static void connectEarly(const ServerAddress &address);
    ~PgConnection();
    PgConnection(const PgConnection &) = delete;
    PgConnection &operator=(const PgConnection &) = delete;

    const ServerAddress &address() const { return m_address; }
    // Runs the requests in order, in one round trip. Throws StoreError.
    void run(const QList<Request *> &batch);
    // Round trips made since the link was opened (a test counts them).
    long long roundTrips() const { return m_roundTrips; }

    // The statement that listens (LISTEN), made again on every new link;
    // the caller sends it the first time, with its next round trip.
    void follow(const QString &listenStatement);
    bool listening() const { return !m_listen.isEmpty(); }
    // The server's process serving this link, as the link's start told it.
    qint64 backendPid() const;
    // The link's socket, -1 while it is down.
    int socket() const;
    // Reads what arrived without waiting. False when the link is down.
    bool consume();
    // The notifications received so far: channel, payload.
    QList<std::pair<QString, QString>> takeNotifications();
    // Makes the link again when it is down; false when the server does
    // not answer yet.
    bool tryReconnect();
    // Called after the link was made again (its socket changed).
    void onReconnected(std::function<void()> callback) { m_reconnected = std::move(callback); }

private:
    void connect();
    void ensureLink();
    // A new link, whatever the state of the old one.
    bool remake();
    void reconnect();
    bool sendOnce(const QList<Request *> &batch, QString &error, QString &state);
    void collectNotifications();
    [[noreturn]] void unreachable(const QString &engineText);

    ServerAddress m_address;
    pg_conn *m_conn = nullptr;
    QString m_listen;
    QList<std::pair<QString, QString>> m_notifications;
    std::function<void()> m_reconnected;
    bool m_inTransaction = false;
    long long m_roundTrips = 0;
};

} // namespace tv
