#include "agenda/core/Booking.h"

#include <QRegularExpression>

namespace tv::booking {

QuotaCheck checkAnnualQuota(const std::optional<QString> &quota, int booked, const QString &labo, const QString &year)
{
    if (!quota)
        return {};
    bool ok = false;
    const int allowed = quota->trimmed().toInt(&ok);
    if (!ok)
        return {};
    const QString head = QStringLiteral("Les ") + QString::number(allowed) + QStringLiteral(" visites accordées à ")
                         + labo + QStringLiteral(" pour l'année ") + year;
    if (booked == allowed)
        return {false, head + QStringLiteral(" ont été atteintes.")};
    if (booked > allowed)
        return {false,
                head + QStringLiteral(" sont déjà dépassées (déjà ") + QString::number(booked) + QStringLiteral(" ).")};
    return {};
}

QString confirmQuestion()
{
    return QStringLiteral("Voulez-vous quand même enregistrer ce RV ?");
}

QString noDateMessage()
{
    return QStringLiteral("Aucune date n'est fixée !");
}

QString duplicateMessage(const QString &labo, const QString &medecin, const QString &dateJMA)
{
    return labo + QStringLiteral(" a déjà un RV avec ") + medecin + QStringLiteral(" le  ") + dateJMA;
}

std::optional<DayKey> parseDateJMA(const QString &text)
{
    // Anchored: "$" alone would also accept a line end after the year.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("(\\d{2})/(\\d{2})/(\\d{4})")));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return DayKey{m.captured(1), m.captured(2), m.captured(3)};
}

TimeEntry completeTime(const QString &typed)
{
    if (typed.isEmpty())
        return {};
    static const QRegularExpression shape(QRegularExpression::anchoredPattern(QStringLiteral("\\d{2}H\\d{0,2}")));
    if (!shape.match(typed).hasMatch())
        return {QString(), true};
    switch (typed.size()) {
    case 3: return {typed + QStringLiteral("00"), false};
    case 4: return {typed + QStringLiteral("0"), false};
    default: return {typed, false};
    }
}

QString incompleteTimeMessage()
{
    return QStringLiteral("Heure incomplètement précisée !");
}

} // namespace tv::booking
