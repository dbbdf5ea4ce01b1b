#include "maintenance/core/Repair.h"

#include "maintenance/core/AccessReading.h"
#include "maintenance/core/AccessReport.h"
#include "maintenance/core/DatabaseUpgrade.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace tv::repair {

namespace {

constexpr int kBusyTimeoutMs = 10000;
const QString kConnection = QStringLiteral("tallvane-repair");

bool busy(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("5") || error.nativeErrorCode() == QLatin1String("6");
}

bool corrupt(const QSqlError &error)
{
    return error.nativeErrorCode() == QLatin1String("11") || error.nativeErrorCode() == QLatin1String("26");
}

// One connection for the whole run, removed whatever happens.
class Connection {
public:
    explicit Connection(const QString &path)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        m_db.setDatabaseName(path);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
        m_opened = m_db.open();
    }
    ~Connection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnection);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool opened() const { return m_opened; }
    QSqlDatabase &db() { return m_db; }

private:
    QSqlDatabase m_db;
    bool m_opened = false;
};

Report failed(Report report, const QString &reason, const QString &detail = {})
{
    report.status = Status::Failed;
    report.problems.append(reason);
    if (!detail.isEmpty())
        report.problems.append(detail);
    return report;
}

Report failedQuery(Report report, const QSqlError &error)
{
    if (busy(error))
        return failed(std::move(report), QStringLiteral("La base de données est utilisée par un autre poste. Fermez le "
                                                        "programme sur tous les postes puis recommencez."));
    if (corrupt(error)) {
        report.status = Status::Damaged;
        report.problems.append(QStringLiteral("Le fichier n'est pas une base de données lisible."));
        report.problems.append(error.text());
        return report;
    }
    return failed(std::move(report), QStringLiteral("Erreur de la base de données."), error.text());
}

// A copy taken while no other workstation may write: the write lock is
// held from before the copy starts until it is complete.
bool copyLocked(Connection &c, const QString &from, const QString &to, QSqlError &error)
{
    QSqlQuery q(c.db());
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error = q.lastError();
        return false;
    }
    // Reading once rolls back a journal left by a crash before the copy.
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master"))) {
        error = q.lastError();
        QSqlQuery(c.db()).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    q.finish();
    QFile::remove(to);
    const bool copied = QFile::copy(from, to);
    QSqlQuery(c.db()).exec(QStringLiteral("ROLLBACK"));
    if (copied)
        QFile::setPermissions(to, QFile::permissions(to) | QFile::ReadOwner | QFile::WriteOwner);
    return copied;
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
        if (const auto server = serveurcfg::read(info.absolutePath())) {
            report.status = Status::OnServer;
            report.problems.append(server->hostForMessage());
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

    Connection c(databasePath);
    if (!c.opened())
        return failed(std::move(report), QStringLiteral("Impossible d'ouvrir la base de données."),
                      c.db().lastError().text());

    QSqlError error;
    if (!copyLocked(c, databasePath, pending, error)) {
        QFile::remove(pending);
        if (error.isValid())
            return failedQuery(std::move(report), error);
        return failed(std::move(report), QStringLiteral("Impossible de faire la copie de sauvegarde dans « %1 » "
                                                        "(disque plein ou répertoire en lecture seule).")
                                             .arg(files::native(folder)));
    }

    QSqlQuery check(c.db());
    if (!check.exec(QStringLiteral("PRAGMA integrity_check"))) {
        const QSqlError checkError = check.lastError();
        check.finish();
        report = failedQuery(std::move(report), checkError);
        if (report.status == Status::Damaged) {
            textfile::replaceFile(pending, files::join(folder, DamagedCopyName));
            report.backup = files::join(folder, DamagedCopyName);
        } else {
            QFile::remove(pending);
        }
        return report;
    }
    QStringList findings;
    while (check.next())
        findings.append(check.value(0).toString());
    check.finish();
    if (findings != QStringList{QStringLiteral("ok")}) {
        report.status = Status::Damaged;
        report.problems = findings.mid(0, 10);
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

    QSqlQuery vacuum(c.db());
    if (!vacuum.exec(QStringLiteral("VACUUM")))
        return failedQuery(std::move(report), vacuum.lastError());
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
