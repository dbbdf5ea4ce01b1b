#include "outputs/core/QuotaChartData.h"

#include <algorithm>

namespace tv::outputs {

namespace {

double share(const QuotaBar &bar)
{
    return bar.quota > 0 ? double(bar.booked()) / bar.quota : 0.0;
}

} // namespace

QList<QuotaBar> quotaBars(const QList<VisiteRecord> &visits, const QHash<QString, QString> &quotas, int year,
                          const QDate &today)
{
    // Keys folded: the database matches laboratory names without case.
    QHash<QString, QuotaBar> byLabo;
    for (auto it = quotas.cbegin(); it != quotas.cend(); ++it) {
        bool ok = false;
        const int quota = it.value().trimmed().toInt(&ok);
        if (ok && quota >= 0) {
            QuotaBar &bar = byLabo[it.key().trimmed().toUpper()];
            bar.labo = it.key().trimmed();
            bar.quota = quota;
        }
    }
    const QString yearText = QString::number(year);
    for (const VisiteRecord &v : visits) {
        if (v.an.trimmed() != yearText)
            continue;
        QuotaBar &bar = byLabo[v.labo.trimmed().toUpper()];
        if (bar.labo.isEmpty())
            bar.labo = v.labo.trimmed();
        const QDate date(year, v.mois.toInt(), v.jour.toInt());
        ++(date.isValid() && date < today ? bar.past : bar.future);
    }
    QList<QuotaBar> bars;
    bars.reserve(byLabo.size());
    for (const QuotaBar &bar : std::as_const(byLabo))
        if (bar.quota > 0 || bar.booked() > 0)
            bars.append(bar);
    std::sort(bars.begin(), bars.end(), [](const QuotaBar &a, const QuotaBar &b) {
        if (a.booked() != b.booked())
            return a.booked() > b.booked();
        if (share(a) != share(b))
            return share(a) > share(b);
        return a.labo < b.labo;
    });
    return bars;
}

QList<QuotaBar> keepTop(const QList<QuotaBar> &bars, int keep)
{
    if (bars.size() <= keep)
        return bars;
    QList<QuotaBar> result = bars.mid(0, keep);
    QuotaBar rest{QString(), 0, 0, 0, 0};
    for (qsizetype i = keep; i < bars.size(); ++i) {
        rest.past += bars[i].past;
        rest.future += bars[i].future;
        rest.quota += std::max(bars[i].quota, 0);
        rest.laboratories += bars[i].laboratories;
    }
    rest.labo = QStringLiteral("Autres (%1 laboratoires)").arg(rest.laboratories);
    result.append(rest);
    return result;
}

QString barCaption(const QuotaBar &bar)
{
    QString caption = bar.labo;
    if (bar.quota >= 0)
        caption += QStringLiteral("  %1/%2").arg(bar.booked()).arg(bar.quota);
    if (bar.overQuota() && bar.laboratories == 1)
        caption += QStringLiteral("  ⚠ dépassé");
    return caption;
}

} // namespace tv::outputs
