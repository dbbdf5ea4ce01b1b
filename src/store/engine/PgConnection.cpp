#include "store/engine/PgConnection.h"

#include "store/engine/EngineLog.h"
#include "store/engine/PgResults.h"
#include "store/engine/Request.h"
#include "store/engine/StoreError.h"

#include <libpq-fe.h>
#include <poll.h>

#include <future>
#include <optional>

#include <vector>

namespace tv {

namespace {

// One outage, from the first failure to the next answer: the user is told
// once (StoreError::outage()).
int g_outage = 0;
bool g_away = false;

int outageNumber()
{
    if (!g_away) {
        g_away = true;
        ++g_outage;
    }
    return g_outage;
}

// libpq's words for why a connection failed, in the user's terms.
QString describeConnectionFailure(const ServerAddress &address, const QString &engineText)
{
    const QString host = address.hostForMessage();
    const QString text = engineText.toLower();
    if (text.contains(QLatin1String("password")) || text.contains(QLatin1String("authentication")))
        return QStringLiteral("Le serveur de base de données « %1 » a refusé l'utilisateur ou son mot de passe.\n"
                              "Vérifiez le nom d'utilisateur inscrit dans Serveur.cfg et le mot de passe du "
                              "fichier .pgpass (ou PGPASSFILE) de ce poste.")
            .arg(host);
    if (text.contains(QLatin1String("does not exist")))
        return QStringLiteral("Le serveur de base de données « %1 » ne connaît pas la base ou l'utilisateur "
                              "inscrits dans Serveur.cfg.\nVérifiez les mots dbname= et user= de ce fichier.")
            .arg(host);
    if (text.contains(QLatin1String("certificate")) || text.contains(QLatin1String("ssl")))
        return QStringLiteral("La liaison chiffrée avec le serveur de base de données « %1 » n'a pas pu être "
                              "établie : son certificat n'est pas celui attendu, ou il n'accepte pas le "
                              "chiffrement.\nVérifiez les mots sslmode= et sslrootcert= de Serveur.cfg et le "
                              "certificat du serveur.")
            .arg(host);
    return QStringLiteral("Impossible de joindre le serveur de base de données « %1 ».\n"
                          "Vérifiez que le serveur est allumé et que PostgreSQL y fonctionne, que ce poste est "
                          "relié au réseau, et que le fichier Serveur.cfg du dossier des données porte le bon nom "
                          "de serveur.")
        .arg(host);
}

// What the program needs of every session, said in the connection string
// itself instead of one statement each after it opens.
struct Parameters {
    std::vector<QByteArray> keys;
    std::vector<QByteArray> values;

    void set(const char *key, const QByteArray &value)
    {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key) {
                values[i] = value;
                return;
            }
        keys.emplace_back(key);
        values.push_back(value);
    }
    QByteArray get(const char *key) const
    {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i] == key)
                return values[i];
        return {};
    }
};

Parameters parameters(const QString &conninfo)
{
    Parameters p;
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    PQfreemem(error);
    for (PQconninfoOption *o = options; o && o->keyword; ++o)
        if (o->val)
            p.set(o->keyword, o->val);
    PQconninfoFree(options);
    // As long as SQLite waits for a busy file, then the same message; the
    // server's notices ("index ... does not exist, skipping") are not for
    // the user.
    p.set("options", "-c lock_timeout=8s -c client_min_messages=warning " + p.get("options"));
    if (p.get("connect_timeout").isEmpty())
        p.set("connect_timeout", "10");
    if (p.get("application_name").isEmpty())
        p.set("application_name", "Tallvane");
    // Kerberos encryption is asked first by default, one round trip lost at
    // every start-up: a practice's server uses TLS (sslmode) if anything.
    if (p.get("gssencmode").isEmpty())
        p.set("gssencmode", "disable");
    // A link whose other end is gone is noticed within half a minute, not
    // after the system's two hours.
    if (p.get("keepalives_idle").isEmpty()) {
        p.set("keepalives_idle", "10");
        p.set("keepalives_interval", "5");
        p.set("keepalives_count", "3");
    }
    if (p.get("tcp_user_timeout").isEmpty())
        p.set("tcp_user_timeout", "30000");
    return p;
}

// The link started before the window was built, for one server.
struct EarlyLink {
    QString conninfo;
    std::future<std::unique_ptr<PgConnection>> link;
};

std::optional<EarlyLink> &earlyLink()
{
    static std::optional<EarlyLink> link;
    return link;
}

bool isControl(const Request &r, const char *word)
{
    return r.text == QLatin1String(word);
}

} // namespace

PgConnection::PgConnection(const ServerAddress &address)
    : m_address(address)
{
    connect();
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString engine = QString::fromUtf8(PQerrorMessage(m_conn));
        enginelog::write(QStringLiteral("PostgreSQL, connection to %1: %2").arg(address.hostForMessage(), engine));
        PQfinish(m_conn);
        m_conn = nullptr;
        throw StoreError(describeConnectionFailure(address, engine));
    }
}

std::unique_ptr<PgConnection> PgConnection::open(const ServerAddress &address)
{
    std::optional<EarlyLink> &early = earlyLink();
    if (early && early->conninfo == address.conninfo) {
        auto link = std::exchange(early, std::nullopt)->link.get();
        return link;
    }
    return std::make_unique<PgConnection>(address);
}

void PgConnection::connectEarly(const ServerAddress &address)
{
    earlyLink() =
        EarlyLink{address.conninfo,
                  std::async(std::launch::async, [address] { return std::make_unique<PgConnection>(address); })};
}

PgConnection::~PgConnection()
{
    PQfinish(m_conn);
}

void PgConnection::connect()
{
    const Parameters p = parameters(m_address.conninfo);
    std::vector<const char *> keys;
    std::vector<const char *> values;
    for (size_t i = 0; i < p.keys.size(); ++i) {
        keys.push_back(p.keys[i].constData());
        values.push_back(p.values[i].constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 0);
    ++m_roundTrips;
}

int PgConnection::socket() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK ? PQsocket(m_conn) : -1;
}

void PgConnection::unreachable(const QString &engineText)
{
    enginelog::write(QStringLiteral("PostgreSQL, %1 does not answer: %2").arg(m_address.hostForMessage(), engineText));
    throw StoreError(QStringLiteral("Le serveur de base de données « %1 » ne répond pas : ce qui vient d'être demandé "
                                    "n'a pas été fait.\nVérifiez que le serveur est allumé et que PostgreSQL y "
                                    "fonctionne, et que ce poste est relié au réseau. Le programme reste ouvert : "
                                    "refaites l'opération quand le serveur répondra.")
                         .arg(m_address.hostForMessage()),
                     {}, StoreError::Cause::Unreachable, outageNumber());
}

bool PgConnection::tryReconnect()
{
    return (m_conn && PQstatus(m_conn) == CONNECTION_OK) || remake();
}

bool PgConnection::remake()
{
    PQfinish(m_conn);
    m_inTransaction = false;
    connect();
    if (PQstatus(m_conn) != CONNECTION_OK)
        return false;
    enginelog::write(QStringLiteral("PostgreSQL, %1: connection made again").arg(m_address.hostForMessage()));
    if (!m_listen.isEmpty()) {
        PQclear(PQexec(m_conn, m_listen.toUtf8().constData()));
        ++m_roundTrips;
    }
    if (m_reconnected)
        m_reconnected();
    return true;
}

void PgConnection::reconnect()
{
    if (!remake())
        unreachable(QString::fromUtf8(PQerrorMessage(m_conn)));
}

bool PgConnection::consume()
{
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK)
        return false;
    if (!PQconsumeInput(m_conn) || PQstatus(m_conn) != CONNECTION_OK)
        return false;
    collectNotifications();
    return true;
}

void PgConnection::collectNotifications()
{
    while (PGnotify *n = PQnotifies(m_conn)) {
        m_notifications.append({QString::fromUtf8(n->relname), QString::fromUtf8(n->extra)});
        PQfreemem(n);
    }
}

QList<std::pair<QString, QString>> PgConnection::takeNotifications()
{
    return std::exchange(m_notifications, {});
}

void PgConnection::follow(const QString &listenStatement)
{
    m_listen = listenStatement;
}

qint64 PgConnection::backendPid() const
{
    return m_conn && PQstatus(m_conn) == CONNECTION_OK ? PQbackendPID(m_conn) : -1;
}

// Before anything is sent: a link the server closed while it was idle
// (restart, terminated backend) has a message or its end waiting on the
// socket. It is made again now, when nothing can be lost.
void PgConnection::ensureLink()
{
    if (m_conn && PQstatus(m_conn) == CONNECTION_OK) {
        pollfd fd{PQsocket(m_conn), POLLIN, 0};
        if (::poll(&fd, 1, 0) <= 0 || consume())
            return;
        enginelog::write(QStringLiteral("PostgreSQL, %1: link closed by the server: %2")
                             .arg(m_address.hostForMessage(), QString::fromUtf8(PQerrorMessage(m_conn))));
    }
    if (m_inTransaction) {
        m_inTransaction = false;
        reconnect();
        throw StoreError(QStringLiteral("La liaison avec le serveur de base de données « %1 » a été coupée : "
                                        "l'opération en cours n'a pas été enregistrée. Refaites-la.")
                             .arg(m_address.hostForMessage()));
    }
    reconnect();
}

bool PgConnection::sendOnce(const QList<Request *> &batch, QString &error, QString &state)
{
    PQenterPipelineMode(m_conn);
    for (Request *r : batch) {
        std::vector<QByteArray> texts;
        std::vector<const char *> values;
        std::vector<int> lengths;
        texts.reserve(r->values.size());
        for (const QVariant &v : std::as_const(r->values)) {
            texts.push_back(v.isNull() ? QByteArray() : v.toString().toUtf8());
            values.push_back(v.isNull() ? nullptr : texts.back().constData());
            lengths.push_back(static_cast<int>(texts.back().size()));
        }
        PQsendQueryParams(m_conn, r->positional.toUtf8().constData(), static_cast<int>(values.size()), nullptr,
                          values.data(), lengths.data(), nullptr, 0);
    }
    PQpipelineSync(m_conn);
    ++m_roundTrips;
    for (Request *r : batch) {
        PGresult *result = PQgetResult(m_conn);
        if (!result || PQstatus(m_conn) != CONNECTION_OK) {
            PQclear(result);
            return false;
        }
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) {
            r->rows = std::make_unique<PgRows>(result);
        } else {
            const QString code = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
            if (status == PGRES_FATAL_ERROR && error.isEmpty()) {
                error = QString::fromUtf8(PQresultErrorMessage(result)) + u'\n' + r->text;
                state = code;
            }
            PQclear(result);
            // The server ending this session (shut down, backend
            // terminated) before the link's end is seen.
            if (code.startsWith(QLatin1String("57P")) || code.startsWith(QLatin1String("08")))
                return false;
        }
        while (PGresult *end = PQgetResult(m_conn)) // the NULL that ends each statement's answer
            PQclear(end);
    }
    for (PGresult *sync = PQgetResult(m_conn); sync; sync = PQgetResult(m_conn)) {
        const bool done = PQresultStatus(sync) == PGRES_PIPELINE_SYNC;
        PQclear(sync);
        if (done)
            break;
    }
    if (PQstatus(m_conn) != CONNECTION_OK)
        return false;
    PQexitPipelineMode(m_conn);
    collectNotifications();
    return true;
}

void PgConnection::run(const QList<Request *> &batch)
{
    if (batch.isEmpty())
        return;
    // A transaction whose link is gone has nothing left to roll back.
    if (batch.size() == 1 && isControl(*batch.first(), "ROLLBACK") && (!m_inTransaction || socket() < 0)) {
        m_inTransaction = false;
        return;
    }
    ensureLink();
    // Sent again on a new link only when that cannot do anything twice:
    // nothing written is committed by this batch, or every write in it may
    // be repeated. A transaction opened by an earlier batch is lost with
    // its link.
    const bool openBefore = m_inTransaction;
    bool inTransaction = openBefore;
    bool commits = false;
    bool unsafe = false;
    bool began = false;
    for (const Request *r : batch) {
        if (isControl(*r, "BEGIN"))
            inTransaction = began = true;
        else if (isControl(*r, "COMMIT") || isControl(*r, "ROLLBACK")) {
            commits = commits || isControl(*r, "COMMIT");
            inTransaction = false;
        } else if (!r->read && !inTransaction)
            commits = true;
        if (!r->read && !r->repeatable)
            unsafe = true;
    }
    const bool resendable = !openBefore && !(commits && unsafe);

    QString error;
    QString state;
    if (!sendOnce(batch, error, state)) {
        const QString engine = QString::fromUtf8(PQerrorMessage(m_conn));
        enginelog::write(QStringLiteral("PostgreSQL, %1: link broken during a round trip: %2")
                             .arg(m_address.hostForMessage(), engine));
        m_inTransaction = false;
        if (!resendable) {
            reconnect();
            throw StoreError(QStringLiteral("La liaison avec le serveur de base de données « %1 » a été coupée "
                                            "pendant l'enregistrement : vérifiez si la dernière modification a été "
                                            "faite avant de la refaire.")
                                 .arg(m_address.hostForMessage()));
        }
        reconnect();
        for (Request *r : batch) {
            r->rows.reset();
            r->sentTwice = true;
        }
        error.clear();
        state.clear();
        if (!sendOnce(batch, error, state))
            unreachable(QString::fromUtf8(PQerrorMessage(m_conn)));
    }
    g_away = false;
    // A failed statement leaves the server's transaction open, aborted,
    // until the ROLLBACK that the Transaction sends.
    m_inTransaction = error.isEmpty() ? inTransaction : openBefore || began;
    if (!error.isEmpty()) {
        enginelog::write(QStringLiteral("PostgreSQL, %1: %2 (%3)").arg(m_address.hostForMessage(), error, state));
        throw describeState(state);
    }
}

} // namespace tv
