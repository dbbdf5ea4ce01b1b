#include "products/ui/ProductHistoryModel.h"

#include "common/core/ListOrder.h"

namespace tv {

DayListModel::Source ProductHistoryModel::source(history::Mode mode, Count count, Read read)
{
    Source source;
    source.count = std::move(count);
    source.read = [mode, read = std::move(read)](const Span &span, bool newestFirst, int limit) {
        const DayPage<ProduitRecord> visits = read({span.newest, span.oldest, span.inclusive}, newestFirst, limit);
        Page page;
        page.more = visits.more;
        page.rows.reserve(visits.rows.size());
        for (const ProduitRecord &r : visits.rows) {
            const QString key = history::key(mode, r);
            page.rows.append({r.date, key, r.numProduit, history::lineOfKey(key)});
        }
        return page;
    };
    return source;
}

bool ProductHistoryModel::firstInDay(const Row &a, const Row &b) const
{
    return listorder::less(b.order, a.order);
}

} // namespace tv
