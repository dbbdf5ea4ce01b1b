#pragma once

#include "store/engine/Database.h"
#include "store/engine/Notifier.h"
#include "store/engine/PgConnection.h"
#include "store/engine/ServerDialect.h"

#include <QHash>
#include <QList>

#include <functional>

namespace tv {

// The practice's database on a PostgreSQL server: statements wait until a
// result is needed or a transaction commits, then go in one round trip.
class ServerDatabase final : public Database {
public:
    explicit ServerDatabase(const ServerAddress &address)
        : m_connection(PgConnection::open(address))
    {
    }

    const Dialect &dialect() const override { return m_dialect; }
    QString location() const override;
    Notifier *notifier() override;
    long long roundTrips() const override { return m_connection->roundTrips(); }
    bool readsAhead() const override { return true; }
    void aheadScope(int step) override;

    void submit(const std::shared_ptr<Request> &request) override;
    void flush() override;
    bool withdraw(const Request *first) override;

    // Runs once the next round trip is back, answered or failed, before
    // its failure is said: the checks of a database just opened, sent with
    // its first reads.
    void afterNextRoundTrip(std::function<void()> settle) { m_settle = std::move(settle); }

private:
    ServerDialect m_dialect;
    std::unique_ptr<PgConnection> m_connection;
    QList<std::shared_ptr<Request>> m_waiting;
    int m_ahead = 0;
    QHash<QString, std::shared_ptr<Request>> m_answers; // the action's reads so far
    std::unique_ptr<Notifier> m_notifier;
    std::function<void()> m_settle;
};

} // namespace tv
