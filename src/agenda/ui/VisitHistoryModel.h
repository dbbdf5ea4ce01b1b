#pragma once

#include "common/ui/Widgets.h"
#include "store/tables/Records.h"

#include <QDate>
#include <QList>
#include <functional>

namespace tv {

// LstHist: the doctor's appointments before today, newest first, read from
// the store a page at a time as the list is scrolled. Bookings, deletions
// and purges move single rows, so the part already read stays in place.
class VisitHistoryModel : public LineModel {
    Q_OBJECT
public:
    // Reads `limit` rows from `offset` in the list's order; fewer at the end.
    using Reader = std::function<QList<VisiteRecord>(int offset, int limit)>;

    using LineModel::LineModel;

    // The doctor's list from its first page.
    void show(const QString &medecin, const QDate &today, Reader reader);
    void clear() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QString line(int row) const override;
    QString tip(int) const override { return {}; }
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // One appointment added to or removed from the store (the removed one
    // is the oldest row of that laboratory on that day, as the store does).
    void added(const VisiteRecord &visite);
    void removed(const VisiteRecord &visite);
    void removedYear(const QString &an);

    static constexpr int FirstPage = 100; // more than a list shows at once
    static constexpr int NextPage = 1000;

private:
    bool belongs(const VisiteRecord &visite) const;
    void read(int limit);

    QString m_medecin;
    QDate m_today;
    Reader m_reader;
    QList<VisiteRecord> m_rows;
    bool m_more = false;
};

} // namespace tv
