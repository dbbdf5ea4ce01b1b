#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace tv {

// Copies the data files (databases, medicines and agenda lists, settings)
// from one folder to another. Each file is written beside its destination
// under a temporary name and renamed into place, so a failed copy never
// leaves a half-written file; it is noted and the copy goes on.
namespace datacopy {

// The kinds copied, in this order.
QStringList kinds(); // *.mdb, *.txt, *.ini

enum class Outcome { Copied, Replaced, Declined, KeptBack, Failed };

struct FileResult {
    QString name;
    Outcome outcome = Outcome::Copied;
    QString reason; // French, for Failed
};

struct Options {
    QString source;        // folder, no trailing separator
    QString destination;   // folder, no trailing separator
    QString programFolder; // its Vs.ini stays behind
    // Asked for a destination file that exists; true = replace it.
    std::function<bool(const QString &target)> confirmReplace;
    std::function<void(int done, int total, const QString &name)> progress;
    // Tests: called before each file is written; may throw StoreError.
    std::function<void(const QString &name)> beforeWrite;
};

QList<FileResult> copyDataFiles(const Options &options);

// Creates `folder` when nothing of that name exists; an existing folder is
// used as it is. Throws StoreError (a file of that name, or refused).
void ensureFolder(const QString &folder);

// A French reason when files cannot be written into `folder`, else "".
QString unwritableReason(const QString &folder);

} // namespace datacopy
} // namespace tv
