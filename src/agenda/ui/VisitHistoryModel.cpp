#include "agenda/ui/VisitHistoryModel.h"

#include "agenda/core/AppointmentLists.h"
#include "store/tables/VisiteRepository.h"

namespace tv {

DayListModel::Source VisitHistoryModel::source(Count count, Read read)
{
    Source source;
    source.count = std::move(count);
    source.read = [read = std::move(read)](const Span &span, bool newestFirst, int limit) {
        const DayPage<VisiteRecord> visits = read({span.newest, span.oldest, span.inclusive}, newestFirst, limit);
        Page page;
        page.more = visits.more;
        page.rows.reserve(visits.rows.size());
        for (const VisiteRecord &v : visits.rows)
            page.rows.append({VisiteRepository::dayOf(v), v.labo.toCaseFolded(), v.numVisite, rvlists::historyLine(v)});
        return page;
    };
    return source;
}

} // namespace tv
