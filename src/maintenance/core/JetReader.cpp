#include "maintenance/core/JetReader.h"

#include "maintenance/core/AccessReading.h"
#include "maintenance/core/Sanitizer.h"

#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

// The library's header wraps glib in extern "C" itself and needs it first.
#include <glib.h>
#include <mdbtools.h>

#include <QtEndian>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <vector>

namespace tv {

namespace {

// The library copies every value through a block of this size. Large
// enough for any memo typed in Access (65,535 characters, up to three bytes
// each once in UTF-8); a longer value is refused rather than cut. Under
// AddressSanitizer a block over 128 KB costs a system call, for every value:
// that build reads memos of up to 64 KB of text only.
#if TV_SANITIZED
constexpr size_t kBindSize = 1 << 16;
#else
constexpr size_t kBindSize = 3 << 16;
#endif
const char *const kDateFormat = "%Y-%m-%dT%H:%M:%S";

using accessstream::RawValue;

// Numbers and dates come as the library prints them, with the C library's
// locale (which nothing here changes); a print that does not read back
// whole stays text, which no numeric column takes.
RawValue textValue(const char *text, int length)
{
    RawValue v;
    v.kind = RawValue::Kind::Text;
    v.text = text;
    v.length = length;
    return v;
}

RawValue integerValue(const char *text, int length)
{
    RawValue v;
    const auto [end, error] = std::from_chars(text, text + length, v.number);
    if (error != std::errc() || end != text + length)
        return textValue(text, length);
    v.kind = RawValue::Kind::Integer;
    return v;
}

RawValue realValue(const char *text, int length)
{
    char copy[64];
    if (length >= static_cast<int>(sizeof copy))
        return textValue(text, length);
    std::replace_copy(text, text + length, copy, ',', '.');
    copy[length] = '\0';
    char *end = nullptr;
    RawValue v;
    v.real = std::strtod(copy, &end);
    if (end != copy + length)
        return textValue(text, length);
    v.kind = RawValue::Kind::Real;
    return v;
}

// yyyy-MM-ddTHH:mm:ss (kDateFormat); anything else is no date.
RawValue dateValue(const char *text, int length)
{
    const auto field = [&](int at, int digits) {
        int n = 0;
        for (int i = at; i < at + digits; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            n = n * 10 + (text[i] - '0');
        }
        return n;
    };
    RawValue v;
    v.kind = RawValue::Kind::DateTime;
    v.number = QDate().toJulianDay();
    if (length != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':')
        return v;
    const QDate date(field(0, 4), field(5, 2), field(8, 2));
    const QTime time(field(11, 2), field(14, 2), field(17, 2));
    if (date.isValid() && time.isValid()) {
        v.number = date.toJulianDay();
        v.msecs = static_cast<quint32>(time.msecsSinceStartOfDay());
    }
    return v;
}

RawValue valueOf(int type, const char *text, int length)
{
    if (type == MDB_TEXT || type == MDB_MEMO)
        return textValue(text, length);
    RawValue v;
    if (type == MDB_BOOL) {
        v.kind = RawValue::Kind::Bool;
        v.number = length == 1 && text[0] == '1';
        return v;
    }
    if (length == 0)
        return v;
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_COMPLEX: return integerValue(text, length);
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
    case MDB_NUMERIC: return realValue(text, length);
    case MDB_DATETIME: return dateValue(text, length);
    default: return textValue(text, length);
    }
}

// Characters of UTF-8 text as QString counts them.
quint32 utf16Length(const RawValue &v)
{
    quint32 n = 0;
    for (qsizetype i = 0; i < v.length; ++i) {
        const auto byte = static_cast<unsigned char>(v.text[i]);
        n += (byte & 0xC0) != 0x80 ? 1 : 0;
        n += byte >= 0xF0 ? 1 : 0;
    }
    return n;
}

struct TableDefDeleter {
    void operator()(MdbTableDef *table) const { mdb_free_tabledef(table); }
};
using TableDef = std::unique_ptr<MdbTableDef, TableDefDeleter>;

} // namespace

struct JetReader::Handle {
    MdbHandle *mdb = nullptr;
    ~Handle()
    {
        if (mdb)
            mdb_close(mdb);
    }
};

JetReader::JetReader(const QString &path)
    : m_path(path)
    , m_handle(std::make_unique<Handle>())
{
    if (!QFile::exists(path))
        throw StoreError(QStringLiteral("La base de données « %1 » est introuvable.").arg(files::native(path)));
    if (!accessreading::isAccessFile(path))
        fail(QStringLiteral("Le fichier n'est pas une base de données Access."));
    m_handle->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!m_handle->mdb)
        fail(QStringLiteral("Le fichier est endommagé ou il n'est pas une base de données Access."));
    mdb_set_bind_size(m_handle->mdb, kBindSize);
    mdb_set_date_fmt(m_handle->mdb, kDateFormat);
    mdb_set_shortdate_fmt(m_handle->mdb, kDateFormat);
    mdb_set_boolean_fmt_numbers(m_handle->mdb);
    if (!mdb_read_catalog(m_handle->mdb, MDB_TABLE))
        fail(QStringLiteral("La liste de ses tables est illisible : le fichier est endommagé ou incomplet."));
}

JetReader::~JetReader() = default;

void JetReader::fail(const QString &what) const
{
    throw StoreError(
        QStringLiteral("Impossible de lire la base de données Access « %1 ».\n%2").arg(files::native(m_path), what));
}

QString JetReader::formatName() const
{
    switch (m_handle->mdb->f->jet_version) {
    case MDB_VER_JET3: return QStringLiteral("Jet 3");
    case MDB_VER_JET4: return QStringLiteral("Jet 4");
    default: return QStringLiteral("ACE");
    }
}

QStringList JetReader::tables() const
{
    QStringList names;
    GPtrArray *catalog = m_handle->mdb->catalog;
    for (guint i = 0; catalog && i < catalog->len; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry))
            names.append(QString::fromUtf8(entry->object_name));
    }
    return names;
}

namespace {

TableDef openTable(MdbHandle *mdb, const QString &name)
{
    QByteArray utf8 = name.toUtf8();
    TableDef table(mdb_read_table_by_name(mdb, utf8.data(), MDB_TABLE));
    if (table && !mdb_read_columns(table.get()))
        table.reset();
    return table;
}

accessstream::Column describe(const MdbColumn &column, bool jet3)
{
    using accessstream::ColumnKind;
    accessstream::Column out{QString::fromUtf8(column.name), ColumnKind::Other, 0};
    switch (column.col_type) {
    case MDB_BOOL: out.kind = ColumnKind::Bool; break;
    case MDB_BYTE: out.kind = ColumnKind::Byte; break;
    case MDB_INT: out.kind = ColumnKind::Integer; break;
    case MDB_LONGINT: out.kind = column.is_long_auto ? ColumnKind::Counter : ColumnKind::Long; break;
    case MDB_MONEY: out.kind = ColumnKind::Money; break;
    case MDB_FLOAT: out.kind = ColumnKind::Single; break;
    case MDB_DOUBLE: out.kind = ColumnKind::Double; break;
    case MDB_DATETIME: out.kind = ColumnKind::DateTime; break;
    case MDB_NUMERIC: out.kind = ColumnKind::Numeric; break;
    case MDB_MEMO: out.kind = ColumnKind::Memo; break;
    case MDB_TEXT:
        out.kind = ColumnKind::Text;
        // Jet 4 stores two bytes a character, whether compressed or not.
        out.size = static_cast<quint32>(std::max(0, column.col_size)) / (jet3 ? 1 : 2);
        break;
    default: break;
    }
    return out;
}

// A memo's first four bytes in the row give its length in the file, flags
// in the top two bits. Compressed text takes at least a byte a character,
// plus its mark and at most one more byte a character to switch modes: a
// memo that comes back shorter than a third of that was cut on the way.
std::optional<quint32> memoCut(const MdbHandle &mdb, const MdbColumn &column, const RawValue &value)
{
    const int start = column.cur_value_start;
    if (column.cur_value_len < 12 || start < 0 || start + 4 > MDB_PGSIZE)
        return std::nullopt;
    const quint32 announced = qFromLittleEndian<quint32>(mdb.pg_buf + start) & 0x3fffffffu;
    const quint32 got = utf16Length(value);
    if (announced == 0 || (got != 0 && got * 3 + 2 >= announced))
        return std::nullopt;
    return announced;
}

} // namespace

qint64 JetReader::readTable(const QString &name, const Begin &begin, const Row &row, const Problem &problem) const
{
    const TableDef table = openTable(m_handle->mdb, name);
    if (!table)
        fail(QStringLiteral("La table %1 est illisible.").arg(name));

    const unsigned columns = table->num_cols;
    if (!table->columns || table->columns->len != columns)
        fail(QStringLiteral("La définition de la table %1 est illisible.").arg(name));
    TableInfo info{table->num_rows, {}};
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<int> lengths(columns, 0);
    std::vector<int> types(columns, 0);
    const bool jet3 = m_handle->mdb->f->jet_version == MDB_VER_JET3;
    for (unsigned c = 0; c < columns; ++c) {
        const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
        types[c] = column->col_type;
        info.columns.append(describe(*column, jet3));
        buffers.push_back(std::make_unique_for_overwrite<char[]>(kBindSize));
        buffers.back()[0] = '\0';
        // Columns are numbered from 1 here.
        mdb_bind_column(table.get(), static_cast<int>(c + 1), buffers.back().get(), &lengths[c]);
    }
    begin(info);
    mdb_rewind_table(table.get());

    std::vector<RawValue> values;
    values.reserve(columns);
    qint64 rows = 0;
    while (mdb_fetch_row(table.get())) {
        values.clear();
        for (unsigned c = 0; c < columns; ++c) {
            if (static_cast<size_t>(lengths[c]) >= kBindSize - 1)
                fail(QStringLiteral("Une valeur de la table %1 (ligne %2) est trop longue pour être reprise.")
                         .arg(name)
                         .arg(rows + 1));
            // A memo the row holds no part of is null; one that comes back
            // empty all the same was lost on the way (the library says why).
            const auto *column = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, c));
            if (types[c] == MDB_MEMO && column->cur_value_len == 0)
                values.emplace_back();
            else
                values.push_back(valueOf(types[c], buffers[c].get(), lengths[c]));
            if (types[c] != MDB_MEMO || !problem)
                continue;
            if (const auto announced = memoCut(*m_handle->mdb, *column, values.back()))
                problem(QStringLiteral("%1 : %2 octets annoncés, %3 caractères lus")
                            .arg(QString::fromUtf8(column->name))
                            .arg(*announced)
                            .arg(utf16Length(values.back())));
        }
        ++rows;
        if (!row(values))
            break;
    }
    return rows;
}

} // namespace tv
