#include "store/files/SettingsFiles.h"

#include "store/engine/StoreError.h"
#include "store/files/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tv {

QString files::join(const QString &folder, const QString &name)
{
    return QDir::cleanPath(folder + QDir::separator() + name);
}

QString files::native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

namespace {
const QString kSharedData = QStringLiteral("../../share/tallvane/");

// Installed: the shipped database sits in the system's share folder, or the
// program folder cannot be written to. The layout decides even for root, for
// whom every folder is writable.
bool installed(const QString &programFolder)
{
    return QFile::exists(QDir::cleanPath(programFolder + QStringLiteral("/") + kSharedData + files::ShippedDatabase))
           || !QFileInfo(programFolder).isWritable();
}
} // namespace

QString files::settingsFolder(const QString &programFolder)
{
    if (!installed(programFolder))
        return programFolder;
    // The same folder as QStandardPaths::AppConfigLocation for the
    // application "Tallvane", whichever of our programs asks (Remisa too).
    const QString folder =
        join(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation), QStringLiteral("Tallvane"));
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("Le répertoire de configuration « %1 » n'a pas pu être créé.")
                             .arg(QDir::toNativeSeparators(folder)));
    return folder;
}

QString files::shippedDatabase(const QString &programFolder)
{
    if (!installed(programFolder))
        return join(programFolder, ShippedDatabase);
    return join(programFolder, kSharedData + ShippedDatabase);
}

void files::placeShippedDatabase(const QString &shipped, const QString &database, bool keepShipped)
{
    const QString from = QDir::toNativeSeparators(shipped);
    const QString to = QDir::toNativeSeparators(database);
    if (!keepShipped) {
        if (!QFile::rename(shipped, database))
            throw StoreError(QStringLiteral("Impossible de renommer « %1 » en « %2 ».").arg(from, to));
        return;
    }
    // QFile::copy writes a temporary file and renames it when whole.
    if (!QFile::copy(shipped, database))
        throw StoreError(QStringLiteral("Impossible de copier « %1 » vers « %2 ».").arg(from, to));
    QFile::setPermissions(database, QFile::permissions(database) | QFile::ReadOwner | QFile::WriteOwner);
}

std::optional<QString> cheminbase::read(const QString &programFolder)
{
    const QString path = files::join(programFolder, files::CheminBaseCfg);
    if (!textfile::exists(path))
        return std::nullopt;
    textfile::FieldReader reader(textfile::readAll(path));
    const auto folder = reader.readText();
    if (!folder || folder->isEmpty())
        throw StoreError(QStringLiteral("Le fichier « %1 » ne contient pas de chemin de données.\n"
                                        "Supprimez-le pour revenir au dossier du programme.")
                             .arg(QDir::toNativeSeparators(path)));
    QString result = *folder;
    while (result.size() > 1 && (result.endsWith(u'/') || result.endsWith(QDir::separator())))
        result.chop(1);
    return result;
}

std::optional<ServerAddress> serveurcfg::read(const QString &dataFolder)
{
    const QString path = files::join(dataFolder, files::ServerCfg);
    const auto lines = textfile::readLines(path);
    if (!lines)
        return std::nullopt;
    const QString conninfo = lines->isEmpty() ? QString() : lines->first().trimmed();
    try {
        return ServerAddress::parse(conninfo);
    } catch (const StoreError &error) {
        throw StoreError(QStringLiteral("Le fichier « %1 » ne désigne pas un serveur utilisable.\n%2")
                             .arg(QDir::toNativeSeparators(path), error.message()));
    }
}

Location serveurcfg::locate(const QString &databasePath)
{
    // A data folder moved to a server says so beside the file, which stays
    // as it was (the way back).
    return {databasePath, read(QFileInfo(databasePath).absolutePath())};
}

void serveurcfg::write(const QString &dataFolder, const ServerAddress &address)
{
    textfile::writeLines(files::join(dataFolder, files::ServerCfg), {address.conninfo});
}

void cheminbase::write(const QString &programFolder, const QString &dataFolder)
{
    if (dataFolder.contains(u'"'))
        throw StoreError(QStringLiteral("Le chemin « %1 » contient un guillemet et ne peut pas être enregistré.\n"
                                        "Choisissez un dossier dont le nom n'en contient pas.")
                             .arg(dataFolder));
    textfile::writeLines(files::join(programFolder, files::CheminBaseCfg), {textfile::quoteField(dataFolder)});
}

QString vsini::line(const WorkstationSettings &s)
{
    return QStringLiteral("%1,%2,%3,%4").arg(s.dernierMedecin).arg(s.avecHeure).arg(s.avecProduits).arg(s.etatChkL);
}

bool vsini::read(const QString &programFolder, WorkstationSettings &settings)
{
    const QString path = files::join(programFolder, files::VsIni);
    if (!textfile::exists(path))
        return false;
    textfile::FieldReader reader(textfile::readAll(path));
    std::uint8_t *targets[] = {&settings.dernierMedecin, &settings.avecHeure, &settings.avecProduits,
                               &settings.etatChkL};
    for (std::uint8_t *target : targets) {
        const auto value = reader.readInteger(0, 255);
        if (!value)
            break;
        *target = static_cast<std::uint8_t>(*value);
    }
    return true;
}

void vsini::write(const QString &programFolder, const WorkstationSettings &settings)
{
    textfile::writeLines(files::join(programFolder, files::VsIni), {line(settings)});
}

std::optional<QStringList> doctorsfile::read(const QString &dataFolder)
{
    return textfile::readLines(files::join(dataFolder, files::MedecinIni));
}

QStringList doctorsfile::listEntries(const QStringList &lines)
{
    QStringList entries;
    entries.reserve(lines.size());
    for (const QString &line : lines)
        entries.append(QStringLiteral("  ") + line.toUpper());
    return entries;
}

void doctorsfile::append(const QString &dataFolder, const QString &name)
{
    textfile::appendLine(files::join(dataFolder, files::MedecinIni), name);
}

void doctorsfile::remove(const QString &dataFolder, const QString &doctor)
{
    const QString path = files::join(dataFolder, files::MedecinIni);
    const QString tmp = files::join(dataFolder, files::TmpLaboIni);
    const QString key = doctor.trimmed().toUpper();
    QStringList kept;
    for (const QString &line : read(dataFolder).value_or(QStringList{}))
        if (line.toUpper() != key)
            kept.append(line);
    textfile::writeLines(tmp, kept);
    textfile::replaceFile(tmp, path);
}

} // namespace tv
