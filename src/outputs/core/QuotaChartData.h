#pragma once

#include "store/tables/Records.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

// The bars of the yearly visits-against-quota chart of one doctor.
namespace tv::outputs {

struct QuotaBar {
    QString labo;
    int past = 0;         // visits before today
    int future = 0;       // today's and later
    int quota = -1;       // -1: no quota set
    int laboratories = 1; // > 1 for the bar summing the rest

    int booked() const { return past + future; }
    bool overQuota() const { return quota >= 0 && booked() > quota; }
    // What is left of the quota, 0 when none is set or it is used up.
    int remaining() const { return quota > booked() ? quota - booked() : 0; }
    friend bool operator==(const QuotaBar &, const QuotaBar &) = default;
};

// One bar per laboratory that has a quota or a visit in the year, the most
// used first (visits booked, then share of the quota, then name). Quotas
// are the Passage texts by laboratory; an empty or damaged text is no quota.
QList<QuotaBar> quotaBars(const QList<VisiteRecord> &visits, const QHash<QString, QString> &quotas, int year,
                          const QDate &today);

// The first `keep` bars, the others summed into one "Autres" bar so that a
// practice with hundreds of laboratories stays readable.
QList<QuotaBar> keepTop(const QList<QuotaBar> &bars, int keep);

// The bar's caption: the name, marked when the quota is exceeded.
QString barCaption(const QuotaBar &bar);

} // namespace tv::outputs
