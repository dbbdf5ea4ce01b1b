#include "backups/core/Backups.h"

#include "common/core/Clock.h"
#include "store/engine/Database.h"
#include "store/engine/Schema.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

#include <algorithm>

namespace tv::backups {

namespace {

const QString kPartial = QStringLiteral(".partiel");
const QString kRestoring = QStringLiteral(".restauration");
const QString kStamp = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// Ferrune_2025-03-05_10-30-00.mdb, or ..._2.mdb for a second copy taken
// within the same second.
const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^Ferrune_(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(?:_(\\d+))?\\.mdb$"));
    return pattern;
}

struct Named {
    QString name;
    QDateTime taken;
    int rank = 0;
};

QList<Named> copiesIn(const QString &backupFolder)
{
    QList<Named> result;
    const QStringList names = QDir(backupFolder).entryList({QStringLiteral("Ferrune_*.mdb")}, QDir::Files);
    for (const QString &name : names) {
        const auto match = namePattern().match(name);
        if (!match.hasMatch())
            continue;
        const QDateTime taken = QDateTime::fromString(match.captured(1), kStamp);
        if (taken.isValid())
            result.append({name, taken, match.captured(2).toInt()});
    }
    std::sort(result.begin(), result.end(),
              [](const Named &a, const Named &b) { return a.taken != b.taken ? a.taken < b.taken : a.rank < b.rank; });
    return result;
}

void copyDatabase(const QString &from, const QString &to)
{
    try {
        Database::copyFile(from, to);
    } catch (const StoreError &error) {
        throw StoreError(QStringLiteral("La copie de « %1 » vers « %2 » n'a pas pu être faite (disque plein, "
                                        "répertoire en lecture seule ou base occupée).\n%3")
                             .arg(files::native(from), files::native(to), error.message()));
    }
    QFile copy(to);
    if (!copy.open(QIODevice::ReadWrite) || ::fsync(copy.handle()) != 0)
        throw StoreError(QStringLiteral("La copie « %1 » n'a pas pu être écrite sur le disque.").arg(files::native(to)),
                         copy.errorString());
}

// After the copies of that second: a name freed by the pruning of an
// older copy of the same second must not come back as the oldest.
QString uniqueName(const QString &backupFolder)
{
    const QDateTime now = Clock::now();
    const QString stamp = now.toString(kStamp);
    int last = -1;
    for (const Named &n : copiesIn(backupFolder)) {
        if (n.taken.toString(kStamp) == stamp)
            last = std::max(last, n.rank);
    }
    if (last < 0)
        return QStringLiteral("Ferrune_%1.mdb").arg(stamp);
    return QStringLiteral("Ferrune_%1_%2.mdb").arg(stamp).arg(std::max(last + 1, 2));
}

// Copies a killed program left half-written. A recent one may be another
// workstation's copy in progress: it stays.
void removeLeftovers(const QString &backupFolder)
{
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const QFileInfoList found = QDir(backupFolder).entryInfoList({QStringLiteral("*") + kPartial}, QDir::Files);
    for (const QFileInfo &file : found) {
        if (file.lastModified().toUTC() < stale)
            QFile::remove(file.absoluteFilePath());
    }
}

void prune(const QString &backupFolder)
{
    const QList<Named> copies = copiesIn(backupFolder);
    for (qsizetype i = 0; i + Kept < copies.size(); ++i)
        QFile::remove(files::join(backupFolder, copies[i].name));
}

// The first column of every row, as text.
QStringList column(Database &db, const QString &statement)
{
    Query q(db, statement);
    QStringList values;
    while (q.next())
        values.append(q.text(0));
    return values;
}

// What the user reads about a copy that could not be checked: the cause
// in French, never the engine's own words.
QString problemText(StoreError::Cause cause)
{
    switch (cause) {
    case StoreError::Cause::Damaged:
        return QStringLiteral("Copie endommagée : des pages de la base sont abîmées ou incohérentes.");
    case StoreError::Cause::Busy:
        return QStringLiteral("Copie illisible : le fichier est occupé par un autre programme.");
    default:
        return QStringLiteral("Copie illisible : le fichier n'a pas pu être lu (droits d'accès ou erreur du disque).");
    }
}

// A database file starts with these 16 bytes; anything else is another
// kind of file, which deserves its own sentence rather than "damaged".
bool hasDatabaseHeader(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

// Ferrune_endommagee_2025-03-05_10-30-00.mdb beside the database, a
// number added when that name is taken.
QString asideName(const QString &dataFolder)
{
    const QString stem = QStringLiteral("Ferrune_endommagee_") + Clock::now().toString(kStamp);
    QString path = files::join(dataFolder, stem + QStringLiteral(".mdb"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = files::join(dataFolder, stem + QStringLiteral("_%1.mdb").arg(n));
    return path;
}

// The damaged database and its journal, if any, under the new name; the
// journal must not be played into the copy that takes its place.
void setAside(const QString &database, const QString &aside)
{
    textfile::replaceFile(database, aside);
    const QString journal = database + QStringLiteral("-journal");
    if (QFileInfo::exists(journal))
        textfile::replaceFile(journal, aside + QStringLiteral("-journal"));
}

} // namespace

QString folder(const QString &dataFolder)
{
    return files::join(dataFolder, FolderName);
}

QString take(const QString &dataFolder)
{
    const QString database = files::join(dataFolder, files::Database);
    const QString target = folder(dataFolder);
    if (!QFileInfo(database).isFile())
        throw StoreError(
            QStringLiteral("La base de données « %1 » est introuvable : la sauvegarde n'a pas pu être faite.")
                .arg(files::native(database)));
    if (!QDir().mkpath(target))
        throw StoreError(
            QStringLiteral("Le répertoire des sauvegardes « %1 » n'a pas pu être créé.").arg(files::native(target)));
    removeLeftovers(target);
    const QString path = files::join(target, uniqueName(target));
    // Two workstations may copy within the same second: each its own file.
    const QString partial = path + QStringLiteral(".%1").arg(QCoreApplication::applicationPid()) + kPartial;
    try {
        copyDatabase(database, partial);
        // A damaged copy must not take the place of a sound one in the
        // rotation: it goes, and the earlier copies stay. The quick check
        // reads every page but does not compare the indexes with their
        // tables: 0.4 s instead of 7 s on a large practice's database.
        // SQLite's own words about the damage are not for the user.
        if (!inspect(partial, Check::Quick).sound())
            throw StoreError(QStringLiteral("La base de données est endommagée : sa copie n'a pas été gardée et les "
                                            "sauvegardes précédentes restent.\nUtilisez « Réparer et compacter la "
                                            "base de données »."));
        textfile::replaceFile(partial, path);
    } catch (const StoreError &error) {
        QFile::remove(partial);
        throw StoreError(QStringLiteral("La sauvegarde de la base de données n'a pas pu être faite dans « %1 ».")
                             .arg(files::native(target)),
                         error.fullText());
    }
    prune(target);
    return path;
}

bool takenToday(const QString &dataFolder)
{
    const QDate today = Clock::today();
    const QList<Named> copies = copiesIn(folder(dataFolder));
    return std::any_of(copies.begin(), copies.end(), [&](const Named &n) { return n.taken.date() == today; });
}

Entry inspect(const QString &path, Check depth)
{
    Entry entry;
    entry.path = path;
    entry.size = QFileInfo(path).size();
    const auto match = namePattern().match(QFileInfo(path).fileName());
    if (match.hasMatch())
        entry.taken = QDateTime::fromString(match.captured(1), kStamp);
    if (QFileInfo(path).isFile() && !hasDatabaseHeader(path)) {
        entry.problem = QStringLiteral("Copie illisible : ce fichier n'est pas une base de données.");
        return entry;
    }
    try {
        auto db = Database::openFile(path, Database::FileMode::ReadOnly);
        const QStringList check = column(*db, db->dialect().integrityCheck(depth == Check::Quick));
        if (check != QStringList{QStringLiteral("ok")}) {
            entry.problem = problemText(StoreError::Cause::Damaged);
            return entry;
        }
        for (const QString &table : schema::tableNames()) {
            if (!db->hasTable(table)) {
                entry.problem = QStringLiteral("La table « %1 » manque.").arg(table);
                return entry;
            }
            // A table name of the schema, never user text.
            const QString count = column(*db, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).value(0);
            entry.rows.append({table, count.toLongLong()});
        }
    } catch (const StoreError &error) {
        entry.problem = problemText(error.cause());
    }
    return entry;
}

QList<Entry> list(const QString &dataFolder)
{
    const QString where = folder(dataFolder);
    QList<Entry> result;
    const QList<Named> copies = copiesIn(where);
    for (auto it = copies.crbegin(); it != copies.crend(); ++it)
        result.append(inspect(files::join(where, it->name)));
    return result;
}

QString restore(const QString &backupPath, const QString &dataFolder, Current current)
{
    const Entry entry = inspect(backupPath);
    if (!entry.sound())
        throw StoreError(
            QStringLiteral("La sauvegarde « %1 » ne peut pas être restaurée.").arg(files::native(backupPath)),
            entry.problem);
    const QString database = files::join(dataFolder, files::Database);
    const QString pending = database + kRestoring;
    QFile::remove(pending);
    QString aside;
    try {
        copyDatabase(backupPath, pending);
        if (current == Current::SetAside && QFileInfo::exists(database)) {
            aside = asideName(dataFolder);
            setAside(database, aside);
        }
        textfile::replaceFile(pending, database);
    } catch (const StoreError &error) {
        QFile::remove(pending);
        if (!aside.isEmpty() && !QFileInfo::exists(database))
            setAside(aside, database);
        throw StoreError(QStringLiteral("La sauvegarde n'a pas pu être remise en place ; votre base de données n'a "
                                        "pas été modifiée."),
                         error.fullText());
    }
    return aside;
}

} // namespace tv::backups
