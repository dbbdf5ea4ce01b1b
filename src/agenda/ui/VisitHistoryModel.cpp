#include "agenda/ui/VisitHistoryModel.h"

#include "agenda/core/AppointmentLists.h"

#include <algorithm>
#include <limits>

namespace tv {

namespace {

// The list's order: newest day, laboratory in reverse order any case, newest row.
bool comesBefore(const VisiteRecord &a, const VisiteRecord &b)
{
    for (const auto &[x, y] : {std::pair{&a.an, &b.an}, std::pair{&a.mois, &b.mois}, std::pair{&a.jour, &b.jour}}) {
        const int c = x->compare(*y);
        if (c != 0)
            return c > 0;
    }
    const int labo = a.labo.compare(b.labo, Qt::CaseInsensitive);
    if (labo != 0)
        return labo > 0;
    return a.numVisite > b.numVisite;
}

bool sameAppointment(const VisiteRecord &a, const VisiteRecord &b)
{
    return a.an == b.an && a.mois == b.mois && a.jour == b.jour && a.labo.compare(b.labo, Qt::CaseInsensitive) == 0;
}

} // namespace

void VisitHistoryModel::show(const QString &medecin, const QDate &today, Reader reader)
{
    beginResetModel();
    m_medecin = medecin;
    m_today = today;
    m_reader = std::move(reader);
    m_rows.clear();
    m_more = true;
    read(FirstPage);
    endResetModel();
}

void VisitHistoryModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_reader = nullptr;
    m_more = false;
    endResetModel();
}

void VisitHistoryModel::read(int limit)
{
    const QList<VisiteRecord> page = m_reader(static_cast<int>(m_rows.size()), limit);
    m_more = page.size() >= limit;
    m_rows.append(page);
}

int VisitHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QString VisitHistoryModel::line(int row) const
{
    return rvlists::historyLine(m_rows.at(row));
}

bool VisitHistoryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_more && m_reader;
}

void VisitHistoryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const int first = static_cast<int>(m_rows.size());
    const QList<VisiteRecord> page = m_reader(first, NextPage);
    m_more = page.size() >= NextPage;
    if (page.isEmpty())
        return;
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    m_rows.append(page);
    endInsertRows();
}

bool VisitHistoryModel::belongs(const VisiteRecord &visite) const
{
    const auto day = rvlists::dayOf(visite);
    return m_reader && day && *day < m_today && visite.medecin.compare(m_medecin, Qt::CaseInsensitive) == 0;
}

void VisitHistoryModel::added(const VisiteRecord &visite)
{
    if (!belongs(visite))
        return;
    // Just saved, it is the newest row of the table, whatever number the
    // store gave it.
    VisiteRecord row = visite;
    if (row.numVisite == 0)
        row.numVisite = std::numeric_limits<qint64>::max();
    const auto at = std::lower_bound(m_rows.cbegin(), m_rows.cend(), row, comesBefore);
    const int position = static_cast<int>(at - m_rows.cbegin());
    // Past the rows read so far, the next page brings it.
    if (position == m_rows.size() && m_more)
        return;
    beginInsertRows({}, position, position);
    m_rows.insert(position, row);
    endInsertRows();
}

void VisitHistoryModel::removed(const VisiteRecord &visite)
{
    if (!belongs(visite))
        return;
    // The same appointment twice shows as two rows, newest first: the store
    // removes the oldest, the last of them.
    for (int row = static_cast<int>(m_rows.size()) - 1; row >= 0; --row) {
        if (sameAppointment(m_rows.at(row), visite)) {
            beginRemoveRows({}, row, row);
            m_rows.removeAt(row);
            endRemoveRows();
            return;
        }
    }
}

void VisitHistoryModel::removedYear(const QString &an)
{
    // The list is in year order: the year's rows are one block.
    const auto first = std::find_if(m_rows.cbegin(), m_rows.cend(), [&](const VisiteRecord &v) { return v.an == an; });
    const auto last = std::find_if(first, m_rows.cend(), [&](const VisiteRecord &v) { return v.an != an; });
    if (first == last)
        return;
    const int from = static_cast<int>(first - m_rows.cbegin());
    const int to = static_cast<int>(last - m_rows.cbegin());
    beginRemoveRows({}, from, to - 1);
    m_rows.remove(from, to - from);
    endRemoveRows();
}

} // namespace tv
