#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace tvbench {

// A TCP proxy on 127.0.0.1 in front of a PostgreSQL server, to see on one
// machine what a practice's network costs: every chunk of data is held half
// the round-trip time on its way in each direction, and a new connection's
// first one a whole round trip more (the TCP handshake, which the loopback
// makes at once). It counts the client's round trips: each handshake, and
// each time the client speaks again after the server has spoken. It can also cut the connection in the middle of the server's next
// answer, as a network that fails under a read.
class NetProxy {
public:
    // upstreamHost: a folder (the server's Unix socket there) or an address.
    NetProxy(const QString &upstreamHost, int upstreamPort, int rttMs);
    ~NetProxy();
    NetProxy(const NetProxy &) = delete;
    NetProxy &operator=(const NetProxy &) = delete;

    int port() const { return m_port; }
    // The server's connection string rewritten to go through the proxy.
    QString conninfo(const QString &serverConninfo) const;

    long long roundTrips() const { return m_roundTrips.load(); }
    // After `bytes` more bytes of the server's answers, every connection is
    // closed; once.
    void cutAfter(long long bytes) { m_cutAfter.store(bytes); }
    bool cutPending() const { return m_cutAfter.load() >= 0; }
    // Every open connection closed now.
    void cutAll() { m_cutAll.store(true); }

private:
    void loop();

    QString m_upstreamHost;
    int m_upstreamPort;
    int m_rttMs;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::atomic<long long> m_roundTrips{0};
    std::atomic<long long> m_cutAfter{-1};
    std::atomic<bool> m_cutAll{false};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// "host=/tmp/x port=5432 user=postgres dbname=bench" -> the value of `key`.
QString conninfoValue(const QString &conninfo, const QString &key);

// A proxy in front of the server of that connection string, holding each
// packet half of TALLVANE_BENCH_RTT_MS (0 when unset) each way.
std::unique_ptr<NetProxy> proxyFor(const QString &serverConninfo);

} // namespace tvbench
