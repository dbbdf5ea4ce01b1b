#include "store/engine/SqliteConnection.h"

#include "store/engine/EngineLog.h"
#include "store/engine/Request.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <vector>

namespace tv {

namespace {

// As long as a workstation waits for another's write before saying so.
constexpr int kBusyTimeoutMs = 8000;

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
    const QByteArray folded = fromSqlite(argv[0]).toCaseFolded().toUtf8();
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
    // letter by letter exactly as tv_fold does, without a folded copy of
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

QVariant columnValue(sqlite3_stmt *s, int column)
{
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant(static_cast<qint64>(sqlite3_column_int64(s, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(s, column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(s, column)), sqlite3_column_bytes(s, column));
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, column)),
                                 sqlite3_column_bytes(s, column));
    }
}

// A read, stepped as its rows are asked for; the statement goes back to
// the connection's cache when done.
class SqliteRows final : public Rows {
public:
    SqliteRows(SqliteConnection &connection, const QString &text, sqlite3_stmt *statement)
        : m_connection(connection)
        , m_text(text)
        , m_statement(statement)
    {
    }
    ~SqliteRows() override { m_connection.giveBack(m_text, m_statement); }

    bool next() override
    {
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            m_connection.fail(rc, m_text);
        return false;
    }
    int columnCount() const override { return sqlite3_column_count(m_statement); }
    QString columnName(int column) const override
    {
        return QString::fromUtf8(sqlite3_column_name(m_statement, column));
    }
    bool isNull(int column) const override { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }
    QString text(int column) const override
    {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column)) : QString();
    }
    qint64 integer(int column) const override { return sqlite3_column_int64(m_statement, column); }
    QVariant value(int column) const override { return columnValue(m_statement, column); }
    qint64 affected() const override { return 0; }

private:
    SqliteConnection &m_connection;
    QString m_text;
    sqlite3_stmt *m_statement;
};

// A write, run to its end at once; what it returned (RETURNING) is kept.
class WrittenRows final : public Rows {
public:
    QStringList names;
    std::vector<QList<QVariant>> rows;
    qint64 changes = 0;
    qsizetype current = -1;

    bool next() override { return ++current < static_cast<qsizetype>(rows.size()); }
    int columnCount() const override { return static_cast<int>(names.size()); }
    QString columnName(int column) const override { return names.value(column); }
    bool isNull(int column) const override { return value(column).isNull(); }
    QString text(int column) const override { return value(column).toString(); }
    qint64 integer(int column) const override { return value(column).toLongLong(); }
    QVariant value(int column) const override { return rows.at(current).value(column); }
    qint64 affected() const override { return changes; }
};

int bindValue(sqlite3_stmt *s, int index, const QVariant &value)
{
    if (value.isNull())
        return sqlite3_bind_null(s, index);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool: return sqlite3_bind_int64(s, index, value.toLongLong());
    case QMetaType::Double: return sqlite3_bind_double(s, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(s, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        return sqlite3_bind_text(s, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    }
}

} // namespace

SqliteConnection::SqliteConnection(const QString &path, Mode mode)
    : m_path(path)
{
    const int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY
                      : mode == Mode::Create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                                             : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString engine = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(m_db);
        m_db = nullptr;
        enginelog::write(QStringLiteral("SQLite: %1 cannot be opened: %2").arg(path, engine));
        const StoreError why = describe(rc);
        throw StoreError(QStringLiteral("Impossible d'ouvrir la base de données « %1 ».\n%2")
                             .arg(QDir::toNativeSeparators(path), why.message()),
                         {}, why.cause());
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 1);
    prepareFunctions();
}

SqliteConnection::~SqliteConnection()
{
    for (sqlite3_stmt *s : std::as_const(m_idle))
        sqlite3_finalize(s);
    sqlite3_close_v2(m_db);
}

void SqliteConnection::prepareFunctions()
{
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(m_db, "tv_fold", 1, flags, nullptr, foldFunction, nullptr, nullptr);
    sqlite3_create_function(m_db, "tv_contains", 2, flags, nullptr, containsFunction, nullptr, nullptr);
    // A doctor's rows lie all over the Visite table; with the default 2 MB
    // page cache every selection reads them from the file again. The cache
    // is dropped whenever another workstation changes the file, so a larger
    // one is as safe on a shared folder.
    sqlite3_exec(m_db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
}

StoreError SqliteConnection::describe(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreError(
            QStringLiteral("La base de données est occupée par un autre poste. Réessayez dans un instant."), {},
            StoreError::Cause::Busy);
    case SQLITE_FULL:
        return StoreError(QStringLiteral("Le disque est plein : la base de données n'a pas pu être modifiée."));
    case SQLITE_READONLY:
        return StoreError(QStringLiteral("La base de données est en lecture seule : la modification a été refusée."));
    case SQLITE_CANTOPEN:
        return StoreError(QStringLiteral("Le fichier est introuvable ou ce poste n'a pas le droit de l'ouvrir."));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return StoreError(
            QStringLiteral("La base de données est endommagée. Utilisez « Réparer et compacter la base de données »."),
            {}, StoreError::Cause::Damaged);
    default: return StoreError(QStringLiteral("Erreur de la base de données."));
    }
}

void SqliteConnection::fail(int code, const QString &statement) const
{
    enginelog::write(QStringLiteral("SQLite, %1: %2 (code %3)\n%4")
                         .arg(m_path, QString::fromUtf8(sqlite3_errmsg(m_db)))
                         .arg(code)
                         .arg(statement));
    throw describe(code);
}

sqlite3_stmt *SqliteConnection::take(const QString &statement)
{
    if (sqlite3_stmt *cached = m_idle.take(statement))
        return cached;
    const QByteArray utf8 = statement.toUtf8();
    sqlite3_stmt *handle = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &handle, nullptr);
    if (rc != SQLITE_OK)
        fail(rc, statement);
    return handle;
}

void SqliteConnection::giveBack(const QString &statement, sqlite3_stmt *handle)
{
    sqlite3_reset(handle);
    sqlite3_clear_bindings(handle);
    if (m_idle.contains(statement) || m_idle.size() >= 64)
        sqlite3_finalize(handle);
    else
        m_idle.insert(statement, handle);
}

void SqliteConnection::run(Request &request)
{
    sqlite3_stmt *s = take(request.text);
    for (qsizetype i = 0; i < request.names.size(); ++i) {
        const int index = sqlite3_bind_parameter_index(s, request.names.at(i).toUtf8().constData());
        const int rc = index == 0 ? SQLITE_RANGE : bindValue(s, index, request.values.at(i));
        if (rc != SQLITE_OK) {
            giveBack(request.text, s);
            fail(rc, request.text);
        }
    }
    if (request.read) {
        request.rows = std::make_unique<SqliteRows>(*this, request.text, s);
        return;
    }
    auto written = std::make_unique<WrittenRows>();
    for (int c = 0; c < sqlite3_column_count(s); ++c)
        written->names.append(QString::fromUtf8(sqlite3_column_name(s, c)));
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        QList<QVariant> row;
        for (int c = 0; c < written->names.size(); ++c)
            row.append(columnValue(s, c));
        written->rows.push_back(row);
    }
    giveBack(request.text, s);
    if (rc != SQLITE_DONE)
        fail(rc, request.text);
    written->changes = sqlite3_changes(m_db);
    request.rows = std::move(written);
}

void SqliteConnection::copy(const QString &from, const QString &to)
{
    SqliteConnection source(from, Mode::ReadOnly);
    SqliteConnection target(to, Mode::Create);
    // The target is a new file under a temporary name, renamed only when
    // whole: it needs no journal of its own, nor a sync after every step.
    sqlite3_exec(target.m_db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup *backup = sqlite3_backup_init(target.m_db, "main", source.m_db, "main");
    if (!backup)
        target.fail(sqlite3_errcode(target.m_db), QStringLiteral("backup ") + from);
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 100; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        sqlite3_sleep(100);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        enginelog::write(
            QStringLiteral("SQLite: copy of %1 to %2: %3").arg(from, to, QString::fromUtf8(sqlite3_errstr(rc))));
        throw describe(rc);
    }
}

} // namespace tv
