#pragma once

#include "common/ui/DayListModel.h"
#include "products/core/HistoryLines.h"
#include "store/tables/Records.h"

#include <functional>

namespace tv {

// LstHistPr: a doctor's products history, whole or filtered, newest day
// first and, within a day, the keys in descending French order, letter case
// aside, like the other lists. Each line is its own tooltip, long ones being
// read there.
class ProductHistoryModel : public DayListModel {
    Q_OBJECT
public:
    using Count = std::function<int()>;
    using Read = std::function<DayPage<ProduitRecord>(const DayRange &range, bool newestFirst, int limit)>;

    using DayListModel::DayListModel;

    // The rows of the mode's layout as the store reads them.
    static Source source(history::Mode mode, Count count, Read read);

protected:
    bool firstInDay(const Row &a, const Row &b) const override;
};

} // namespace tv
