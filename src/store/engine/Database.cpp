#include "store/engine/Database.h"

#include "store/engine/ChangeFeed.h"
#include "store/engine/Schema.h"
#include "store/engine/SqliteHandle.h"
#include "store/engine/StoreError.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

#include <atomic>

namespace tv {

namespace {

constexpr int kBusyTimeoutMs = 8000;

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("tallvane-%1").arg(++counter);
}

[[noreturn]] void throwFailed(const Database &db, const QSqlError &error, const QString &statement)
{
    throw StoreError(db.dialect().describe(error), error.text() + QStringLiteral("\n") + statement);
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
    return QStringLiteral("Impossible de joindre le serveur de base de données « %1 ».\n"
                          "Vérifiez que le serveur est allumé et que PostgreSQL y fonctionne, que ce poste est "
                          "relié au réseau, et que le fichier Serveur.cfg du dossier des données porte le bon nom "
                          "de serveur.")
        .arg(host);
}

} // namespace

QString foldText(const QString &text)
{
    return text.toCaseFolded();
}

Database::Database(QSqlDatabase db, QString connection, std::unique_ptr<Dialect> dialect)
    : m_db(std::move(db))
    , m_connection(std::move(connection))
    , m_dialect(std::move(dialect))
{
}

Database::~Database()
{
    close();
}

void Database::close()
{
    if (m_connection.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
}

std::unique_ptr<Database> Database::connect(const QString &path)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        throw StoreError(QStringLiteral("Le pilote SQLite de Qt est absent (paquet libqt6sql6-sqlite)."));
    const QString connection = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        throw StoreError(
            QStringLiteral("Impossible d'ouvrir la base de données « %1 ».").arg(QDir::toNativeSeparators(path)),
            error.text());
    }
    std::unique_ptr<Database> result(new Database(db, connection, makeFileDialect()));
    result->m_path = path;
    result->m_location = QDir::toNativeSeparators(path);
    result->dialect().prepareConnection(*result);
    return result;
}

std::unique_ptr<Database> Database::connectServer(const ServerAddress &address)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw StoreError(QStringLiteral("Le pilote PostgreSQL de Qt est absent (paquet libqt6sql6-psql)."));
    const QString connection = nextConnectionName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
    // The whole string goes to libpq, which also finds the password.
    // A server that does not answer must not hold the start-up for long.
    QString options = address.conninfo;
    if (!options.contains(QLatin1String("connect_timeout")))
        options += QStringLiteral(" connect_timeout=10");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QSqlError error = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        throw StoreError(describeConnectionFailure(address, error.text()), error.text());
    }
    std::unique_ptr<Database> result(new Database(db, connection, makeServerDialect()));
    result->m_location = QStringLiteral("%1 (base %2)").arg(address.hostForMessage(), address.dbname);
    result->dialect().prepareConnection(*result);
    return result;
}

std::unique_ptr<Database> Database::openServer(const ServerAddress &address)
{
    auto db = connectServer(address);
    for (const QString &table : schema::tableNames()) {
        if (!db->hasTable(table))
            throw StoreError(QStringLiteral("La base « %1 » du serveur « %2 » ne contient pas les données du "
                                            "programme (table %3 absente).\nVérifiez le fichier Serveur.cfg du "
                                            "dossier des données.")
                                 .arg(address.dbname, address.hostForMessage(), table));
    }
    schema::ensureChangeNotices(*db);
    return db;
}

std::unique_ptr<Database> Database::open(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw StoreError(
            QStringLiteral("La base de données « %1 » est introuvable.\n"
                           "Vérifiez le chemin inscrit dans CheminBase.cfg, ou recopiez-y le fichier Ferrune.mdb.")
                .arg(QDir::toNativeSeparators(path)));
    auto db = connect(path);
    for (const QString &table : schema::tableNames()) {
        if (!db->hasTable(table))
            throw StoreError(
                QStringLiteral("Le fichier « %1 » n'est pas une base de données du programme (table %2 absente).")
                    .arg(QDir::toNativeSeparators(path), table));
    }
    schema::ensureIndexes(*db);
    return db;
}

std::unique_ptr<Database> Database::create(const QString &path)
{
    if (QFileInfo::exists(path))
        throw StoreError(QStringLiteral("Le fichier « %1 » existe déjà.").arg(QDir::toNativeSeparators(path)));
    auto db = connect(path);
    schema::create(*db);
    return db;
}

std::unique_ptr<ChangeFeed> Database::changeFeed()
{
    return m_dialect->changeFeed(*this);
}

bool Database::hasTable(const QString &name)
{
    if (isServer()) {
        // As the queries will see it: in the connection's search_path.
        SqlQuery q(*this, QStringLiteral("SELECT to_regclass(:name) IS NOT NULL"));
        q.bind(QStringLiteral(":name"), name).exec();
        return q.next() && q.value(0).toBool();
    }
    return m_db.tables(QSql::Tables).contains(name, Qt::CaseInsensitive);
}

SqlQuery::SqlQuery(Database &db, const QString &statement)
    : m_db(db)
    , m_query(db.sql())
    , m_statement(statement)
{
    m_query.setForwardOnly(true);
    if (!m_query.prepare(statement))
        throwFailed(m_db, m_query.lastError(), statement);
}

SqlQuery &SqlQuery::bind(const QString &placeholder, const QVariant &value)
{
    m_query.bindValue(placeholder, value);
    return *this;
}

SqlQuery &SqlQuery::exec()
{
    if (!m_query.exec())
        throwFailed(m_db, m_query.lastError(), m_statement);
    return *this;
}

qint64 SqlQuery::lastInsertId() const
{
    return m_db.dialect().lastInsertId(m_db, m_query.lastInsertId());
}

void execStatement(Database &db, const QString &statement)
{
    QSqlQuery query(db.sql());
    if (!query.exec(statement))
        throwFailed(db, query.lastError(), statement);
}

BulkQuery::BulkQuery(Database &db, const QString &statement)
    : m_db(db)
    , m_text(statement)
{
    if (db.isServer()) {
        // The whole answer in one piece: Qt reads a forward-only one from
        // the server row by row, one message each.
        m_server = std::make_unique<QSqlQuery>(db.sql());
        m_server->setForwardOnly(false);
        if (!m_server->prepare(statement))
            throwFailed(m_db, m_server->lastError(), statement);
        return;
    }
    const QByteArray utf8 = statement.toUtf8();
    if (sqlite3_prepare_v2(sqlitefile::rawHandle(db.sql()), utf8.constData(), static_cast<int>(utf8.size()),
                           &m_statement, nullptr)
        != SQLITE_OK)
        fail();
}

BulkQuery::~BulkQuery()
{
    sqlite3_finalize(m_statement);
}

void BulkQuery::fail() const
{
    sqlite3 *raw = sqlitefile::rawHandle(m_db.sql());
    throw StoreError(sqlitefile::describeCode(sqlite3_extended_errcode(raw)),
                     QString::fromUtf8(sqlite3_errmsg(raw)) + QStringLiteral("\n") + m_text);
}

BulkQuery &BulkQuery::bind(const char *placeholder, const QString &value)
{
    if (m_server) {
        const QString name = QString::fromUtf8(placeholder);
        if (!m_text.contains(name))
            throw StoreError(QStringLiteral("Erreur de la base de données."),
                             QStringLiteral("%1 absent de la requête\n%2").arg(name, m_text));
        m_server->bindValue(name, value);
        return *this;
    }
    const int index = sqlite3_bind_parameter_index(m_statement, placeholder);
    const QByteArray utf8 = value.toUtf8();
    if (index == 0
        || sqlite3_bind_text(m_statement, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT)
               != SQLITE_OK)
        fail();
    return *this;
}

bool BulkQuery::next()
{
    if (m_server) {
        if (!m_started) {
            if (!m_server->exec())
                throwFailed(m_db, m_server->lastError(), m_text);
            m_started = true;
        }
        return m_server->next();
    }
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail();
}

QString BulkQuery::text(int column) const
{
    if (m_server) {
        const QVariant value = m_server->value(column);
        return value.isNull() ? QString() : value.toString();
    }
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column)) : QString();
}

qint64 BulkQuery::integer(int column) const
{
    if (m_server)
        return m_server->value(column).toLongLong();
    return sqlite3_column_int64(m_statement, column);
}

Transaction::Transaction(Database &db, const QString &guardedTable)
    : m_db(db)
{
    execStatement(m_db, m_db.dialect().begin());
    const QString lock = guardedTable.isEmpty() ? QString() : m_db.dialect().lockTable(guardedTable);
    if (!lock.isEmpty()) {
        try {
            execStatement(m_db, lock);
        } catch (const StoreError &) {
            QSqlQuery(m_db.sql()).exec(QStringLiteral("ROLLBACK"));
            throw;
        }
    }
}

Transaction::~Transaction()
{
    if (!m_done) {
        QSqlQuery query(m_db.sql());
        query.exec(QStringLiteral("ROLLBACK"));
    }
}

void Transaction::commit()
{
    execStatement(m_db, QStringLiteral("COMMIT"));
    m_done = true;
}

namespace {
std::function<void()> &checkedHook()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

void Transaction::checked()
{
    if (checkedHook())
        checkedHook()();
}

void Transaction::setCheckedHook(std::function<void()> hook)
{
    checkedHook() = std::move(hook);
}

} // namespace tv
