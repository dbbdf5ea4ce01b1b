#include "store/engine/Database.h"

#include "store/engine/FileDatabase.h"
#include "store/engine/Request.h"
#include "store/engine/Schema.h"
#include "store/engine/ServerDatabase.h"
#include "store/engine/StoreError.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace tv {

namespace {

// A long copy's statements go in pieces of this many, not all at once.
constexpr qsizetype kMostWaiting = 256;

QString serverLocation(const ServerAddress &address)
{
    return QStringLiteral("%1 (base %2)").arg(address.hostForMessage(), address.dbname);
}

// The checks of a server database just opened go with its first reads:
// one round trip less for every start. A round trip broken before they
// were answered sends them again with the next.
void settleWithFirstRoundTrip(ServerDatabase &db, const ServerAddress &address)
{
    auto checks = std::make_shared<schema::OpeningChecks>(db);
    db.afterNextRoundTrip([&db, checks, address] {
        if (!checks->answered()) {
            settleWithFirstRoundTrip(db, address);
            return;
        }
        const QString missing = checks->settle();
        if (!missing.isEmpty())
            throw StoreError(QStringLiteral("La base « %1 » du serveur « %2 » ne contient pas les données du "
                                            "programme (table %3 absente).\nVérifiez le fichier Serveur.cfg du "
                                            "dossier des données.")
                                 .arg(address.dbname, address.hostForMessage(), missing));
    });
}

} // namespace

QString Location::describe() const
{
    return server ? serverLocation(*server) : QDir::toNativeSeparators(file);
}

QString FileDatabase::location() const
{
    return QDir::toNativeSeparators(path());
}

QString ServerDatabase::location() const
{
    return serverLocation(m_connection->address());
}

Notifier *ServerDatabase::notifier()
{
    if (!m_notifier)
        m_notifier = std::make_unique<Notifier>(*m_connection);
    return m_notifier.get();
}

void ServerDatabase::aheadScope(int step)
{
    m_ahead += step;
    if (m_ahead == 0)
        m_answers.clear();
}

void ServerDatabase::submit(const std::shared_ptr<Request> &request)
{
    if (m_ahead > 0 && !request->read) {
        m_answers.clear();
    } else if (m_ahead > 0) {
        const QString key = request->key();
        if (const std::shared_ptr<Request> known = m_answers.value(key)) {
            if (!known->rows)
                flush();
            if (known->rows) {
                request->rows = known->rows->clone();
                return;
            }
        }
        m_answers.insert(key, request);
    }
    m_waiting.append(request);
    if (m_waiting.size() >= kMostWaiting)
        flush();
}

void ServerDatabase::flush()
{
    if (m_waiting.isEmpty())
        return;
    const QList<std::shared_ptr<Request>> batch = std::exchange(m_waiting, {});
    QList<Request *> requests;
    requests.reserve(batch.size());
    for (const auto &r : batch)
        requests.append(r.get());
    try {
        m_connection->run(requests);
    } catch (const StoreError &) {
        // A table missing says so, rather than the statement it failed.
        if (m_settle)
            std::exchange(m_settle, {})();
        throw;
    }
    if (m_settle)
        std::exchange(m_settle, {})();
    if (m_notifier)
        m_notifier->deliverLater();
}

bool ServerDatabase::withdraw(const Request *first)
{
    for (qsizetype i = 0; i < m_waiting.size(); ++i)
        if (m_waiting.at(i).get() == first) {
            m_waiting.resize(i);
            return true;
        }
    return false;
}

std::unique_ptr<Database> Database::openFile(const QString &path, FileMode mode)
{
    const auto sqliteMode = mode == FileMode::ReadOnly ? SqliteConnection::Mode::ReadOnly
                            : mode == FileMode::Create ? SqliteConnection::Mode::Create
                                                       : SqliteConnection::Mode::ReadWrite;
    return std::make_unique<FileDatabase>(path, sqliteMode);
}

void Database::connectEarly(const Location &location)
{
    if (location.server)
        PgConnection::connectEarly(*location.server);
}

std::unique_ptr<Database> Database::connectServer(const ServerAddress &address)
{
    return std::make_unique<ServerDatabase>(address);
}

void Database::copyFile(const QString &from, const QString &to)
{
    SqliteConnection::copy(from, to);
}

std::unique_ptr<Database> Database::create(const QString &path)
{
    if (QFileInfo::exists(path))
        throw StoreError(QStringLiteral("Le fichier « %1 » existe déjà.").arg(QDir::toNativeSeparators(path)));
    auto db = openFile(path, FileMode::Create);
    schema::create(*db);
    return db;
}

std::unique_ptr<Database> Database::open(const Location &location)
{
    if (location.server) {
        auto db = std::make_unique<ServerDatabase>(*location.server);
        settleWithFirstRoundTrip(*db, *location.server);
        return db;
    }
    const QString &path = location.file;
    if (!QFileInfo(path).isFile())
        throw StoreError(
            QStringLiteral("La base de données « %1 » est introuvable.\n"
                           "Vérifiez le chemin inscrit dans CheminBase.cfg, ou recopiez-y le fichier Ferrune.mdb.")
                .arg(QDir::toNativeSeparators(path)));
    auto db = openFile(path);
    // An older file gets the tables added since.
    const QString missing = schema::OpeningChecks(*db).settle();
    if (!missing.isEmpty())
        throw StoreError(
            QStringLiteral("Le fichier « %1 » n'est pas une base de données du programme (table %2 absente).")
                .arg(QDir::toNativeSeparators(path), missing));
    schema::ensureIndexes(*db);
    return db;
}

bool Database::hasTable(const QString &name)
{
    Query q(*this, dialect().tableExists());
    q.bind(QStringLiteral(":name"), name).exec();
    return q.next();
}

} // namespace tv
