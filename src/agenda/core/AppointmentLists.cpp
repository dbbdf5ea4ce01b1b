#include "agenda/core/AppointmentLists.h"

#include <algorithm>

namespace tv::rvlists {

namespace {

const QString kLf = QStringLiteral("\n");

// Dates sort as text in year/month/day order.
QString amj(const VisiteRecord &v)
{
    return v.an + QLatin1Char('/') + v.mois + QLatin1Char('/') + v.jour;
}

// Back from the sortable form by character positions.
QString amjToJma(const QString &s)
{
    return s.right(2) + QLatin1Char('/') + s.mid(5, 2) + QLatin1Char('/') + s.left(4);
}

// The sorting buffer of the lists orders its entries as text, letters in
// any case together.
void sortAsText(QStringList &items)
{
    std::stable_sort(items.begin(), items.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

QString timeSuffix(const QString &heure)
{
    return heure.isEmpty() ? QStringLiteral("  (libre)") : QStringLiteral("  (") + heure + QStringLiteral(")");
}

} // namespace

std::optional<QDate> dayOf(const VisiteRecord &v)
{
    bool okJ = false, okM = false, okA = false;
    const QDate d(v.an.toInt(&okA), v.mois.toInt(&okM), v.jour.toInt(&okJ));
    if (!okJ || !okM || !okA || !d.isValid())
        return std::nullopt;
    return d;
}

QString historyLine(const VisiteRecord &v)
{
    return QStringLiteral("  ") + dateJMA(v) + QStringLiteral("      ") + v.labo;
}

QString dateJMA(const VisiteRecord &v)
{
    return v.jour + QLatin1Char('/') + v.mois + QLatin1Char('/') + v.an;
}

QStringList laboDoctorLines(const QList<VisiteRecord> &visites)
{
    QStringList sorted;
    for (const VisiteRecord &v : visites)
        sorted.append(amj(v) + timeSuffix(v.heure));
    sortAsText(sorted);
    QStringList lines;
    for (auto it = sorted.crbegin(); it != sorted.crend(); ++it)
        lines.append(amjToJma(it->left(10)) + it->mid(10));
    return lines;
}

QStringList todayLines(const QList<VisiteRecord> &visites, const QDate &today)
{
    QStringList lines;
    for (const VisiteRecord &v : visites) {
        if (dayOf(v) != today)
            continue;
        QString line = QStringLiteral(" ") + v.labo;
        if (!v.heure.isEmpty())
            line += QStringLiteral("  [_ ") + v.heure + QStringLiteral(" _]");
        lines.append(line);
    }
    sortAsText(lines);
    return lines;
}

QString todayTooltip(const QString &line)
{
    QString tip = line;
    tip.remove(QLatin1Char('_'));
    return tip + QStringLiteral("  ");
}

QString laboOfTodayLine(const QString &line)
{
    return line.section(QStringLiteral("[_"), 0, 0).trimmed();
}

int todayIndexOf(const QStringList &todayLines, const QString &labo)
{
    const QString wanted = labo.trimmed();
    for (int i = 0; i < todayLines.size(); ++i) {
        if (laboOfTodayLine(todayLines.at(i)) == wanted)
            return i;
    }
    return -1;
}

QStringList historyLines(const QList<VisiteRecord> &visites, const QDate &today)
{
    QStringList sorted;
    for (const VisiteRecord &v : visites) {
        const auto d = dayOf(v);
        if (d && *d < today)
            sorted.append(amj(v) + QStringLiteral("    ") + v.labo);
    }
    sortAsText(sorted);
    QStringList lines;
    for (auto it = sorted.crbegin(); it != sorted.crend(); ++it)
        lines.append(QStringLiteral("  ") + amjToJma(it->left(10)) + QStringLiteral("  ") + it->mid(10));
    return lines;
}

QString monthName(int monthIndex)
{
    static const char *const names[] = {"Janvier", "Février", "Mars",      "Avril",   "Mai",      "Juin",
                                        "Juillet", "Août",    "Septembre", "Octobre", "Novembre", "Décembre"};
    if (monthIndex < 0 || monthIndex > 11)
        return {};
    return QString::fromUtf8(names[monthIndex]);
}

QString twoDigitMonth(int monthIndex)
{
    return QStringLiteral("%1").arg(monthIndex + 1, 2, 10, QLatin1Char('0'));
}

MonthList monthList(const QList<VisiteRecord> &visites, int monthIndex, const QString &year)
{
    const QString title = monthName(monthIndex) + QLatin1Char(' ') + year + QStringLiteral(" :  ");
    if (visites.isEmpty())
        return {{}, title + QStringLiteral("Aucun Laboratoire")};
    QStringList sorted;
    for (const VisiteRecord &v : visites)
        sorted.append(amj(v) + QStringLiteral("    ") + v.labo);
    sortAsText(sorted);
    MonthList result;
    result.lines.append(QStringLiteral("  "));
    for (const QString &item : sorted)
        result.lines.append(QStringLiteral("  ") + item.mid(8, 2) + QStringLiteral("  ") + item.mid(12));
    result.heading = title + QString::number(result.lines.size() - 1) + QStringLiteral("  Laboratoire(s)");
    return result;
}

QString dayAppointmentsText(const QList<VisiteRecord> &visites, const QString &dateJMA)
{
    if (visites.isEmpty())
        return QStringLiteral("Aucun rendez-vous n'est pris pour cette journée.");
    QString text = dateJMA + kLf + QString::number(visites.size()) + QStringLiteral(" laboratoire(s)") + kLf + kLf;
    for (const VisiteRecord &v : visites)
        text += v.labo + timeSuffix(v.heure) + kLf;
    return text;
}

QString deleteQuestion(const QString &line, const QString &medecin)
{
    return QStringLiteral("Supprimer le rendez vous du ") + line + QStringLiteral(" avec ") + medecin
           + QStringLiteral(" ?   ");
}

} // namespace tv::rvlists
