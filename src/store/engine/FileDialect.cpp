// SQLite, the database file Ferrune.mdb of a data folder.
#include "store/engine/ChangeFeed.h"
#include "store/engine/Database.h"
#include "store/engine/Dialect.h"
#include "store/engine/SqliteHandle.h"
#include "store/engine/StoreError.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

namespace tv {

namespace sqlitefile {

sqlite3 *rawHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(QStringLiteral("Le moteur de base de données SQLite n'est pas disponible."));
    return *static_cast<sqlite3 *const *>(handle.constData());
}

QString describeCode(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("La base de données est occupée par un autre poste. Réessayez dans un instant.");
    case SQLITE_FULL: return QStringLiteral("Le disque est plein : la base de données n'a pas pu être modifiée.");
    case SQLITE_READONLY:
        return QStringLiteral("La base de données est en lecture seule : la modification a été refusée.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral(
            "La base de données est endommagée. Utilisez « Réparer et compacter la base de données ».");
    default: return QStringLiteral("Erreur de la base de données.");
    }
}

} // namespace sqlitefile

namespace {

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
    // The searched text is the same for every row of a query: it is decoded
    // once and kept with the statement. Qt's case-insensitive search folds
    // letter by letter exactly as foldText does, without a folded copy of
    // every row's text.
    auto *needle = static_cast<QString *>(sqlite3_get_auxdata(ctx, 1));
    if (!needle) {
        needle = new QString(fromSqlite(argv[1]));
        sqlite3_set_auxdata(ctx, 1, needle, [](void *p) { delete static_cast<QString *>(p); });
        needle = static_cast<QString *>(sqlite3_get_auxdata(ctx, 1));
        if (!needle) { // SQLite could not keep it and has already freed it
            const QString once = fromSqlite(argv[1]);
            sqlite3_result_int(ctx, fromSqlite(argv[0]).contains(once, Qt::CaseInsensitive) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(ctx, fromSqlite(argv[0]).contains(*needle, Qt::CaseInsensitive) ? 1 : 0);
}

// Another workstation's commit moves the file's data version, which costs
// a look at the file's header: no table is read. What changed, the file
// does not say.
class DataVersionFeed final : public ChangeFeed {
public:
    explicit DataVersionFeed(Database &db)
        : m_db(db)
        , m_version(version())
    {
    }

    void check() override
    {
        const qint64 now = version();
        if (now == m_version)
            return;
        m_version = now;
        emit changed({DataChange{}});
    }

private:
    qint64 version() const
    {
        sqlite3 *raw = sqlitefile::rawHandle(m_db.sql());
        sqlite3_stmt *statement = nullptr;
        qint64 value = -1;
        int rc = sqlite3_prepare_v2(raw, "PRAGMA data_version", -1, &statement, nullptr);
        if (rc == SQLITE_OK && (rc = sqlite3_step(statement)) == SQLITE_ROW)
            value = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        if (value < 0)
            throw StoreError(sqlitefile::describeCode(sqlite3_extended_errcode(raw)),
                             QString::fromUtf8(sqlite3_errmsg(raw)) + QStringLiteral("\nPRAGMA data_version"));
        return value;
    }

    Database &m_db;
    qint64 m_version;
};

class FileDialect final : public Dialect {
public:
    Engine engine() const override { return Engine::File; }
    QString driver() const override { return QStringLiteral("QSQLITE"); }
    QString counterColumn() const override { return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"); }
    QString keyColumn() const override { return QStringLiteral("TEXT COLLATE NOCASE"); }
    QStringList schemaSetup() const override { return {}; }

    void prepareConnection(Database &db) const override
    {
        sqlite3 *raw = sqlitefile::rawHandle(db.sql());
        constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
        sqlite3_create_function(raw, "tv_fold", 1, flags, nullptr, foldFunction, nullptr, nullptr);
        sqlite3_create_function(raw, "tv_contains", 2, flags, nullptr, containsFunction, nullptr, nullptr);
        // A doctor's rows lie all over the Visite table; with the default 2 MB
        // page cache every selection reads them from the file again. The cache
        // is dropped whenever another workstation changes the file, so a larger
        // one is as safe on a shared folder.
        execStatement(db, QStringLiteral("PRAGMA cache_size = -16384"));
    }

    // IMMEDIATE takes the write lock of the whole file at once, so a check
    // made inside holds against another workstation until the commit.
    QString begin() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QString lockTable(const QString &) const override { return {}; }

    QString describe(const QSqlError &error) const override
    {
        return sqlitefile::describeCode(error.nativeErrorCode().toInt());
    }

    qint64 lastInsertId(Database &, const QVariant &driverValue) const override { return driverValue.toLongLong(); }
    // AUTOINCREMENT remembers the largest number ever given, deleted rows'
    // included.
    QString counterFloor() const override
    {
        return QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = :table");
    }
    QString resetCounter(const QString &, const QString &) const override { return {}; }

    QStringList changeNotices() const override { return {}; }
    QString changeNoticesInPlace() const override { return {}; }
    std::unique_ptr<ChangeFeed> changeFeed(Database &db) const override
    {
        return std::make_unique<DataVersionFeed>(db);
    }
};

} // namespace

std::unique_ptr<Dialect> makeFileDialect()
{
    return std::make_unique<FileDialect>();
}

} // namespace tv
