#include "maintenance/core/DataCopy.h"

#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace tv::datacopy {

namespace {

bool isProgramSettings(const QString &file, const QString &programFolder)
{
    const QFileInfo settings(files::join(programFolder, files::VsIni));
    const QFileInfo candidate(file);
    if (!settings.exists() || !candidate.exists())
        return false;
    return settings.canonicalFilePath() == candidate.canonicalFilePath();
}

// Writes `from` over `to` through a temporary file in the destination
// folder; the old content of `to` stays until the rename.
void copyOver(const QString &from, const QString &to)
{
    const QString temporary = to + QStringLiteral(".copie-en-cours");
    QFile::remove(temporary);
    QFile source(from);
    if (!QFile::copy(from, temporary)) {
        QFile::remove(temporary);
        const QString reason =
            !source.exists() ? QStringLiteral("le fichier source a disparu")
            : !source.open(QIODevice::ReadOnly)
                ? QStringLiteral("le fichier source ne peut pas être lu (%1)").arg(source.errorString())
                : QStringLiteral("le répertoire de destination refuse l'écriture ou le disque est plein");
        throw StoreError(QStringLiteral("Impossible de copier « %1 » : %2.").arg(files::native(from), reason));
    }
    QFile::setPermissions(temporary, QFile::permissions(temporary) | QFile::ReadOwner | QFile::WriteOwner);
    try {
        textfile::replaceFile(temporary, to);
    } catch (const StoreError &) {
        QFile::remove(temporary);
        throw;
    }
}

} // namespace

QStringList kinds()
{
    // Serveur.cfg: a copied folder still names the practice's server.
    return {QStringLiteral("*.mdb"), QStringLiteral("*.txt"), QStringLiteral("*.ini"), files::ServerCfg};
}

QList<FileResult> copyDataFiles(const Options &options)
{
    const QDir source(options.source);
    QList<QPair<QString, QString>> plan; // kind, name
    for (const QString &kind : kinds()) {
        const QStringList names = source.entryList({kind}, QDir::Files | QDir::Hidden, QDir::NoSort);
        for (const QString &name : names)
            plan.append({kind, name});
    }

    QList<FileResult> results;
    int done = 0;
    for (const auto &[kind, name] : plan) {
        const QString from = files::join(options.source, name);
        const QString to = files::join(options.destination, name);
        if (options.progress)
            options.progress(done, static_cast<int>(plan.size()), name);
        ++done;
        FileResult result{name, Outcome::Copied, {}};
        // The workstation's own settings do not follow the data to a new
        // place; a destination that has settings of its own is asked about
        // them like any other file.
        const bool exists = QFileInfo::exists(to);
        if (!exists && kind == QStringLiteral("*.ini") && isProgramSettings(from, options.programFolder)) {
            result.outcome = Outcome::KeptBack;
            results.append(result);
            continue;
        }
        if (exists && !(options.confirmReplace && options.confirmReplace(to))) {
            result.outcome = Outcome::Declined;
            results.append(result);
            continue;
        }
        try {
            if (options.beforeWrite)
                options.beforeWrite(name);
            copyOver(from, to);
            result.outcome = exists ? Outcome::Replaced : Outcome::Copied;
        } catch (const StoreError &error) {
            result.outcome = Outcome::Failed;
            result.reason = error.fullText();
        }
        results.append(result);
    }
    if (options.progress)
        options.progress(done, static_cast<int>(plan.size()), QString());
    return results;
}

void ensureFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return;
    if (info.exists())
        throw StoreError(QStringLiteral("« %1 » existe déjà et n'est pas un répertoire.").arg(files::native(folder)));
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("Impossible de créer le répertoire « %1 ».").arg(files::native(folder)));
}

QString unwritableReason(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return QStringLiteral("Le répertoire « %1 » n'existe pas.").arg(files::native(folder));
    QTemporaryFile probe(files::join(folder, QStringLiteral("essai-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("Le répertoire « %1 » est en lecture seule.").arg(files::native(folder));
    return {};
}

} // namespace tv::datacopy
