#include "store/DatabaseUpgrade.h"

#include "store/Database.h"
#include "store/SettingsFiles.h"
#include "store/StoreError.h"
#include "store/TextFile.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace tv {

namespace {

struct TableCopy {
    QString name;
    int positions; // columns 1..positions; column 0 is the counter
};

const QList<TableCopy> &copies()
{
    static const QList<TableCopy> list = {
        {QStringLiteral("Labo"), 14},
        {QStringLiteral("Passage"), 5},
        {QStringLiteral("Visite"), 6},
        {QStringLiteral("Produit"), 5},
    };
    return list;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

namespace upgrade_detail {

// The user's database, opened for reading only: nothing the upgrade does
// may change it.
class OldDatabase {
public:
    explicit OldDatabase(const QString &path)
        : m_connection(QStringLiteral("tallvane-upgrade-%1").arg(++counter()))
    {
        if (!QFile::exists(path))
            throw StoreError(QStringLiteral("La base de données « %1 » est introuvable.").arg(native(path)));
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        m_db.setDatabaseName(path);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000"));
        if (!m_db.open())
            throw StoreError(QStringLiteral("Impossible d'ouvrir la base de données « %1 ».").arg(native(path)),
                             m_db.lastError().text());
        m_path = path;
    }
    ~OldDatabase()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
    OldDatabase(const OldDatabase &) = delete;
    OldDatabase &operator=(const OldDatabase &) = delete;

    QSqlDatabase &sql() { return m_db; }

    QStringList tables()
    {
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
            throw failure(QStringLiteral("la liste des tables"), q.lastError());
        QStringList names;
        while (q.next())
            names.append(q.value(0).toString());
        return names;
    }

    int count(const QString &table)
    {
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)) || !q.next())
            throw failure(QStringLiteral("la table %1").arg(table), q.lastError());
        return q.value(0).toInt();
    }

    StoreError failure(const QString &what, const QSqlError &error) const
    {
        const QString code = error.nativeErrorCode();
        QString reason;
        if (code == QLatin1String("5") || code == QLatin1String("6"))
            reason = QStringLiteral("La base de données est utilisée par un autre poste.");
        else if (code == QLatin1String("26") || code == QLatin1String("11"))
            reason = QStringLiteral("Le fichier n'est pas une base de données lisible ou il est endommagé.");
        else
            reason = QStringLiteral("Erreur de la base de données.");
        return StoreError(QStringLiteral("Impossible de lire %1 de « %2 ».\n%3").arg(what, native(m_path), reason),
                          error.text());
    }

private:
    static std::atomic<int> &counter()
    {
        static std::atomic<int> value{0};
        return value;
    }

    QString m_connection;
    QString m_path;
    QSqlDatabase m_db;
};

} // namespace upgrade_detail

namespace {
using upgrade_detail::OldDatabase;

void removeFile(const QString &path)
{
    if (QFile::exists(path) && !QFile::remove(path))
        throw StoreError(QStringLiteral("Impossible de supprimer le fichier « %1 ».").arg(native(path)));
}

void renameFile(const QString &from, const QString &to)
{
    if (!QFile::rename(from, to))
        throw StoreError(QStringLiteral("Impossible de renommer « %1 » en « %2 ».").arg(native(from), native(to)));
}

// Copies a file that may sit on another volume; the target is made
// writable whatever the rights of the installed source.
void copyWritable(const QString &from, const QString &to)
{
    removeFile(to);
    if (!QFile::copy(from, to))
        throw StoreError(QStringLiteral("Impossible de copier « %1 » vers « %2 ».").arg(native(from), native(to)));
    QFile::setPermissions(to, QFile::permissions(to) | QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

QString DatabaseUpgrade::Paths::work() const
{
    return oldDatabase + QStringLiteral(".maj");
}

QString DatabaseUpgrade::Paths::partial() const
{
    return oldDatabase + QStringLiteral(".maj-en-cours");
}

DatabaseUpgrade::Paths DatabaseUpgrade::paths(const QString &programFolder, const QString &dataFolder)
{
    return {files::join(dataFolder, files::Database), files::join(programFolder, files::ShippedDatabase),
            files::join(dataFolder, files::OldDatabase)};
}

DatabaseUpgrade::DatabaseUpgrade(Paths paths)
    : m_paths(std::move(paths))
{
}

void DatabaseUpgrade::checkpoint(const QString &point) const
{
    if (m_checkpoint)
        m_checkpoint(point);
}

void DatabaseUpgrade::copyRows()
{
    m_copied.clear();
    m_hadProduit = false;
    const QString partial = m_paths.partial();
    try {
        if (!QFile::exists(m_paths.shipped))
            throw StoreError(QStringLiteral("La base de données livrée « %1 » est introuvable.").arg(native(m_paths.shipped)));
        OldDatabase old(m_paths.oldDatabase);
        const QStringList oldTables = old.tables();
        // The engine's order of names; the first equal to Produit counts.
        for (const QString &name : oldTables) {
            if (name.compare(QStringLiteral("Produit"), Qt::CaseInsensitive) == 0) {
                m_hadProduit = true;
                break;
            }
        }
        QList<TableCopy> todo;
        int total = 0;
        QList<int> counts;
        for (const TableCopy &table : copies()) {
            if (table.name == QStringLiteral("Produit") && !m_hadProduit)
                continue;
            todo.append(table);
            counts.append(old.count(table.name));
            total += counts.last();
        }

        copyWritable(m_paths.shipped, partial);
        {
            auto target = Database::open(partial);
            Transaction transaction(*target);
            int done = 0;
            for (qsizetype t = 0; t < todo.size(); ++t) {
                const TableCopy &table = todo[t];
                int rows = 0;
                if (counts[t] != 0)
                    rows = copyTable(old, *target, table.name, table.positions, done, total);
                m_copied.append({table.name, rows});
            }
            checkpoint(QStringLiteral("copy:commit"));
            transaction.commit();
        }
        // Complete: only now does the copy carry the name the next
        // start-up trusts.
        renameFile(partial, m_paths.work());
    } catch (const StoreError &) {
        QFile::remove(partial);
        throw;
    }
}

int DatabaseUpgrade::copyTable(upgrade_detail::OldDatabase &old, Database &target, const QString &table, int positions, int &done,
                               int total)
{
    QSqlQuery source(old.sql());
    source.setForwardOnly(true);
    if (!source.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
        throw old.failure(QStringLiteral("la table %1").arg(table), source.lastError());

    // Positions both layouts have: an older table may end earlier.
    const QSqlRecord newColumns = target.sql().record(table);
    const int last = std::min({positions, source.record().count() - 1, newColumns.count() - 1});
    QStringList names;
    QStringList marks;
    for (int p = 1; p <= last; ++p) {
        names.append(QStringLiteral("\"%1\"").arg(newColumns.fieldName(p)));
        marks.append(QStringLiteral("?"));
    }
    QSqlQuery insert(target.sql());
    const QString statement = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                  .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    if (!insert.prepare(statement))
        throw StoreError(QStringLiteral("La table %1 de la base livrée ne peut pas recevoir les données.").arg(table),
                         insert.lastError().text());

    int rows = 0;
    while (source.next()) {
        for (int p = 1; p <= last; ++p)
            insert.bindValue(p - 1, source.value(p));
        checkpoint(QStringLiteral("copy:%1:%2").arg(table).arg(rows + 1));
        if (!insert.exec())
            throw StoreError(QStringLiteral("La ligne %1 de la table %2 a été refusée par la nouvelle base.")
                                 .arg(rows + 1)
                                 .arg(table),
                             insert.lastError().text());
        ++rows;
        ++done;
        if (m_progress)
            m_progress(done, total);
    }
    if (source.lastError().isValid())
        throw old.failure(QStringLiteral("la table %1").arg(table), source.lastError());
    return rows;
}

void DatabaseUpgrade::swapFiles()
{
    const QString work = m_paths.work();
    // The shipped file goes first: once the filled copy is complete it is
    // no longer needed, and while it stays, a restart would upgrade again.
    try {
        removeFile(m_paths.shipped);
    } catch (const StoreError &) {
        QFile::remove(work);
        throw;
    }
    checkpoint(QStringLiteral("swap:shipped"));
    finishSwap(m_paths, [this](const QString &point) { checkpoint(point); });
}

void DatabaseUpgrade::finishSwap(const Paths &paths, const std::function<void(const QString &)> &point)
{
    if (QFile::exists(paths.oldDatabase)) {
        removeFile(paths.backup);
        point(QStringLiteral("swap:backup"));
        renameFile(paths.oldDatabase, paths.backup);
        point(QStringLiteral("swap:old"));
    }
    renameFile(paths.work(), paths.oldDatabase);
}

bool DatabaseUpgrade::recover(const Paths &paths)
{
    if (QFile::exists(paths.partial()))
        removeFile(paths.partial());
    if (!QFile::exists(paths.work()))
        return false;
    removeFile(paths.shipped);
    finishSwap(paths, [](const QString &) {});
    return true;
}

} // namespace tv
