#include "outputs/core/OutputDocument.h"

#include "agenda/core/AgendaFormat.h"
#include "agenda/core/AppointmentLists.h"

#include <algorithm>

namespace tv::outputs {

namespace {

constexpr QChar kDash(0x2014);

QString kindStyle(RowKind kind)
{
    switch (kind) {
    case RowKind::Holiday: return QStringLiteral(" style=\"background-color:#eef1fc\"");
    case RowKind::Full: return QStringLiteral(" style=\"background-color:#f2d546\"");
    case RowKind::Absent: return QStringLiteral(" style=\"background-color:#d0d0d0\"");
    case RowKind::Plain: break;
    }
    return {};
}

// The state column of a day: holiday name, then absence or full day.
QString dayState(const QString &holiday, bool absent, bool full)
{
    QStringList parts;
    if (!holiday.isEmpty())
        parts.append(holiday);
    if (absent)
        parts.append(QStringLiteral("Absent"));
    else if (full)
        parts.append(QStringLiteral("Complet"));
    return parts.join(QStringLiteral(" ; "));
}

} // namespace

QString OutputDocument::heading() const
{
    QStringList parts;
    for (const QString &part : {doctor, title, period})
        if (!part.isEmpty())
            parts.append(part);
    return parts.join(QStringLiteral(" ") + kDash + QStringLiteral(" "));
}

QString dayLaboratories(QList<VisiteRecord> visits)
{
    // Untimed visits after the timed ones; "10H30" texts sort as times.
    std::sort(visits.begin(), visits.end(), [](const VisiteRecord &a, const VisiteRecord &b) {
        if (a.heure.isEmpty() != b.heure.isEmpty())
            return b.heure.isEmpty();
        if (a.heure != b.heure)
            return a.heure < b.heure;
        return a.labo < b.labo;
    });
    QStringList names;
    for (const VisiteRecord &v : visits)
        names.append(v.heure.isEmpty() ? v.labo : v.labo + QStringLiteral(" (") + v.heure + QLatin1Char(')'));
    return names.join(QStringLiteral(", "));
}

OutputDocument monthDocument(const MonthInput &in)
{
    OutputDocument doc;
    doc.title = QStringLiteral("Agenda du mois");
    doc.doctor = in.doctor;
    doc.period = rvlists::monthName(in.month - 1) + QLatin1Char(' ') + QString::number(in.year);
    doc.printed = in.printed;
    doc.columns = {QStringLiteral("Jour"), QStringLiteral("Date"), QStringLiteral("Férié / état"),
                   QStringLiteral("Laboratoires")};
    doc.widths = {11, 12, 22, 55};
    QHash<QString, QList<VisiteRecord>> byDay;
    for (const VisiteRecord &v : in.visits)
        byDay[v.jour.trimmed()].append(v);
    int booked = 0;
    for (QDate date(in.year, in.month, 1); date.isValid() && date.month() == in.month; date = date.addDays(1)) {
        const QString dd = QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
        const QList<VisiteRecord> day = byDay.value(dd);
        booked += static_cast<int>(day.size());
        const QString jma = calendar::formatJMA(date);
        const QString holiday = Jour_Ferie(in.joursFeries, jma).value_or(QString());
        const bool absent = agendaformat::isAbsence(in.absenceText, jma);
        const bool full = Max_Visiteurs_Atteint(calendar::weekdayName(date), static_cast<int>(day.size()), in.maxJour);
        DocumentRow row{{calendar::weekdayName(date), jma, dayState(holiday, absent, full), dayLaboratories(day)},
                        RowKind::Plain};
        row.kind = absent               ? RowKind::Absent
                   : full               ? RowKind::Full
                   : !holiday.isEmpty() ? RowKind::Holiday
                                        : RowKind::Plain;
        doc.rows.append(row);
    }
    doc.summary = QString::number(booked) + QStringLiteral(" laboratoire(s) reçu(s) dans le mois");
    return doc;
}

OutputDocument listDocument(const QString &title, const QString &doctor, const QString &period,
                            const QStringList &lines, const QDate &printed)
{
    OutputDocument doc{title, doctor, period, printed, false, {}, {}, {}, {}};
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty())
            doc.rows.append({{line.trimmed()}, RowKind::Plain});
    return doc;
}

QString toHtml(const OutputDocument &doc)
{
    QString html = QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                  "style=\"border-collapse:collapse\">");
    if (!doc.columns.isEmpty()) {
        html += QStringLiteral("<thead><tr>");
        for (qsizetype i = 0; i < doc.columns.size(); ++i) {
            const QString width =
                i < doc.widths.size() ? QStringLiteral(" width=\"%1%\"").arg(doc.widths[i]) : QString();
            html += QStringLiteral("<th align=\"left\"") + width
                    + QStringLiteral(" style=\"background-color:#dddddd\">") + doc.columns[i].toHtmlEscaped()
                    + QStringLiteral("</th>");
        }
        html += QStringLiteral("</tr></thead>");
    }
    for (const DocumentRow &row : doc.rows) {
        html += QStringLiteral("<tr") + kindStyle(row.kind) + QLatin1Char('>');
        for (const QString &cell : row.cells)
            html +=
                QStringLiteral("<td style=\"white-space:pre-wrap\">") + cell.toHtmlEscaped() + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (!doc.summary.isEmpty())
        html += QStringLiteral("<p>") + doc.summary.toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

} // namespace tv::outputs
