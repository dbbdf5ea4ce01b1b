#include "common/ui/DayListModel.h"

#include <algorithm>
#include <limits>

namespace tv {

namespace {
constexpr int kWhole = std::numeric_limits<int>::max() / 2; // every row of a span
} // namespace

bool DayListModel::firstInDay(const Row &a, const Row &b) const
{
    return a.order > b.order;
}

bool DayListModel::comesBefore(const Row &a, const Row &b) const
{
    if (a.day != b.day)
        return a.day > b.day;
    if (firstInDay(a, b))
        return true;
    if (firstInDay(b, a))
        return false;
    return a.id > b.id;
}

bool DayListModel::same(const Row &a, const Row &b) const
{
    return a.id == b.id && a.day == b.day && a.order == b.order;
}

DayListModel::Page DayListModel::read(const Span &span, bool newestFirst, int limit) const
{
    Page page = m_source.read(span, newestFirst, limit);
    std::sort(page.rows.begin(), page.rows.end(), [this](const Row &a, const Row &b) { return comesBefore(a, b); });
    return page;
}

void DayListModel::show(Source source)
{
    beginResetModel();
    m_source = std::move(source);
    m_top.clear();
    m_bottom.clear();
    m_gap = 0;
    if (m_source) {
        Page first = read({}, true, FirstPage);
        m_top = std::move(first.rows);
        // Counted only when there is more than one page to show.
        if (first.more)
            m_gap = std::max(m_source.count() - static_cast<int>(m_top.size()), 1);
    }
    endResetModel();
}

void DayListModel::clear()
{
    beginResetModel();
    m_source = {};
    m_top.clear();
    m_bottom.clear();
    m_gap = 0;
    endResetModel();
}

int DayListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_top.size() + m_bottom.size()) + m_gap;
}

QString DayListModel::line(int row) const
{
    if (row >= 0 && row < m_top.size())
        return m_top.at(row).line;
    const qsizetype inBottom = row - m_top.size() - m_gap;
    return inBottom >= 0 && inBottom < m_bottom.size() ? m_bottom.at(inBottom).line : QString();
}

DayListModel::Span DayListModel::gapSpan() const
{
    return {m_top.isEmpty() ? QString() : m_top.constLast().day,
            m_bottom.isEmpty() ? QString() : m_bottom.constFirst().day, false};
}

void DayListModel::prepareRows(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    while (m_source && m_gap > 0 && first <= last) {
        const int top = static_cast<int>(m_top.size());
        const int end = top + m_gap;
        if (last < top || first >= end)
            return;
        // From whichever end of the gap is nearer to the rows asked for.
        const int down = std::min(last, end - 1) - top + 1;
        const int up = end - std::max(first, top);
        fillGap(down <= up, std::min(down, up) + Margin);
    }
}

void DayListModel::fillGap(bool fromTop, int limit)
{
    Page page = read(gapSpan(), fromTop, limit);
    const int read = static_cast<int>(page.rows.size());
    // The gap holds what was read and, when the span goes on, one row more
    // at least: the count it was sized by may be out of date.
    resizeGap(page.more && read > 0 ? std::max(m_gap, read + 1) : read);
    if (read == 0)
        return;
    const int first = fromTop ? static_cast<int>(m_top.size()) : static_cast<int>(m_top.size()) + m_gap - read;
    if (fromTop)
        m_top.append(page.rows);
    else
        m_bottom = page.rows + m_bottom;
    m_gap -= read;
    emit dataChanged(index(first), index(first + read - 1));
}

void DayListModel::resizeGap(int rows)
{
    const int at = static_cast<int>(m_top.size());
    if (rows > m_gap) {
        beginInsertRows({}, at + m_gap, at + rows - 1);
        m_gap = rows;
        endInsertRows();
    } else if (rows < m_gap) {
        beginRemoveRows({}, at + rows, at + m_gap - 1);
        m_gap = rows;
        endRemoveRows();
    }
}

void DayListModel::refresh(Source source)
{
    if (!m_source)
        return;
    m_source = std::move(source);
    refresh();
}

DayListModel::Reread DayListModel::reread() const
{
    Reread r;
    r.top = m_top.isEmpty() ? Span{} : Span{QString(), m_top.constLast().day, true};
    r.topLimit = m_top.isEmpty() ? FirstPage : kWhole;
    if (!m_bottom.isEmpty())
        r.bottom = Span{m_bottom.constFirst().day, QString(), true};
    return r;
}

void DayListModel::askRefresh(const Source &source) const
{
    if (!m_source || !source.ask || !source.askCount)
        return;
    const Reread r = reread();
    source.ask(r.top, true, r.topLimit);
    if (r.bottom)
        source.ask(*r.bottom, false, kWhole);
    // An empty list needs its count only when it grew past a page.
    if (!m_top.isEmpty() || !m_bottom.isEmpty())
        source.askCount();
}

void DayListModel::refresh()
{
    if (!m_source)
        return;
    // The days read so far, read again whole; the count tells how many rows
    // lie between them now.
    const Reread r = reread();
    const Page top = read(r.top, true, r.topLimit);
    const Page bottom = r.bottom ? read(*r.bottom, false, kWhole) : Page{};
    const int known = static_cast<int>(top.rows.size() + bottom.rows.size());
    const bool wholeList = m_top.isEmpty() && m_bottom.isEmpty() && !top.more;
    const int gap = wholeList ? 0 : std::max(m_source.count() - known, top.more ? 1 : 0);
    merge(m_top, top.rows, 0);
    resizeGap(gap);
    merge(m_bottom, bottom.rows, static_cast<int>(m_top.size()) + m_gap);
}

void DayListModel::merge(QList<Row> &rows, const QList<Row> &target, int offset)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < rows.size() || j < target.size()) {
        if (i < rows.size() && j < target.size() && same(rows.at(i), target.at(j))) {
            if (rows.at(i).line != target.at(j).line) {
                rows[i].line = target.at(j).line;
                emit dataChanged(index(offset + i), index(offset + i));
            }
            ++i;
            ++j;
        } else if (j == target.size() || (i < rows.size() && comesBefore(rows.at(i), target.at(j)))) {
            // Gone: this row and those after it that come before the next kept one.
            qsizetype end = i + 1;
            while (end < rows.size() && (j == target.size() || comesBefore(rows.at(end), target.at(j))))
                ++end;
            beginRemoveRows({}, static_cast<int>(offset + i), static_cast<int>(offset + end - 1));
            rows.remove(i, end - i);
            endRemoveRows();
        } else {
            qsizetype end = j + 1;
            while (end < target.size() && (i == rows.size() || comesBefore(target.at(end), rows.at(i))))
                ++end;
            beginInsertRows({}, static_cast<int>(offset + i), static_cast<int>(offset + i + end - j - 1));
            for (qsizetype k = j; k < end; ++k)
                rows.insert(i + k - j, target.at(k));
            endInsertRows();
            i += end - j;
            j = end;
        }
    }
}

} // namespace tv
