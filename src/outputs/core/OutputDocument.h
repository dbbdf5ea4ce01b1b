#pragma once

#include "agenda/core/Calendar.h"
#include "store/tables/Records.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// What a printout or a PDF holds, built from the data the visible page
// shows and kept free of any rendering so that it can be checked as data.
namespace tv::outputs {

enum class RowKind { Plain, Holiday, Full, Absent };

struct DocumentRow {
    QStringList cells;
    RowKind kind = RowKind::Plain;
};

struct OutputDocument {
    QString title;  // "Agenda du mois", "Produits présentés", ...
    QString doctor; // the practice's doctor the document is about
    QString period; // "Mars 2025", the history's filter, ...
    QDate printed;
    bool landscape = false;
    QStringList columns;
    QList<int> widths; // percent of the page width per column, may be empty
    QList<DocumentRow> rows;
    QString summary; // a closing line under the table, may be empty

    bool isEmpty() const { return rows.isEmpty(); }
    // "DR A — Agenda du mois — Mars 2025", for the page header and the PDF title.
    QString heading() const;
};

// One doctor's month as the agenda grid shows it, with the laboratories
// booked each day and their time.
struct MonthInput {
    QString doctor;
    int year = 0;
    int month = 1;              // 1..12
    QList<VisiteRecord> visits; // that month's
    QString absenceText;        // the doctor's absence lines joined
    MaxJourTable maxJour{};
    QStringList joursFeries;
    QDate printed;
};
OutputDocument monthDocument(const MonthInput &input);

// "ALPHA (10H30), BETA": the day's laboratories, timed ones first by time.
QString dayLaboratories(QList<VisiteRecord> visits);

// A list shown on screen (the month list, the products history), one row
// per non-blank line.
OutputDocument listDocument(const QString &title, const QString &doctor, const QString &period,
                            const QStringList &lines, const QDate &printed);

// The table as HTML for a rich-text document; every text escaped.
QString toHtml(const OutputDocument &document);

} // namespace tv::outputs
