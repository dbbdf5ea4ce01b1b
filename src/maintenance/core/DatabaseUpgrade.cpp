#include "maintenance/core/DatabaseUpgrade.h"

#include "maintenance/core/AccessReading.h"
#include "maintenance/core/AccessReport.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <memory>

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

} // namespace

namespace upgrade_detail {

// The user's database, read only: nothing the upgrade does may change it.
// Either a database of this program or one of the Access program it
// replaces; rows come by column position either way.
class OldDatabase {
public:
    virtual ~OldDatabase() = default;
    virtual QStringList tables() = 0;
    virtual int count(const QString &table) = 0;
    // Calls row with the values of each row in storage order.
    virtual void read(const QString &table, const std::function<void(const QVariantList &)> &row) = 0;
    // Access counters are the practice's numbers: kept. This program's
    // own are numbered anew by the shipped database.
    virtual int firstPosition() const = 0;
};

namespace {

class SqliteDatabase : public OldDatabase {
public:
    explicit SqliteDatabase(const QString &path)
        : m_path(path)
        , m_db(Database::openFile(path, Database::FileMode::ReadOnly))
    {
    }

    int firstPosition() const override { return 1; }

    QStringList tables() override
    {
        return guarded(QStringLiteral("la liste des tables"), [&] {
            Query q(*m_db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
            QStringList names;
            while (q.next())
                names.append(q.text(0));
            return names;
        });
    }

    int count(const QString &table) override
    {
        return guarded(QStringLiteral("la table %1").arg(table), [&] {
            Query q(*m_db, QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table));
            return q.next() ? static_cast<int>(q.integer(0)) : 0;
        });
    }

    void read(const QString &table, const std::function<void(const QVariantList &)> &row) override
    {
        guarded(QStringLiteral("la table %1").arg(table), [&] {
            Query source(*m_db, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
            const int columns = source.columnCount();
            QVariantList values;
            while (source.next()) {
                values.clear();
                for (int p = 0; p < columns; ++p)
                    values.append(source.value(p));
                row(values);
            }
            return 0;
        });
    }

private:
    // The engine's failure, said of what was being read.
    template<typename F>
    auto guarded(const QString &what, F &&body) -> decltype(body())
    {
        try {
            return body();
        } catch (const StoreError &error) {
            throw StoreError(QStringLiteral("Impossible de lire %1 de « %2 ».\n%3")
                                 .arg(what, files::native(m_path), error.message()),
                             {}, error.cause());
        }
    }

    QString m_path;
    std::unique_ptr<Database> m_db;
};

// Read beforehand by the reader child (accessreading::read), never in
// this process.
class AccessDatabase : public OldDatabase {
public:
    explicit AccessDatabase(std::shared_ptr<const AccessContent> content)
        : m_content(std::move(content))
    {
    }

    int firstPosition() const override { return 0; }
    QStringList tables() override { return m_content->catalog; }

    int count(const QString &table) override { return static_cast<int>(actual(table).rows.size()); }

    void read(const QString &table, const std::function<void(const QVariantList &)> &row) override
    {
        for (const QVariantList &values : actual(table).rows)
            row(values);
    }

private:
    const AccessTable &actual(const QString &table)
    {
        if (const AccessTable *found = m_content->table(table))
            return *found;
        throw StoreError(QStringLiteral("La base de données Access « %1 » n'a pas de table %2.")
                             .arg(files::native(m_content->path), table));
    }

    std::shared_ptr<const AccessContent> m_content;
};

// Without the user's consent, only a whole file is imported.
std::shared_ptr<const AccessContent> readWhole(const QString &path)
{
    auto content = std::make_shared<AccessContent>(accessreading::read(path));
    const accessreport::Summary summary = accessreport::summarize(*content);
    if (summary.verdict == accessreport::Verdict::Unreadable)
        throw StoreError(accessreport::unreadableText(path));
    if (summary.verdict == accessreport::Verdict::Partial)
        throw StoreError(QStringLiteral("La base de données Access « %1 » est endommagée : une partie seulement a "
                                        "pu être lue.\n\n%2")
                             .arg(files::native(path), summary.lines.join(QLatin1Char('\n'))));
    return content;
}

} // namespace

std::unique_ptr<OldDatabase> openOld(const QString &path, std::shared_ptr<const AccessContent> access)
{
    if (!QFile::exists(path))
        throw StoreError(QStringLiteral("La base de données « %1 » est introuvable.").arg(files::native(path)));
    switch (DatabaseUpgrade::kindOf(path)) {
    case DatabaseUpgrade::Kind::Access: return std::make_unique<AccessDatabase>(access ? access : readWhole(path));
    case DatabaseUpgrade::Kind::Program: return std::make_unique<SqliteDatabase>(path);
    case DatabaseUpgrade::Kind::Unknown: break;
    }
    throw StoreError(QStringLiteral("Le fichier « %1 » n'est pas une base de données lisible : ce n'est ni une base "
                                    "de ce programme ni une base Access.")
                         .arg(files::native(path)));
}

} // namespace upgrade_detail

namespace {
using upgrade_detail::OldDatabase;

void removeFile(const QString &path)
{
    if (QFile::exists(path) && !QFile::remove(path))
        throw StoreError(QStringLiteral("Impossible de supprimer le fichier « %1 ».").arg(files::native(path)));
}

void renameFile(const QString &from, const QString &to)
{
    if (!QFile::rename(from, to))
        throw StoreError(
            QStringLiteral("Impossible de renommer « %1 » en « %2 ».").arg(files::native(from), files::native(to)));
}

// Copies a file that may sit on another volume; the target is made
// writable whatever the rights of the installed source.
void copyWritable(const QString &from, const QString &to)
{
    removeFile(to);
    if (!QFile::copy(from, to))
        throw StoreError(
            QStringLiteral("Impossible de copier « %1 » vers « %2 ».").arg(files::native(from), files::native(to)));
    QFile::setPermissions(to, QFile::permissions(to) | QFile::ReadOwner | QFile::WriteOwner);
}

// The statement that adds one row, positions first..last of the table's
// columns bound as :p<position>.
QString insertStatement(const QStringList &columns, const QString &table, int first, int last)
{
    QStringList names;
    QStringList marks;
    for (int p = first; p <= last; ++p) {
        names.append(QStringLiteral("\"%1\"").arg(columns.at(p)));
        marks.append(QStringLiteral(":p%1").arg(p));
    }
    return QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
        .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

QStringList columnsOf(Database &db, const QString &table)
{
    Query q(db, QStringLiteral("SELECT * FROM \"%1\" LIMIT 0").arg(table));
    QStringList names;
    for (int c = 0; c < q.columnCount(); ++c)
        names.append(q.columnName(c));
    return names;
}

// Dates of an Access database become the text the program writes
// (yyyy-MM-dd, the time only when there is one); yes/no becomes 1/0.
QVariant storedValue(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime when = value.toDateTime();
        if (when.time() == QTime(0, 0))
            return when.date().toString(Qt::ISODate);
        return when.toString(Qt::ISODate);
    }
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    return value;
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

DatabaseUpgrade::Kind DatabaseUpgrade::kindOf(const QString &path)
{
    if (accessreading::isAccessFile(path))
        return Kind::Access;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Kind::Unknown;
    // An empty file is an empty database to the engine.
    const QByteArray head = file.read(16);
    return head.isEmpty() || head == QByteArray("SQLite format 3\0", 16) ? Kind::Program : Kind::Unknown;
}

QString DatabaseUpgrade::emptyTemplatePath(const QString &database)
{
    return database + QStringLiteral(".vide");
}

void DatabaseUpgrade::createEmpty(const QString &path)
{
    removeFile(path);
    Database::create(path);
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
            throw StoreError(QStringLiteral("La base de données livrée « %1 » est introuvable.")
                                 .arg(files::native(m_paths.shipped)));
        const auto oldDatabase = upgrade_detail::openOld(m_paths.oldDatabase, m_access);
        OldDatabase &old = *oldDatabase;
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

        // A journal left by a copy that a crash cut short would be played
        // back into the new one.
        removeFile(partial + QStringLiteral("-journal"));
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

int DatabaseUpgrade::copyTable(upgrade_detail::OldDatabase &old, Database &target, const QString &table, int positions,
                               int &done, int total)
{
    const QStringList newColumns = columnsOf(target, table);
    const int first = old.firstPosition();
    QString statement;
    int last = -1;
    int rows = 0;
    old.read(table, [&](const QVariantList &values) {
        if (last < 0) {
            // Positions both layouts have: an older table may end earlier.
            last = std::min({positions, static_cast<int>(values.size()) - 1, static_cast<int>(newColumns.size()) - 1});
            statement = insertStatement(newColumns, table, first, last);
        }
        Query insert(target, statement);
        for (int p = first; p <= last; ++p)
            insert.bind(QStringLiteral(":p%1").arg(p), storedValue(values.value(p)));
        checkpoint(QStringLiteral("copy:%1:%2").arg(table).arg(rows + 1));
        try {
            insert.exec();
        } catch (const StoreError &error) {
            throw StoreError(QStringLiteral("La ligne %1 de la table %2 a été refusée par la nouvelle base.\n%3")
                                 .arg(rows + 1)
                                 .arg(table, error.message()));
        }
        ++rows;
        ++done;
        if (m_progress)
            m_progress(done, total);
    });
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

void DatabaseUpgrade::removeLeftovers(const Paths &paths)
{
    // An import stopped while the user was asked leaves its empty database.
    for (const QString &file :
         {paths.partial(), paths.partial() + QStringLiteral("-journal"), emptyTemplatePath(paths.oldDatabase)})
        removeFile(file);
}

bool DatabaseUpgrade::recover(const Paths &paths)
{
    removeLeftovers(paths);
    if (!QFile::exists(paths.work()))
        return false;
    removeFile(paths.shipped);
    finishSwap(paths, [](const QString &) {});
    return true;
}

} // namespace tv
