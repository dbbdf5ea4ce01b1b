// The driver of scripts/fuzz-access.sh: reads one (mutated) Access file
// through the reader child as the import does, and prints one line:
//   file, verdict, milliseconds, peak MB of the reader child, peak MB of
//   this process, whether a whole reading gives the original's rows, what
//   was lost, and how each table that could not be read to its end
//   stopped (a reader that crashed, ran out of time or sent nonsense, or
//   said itself what it could not read).
// Usage: tallvane_access_campaign <reader> <original.mdb> <mutant.mdb>
#include "maintenance/core/AccessReading.h"
#include "maintenance/core/AccessReport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

// Every value of every table, in order.
QByteArray digest(const tv::AccessContent &content)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const tv::AccessTable &table : content.tables) {
        hash.addData(table.name.toUtf8());
        for (const QVariantList &row : table.rows) {
            for (const QVariant &value : row)
                hash.addData(value.toString().toUtf8() + '\x1f');
        }
    }
    return hash.result().toHex().left(16);
}

QList<qsizetype> rowCounts(const tv::AccessContent &content)
{
    QList<qsizetype> counts;
    for (const tv::AccessTable &table : content.tables)
        counts.append(table.rows.size());
    return counts;
}

double peak(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 64;
    tv::accessreading::setReaderPath(QString::fromLocal8Bit(argv[1]));
    const tv::AccessContent original = tv::accessreading::read(QString::fromLocal8Bit(argv[2]));
    const QByteArray referenceDigest = digest(original);
    QElapsedTimer timer;
    timer.start();
    const tv::AccessContent content = tv::accessreading::read(QString::fromLocal8Bit(argv[3]));
    const tv::accessreport::Summary summary = tv::accessreport::summarize(content);
    const qint64 ms = timer.elapsed();
    static const char *const verdicts[] = {"whole", "partial", "unreadable"};
    // A whole reading that differs: rows gone or added ("different"), or
    // as many rows per table with values changed in place ("values"), which
    // a file without checksums cannot tell from what was typed.
    const char *same = "-";
    if (summary.verdict == tv::accessreport::Verdict::Whole && digest(content) == referenceDigest)
        same = "same";
    else if (summary.verdict == tv::accessreport::Verdict::Whole)
        same = rowCounts(content) == rowCounts(original) ? "values" : "different";
    // How each table that could not be read to its end stopped.
    QStringList stops;
    for (const tv::AccessTable &table : content.tables) {
        // The reader's own messages name the file first: their last line.
        const QString how = table.failure.section(QLatin1Char('\n'), -1);
        if (!how.isEmpty() && !stops.contains(how))
            stops.append(how);
    }
    if (!content.unreadable.isEmpty())
        stops.append(content.unreadable.section(QLatin1Char('\n'), -1));
    QStringList lost;
    for (const QString &line : summary.lines) {
        if (line.contains(QStringLiteral("endommag")) || line.contains(QStringLiteral("absente"))
            || line.contains(QStringLiteral("inconnue")) || line.contains(QStringLiteral("erreurs")))
            lost.append(line);
    }
    std::printf("%s\t%s\t%lld\t%.0f\t%.0f\t%s\t%s\t%s\n", argv[3], verdicts[static_cast<int>(summary.verdict)], ms,
                peak(RUSAGE_CHILDREN), peak(RUSAGE_SELF), same, qPrintable(lost.join(QStringLiteral(" | "))),
                qPrintable(stops.join(QStringLiteral(" | "))));
    return 0;
}
