#include "NetProxy.h"

#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <list>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tvbench {

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    std::vector<char> bytes;
    Clock::time_point due;
};

// One direction of one connection.
struct Pipe {
    int from = -1;
    int to = -1;
    std::deque<Chunk> queue;
    bool ended = false;
};

struct Link {
    Pipe up;   // client -> server
    Pipe down; // server -> client
    bool serverSpokeLast = true;
    bool opened = false; // the client has spoken once
    bool closed = false;
};

int connectUpstream(const QString &host, int port)
{
    if (host.startsWith(u'/')) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = (host + QStringLiteral("/.s.PGSQL.%1").arg(port)).toLocal8Bit();
        std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
            ::close(fd);
            return -1;
        }
        return fd;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host == QLatin1String("localhost") ? "127.0.0.1" : host.toLatin1().constData(),
                &address.sin_addr);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void sendAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void closeLink(Link &link)
{
    if (link.closed)
        return;
    ::close(link.up.from);
    ::close(link.up.to);
    link.closed = true;
}

} // namespace

QString conninfoValue(const QString &conninfo, const QString &key)
{
    for (const QString &part : conninfo.split(u' ', Qt::SkipEmptyParts)) {
        if (part.startsWith(key + u'='))
            return part.mid(key.size() + 1);
    }
    return {};
}

std::unique_ptr<NetProxy> proxyFor(const QString &serverConninfo)
{
    QString host = conninfoValue(serverConninfo, QStringLiteral("host"));
    if (host.isEmpty())
        host = QStringLiteral("/var/run/postgresql");
    const QString port = conninfoValue(serverConninfo, QStringLiteral("port"));
    return std::make_unique<NetProxy>(host, port.isEmpty() ? 5432 : port.toInt(),
                                      qEnvironmentVariableIntValue("TALLVANE_BENCH_RTT_MS"));
}

NetProxy::NetProxy(const QString &upstreamHost, int upstreamPort, int rttMs)
    : m_upstreamHost(upstreamHost)
    , m_upstreamPort(upstreamPort)
    , m_rttMs(rttMs)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0
        || ::listen(m_listener, 16) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0 || ::pipe(m_wake) != 0)
        throw std::runtime_error("the proxy cannot listen on 127.0.0.1");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { loop(); });
}

NetProxy::~NetProxy()
{
    m_stop.store(true);
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &byte, 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

QString NetProxy::conninfo(const QString &serverConninfo) const
{
    QStringList parts;
    for (const QString &part : serverConninfo.split(u' ', Qt::SkipEmptyParts)) {
        if (!part.startsWith(QLatin1String("host=")) && !part.startsWith(QLatin1String("hostaddr="))
            && !part.startsWith(QLatin1String("port=")))
            parts.append(part);
    }
    parts.prepend(QStringLiteral("host=127.0.0.1 port=%1").arg(m_port));
    return parts.join(u' ');
}

void NetProxy::loop()
{
    std::list<Link> links;
    const auto half = std::chrono::microseconds(m_rttMs * 500);
    while (!m_stop.load()) {
        if (m_cutAll.exchange(false)) {
            for (Link &link : links)
                closeLink(link);
        }
        links.remove_if([](const Link &l) { return l.closed; });

        // Wake up when the first chunk is due (to the microsecond: a
        // millisecond's rounding would double a short delay), or at once.
        auto now = Clock::now();
        long long timeoutUs = -1;
        for (const Link &link : links)
            for (const Pipe *pipe : {&link.up, &link.down})
                if (!pipe->queue.empty()) {
                    const auto wait =
                        std::chrono::duration_cast<std::chrono::microseconds>(pipe->queue.front().due - now).count();
                    const long long us = std::max<long long>(0, wait);
                    timeoutUs = timeoutUs < 0 ? us : std::min(timeoutUs, us);
                }
        if (m_cutAfter.load() >= 0 && timeoutUs < 0)
            timeoutUs = 50000;
        const timespec wait{static_cast<time_t>(timeoutUs / 1000000), static_cast<long>(timeoutUs % 1000000) * 1000};

        std::vector<pollfd> fds{{m_listener, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        std::vector<std::pair<Link *, Pipe *>> owners{{nullptr, nullptr}, {nullptr, nullptr}};
        for (Link &link : links)
            for (Pipe *pipe : {&link.up, &link.down})
                if (!pipe->ended) {
                    fds.push_back({pipe->from, POLLIN, 0});
                    owners.emplace_back(&link, pipe);
                }
        ::ppoll(fds.data(), fds.size(), timeoutUs < 0 ? nullptr : &wait, nullptr);
        now = Clock::now();

        if (fds[1].revents & POLLIN) {
            char sink[16];
            [[maybe_unused]] const ssize_t n = ::read(m_wake[0], sink, sizeof(sink));
        }
        if (fds[0].revents & POLLIN) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            const int server = client >= 0 ? connectUpstream(m_upstreamHost, m_upstreamPort) : -1;
            if (server < 0) {
                if (client >= 0)
                    ::close(client);
            } else {
                const int one = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
                m_roundTrips.fetch_add(1); // the handshake
                Link &link = links.emplace_back();
                link.up.from = link.down.to = client;
                link.up.to = link.down.from = server;
            }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            auto [link, pipe] = owners[i];
            char buffer[65536];
            const ssize_t n = ::recv(pipe->from, buffer, sizeof(buffer), 0);
            if (n <= 0) {
                pipe->ended = true;
                continue;
            }
            const bool fromClient = pipe == &link->up;
            if (fromClient && link->serverSpokeLast)
                m_roundTrips.fetch_add(1);
            link->serverSpokeLast = !fromClient;
            // A new connection's first words wait one round trip more: the
            // TCP handshake that the loopback makes at once.
            const auto due = fromClient && !std::exchange(link->opened, true) ? now + 3 * half : now + half;
            pipe->queue.push_back({std::vector<char>(buffer, buffer + n), due});
        }

        // Deliver what is due; a cut lets through only part of an answer.
        for (Link &link : links) {
            for (Pipe *pipe : {&link.up, &link.down}) {
                while (!link.closed && !pipe->queue.empty() && pipe->queue.front().due <= now) {
                    Chunk &chunk = pipe->queue.front();
                    const long long cut = m_cutAfter.load();
                    if (pipe == &link.down && cut >= 0) {
                        const auto size = static_cast<long long>(chunk.bytes.size());
                        if (size >= cut) {
                            sendAll(pipe->to, chunk.bytes.data(), static_cast<size_t>(cut));
                            m_cutAfter.store(-1);
                            for (Link &other : links)
                                closeLink(other);
                            break;
                        }
                        m_cutAfter.store(cut - size);
                    }
                    sendAll(pipe->to, chunk.bytes.data(), chunk.bytes.size());
                    pipe->queue.pop_front();
                }
                if (!link.closed && pipe->ended && pipe->queue.empty())
                    closeLink(link);
            }
        }
    }
    for (Link &link : links)
        closeLink(link);
}

} // namespace tvbench
