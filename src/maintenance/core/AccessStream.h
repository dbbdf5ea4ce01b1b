#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <variant>
#include <vector>

// What the Access reader (the program LecteurAccess) sends back through its
// standard output: a sequence of frames, each a kind byte, a payload length
// (4 bytes, little endian) and the payload. Written and read here only.
//
// A stream is Diagnostic*, Hello, Diagnostic*, Catalog, then for each table
// asked for, in that order: Diagnostic*, Table, (Diagnostic* Row)*,
// Diagnostic*, then TableEnd or Failure (a Failure alone when its
// definition could not be read); then Done. A Failure of the file takes
// the place of everything after it but Done.
// The decoder checks the framing and the values; the order is the
// receiver's to check (AccessIntake).
namespace tv::accessstream {

// The column types of an Access table, as far as the import tells them
// apart. Size is the declared length in characters for Text, else 0.
enum class ColumnKind : quint8 {
    Text = 1,
    Memo,
    Byte,
    Integer, // 16 bits
    Long,    // 32 bits
    Counter, // 32 bits, numbered by Access
    Single,
    Double,
    Money,
    Numeric,
    DateTime,
    Bool,
    Other, // binary, OLE, replication id: kept as text
};

struct Column {
    QString name;
    ColumnKind kind = ColumnKind::Other;
    quint32 size = 0;
    bool operator==(const Column &) const = default;
};

struct Hello {
    QString format; // "Jet 3", "Jet 4", "ACE"
    bool operator==(const Hello &) const = default;
};
struct Catalog {
    QStringList tables;
    bool operator==(const Catalog &) const = default;
};
struct Table {
    QString name;
    quint32 declaredRows = 0;
    QList<Column> columns;
    bool operator==(const Table &) const = default;
};
// Values by column position: null, QString, qlonglong, double, bool, or
// QDateTime (UTC, standing for the wall-clock time stored).
struct Row {
    QVariantList values;
    bool operator==(const Row &) const = default;
};
// Text the library printed while the next row (or, before TableEnd, the
// end of the table) was being read.
struct Diagnostic {
    QString text;
    bool operator==(const Diagnostic &) const = default;
};
struct TableEnd {
    quint32 rows = 0; // rows sent for the table
    bool operator==(const TableEnd &) const = default;
};
// A table (the file when `table` is empty) could not be read, or could not
// be read to its end.
struct Failure {
    QString table;
    QString message;
    bool operator==(const Failure &) const = default;
};
struct Done {
    bool operator==(const Done &) const = default;
};

using Frame = std::variant<Hello, Catalog, Table, Row, Diagnostic, TableEnd, Failure, Done>;

// The largest frame either side accepts: a row of long memos fits many
// times over; a length beyond it can only be damage.
constexpr quint32 kMaxFrame = 32u << 20;

QByteArray encode(const Frame &frame);
// The same, appended to `out`.
void encode(const Frame &frame, QByteArray &out);

// A value as the reader has it, before any QVariant: the reader writes its
// rows without making one (`text` points into its own buffer, UTF-8).
struct RawValue {
    enum class Kind : quint8 { Null, Text, Integer, Real, Bool, DateTime };
    Kind kind = Kind::Null;
    const char *text = nullptr;
    qsizetype length = 0;
    qint64 number = 0; // Integer; Bool 0 or 1; DateTime: the Julian day
    double real = 0;
    quint32 msecs = 0; // DateTime: since midnight
};
// Appends the Row frame of these values: the same bytes as
// encode(Row{...toVariant(value)...}).
void encodeRow(const std::vector<RawValue> &values, QByteArray &out);
// The value the decoder gives for it.
QVariant toVariant(const RawValue &value);

// Takes the stream in pieces as they arrive.
class Decoder {
public:
    void feed(const QByteArray &bytes);
    // The next whole frame, or nothing when more bytes are needed or the
    // stream is malformed (then error() says why and nothing more comes).
    std::optional<Frame> next();
    bool malformed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    // Bytes of a frame not yet whole: a stream that ends with some was cut.
    qsizetype pending() const { return m_buffer.size() - m_offset; }

private:
    QByteArray m_buffer;
    qsizetype m_offset = 0;
    QString m_error;
};

} // namespace tv::accessstream
