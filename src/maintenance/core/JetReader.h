#pragma once

#include "maintenance/core/AccessStream.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

namespace tv {

// Reads the tables of a Microsoft Access (Jet 3 / Jet 4) database, the
// format of the databases the practices bring from their former program.
// The file is opened read-only and never written. The library trusts the
// file's bytes: only the reader program (LecteurAccess) uses this class, so
// that a damaged file can bring down that process and nothing else.
//
// Values come by column position, as accessstream::RawValue (no QVariant is
// made; toVariant gives the one the program reads): Text and Memo as text
// (whole, line breaks kept; an empty text and a null cannot be told apart
// and both come as "", but a memo the row does not hold at all comes as
// null), numbers as integers or reals, Date/Time as a date, Yes/No as bool,
// other nulls as null.
class JetReader {
public:
    // Throws StoreError (French, naming the file) when it cannot be read.
    explicit JetReader(const QString &path);
    ~JetReader();
    JetReader(const JetReader &) = delete;
    JetReader &operator=(const JetReader &) = delete;

    QString path() const { return m_path; }
    // "Jet 3", "Jet 4" or "ACE".
    QString formatName() const;
    // The user tables, in the order the database lists them.
    QStringList tables() const;
    struct TableInfo {
        qint64 declaredRows = 0; // the live rows the table's header counts
        QList<accessstream::Column> columns;
    };
    using Begin = std::function<void(const TableInfo &table)>;
    // Returns false to stop the reading. The values' text lives until the
    // next row.
    using Row = std::function<bool(const std::vector<accessstream::RawValue> &values)>;
    // What the library let through without a word: a memo whose row
    // announces more than came back. Said before the row it is about.
    using Problem = std::function<void(const QString &what)>;
    // Every live row of the table, in storage order, after its definition.
    // Returns the rows read: fewer than declared when the library stopped
    // at a page it could not read. Throws StoreError.
    qint64 readTable(const QString &table, const Begin &begin, const Row &row, const Problem &problem = {}) const;

private:
    [[noreturn]] void fail(const QString &what) const;

    struct Handle;
    QString m_path;
    std::unique_ptr<Handle> m_handle;
};

} // namespace tv
