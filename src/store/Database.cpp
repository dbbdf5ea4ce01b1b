#include "store/Database.h"

#include "store/Schema.h"
#include "store/StoreError.h"

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

QString fromSqlite(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return text ? QString::fromUtf8(text, sqlite3_value_bytes(value)) : QString();
}

void foldFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray folded = foldText(fromSqlite(argv[0])).toUtf8();
    sqlite3_result_text(ctx, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

void containsFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const QString haystack = foldText(fromSqlite(argv[0]));
    const QString needle = foldText(fromSqlite(argv[1]));
    sqlite3_result_int(ctx, haystack.contains(needle) ? 1 : 0);
}

QString describeCode(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("La base de données est occupée par un autre poste. Réessayez dans un instant.");
    case SQLITE_FULL:
        return QStringLiteral("Le disque est plein : la base de données n'a pas pu être modifiée.");
    case SQLITE_READONLY:
        return QStringLiteral("La base de données est en lecture seule : la modification a été refusée.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("La base de données est endommagée. Utilisez « Réparer et compacter la base de données ».");
    default:
        return QStringLiteral("Erreur de la base de données.");
    }
}

sqlite3 *rawHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(QStringLiteral("Le moteur de base de données SQLite n'est pas disponible."));
    return *static_cast<sqlite3 *const *>(handle.constData());
}

void registerFunctions(QSqlDatabase &db)
{
    sqlite3 *raw = rawHandle(db);
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(raw, "tv_fold", 1, flags, nullptr, foldFunction, nullptr, nullptr);
    sqlite3_create_function(raw, "tv_contains", 2, flags, nullptr, containsFunction, nullptr, nullptr);
}

QString describe(const QSqlError &error)
{
    return describeCode(error.nativeErrorCode().toInt());
}

} // namespace

QString foldText(const QString &text)
{
    return text.toCaseFolded();
}

Database::Database(QSqlDatabase db, QString connection, QString path)
    : m_db(std::move(db))
    , m_connection(std::move(connection))
    , m_path(std::move(path))
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
        throw StoreError(QStringLiteral("Impossible d'ouvrir la base de données « %1 ».")
                             .arg(QDir::toNativeSeparators(path)),
                         error.text());
    }
    std::unique_ptr<Database> result(new Database(db, connection, path));
    registerFunctions(result->m_db);
    // A doctor's rows lie all over the Visite table; with the default 2 MB
    // page cache every selection reads them from the file again. The cache
    // is dropped whenever another workstation changes the file, so a larger
    // one is as safe on a shared folder.
    execStatement(*result, QStringLiteral("PRAGMA cache_size = -16384"));
    return result;
}

std::unique_ptr<Database> Database::open(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw StoreError(QStringLiteral("La base de données « %1 » est introuvable.\n"
                                        "Vérifiez le chemin inscrit dans CheminBase.cfg, ou recopiez-y le fichier Ferrune.mdb.")
                             .arg(QDir::toNativeSeparators(path)));
    auto db = connect(path);
    for (const QString &table : schema::tableNames()) {
        if (!db->hasTable(table))
            throw StoreError(QStringLiteral("Le fichier « %1 » n'est pas une base de données du programme (table %2 absente).")
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

bool Database::hasTable(const QString &name) const
{
    return m_db.tables(QSql::Tables).contains(name, Qt::CaseInsensitive);
}

SqlQuery::SqlQuery(Database &db, const QString &statement)
    : m_query(db.sql())
    , m_statement(statement)
{
    m_query.setForwardOnly(true);
    if (!m_query.prepare(statement))
        throw StoreError(describe(m_query.lastError()), m_query.lastError().text() + QStringLiteral("\n") + statement);
}

SqlQuery &SqlQuery::bind(const QString &placeholder, const QVariant &value)
{
    m_query.bindValue(placeholder, value);
    return *this;
}

SqlQuery &SqlQuery::exec()
{
    if (!m_query.exec())
        throw StoreError(describe(m_query.lastError()), m_query.lastError().text() + QStringLiteral("\n") + m_statement);
    return *this;
}

void execStatement(Database &db, const QString &statement)
{
    QSqlQuery query(db.sql());
    if (!query.exec(statement))
        throw StoreError(describe(query.lastError()), query.lastError().text() + QStringLiteral("\n") + statement);
}

BulkQuery::BulkQuery(Database &db, const QString &statement)
    : m_db(db)
    , m_text(statement)
{
    const QByteArray utf8 = statement.toUtf8();
    if (sqlite3_prepare_v2(rawHandle(db.sql()), utf8.constData(), static_cast<int>(utf8.size()), &m_statement, nullptr)
        != SQLITE_OK)
        fail();
}

BulkQuery::~BulkQuery()
{
    sqlite3_finalize(m_statement);
}

void BulkQuery::fail() const
{
    sqlite3 *raw = rawHandle(m_db.sql());
    throw StoreError(describeCode(sqlite3_extended_errcode(raw)),
                     QString::fromUtf8(sqlite3_errmsg(raw)) + QStringLiteral("\n") + m_text);
}

BulkQuery &BulkQuery::bind(const char *placeholder, const QString &value)
{
    const int index = sqlite3_bind_parameter_index(m_statement, placeholder);
    const QByteArray utf8 = value.toUtf8();
    if (index == 0 || sqlite3_bind_text(m_statement, index, utf8.constData(), static_cast<int>(utf8.size()),
                                        SQLITE_TRANSIENT) != SQLITE_OK)
        fail();
    return *this;
}

bool BulkQuery::next()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail();
}

QString BulkQuery::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column)) : QString();
}

qint64 BulkQuery::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

Transaction::Transaction(Database &db)
    : m_db(db)
{
    execStatement(m_db, QStringLiteral("BEGIN IMMEDIATE"));
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

} // namespace tv
