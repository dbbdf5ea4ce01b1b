#include "common/core/LiveChanges.h"

#include "store/engine/Database.h"

namespace tv::live {

namespace {

// A value the change does not give matches anything; a key matches as the
// tables compare keys, any case.
bool concerns(const QString &changed, const QString &shown)
{
    return !shown.isEmpty() && (changed.isEmpty() || foldText(changed) == foldText(shown));
}

} // namespace

bool Parts::any() const
{
    return laboratories || quota || pair || grid || today || history || products || doctors || medicines || day;
}

Parts &Parts::operator|=(const Parts &o)
{
    laboratories |= o.laboratories;
    quota |= o.quota;
    pair |= o.pair;
    grid |= o.grid;
    today |= o.today;
    history |= o.history;
    products |= o.products;
    doctors |= o.doctors;
    medicines |= o.medicines;
    day |= o.day;
    return *this;
}

Parts &Parts::operator-=(const Parts &o)
{
    laboratories &= !o.laboratories;
    quota &= !o.quota;
    pair &= !o.pair;
    grid &= !o.grid;
    today &= !o.today;
    history &= !o.history;
    products &= !o.products;
    doctors &= !o.doctors;
    medicines &= !o.medicines;
    day &= !o.day;
    return *this;
}

Parts touchedBy(const DataChange &change, const Shown &shown)
{
    using Table = DataChange::Table;
    const bool any = change.table == Table::Any;
    const bool doctor = concerns(change.medecin, shown.doctor);
    const QString todayText = shown.today.toString(Qt::ISODate);
    const QString monthPrefix = shown.year + u'-' + shown.month + u'-';
    Parts parts;
    parts.laboratories = any || change.table == Table::Labo;
    parts.quota = (any || change.table == Table::Passage) && doctor && concerns(change.labo, shown.labo);
    if (any || change.table == Table::Visite) {
        parts.pair = doctor && concerns(change.labo, shown.labo);
        parts.grid = doctor && !shown.month.isEmpty() && (change.day.isEmpty() || change.day.startsWith(monthPrefix));
        parts.today = doctor && (change.day.isEmpty() || change.day == todayText);
        parts.history = doctor && (change.day.isEmpty() || change.day < todayText);
    }
    parts.products = (any || change.table == Table::Produit) && doctor;
    return parts;
}

Parts newDay()
{
    Parts parts;
    parts.grid = parts.today = parts.history = parts.day = true;
    return parts;
}

} // namespace tv::live
