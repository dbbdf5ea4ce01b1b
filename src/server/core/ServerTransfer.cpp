#include "server/core/ServerTransfer.h"

#include "store/engine/Database.h"
#include "store/engine/Schema.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QCryptographicHash>
#include <QVariantList>

#include <memory>

namespace tv {

namespace {

// Rows per INSERT: one round trip for many rows, far fewer statements to
// prepare than rows.
constexpr int kBatch = 100;

QString selectAll(const QString &table)
{
    const QStringList columns = schema::columns(table);
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
        .arg(columns.join(QStringLiteral(", ")), table, columns.first());
}

// A doctor's rows side by side on the server's disk, as the file never had
// them: his whole list (thousands of rows) is then read from a few pages
// instead of one page per row. The numbers stay as they were.
QString selectForCopy(const QString &table)
{
    const QStringList columns = schema::columns(table);
    if (!columns.contains(QStringLiteral("Medecin")))
        return selectAll(table);
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY Medecin, %3")
        .arg(columns.join(QStringLiteral(", ")), table, columns.first());
}

QString placeholder(int row, int column)
{
    return QStringLiteral(":v%1_%2").arg(row).arg(column);
}

QString insertStatement(const QString &table, int rows)
{
    const QStringList columns = schema::columns(table);
    QStringList tuples;
    for (int r = 0; r < rows; ++r) {
        QStringList names;
        for (int c = 0; c < columns.size(); ++c)
            names.append(placeholder(r, c));
        tuples.append(u'(' + names.join(QStringLiteral(", ")) + u')');
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table, columns.join(QStringLiteral(", ")), tuples.join(QStringLiteral(", ")));
}

qint64 countRows(Database &db, const QString &table)
{
    Query q(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
    q.exec();
    return q.next() ? q.integer(0) : 0;
}

void refuseUnlessEmpty(Database &target, const ServerAddress &address)
{
    // Tables left by anything, a transfer cut short included: the copy goes
    // only into an empty database, never over someone's data.
    Query q(target, QStringLiteral("SELECT table_name FROM information_schema.tables "
                                   "WHERE table_schema = current_schema() ORDER BY table_name"));
    q.exec();
    QStringList found;
    while (q.next())
        found.append(q.text(0));
    if (!found.isEmpty())
        throw StoreError(QStringLiteral("La base « %1 » du serveur « %2 » n'est pas vide (tables : %3).\n"
                                        "Le transfert ne se fait que vers une base vide : videz-la ou choisissez-en "
                                        "une autre, puis recommencez. Rien n'a été modifié.")
                             .arg(address.dbname, address.hostForMessage(), found.join(QStringLiteral(", "))));
}

class TableCopy {
public:
    TableCopy(Database &target, const QString &table)
        : m_target(target)
        , m_table(table)
        , m_columns(static_cast<int>(schema::columns(table).size()))
    {
    }

    void add(const Query &row)
    {
        QVariantList values;
        values.reserve(m_columns);
        for (int c = 0; c < m_columns; ++c)
            values.append(row.value(c));
        m_pending.append(values);
    }

    bool full() const { return m_pending.size() == kBatch; }

    qint64 flush()
    {
        const auto rows = static_cast<int>(m_pending.size());
        if (rows == 0)
            return 0;
        if (rows == kBatch && m_full.isEmpty())
            m_full = insertStatement(m_table, kBatch);
        Query insert(m_target, rows == kBatch ? m_full : insertStatement(m_table, rows));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < m_columns; ++c)
                insert.bind(placeholder(r, c), m_pending.at(r).at(c));
        insert.exec();
        m_pending.clear();
        return rows;
    }

private:
    Database &m_target;
    QString m_table;
    int m_columns;
    QList<QVariantList> m_pending;
    QString m_full;
};

void copyTable(Database &source, Database &target, const QString &table, qint64 &done, qint64 total,
               const ServerTransfer::Progress &progress)
{
    Query read(source, selectForCopy(table));
    read.exec();
    TableCopy copy(target, table);
    auto flush = [&] {
        done += copy.flush();
        if (progress && !progress(done, total))
            throw StoreError(QStringLiteral("Transfert annulé : rien n'a été copié sur le serveur."));
    };
    try {
        while (read.next()) {
            copy.add(read);
            if (copy.full())
                flush();
        }
        flush();
    } catch (const StoreError &error) {
        if (error.message().startsWith(QLatin1String("Transfert annulé")))
            throw;
        throw StoreError(
            QStringLiteral("La table %1 n'a pas pu être copiée sur le serveur : rien n'a été transféré.\n%2")
                .arg(table, error.message()),
            error.detail());
    }
}

qint64 counterFloor(Database &db, const QString &table)
{
    const QString statement = db.dialect().counterFloor();
    if (statement.isEmpty())
        return 0;
    Query q(db, statement);
    q.bind(QStringLiteral(":table"), table).exec();
    return q.next() ? q.integer(0) : 0;
}

// A laboratory made on the server must not take the number of one deleted
// from the file: the numbers name things (Nom_Labo_12).
void keepCounter(Database &source, Database &target, const QString &table)
{
    const QString reset = target.dialect().resetCounter(table, schema::columns(table).first());
    if (reset.isEmpty())
        return;
    Query q(target, reset);
    q.bind(QStringLiteral(":floor"), counterFloor(source, table)).exec();
}

// The four tables, then those added beside them that the file holds (an
// older file opened read-only may lack them): the delegates' links move
// with the practice.
QStringList transferredTables(Database &source)
{
    QStringList names = schema::tableNames();
    for (const QString &table : schema::addedTableNames()) {
        if (source.hasTable(table))
            names.append(table);
    }
    return names;
}

} // namespace

ServerTransfer::TableReport ServerTransfer::summarise(Database &db, const QString &table)
{
    Query q(db, selectAll(table));
    q.exec();
    const int columns = static_cast<int>(schema::columns(table).size());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    TableReport report{table, 0, {}};
    while (q.next()) {
        for (int c = 0; c < columns; ++c) {
            const QVariant value = q.value(c);
            if (value.isNull()) {
                hash.addData("\x01");
                continue;
            }
            // Length first: "ab" + "c" and "a" + "bc" must differ.
            const QByteArray bytes = value.toString().toUtf8();
            hash.addData(QByteArray::number(bytes.size()) + ':');
            hash.addData(bytes);
        }
        hash.addData("\x02");
        ++report.rows;
    }
    report.checksum = QString::fromLatin1(hash.result().toHex());
    return report;
}

QList<ServerTransfer::TableReport> ServerTransfer::run(Database &source, const ServerAddress &address,
                                                       const QString &dataFolder, const Progress &progress)
{
    if (!source.canMoveToServer())
        throw StoreError(QStringLiteral("La base de données est déjà sur un serveur."));
    auto target = Database::connectServer(address);
    refuseUnlessEmpty(*target, address);

    // No other workstation writes to the file while it is copied: a row
    // added meanwhile would be lost on the server.
    Transaction still(source);
    const QStringList tables = transferredTables(source);
    qint64 total = 0;
    for (const QString &table : tables)
        total += countRows(source, table);

    Transaction transaction(*target);
    schema::createTables(*target);
    qint64 done = 0;
    for (const QString &table : tables)
        copyTable(source, *target, table, done, total, progress);
    for (const QString &table : tables)
        keepCounter(source, *target, table);
    // After the copy: one notice per block of rows would only slow it down.
    schema::addChangeNotices(*target);

    QList<TableReport> reports;
    for (const QString &table : tables) {
        const TableReport before = summarise(source, table);
        const TableReport after = summarise(*target, table);
        if (before.rows != after.rows || before.checksum != after.checksum)
            throw StoreError(QStringLiteral("Après la copie, la table %1 du serveur diffère du fichier (%2 lignes "
                                            "au lieu de %3, ou un contenu différent) : rien n'a été transféré.")
                                 .arg(table)
                                 .arg(after.rows)
                                 .arg(before.rows));
        reports.append(after);
    }
    // The planner's figures, so the first lists use the indexes. Only these
    // tables: a bare ANALYZE goes through every table of every schema of the
    // database in this one transaction.
    execStatement(*target, QStringLiteral("ANALYZE ") + tables.join(QStringLiteral(", ")));
    transaction.commit();
    // Last, and whole or not at all: until it is there every workstation
    // keeps using the file.
    serveurcfg::write(dataFolder, address);
    return reports;
}

} // namespace tv
