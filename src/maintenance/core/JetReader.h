#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

namespace tv {

// Reads the tables of a Microsoft Access (Jet 3 / Jet 4) database, the
// format of the databases the practices bring from their former program.
// The file is opened read-only and never written.
//
// Values come by column position: Text and Memo as QString (whole, line
// breaks kept; an empty text and a null cannot be told apart and both come
// as ""), numbers as qlonglong or double, Date/Time as QDateTime, Yes/No as
// bool, other nulls as a null QVariant.
class JetReader {
public:
    // True when the file starts with a Jet or ACE header. Looked at before
    // the library is given a file, which it may not take kindly otherwise.
    static bool isJetFile(const QString &path);

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
    // The live rows the table's header counts.
    qint64 rowCount(const QString &table) const;

    using Row = std::function<void(const QVariantList &values)>;
    // Every live row of the table, in storage order. Throws StoreError.
    void readTable(const QString &table, const Row &row) const;

private:
    [[noreturn]] void fail(const QString &what) const;

    struct Handle;
    QString m_path;
    std::unique_ptr<Handle> m_handle;
};

} // namespace tv
