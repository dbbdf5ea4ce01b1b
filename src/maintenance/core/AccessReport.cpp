#include "maintenance/core/AccessReport.h"

#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QFileInfo>
#include <QLocale>

namespace tv::accessreport {

namespace {

const QStringList &knownTables()
{
    static const QStringList names = {QStringLiteral("Labo"), QStringLiteral("Passage"), QStringLiteral("Visite"),
                                      QStringLiteral("Produit")};
    return names;
}

bool contains(const QStringList &names, const QString &name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

// "0 ligne lue", "1 ligne lue", "2 lignes lues": French takes the
// singular below two.
QString counted(qint64 n, const QString &one, const QString &many)
{
    return QLocale(QLocale::French).toString(n) + QLatin1Char(' ') + (n > 1 ? many : one);
}

QString rowsRead(qint64 n)
{
    return counted(n, QStringLiteral("ligne lue"), QStringLiteral("lignes lues"));
}

QString tableLine(const QString &name, const AccessTable &t)
{
    if (t.whole())
        return QStringLiteral("%1 : %2.").arg(name, rowsRead(t.rows.size()));
    QStringList parts{QStringLiteral("table endommagée")};
    if (!t.begun) {
        parts.append(QStringLiteral("illisible"));
    } else {
        QString read = rowsRead(t.rows.size());
        if (t.rows.size() != t.declared)
            read += QStringLiteral(" sur ") + QLocale(QLocale::French).toString(t.declared);
        parts.append(read);
        if (t.rejected > 0)
            parts.append(counted(t.rejected, QStringLiteral("ligne écartée (valeurs impossibles)"),
                                 QStringLiteral("lignes écartées (valeurs impossibles)")));
        for (auto memo = t.memosLost.begin(); memo != t.memosLost.end(); ++memo)
            parts.append(counted(memo.value(), QStringLiteral("texte « %1 » perdu").arg(memo.key()),
                                 QStringLiteral("textes « %1 » perdus").arg(memo.key())));
        if (t.memosLost.isEmpty() && t.withErrors > 0)
            parts.append(counted(t.withErrors, QStringLiteral("ligne lue avec des erreurs"),
                                 QStringLiteral("lignes lues avec des erreurs")));
        if (!t.failure.isEmpty() || !t.ended)
            parts.append(QStringLiteral("la lecture s'est arrêtée avant la fin"));
        else if (t.rows.size() + t.rejected < t.declared)
            parts.append(QStringLiteral("les autres lignes n'ont pas pu être lues"));
        if (parts.size() == 2)
            parts.append(QStringLiteral("des erreurs ont été signalées à sa lecture"));
    }
    return QStringLiteral("%1 : %2.").arg(name, parts.join(QStringLiteral(" ; ")));
}

} // namespace

Summary summarize(const AccessContent &content)
{
    Summary summary;
    if (!content.catalogRead || !content.unreadable.isEmpty())
        return summary;
    QStringList unknown;
    for (const QString &name : content.catalog) {
        if (!contains(knownTables(), name))
            unknown.append(name);
    }
    bool lost = content.catalogDiagnostics > 0;
    bool anyRow = false;
    bool produitMissing = false;
    for (const QString &name : knownTables()) {
        if (!contains(content.catalog, name)) {
            // The oldest databases have no Produit table.
            if (name == QStringLiteral("Produit") && unknown.isEmpty())
                continue;
            summary.lines.append(QStringLiteral("%1 : table absente.").arg(name));
            produitMissing = produitMissing || name == QStringLiteral("Produit");
            lost = true;
            continue;
        }
        const AccessTable *table = content.table(name);
        if (!table) {
            summary.lines.append(QStringLiteral("%1 : table non lue.").arg(name));
            lost = true;
            continue;
        }
        summary.lines.append(tableLine(name, *table));
        lost = lost || !table->whole();
        anyRow = anyRow || !table->rows.isEmpty();
    }
    if (lost) {
        for (const QString &name : unknown) {
            const AccessTable *table = content.table(name);
            summary.lines.append(QStringLiteral("« %1 » : table inconnue de ce programme (%2), non reprise%3.")
                                     .arg(name, rowsRead(table ? table->rows.size() : 0),
                                          produitMissing ? QStringLiteral(" ; ce peut être la table Produit, "
                                                                          "dont le nom est endommagé")
                                                         : QString()));
        }
    }
    if (content.catalogDiagnostics > 0)
        summary.lines.prepend(QStringLiteral("La liste des tables a donné des erreurs à la lecture."));
    summary.verdict = !lost ? Verdict::Whole : anyRow ? Verdict::Partial : Verdict::Unreadable;
    return summary;
}

QString unreadableText(const QString &path)
{
    return QStringLiteral("La base de données Access « %1 » est endommagée : elle n'a pas pu être lue.\n\n"
                          "Aucun fichier n'a été modifié.\n\n"
                          "Essayez de la réparer avec l'ancien programme (menu Options, « Réparer et compacter la "
                          "base de données »), puis recommencez ; ou remettez à sa place une copie plus ancienne "
                          "de ce fichier.")
        .arg(files::native(path));
}

QString partialQuestion(const QString &path, const QStringList &lines, const QString &declined)
{
    return QStringLiteral("La base de données Access « %1 » est endommagée : une partie seulement a pu être lue.\n\n"
                          "%2\n\n"
                          "Importer ce qui a pu être lu ? Le fichier Access sera conservé, sans aucune modification, "
                          "sous le nom « %3 », et cette liste écrite dans « %4 ».\n\n%5")
        .arg(files::native(path), lines.join(QLatin1Char('\n')), files::OldDatabase, ReportName, declined);
}

QString partialDoneText(const QString &reportPath)
{
    return QStringLiteral("Importation faite en partie : ce qui a pu être lu a été repris. Ce qui n'a pas pu "
                          "l'être est décrit dans « %1 ».")
        .arg(files::native(reportPath));
}

QString writeReport(const QString &backup, const QString &source, const QStringList &lines)
{
    const QString path = files::join(QFileInfo(backup).absolutePath(), ReportName);
    QStringList text{QStringLiteral("Importation de la base de données Access « %1 », endommagée : ce qui a pu "
                                    "être lu a été repris.")
                         .arg(files::native(source)),
                     QString()};
    text.append(lines);
    textfile::writeLines(path, text);
    return path;
}

} // namespace tv::accessreport
