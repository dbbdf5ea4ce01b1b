#pragma once

#include "common/ui/Widgets.h"
#include "products/core/HistoryLines.h"
#include "store/tables/ProduitRepository.h"

#include <QStringList>
#include <functional>

namespace tv {

// LstHistPr: a doctor's products history, whole or filtered, read from the
// store whole days at a time as the list is scrolled. Each line is its own
// tooltip, long ones being read there.
class ProductHistoryModel : public LineModel {
    Q_OBJECT
public:
    // The days before `beforeDate` ("" from the newest), at least `limit` rows.
    using Reader = std::function<ProduitRepository::Page(const QString &beforeDate, int limit)>;

    using LineModel::LineModel;

    void show(history::Mode mode, Reader reader);
    void clear() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QString line(int row) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    static constexpr int FirstPage = 100; // more than a list shows at once
    static constexpr int NextPage = 1000;

private:
    QStringList readPage(int limit); // the next days' keys, sorted

    history::Mode m_mode = history::Mode::All;
    Reader m_reader;
    QStringList m_keys; // history::key of each row, in the list's order
    QString m_before;   // the oldest day read
    bool m_more = false;
};

} // namespace tv
