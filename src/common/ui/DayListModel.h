#pragma once

#include "common/ui/Widgets.h"

#include <QList>
#include <functional>
#include <optional>

namespace tv {

// A long dated list, newest day first, that behaves as a whole list: its
// length is counted first, so the scroll bar, End and the tests see every
// row, while the rows themselves are read only around what the view shows,
// whole days at a time, from the newest or from the oldest end, whichever
// is nearer. Each read is bounded by the days already read on both sides,
// so a row another workstation writes meanwhile can neither show twice nor
// push one out. A refresh reads the days already read again and moves only
// the rows that changed: the selection and the scroll position stay.
class DayListModel : public LineModel {
    Q_OBJECT
public:
    struct Row {
        QString day;   // "yyyy-mm-dd"
        QString order; // within one day, the greater comes first
        qint64 id = 0; // the table's counter: last tie and identity
        QString line;
    };
    // The days strictly between `oldest` and `newest` ("" for no bound), or
    // including them when `inclusive`.
    struct Span {
        QString newest;
        QString oldest;
        bool inclusive = false;
    };
    struct Page {
        QList<Row> rows;   // whole days
        bool more = false; // the span holds rows beyond them
    };
    struct Source {
        std::function<int()> count;
        // At least `limit` rows of the span unless it ends there, whole
        // days, from its newest day or from its oldest.
        std::function<Page(const Span &span, bool newestFirst, int limit)> read;
        // The same reads asked for without their answers (optional), so
        // that a refresh's reads reach a server together: see askRefresh().
        std::function<void()> askCount;
        std::function<void(const Span &span, bool newestFirst, int limit)> ask;
        explicit operator bool() const { return count && read; }
    };

    using LineModel::LineModel;

    // The list from its newest rows.
    void show(Source source);
    // The rows read so far read again, with the same source or a new one
    // (the day changed); nothing when nothing is shown.
    void refresh();
    void refresh(Source source);
    // Asks `source` for the reads refresh() will make, which it then takes
    // when both run within one ReadAhead: one round trip to a server.
    void askRefresh(const Source &source) const;
    void clear() override;
    bool isShown() const { return static_cast<bool>(m_source); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QString line(int row) const override;
    void prepareRows(int first, int last) override;

    static constexpr int FirstPage = 100; // more than a list shows at once
    static constexpr int Margin = 200;    // read beyond what is asked

protected:
    // The order of two rows of the same day: true when `a` comes first.
    virtual bool firstInDay(const Row &a, const Row &b) const;

private:
    bool comesBefore(const Row &a, const Row &b) const;
    bool same(const Row &a, const Row &b) const;
    Page read(const Span &span, bool newestFirst, int limit) const;
    Span gapSpan() const;
    // What refresh() reads again: the days read from each end.
    struct Reread {
        Span top;
        int topLimit = 0;
        std::optional<Span> bottom;
    };
    Reread reread() const;
    void fillGap(bool fromTop, int limit);
    void resizeGap(int rows);
    // Brings `rows`, at `offset` in the list, to `target` one change at a
    // time, each announced to the view.
    void merge(QList<Row> &rows, const QList<Row> &target, int offset);

    Source m_source;
    QList<Row> m_top;    // read from the newest end
    int m_gap = 0;       // rows not read yet between the two
    QList<Row> m_bottom; // read from the oldest end
};

} // namespace tv
