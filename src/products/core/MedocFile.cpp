#include "products/core/MedocFile.h"

#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

namespace tv::medocfile {

std::optional<QStringList> read(const QString &dataFolder)
{
    return textfile::readLines(files::join(dataFolder, files::Medoc));
}

void append(const QString &dataFolder, const QString &name)
{
    textfile::appendLine(files::join(dataFolder, files::Medoc), name.trimmed());
}

void remove(const QString &dataFolder, const QString &name)
{
    const QString key = name.trimmed().toUpper();
    QStringList kept;
    for (const QString &line : read(dataFolder).value_or(QStringList{}))
        if (line.toUpper() != key)
            kept.append(line.trimmed());
    const QString tmp = files::join(dataFolder, files::MedocTmp);
    textfile::writeLines(tmp, kept);
    textfile::replaceFile(tmp, files::join(dataFolder, files::Medoc));
}

} // namespace tv::medocfile
