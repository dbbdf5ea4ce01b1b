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

void registerFunctions(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(QStringLiteral("Le moteur de base de données SQLite n'est pas disponible."));
    sqlite3 *raw = *static_cast<sqlite3 *const *>(handle.constData());
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(raw, "tv_fold", 1, flags, nullptr, foldFunction, nullptr, nullptr);
    sqlite3_create_function(raw, "tv_contains", 2, flags, nullptr, containsFunction, nullptr, nullptr);
}

QString describe(const QSqlError &error)
{
    if (error.nativeErrorCode() == QLatin1String("5") || error.nativeErrorCode() == QLatin1String("6"))
        return QStringLiteral("La base de données est occupée par un autre poste. Réessayez dans un instant.");
    if (error.nativeErrorCode() == QLatin1String("13"))
        return QStringLiteral("Le disque est plein : la base de données n'a pas pu être modifiée.");
    if (error.nativeErrorCode() == QLatin1String("8"))
        return QStringLiteral("La base de données est en lecture seule : la modification a été refusée.");
    if (error.nativeErrorCode() == QLatin1String("11") || error.nativeErrorCode() == QLatin1String("26"))
        return QStringLiteral("La base de données est endommagée. Utilisez « Réparer et compacter la base de données ».");
    return QStringLiteral("Erreur de la base de données.");
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
