#pragma once

#include "agenda/core/BookingSequence.h"
#include "store/tables/Records.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace tv::web {

// What the delegate's page shows: the laboratory's doctors (those with a
// positive quota), one doctor's month day by day, the year's quota and the
// laboratory's coming appointments. Nothing of another laboratory.
struct PageModel {
    QString token;
    QString labo;
    QStringList doctors;
    QString medecin; // "" when the laboratory has no doctor
    QDate month;     // its first day
    QDate firstMonth, lastMonth;
    QList<std::pair<QDate, booking::DayStatus>> days;
    int quota = 0;
    int used = 0;
    bool askTime = false;
    QList<VisiteRecord> coming;
    QDate today;
    QString message;
    bool error = false;
};

// The body of the page (escaped throughout).
QString renderPage(const PageModel &model);
QString pageHref(const QString &token, const QString &medecin, const QDate &month);

} // namespace tv::web
