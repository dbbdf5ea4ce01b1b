#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QSocketNotifier;

namespace tv {
class PgConnection;

// What other workstations announce on the server (NOTIFY), delivered
// through Qt's event loop: the link's socket is watched while the program
// waits for the user. A link that breaks is made again every few seconds,
// its channels listened to again, and reconnected() says that
// notifications may have been missed meanwhile.
class Notifier : public QObject {
    Q_OBJECT

public:
    explicit Notifier(PgConnection &connection);
    ~Notifier() override;

    // Watches the link for what that statement (LISTEN) asks, sent by the
    // caller with its next round trip and again after every new link.
    void follow(const QString &listenStatement);
    // The server's process serving the link: the sender of our own notices.
    qint64 backendPid() const;
    // Hands over, from the event loop, what arrived with a round trip.
    void deliverLater();

signals:
    void notified(const QString &channel, const QString &payload);
    void reconnected();

private:
    void watch();
    void readSocket();
    void deliver();

    PgConnection &m_connection;
    std::unique_ptr<QSocketNotifier> m_socket;
    QTimer m_retry;
};

} // namespace tv
