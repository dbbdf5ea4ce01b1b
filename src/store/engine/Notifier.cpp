#include "store/engine/Notifier.h"

#include "store/engine/PgConnection.h"

#include <QSocketNotifier>

namespace tv {

namespace {
constexpr int kRetryMs = 2000;
}

Notifier::Notifier(PgConnection &connection)
    : m_connection(connection)
{
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_connection.tryReconnect())
            m_retry.stop();
    });
    m_connection.onReconnected([this] {
        watch();
        QMetaObject::invokeMethod(this, &Notifier::reconnected, Qt::QueuedConnection);
    });
}

Notifier::~Notifier()
{
    m_connection.onReconnected({});
}

void Notifier::follow(const QString &listenStatement)
{
    m_connection.follow(listenStatement);
    watch();
    deliverLater();
}

qint64 Notifier::backendPid() const
{
    return m_connection.backendPid();
}

void Notifier::watch()
{
    m_socket.reset();
    const int fd = m_connection.socket();
    if (fd < 0 || !m_connection.listening())
        return;
    m_socket = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_socket.get(), &QSocketNotifier::activated, this, [this] { readSocket(); });
}

void Notifier::readSocket()
{
    if (!m_connection.consume()) {
        // The server is gone: its socket would wake us up for ever.
        m_socket.reset();
        m_retry.start();
    }
    deliver();
}

void Notifier::deliverLater()
{
    QMetaObject::invokeMethod(this, &Notifier::deliver, Qt::QueuedConnection);
}

void Notifier::deliver()
{
    for (const auto &[channel, payload] : m_connection.takeNotifications())
        emit notified(channel, payload);
}

} // namespace tv
