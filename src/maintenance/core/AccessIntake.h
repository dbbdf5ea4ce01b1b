#pragma once

#include "maintenance/core/AccessStream.h"

#include <QMap>
#include <QSet>

namespace tv {

// One table of an Access file as the reader gave it.
struct AccessTable {
    QString name;
    bool begun = false; // its definition could be read
    qint64 declared = 0;
    QList<accessstream::Column> columns;
    QList<QVariantList> rows;        // the rows kept
    qint64 withErrors = 0;           // rows read while the library complained
    QMap<QString, qint64> memosLost; // memo column -> such rows where it came back empty
    qint64 rejected = 0;             // rows with a value that cannot be, not kept
    int diagnostics = 0;             // complaints of the library while reading it
    bool ended = false;              // read to its end
    QString failure;                 // why its reading stopped, in French; "" when it did not
    // Nothing of it was lost.
    bool whole() const;
};

// What the reader child gave of an Access file.
struct AccessContent {
    QString path;
    QString format;
    bool catalogRead = false;
    QStringList catalog; // the user tables, in the file's order
    int catalogDiagnostics = 0;
    QList<AccessTable> tables; // in the order they were read
    QString unreadable;        // set when nothing of the file could be read: why

    // Access compares table names without regard to case.
    const AccessTable *table(const QString &name) const;
};

// Builds an AccessContent from the frames of one reader child (several
// children when one stopped: each adds the tables it read). Every rule of
// the stream's order, every value checked against its column.
class AccessIntake {
public:
    // The child reads `asked`, in that order; all the catalog when empty.
    AccessIntake(AccessContent &content, QStringList asked);

    // False when the frame is out of place: the stream is then damaged.
    bool take(const accessstream::Frame &frame);
    bool done() const { return m_done; }
    // The child stopped before Done: the table it was reading (or about
    // to read) is damaged, or the file itself before its catalog. After
    // Done, the stream went on: the whole file is taken for unreadable.
    void stopped(const QString &why);
    // The catalog's tables not read yet.
    QStringList unread() const;

    // The most the rows kept of one file may take in memory, as counted
    // here: about twice what the largest practice measured (390,000 rows)
    // needs.
    static constexpr qsizetype kMaxBytes = 256 << 20;

private:
    bool takeRow(const accessstream::Row &row);
    bool takeFailure(const accessstream::Failure &failure);
    AccessTable &current() { return m_content.tables.last(); }

    AccessContent &m_content;
    QStringList m_asked;
    bool m_hello = false;
    bool m_catalog = false;
    bool m_done = false;
    bool m_inTable = false;
    int m_pending = 0; // diagnostics not yet given to a row or a table
    qsizetype m_bytes = 0;
    QSet<qlonglong> m_counters; // of the current table, to find one seen twice
};

namespace accessvalues {
// Whether a value can come from a column of that kind: a text no longer
// than declared, a number within its type, a real date, a counter above 0.
bool fits(const accessstream::Column &column, const QVariant &value);
} // namespace accessvalues

} // namespace tv
