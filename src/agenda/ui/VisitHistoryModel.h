#pragma once

#include "common/ui/DayListModel.h"
#include "store/tables/Records.h"

#include <functional>

namespace tv {

// LstHist: the doctor's appointments before today, newest day first and,
// within a day, the laboratories in reverse order, any case. Lines have no
// tooltip.
class VisitHistoryModel : public DayListModel {
    Q_OBJECT
public:
    using Count = std::function<int()>;
    using Read = std::function<DayPage<VisiteRecord>(const DayRange &range, bool newestFirst, int limit)>;

    using DayListModel::DayListModel;

    // The list's rows as the store reads them.
    static Source source(Count count, Read read);
    QString tip(int) const override { return {}; }
};

} // namespace tv
