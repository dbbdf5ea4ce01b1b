#pragma once

#include "maintenance/core/AccessIntake.h"

// What the user is told of an Access file that could not be read whole,
// and the report left beside it once imported.
namespace tv::accessreport {

// The report's name, beside Ancien_Ferrune.mdb.
inline const QString ReportName = QStringLiteral("Ancien_Ferrune_rapport.txt");

enum class Verdict {
    Whole,      // every row of every table the program knows
    Partial,    // some rows or tables lost: the user decides
    Unreadable, // nothing of the practice could be read
};

struct Summary {
    Verdict verdict = Verdict::Unreadable;
    // Per table of the program: the rows read and what could not be read.
    QStringList lines;
};

// A catalog without Produit is an older database, unless it holds a table
// the program does not know: that one may well be Produit, damaged.
Summary summarize(const AccessContent &content);

// Names the file, says it is damaged and left as it was, and what to try.
QString unreadableText(const QString &path);
// The lines, then whether to import what could be read; `declined` says
// what a No does ("Si vous répondez Non, ...").
QString partialQuestion(const QString &path, const QStringList &lines, const QString &declined);
// After a partial import: where the list is.
QString partialDoneText(const QString &reportPath);

// Writes the lines into ReportName in the folder of `backup`; returns its
// path. Throws StoreError.
QString writeReport(const QString &backup, const QString &source, const QStringList &lines);

} // namespace tv::accessreport
