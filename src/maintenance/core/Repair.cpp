#include "maintenance/core/Repair.h"

#include "maintenance/core/AccessReading.h"
#include "maintenance/core/AccessReport.h"
#include "maintenance/core/DatabaseUpgrade.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <memory>

namespace tv::repair {

namespace {

Report failed(Report report, const QString &reason, const QString &detail = {})
{
    report.status = Status::Failed;
    report.problems.append(reason);
    if (!detail.isEmpty())
        report.problems.append(detail);
    return report;
}

Report failedQuery(Report report, const StoreError &error)
{
    if (error.cause() == StoreError::Cause::Busy)
        return failed(std::move(report), QStringLiteral("La base de données est utilisée par un autre poste. Fermez le "
                                                        "programme sur tous les postes puis recommencez."));
    if (error.cause() == StoreError::Cause::Damaged) {
        report.status = Status::Damaged;
        report.problems.append(QStringLiteral("Le fichier n'est pas une base de données lisible."));
        report.problems.append(error.message());
        return report;
    }
    return failed(std::move(report), error.message());
}

// A copy taken while no other workstation may write: the write lock is
// held from before the copy starts until it is complete. False when the
// file could not be written.
bool copyLocked(Database &db, const QString &from, const QString &to)
{
    const Transaction still(db);
    // Reading once rolls back a journal left by a crash before the copy.
    db.hasTable(QStringLiteral("Labo"));
    QFile::remove(to);
    const bool copied = QFile::copy(from, to);
    if (copied)
        QFile::setPermissions(to, QFile::permissions(to) | QFile::ReadOwner | QFile::WriteOwner);
    return copied;
}

QStringList findings(Database &db)
{
    Query check(db, db.dialect().integrityCheck());
    QStringList rows;
    while (check.next())
        rows.append(check.text(0));
    return rows;
}

} // namespace

QString locateDatabase(const QString &programFolder)
{
    const auto folder = cheminbase::read(programFolder);
    return files::join(folder.value_or(programFolder), files::Database);
}

Report run(const QString &databasePath)
{
    Report report;
    report.database = databasePath;
    const QFileInfo info(databasePath);
    try {
        const Location location = serveurcfg::locate(databasePath);
        if (!location.canBeCompacted()) {
            report.status = Status::OnServer;
            report.problems.append(location.server->hostForMessage());
            return report;
        }
    } catch (const StoreError &error) {
        return failed(std::move(report), error.message(), QString());
    }
    if (!info.isFile()) {
        report.status = Status::Missing;
        report.problems.append(
            QStringLiteral("Aucune base de données à l'emplacement « %1 ».").arg(files::native(databasePath)));
        return report;
    }
    report.sizeBefore = info.size();
    if (DatabaseUpgrade::kindOf(databasePath) == DatabaseUpgrade::Kind::Access) {
        // Not this program's database: the engine cannot check it, and the
        // program imports it itself, keeping the file as it is.
        report.status = Status::Access;
        try {
            // Read whole, by the reader child, to say what the import will find.
            const AccessContent content = accessreading::read(databasePath);
            report.format = content.format;
            const accessreport::Summary summary = accessreport::summarize(content);
            if (summary.verdict == accessreport::Verdict::Unreadable)
                report.problems.append(accessreport::unreadableText(databasePath));
            else if (summary.verdict == accessreport::Verdict::Partial)
                report.problems << QStringLiteral("Elle est endommagée : une partie seulement a pu être lue. Tallvane "
                                                  "vous demandera s'il faut importer ce qui est lisible.")
                                << summary.lines;
        } catch (const StoreError &e) {
            report.problems.append(e.message());
        }
        return report;
    }
    const QString folder = info.absolutePath();
    const QString pending = files::join(folder, BackupName + QStringLiteral(".tmp"));

    std::unique_ptr<Database> db;
    QStringList found;
    try {
        db = Database::openFile(databasePath);
        if (!copyLocked(*db, databasePath, pending)) {
            QFile::remove(pending);
            return failed(std::move(report), QStringLiteral("Impossible de faire la copie de sauvegarde dans « %1 » "
                                                            "(disque plein ou répertoire en lecture seule).")
                                                 .arg(files::native(folder)));
        }
        found = findings(*db);
    } catch (const StoreError &error) {
        report = failedQuery(std::move(report), error);
        if (report.status == Status::Damaged && QFile::exists(pending)) {
            textfile::replaceFile(pending, files::join(folder, DamagedCopyName));
            report.backup = files::join(folder, DamagedCopyName);
        } else {
            QFile::remove(pending);
        }
        return report;
    }
    if (found != QStringList{QStringLiteral("ok")}) {
        report.status = Status::Damaged;
        report.problems = found.mid(0, 10);
        report.backup = files::join(folder, DamagedCopyName);
        textfile::replaceFile(pending, report.backup);
        return report;
    }

    report.backup = files::join(folder, BackupName);
    try {
        textfile::replaceFile(pending, report.backup);
    } catch (const StoreError &e) {
        QFile::remove(pending);
        return failed(std::move(report), e.fullText());
    }

    try {
        execStatement(*db, db->dialect().compaction());
    } catch (const StoreError &error) {
        return failedQuery(std::move(report), error);
    }
    report.status = Status::Repaired;
    report.sizeAfter = QFileInfo(databasePath).size();
    return report;
}

QString describe(const Report &report)
{
    const QLocale french(QLocale::French);
    const QString db = files::native(report.database);
    switch (report.status) {
    case Status::Repaired:
        return QStringLiteral("La base de données « %1 » est en bon état ; elle a été compactée.\n\n"
                              "Taille avant : %2 ko ; après : %3 ko.\n\nCopie de sauvegarde : « %4 ».")
            .arg(db, french.toString((report.sizeBefore + 1023) / 1024),
                 french.toString((report.sizeAfter + 1023) / 1024), files::native(report.backup));
    case Status::Damaged:
        // Found unreadable before anything was copied: not a database at all.
        if (report.backup.isEmpty())
            return QStringLiteral("Le fichier « %1 » n'est pas une base de données : rien n'a été modifié.\n\n%2")
                .arg(db, report.problems.mid(1).join(QLatin1Char('\n')));
        return QStringLiteral("La base de données « %1 » est endommagée. Elle n'a pas été modifiée.\n\n%2\n\n"
                              "Une copie du fichier endommagé a été faite : « %3 ».\n"
                              "Remettez en place votre dernière sauvegarde (%4) ou faites appel à un technicien.")
            .arg(db, report.problems.join(QLatin1Char('\n')), files::native(report.backup), BackupName);
    case Status::Missing:
        return report.problems.value(0) + QStringLiteral("\n\nVérifiez le chemin inscrit dans CheminBase.cfg.");
    case Status::Access:
        return QStringLiteral("Le fichier « %1 » est une base de données Access%2 de l'ancien programme, pas une base "
                              "de Tallvane : il n'y a rien à réparer ici. Il n'a pas été modifié.\n\n"
                              "Tallvane l'importe lui-même à son prochain démarrage et conserve ce fichier sous le "
                              "nom « %3 ».%4")
            .arg(db, report.format.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(report.format),
                 files::OldDatabase,
                 report.problems.isEmpty() ? QString()
                                           : QStringLiteral("\n\n") + report.problems.join(QLatin1Char('\n')));
    case Status::OnServer:
        return QStringLiteral("La base de données de ce dossier est sur le serveur PostgreSQL « %1 ».\n\n"
                              "Sa vérification et son compactage se font avec les outils du serveur (VACUUM, "
                              "REINDEX), par son administrateur. Rien n'a été modifié.")
            .arg(report.problems.value(0));
    case Status::Failed: break;
    }
    return QStringLiteral("La réparation de la base de données « %1 » n'a pas pu être faite.\n\n%2")
        .arg(db, report.problems.join(QLatin1Char('\n')));
}

} // namespace tv::repair
