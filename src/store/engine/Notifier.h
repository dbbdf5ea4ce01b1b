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

    // LISTEN on that channel, now and after every new link. Throws
    // StoreError.
    void listen(const QString &channel);
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
