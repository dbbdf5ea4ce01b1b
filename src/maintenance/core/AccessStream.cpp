#include "maintenance/core/AccessStream.h"

#include <QDateTime>
#include <QStringEncoder>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace tv::accessstream {

namespace {

// The stream's first bytes after the Hello kind and length: a reader of
// another layout is told apart at once.
constexpr char kMagic[4] = {'T', 'V', 'J', '1'};
constexpr qint64 kMsecsPerDay = 86'400'000;

enum Kind : char {
    KHello = 'H',
    KCatalog = 'C',
    KTable = 'T',
    KRow = 'R',
    KDiagnostic = 'D',
    KTableEnd = 'E',
    KFailure = 'X',
    KDone = 'Z',
};

enum ValueTag : quint8 { TNull = 0, TText, TInteger, TDouble, TBool, TDateTime };

QDateTime dateTimeOf(qint64 julianDay, quint32 msecs)
{
    const QDate date = QDate::fromJulianDay(julianDay);
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs));
    return date.isValid() && msecs < kMsecsPerDay ? QDateTime(date, time, Qt::UTC) : QDateTime();
}

// Appends a frame to the end of a buffer, its length written once known.
class Writer {
public:
    Writer(QByteArray &out, char kind)
        : m_out(out)
        , m_start(out.size())
    {
        m_out.append(kind);
        u32(0);
    }
    ~Writer() { qToLittleEndian(static_cast<quint32>(m_out.size() - m_start - 5), m_out.data() + m_start + 1); }
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    void u8(quint8 v) { m_out.append(static_cast<char>(v)); }
    void u32(quint32 v) { fixed(qToLittleEndian(v)); }
    void u64(quint64 v) { fixed(qToLittleEndian(v)); }
    void bytes(const char *data, qsizetype size)
    {
        u32(static_cast<quint32>(size));
        m_out.append(data, size);
    }
    void raw(const RawValue &v)
    {
        switch (v.kind) {
        case RawValue::Kind::Null: u8(TNull); return;
        case RawValue::Kind::Text:
            u8(TText);
            bytes(v.text, v.length);
            return;
        case RawValue::Kind::Integer:
            u8(TInteger);
            u64(static_cast<quint64>(v.number));
            return;
        case RawValue::Kind::Real: real(v.real); return;
        case RawValue::Kind::Bool:
            u8(TBool);
            u8(v.number != 0 ? 1 : 0);
            return;
        case RawValue::Kind::DateTime: dateTime(v.number, v.msecs); return;
        }
    }
    void text(const QString &s)
    {
        // UTF-8 straight into the buffer, its length put before it after.
        const qsizetype at = m_out.size();
        m_out.resize(at + 4 + m_encoder.requiredSpace(s.size()));
        char *const begin = m_out.data() + at + 4;
        char *const end = m_encoder.appendToBuffer(begin, s);
        qToLittleEndian(static_cast<quint32>(end - begin), m_out.data() + at);
        m_out.truncate(end - m_out.constData());
    }
    void value(const QVariant &v)
    {
        if (v.isNull() && v.typeId() != QMetaType::QDateTime) {
            u8(TNull);
            return;
        }
        switch (v.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::UInt:
            u8(TInteger);
            u64(static_cast<quint64>(v.toLongLong()));
            return;
        case QMetaType::Double: real(v.toDouble()); return;
        case QMetaType::Bool:
            u8(TBool);
            u8(v.toBool() ? 1 : 0);
            return;
        case QMetaType::QDateTime: {
            // The wall-clock fields, whatever the time zone.
            const QDateTime when = v.toDateTime();
            dateTime(when.date().toJulianDay(), static_cast<quint32>(when.time().msecsSinceStartOfDay()));
            return;
        }
        case QMetaType::QString:
            u8(TText);
            text(*static_cast<const QString *>(v.constData()));
            return;
        default: u8(TText); text(v.toString());
        }
    }

private:
    void real(double d)
    {
        u8(TDouble);
        quint64 bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        u64(bits);
    }
    void dateTime(qint64 julianDay, quint32 msecs)
    {
        u8(TDateTime);
        u64(static_cast<quint64>(julianDay));
        u32(msecs);
    }
    template<typename T>
    void fixed(T v)
    {
        m_out.append(reinterpret_cast<const char *>(&v), sizeof v);
    }

    QByteArray &m_out;
    qsizetype m_start;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};

// Reads one payload; any read past its end or a value out of its range
// makes it bad, and the rest of the reads give zeros.
class Reader {
public:
    Reader(const char *data, qsizetype size)
        : m_data(data)
        , m_left(size)
    {
    }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_left == 0; }
    qsizetype left() const { return m_left; }
    void fail() { m_ok = false; }

    quint8 u8()
    {
        if (!take(1))
            return 0;
        return static_cast<quint8>(m_data[-1]);
    }
    quint32 u32() { return take(4) ? qFromLittleEndian<quint32>(m_data - 4) : 0; }
    quint64 u64() { return take(8) ? qFromLittleEndian<quint64>(m_data - 8) : 0; }
    QString text()
    {
        const quint32 size = u32();
        if (!take(size))
            return {};
        return QString::fromUtf8(m_data - size, static_cast<qsizetype>(size));
    }
    // Each element takes at least `least` bytes: a count the payload
    // cannot hold is refused before anything is allocated.
    quint32 count(qsizetype least)
    {
        const quint32 n = u32();
        if (static_cast<qsizetype>(n) > m_left / least)
            fail();
        return m_ok ? n : 0;
    }
    QVariant value()
    {
        switch (u8()) {
        case TNull: return {};
        case TText: return text();
        case TInteger: return static_cast<qlonglong>(u64());
        case TDouble: {
            const quint64 bits = u64();
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            return d;
        }
        case TBool: {
            const quint8 b = u8();
            if (b > 1)
                fail();
            return b == 1;
        }
        case TDateTime: {
            const auto day = static_cast<qint64>(u64());
            const quint32 msecs = u32();
            if (msecs >= kMsecsPerDay)
                fail();
            return dateTimeOf(day, msecs);
        }
        default: fail(); return {};
        }
    }

private:
    bool take(qsizetype n)
    {
        if (!m_ok || n > m_left) {
            m_ok = false;
            return false;
        }
        m_data += n;
        m_left -= n;
        return true;
    }

    const char *m_data;
    qsizetype m_left;
    bool m_ok = true;
};

std::optional<Frame> parse(char kind, Reader &r)
{
    Frame frame;
    switch (kind) {
    case KHello: {
        char magic[4];
        for (char &c : magic)
            c = static_cast<char>(r.u8());
        if (std::memcmp(magic, kMagic, sizeof magic) != 0)
            r.fail();
        frame = Hello{r.text()};
        break;
    }
    case KCatalog: {
        Catalog c;
        const quint32 n = r.count(4);
        for (quint32 i = 0; i < n && r.ok(); ++i)
            c.tables.append(r.text());
        frame = c;
        break;
    }
    case KTable: {
        Table t;
        t.name = r.text();
        t.declaredRows = r.u32();
        const quint32 n = r.count(9);
        for (quint32 i = 0; i < n && r.ok(); ++i) {
            Column col;
            col.name = r.text();
            const quint8 k = r.u8();
            if (k < static_cast<quint8>(ColumnKind::Text) || k > static_cast<quint8>(ColumnKind::Other))
                r.fail();
            col.kind = static_cast<ColumnKind>(k);
            col.size = r.u32();
            t.columns.append(col);
        }
        frame = t;
        break;
    }
    case KRow: {
        Row row;
        const quint32 n = r.count(1);
        row.values.reserve(n);
        for (quint32 i = 0; i < n && r.ok(); ++i)
            row.values.append(r.value());
        frame = row;
        break;
    }
    case KDiagnostic: frame = Diagnostic{r.text()}; break;
    case KTableEnd: frame = TableEnd{r.u32()}; break;
    case KFailure: {
        Failure f;
        f.table = r.text();
        f.message = r.text();
        frame = f;
        break;
    }
    case KDone: frame = Done{}; break;
    default: return std::nullopt;
    }
    if (!r.ok() || !r.atEnd())
        return std::nullopt;
    return frame;
}

} // namespace

void encode(const Frame &frame, QByteArray &out)
{
    std::visit(
        [&](const auto &f) {
            using F = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<F, Hello>) {
                Writer w(out, KHello);
                for (char c : kMagic)
                    w.u8(static_cast<quint8>(c));
                w.text(f.format);
            } else if constexpr (std::is_same_v<F, Catalog>) {
                Writer w(out, KCatalog);
                w.u32(static_cast<quint32>(f.tables.size()));
                for (const QString &t : f.tables)
                    w.text(t);
            } else if constexpr (std::is_same_v<F, Table>) {
                Writer w(out, KTable);
                w.text(f.name);
                w.u32(f.declaredRows);
                w.u32(static_cast<quint32>(f.columns.size()));
                for (const Column &c : f.columns) {
                    w.text(c.name);
                    w.u8(static_cast<quint8>(c.kind));
                    w.u32(c.size);
                }
            } else if constexpr (std::is_same_v<F, Row>) {
                Writer w(out, KRow);
                w.u32(static_cast<quint32>(f.values.size()));
                for (const QVariant &v : f.values)
                    w.value(v);
            } else if constexpr (std::is_same_v<F, Diagnostic>) {
                Writer(out, KDiagnostic).text(f.text);
            } else if constexpr (std::is_same_v<F, TableEnd>) {
                Writer(out, KTableEnd).u32(f.rows);
            } else if constexpr (std::is_same_v<F, Failure>) {
                Writer w(out, KFailure);
                w.text(f.table);
                w.text(f.message);
            } else {
                Writer(out, KDone);
            }
        },
        frame);
}

void encodeRow(const std::vector<RawValue> &values, QByteArray &out)
{
    Writer w(out, KRow);
    w.u32(static_cast<quint32>(values.size()));
    for (const RawValue &v : values)
        w.raw(v);
}

QVariant toVariant(const RawValue &value)
{
    switch (value.kind) {
    case RawValue::Kind::Null: break;
    case RawValue::Kind::Text: return QString::fromUtf8(value.text, value.length);
    case RawValue::Kind::Integer: return static_cast<qlonglong>(value.number);
    case RawValue::Kind::Real: return value.real;
    case RawValue::Kind::Bool: return value.number != 0;
    case RawValue::Kind::DateTime: return dateTimeOf(value.number, value.msecs);
    }
    return {};
}

QByteArray encode(const Frame &frame)
{
    QByteArray out;
    encode(frame, out);
    return out;
}

void Decoder::feed(const QByteArray &bytes)
{
    if (malformed())
        return;
    // What was read is dropped once it is most of the buffer.
    if (m_offset > 0 && m_offset * 2 >= m_buffer.size()) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
    m_buffer.append(bytes);
}

std::optional<Frame> Decoder::next()
{
    if (malformed() || pending() < 5)
        return std::nullopt;
    const char *head = m_buffer.constData() + m_offset;
    const auto size = qFromLittleEndian<quint32>(head + 1);
    if (size > kMaxFrame) {
        m_error = QStringLiteral("trame de %1 octets").arg(size);
        return std::nullopt;
    }
    if (pending() < 5 + static_cast<qsizetype>(size))
        return std::nullopt;
    Reader payload(head + 5, size);
    auto frame = parse(head[0], payload);
    if (!frame) {
        m_error = QStringLiteral("trame « %1 » illisible").arg(QString::number(static_cast<quint8>(head[0])));
        return std::nullopt;
    }
    m_offset += 5 + static_cast<qsizetype>(size);
    return frame;
}

} // namespace tv::accessstream
