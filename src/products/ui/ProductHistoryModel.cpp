#include "products/ui/ProductHistoryModel.h"

#include <utility>

namespace tv {

void ProductHistoryModel::show(history::Mode mode, Reader reader)
{
    beginResetModel();
    m_mode = mode;
    m_reader = std::move(reader);
    m_keys.clear();
    m_before.clear();
    m_more = true;
    m_keys = readPage(FirstPage);
    endResetModel();
}

void ProductHistoryModel::clear()
{
    beginResetModel();
    m_keys.clear();
    m_reader = nullptr;
    m_more = false;
    endResetModel();
}

QStringList ProductHistoryModel::readPage(int limit)
{
    const ProduitRepository::Page page = m_reader(m_before, limit);
    m_more = page.more;
    if (page.rows.isEmpty())
        return {};
    // A page holds whole days: sorting it alone gives the order of the
    // whole list.
    QStringList keys;
    keys.reserve(page.rows.size());
    for (const ProduitRecord &r : page.rows)
        keys.append(history::key(m_mode, r));
    history::newestFirst(keys);
    m_before = page.rows.constLast().date;
    return keys;
}

int ProductHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_keys.size());
}

QString ProductHistoryModel::line(int row) const
{
    return history::lineOfKey(m_keys.at(row));
}

bool ProductHistoryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_more && m_reader;
}

void ProductHistoryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const QStringList page = readPage(NextPage);
    if (page.isEmpty())
        return;
    const int first = static_cast<int>(m_keys.size());
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    m_keys.append(page);
    endInsertRows();
}

} // namespace tv
