#include "maintenance/core/AccessIntake.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace tv {

using namespace accessstream;

bool AccessTable::whole() const
{
    return begun && ended && failure.isEmpty() && rejected == 0 && withErrors == 0 && diagnostics == 0
           && rows.size() == declared;
}

const AccessTable *AccessContent::table(const QString &name) const
{
    for (const AccessTable &t : tables) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

namespace accessvalues {

namespace {

bool between(const QVariant &value, qlonglong low, qlonglong high)
{
    if (value.typeId() != QMetaType::LongLong)
        return false;
    const qlonglong n = value.toLongLong();
    return n >= low && n <= high;
}

const QString &textOf(const QVariant &value)
{
    return *static_cast<const QString *>(value.constData());
}

// Access keeps no control character but tab and line breaks in a text; a
// replacement character means bytes that were not text.
bool plainText(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return false;
    for (const QChar c : textOf(value)) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\r' && u != u'\n') || u == 0xFFFD)
            return false;
    }
    return true;
}

} // namespace

bool fits(const Column &column, const QVariant &value)
{
    if (!value.isValid())
        return column.kind != ColumnKind::Counter;
    constexpr qlonglong int32Max = std::numeric_limits<qint32>::max();
    switch (column.kind) {
    case ColumnKind::Text:
        return plainText(value) && (column.size == 0 || textOf(value).size() <= qsizetype(column.size));
    case ColumnKind::Memo: return plainText(value);
    case ColumnKind::Byte: return between(value, 0, 255);
    case ColumnKind::Integer: return between(value, -32768, 32767);
    case ColumnKind::Long: return between(value, -int32Max - 1, int32Max);
    case ColumnKind::Counter: return between(value, 1, int32Max);
    case ColumnKind::Single:
    case ColumnKind::Double:
    case ColumnKind::Money:
    case ColumnKind::Numeric: return value.typeId() == QMetaType::Double && std::isfinite(value.toDouble());
    case ColumnKind::DateTime: {
        const QDateTime when = value.toDateTime();
        return value.typeId() == QMetaType::QDateTime && when.isValid() && when.date().year() >= 100
               && when.date().year() <= 9999;
    }
    case ColumnKind::Bool: return value.typeId() == QMetaType::Bool;
    case ColumnKind::Other: return true;
    }
    return false;
}

} // namespace accessvalues

AccessIntake::AccessIntake(AccessContent &content, QStringList asked)
    : m_content(content)
    , m_asked(std::move(asked))
{
}

bool AccessIntake::take(const Frame &frame)
{
    if (m_done)
        return false;
    if (const auto *d = std::get_if<Diagnostic>(&frame)) {
        Q_UNUSED(d);
        ++m_pending;
        return true;
    }
    if (const auto *hello = std::get_if<Hello>(&frame)) {
        if (m_hello)
            return false;
        m_hello = true;
        m_content.format = hello->format;
        return true;
    }
    if (const auto *catalog = std::get_if<Catalog>(&frame)) {
        if (!m_hello || m_catalog)
            return false;
        m_catalog = true;
        m_content.catalogRead = true;
        m_content.catalog = catalog->tables;
        m_content.catalogDiagnostics += std::exchange(m_pending, 0);
        return true;
    }
    if (const auto *table = std::get_if<Table>(&frame)) {
        // Only a table of the catalog, asked for and not read before.
        if (!m_catalog || m_inTable || !unread().contains(table->name)
            || (!m_asked.isEmpty() && !m_asked.contains(table->name)))
            return false;
        AccessTable t;
        t.name = table->name;
        t.begun = true;
        t.declared = table->declaredRows;
        t.columns = table->columns;
        t.diagnostics = std::exchange(m_pending, 0);
        m_content.tables.append(t);
        m_inTable = true;
        m_counters.clear();
        m_counters.reserve(std::min<qsizetype>(t.declared, 1 << 20));
        return true;
    }
    if (const auto *row = std::get_if<Row>(&frame))
        return m_inTable && takeRow(*row);
    if (const auto *end = std::get_if<TableEnd>(&frame)) {
        if (!m_inTable || end->rows != current().rows.size() + current().rejected)
            return false;
        current().ended = true;
        current().diagnostics += std::exchange(m_pending, 0);
        m_inTable = false;
        return true;
    }
    if (const auto *failure = std::get_if<Failure>(&frame))
        return takeFailure(*failure);
    // Done: nothing may be left half-said.
    if (m_inTable || !(m_catalog || m_content.catalogRead || !m_content.unreadable.isEmpty()))
        return false;
    m_done = true;
    return true;
}

bool AccessIntake::takeFailure(const Failure &failure)
{
    const QString why = failure.message.isEmpty() ? QStringLiteral("illisible") : failure.message;
    if (failure.table.isEmpty()) {
        if (m_catalog || m_inTable)
            return false;
        // A later child that cannot open the file again: its first table.
        stopped(why);
        return true;
    }
    if (m_inTable) {
        if (current().name != failure.table)
            return false;
        m_inTable = false;
    } else {
        if (!m_catalog || !unread().contains(failure.table))
            return false;
        AccessTable t;
        t.name = failure.table;
        m_content.tables.append(t);
    }
    current().failure = why;
    current().diagnostics += std::exchange(m_pending, 0);
    return true;
}

bool AccessIntake::takeRow(const Row &row)
{
    AccessTable &t = current();
    if (row.values.size() != t.columns.size())
        return false;
    const bool complained = m_pending > 0;
    t.diagnostics += std::exchange(m_pending, 0);
    qsizetype bytes = 0;
    bool fit = true;
    for (qsizetype c = 0; c < row.values.size(); ++c) {
        const QVariant &value = row.values[c];
        const Column &column = t.columns[c];
        bytes +=
            32
            + (value.typeId() == QMetaType::QString ? static_cast<const QString *>(value.constData())->size() * 2 : 0);
        if (!accessvalues::fits(column, value))
            fit = false;
        else if (column.kind == ColumnKind::Counter && m_counters.contains(value.toLongLong()))
            fit = false; // the same practice number twice: one of them is damage
    }
    if (!fit) {
        ++t.rejected;
        return true;
    }
    m_bytes += bytes;
    if (m_bytes > kMaxBytes)
        return false;
    if (complained) {
        ++t.withErrors;
        for (qsizetype c = 0; c < row.values.size(); ++c) {
            // A null memo is one the row never had.
            if (t.columns[c].kind == ColumnKind::Memo && row.values[c].typeId() == QMetaType::QString
                && row.values[c].toString().isEmpty())
                ++t.memosLost[t.columns[c].name];
        }
    }
    for (qsizetype c = 0; c < row.values.size(); ++c) {
        if (t.columns[c].kind == ColumnKind::Counter)
            m_counters.insert(row.values[c].toLongLong());
    }
    t.rows.append(row.values);
    return true;
}

void AccessIntake::stopped(const QString &why)
{
    // Anything after the end is as wrong as an end that never came: nothing
    // the child said is trusted.
    if (m_done) {
        m_content.unreadable = why;
        return;
    }
    if (m_inTable) {
        current().failure = why;
        current().diagnostics += std::exchange(m_pending, 0);
        m_inTable = false;
        return;
    }
    if (!m_content.catalogRead) {
        if (m_content.unreadable.isEmpty())
            m_content.unreadable = why;
        return;
    }
    // Between two tables: the next one it was to read.
    const QStringList left = unread();
    const QStringList order = m_asked.isEmpty() ? m_content.catalog : m_asked;
    for (const QString &name : order) {
        if (left.contains(name)) {
            AccessTable t;
            t.name = name;
            t.failure = why;
            t.diagnostics = std::exchange(m_pending, 0);
            m_content.tables.append(t);
            return;
        }
    }
}

QStringList AccessIntake::unread() const
{
    QStringList left;
    for (const QString &name : m_content.catalog) {
        bool seen = false;
        for (const AccessTable &t : m_content.tables)
            seen = seen || t.name == name;
        if (!seen)
            left.append(name);
    }
    return left;
}

} // namespace tv
