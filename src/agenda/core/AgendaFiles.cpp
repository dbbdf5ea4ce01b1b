#include "agenda/core/AgendaFiles.h"

#include "agenda/core/AgendaFormat.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QDir>
#include <QFile>

namespace tv::agendafiles {

QString passagesPath(const QString &dataFolder, const QString &doctorEntry)
{
    return files::join(dataFolder, agendaformat::passagesFileName(doctorEntry));
}

QString absencesPath(const QString &dataFolder, const QString &doctorEntry)
{
    return files::join(dataFolder, agendaformat::absencesFileName(doctorEntry));
}

QString tmpAbsencesPath(const QString &dataFolder, const QString &doctorEntry)
{
    return files::join(dataFolder, agendaformat::tmpAbsencesFileName(doctorEntry));
}

MaxJourTable readMaxima(const QString &dataFolder, const QString &doctorEntry)
{
    const QString path = passagesPath(dataFolder, doctorEntry);
    if (!textfile::exists(path))
        return MaxJourTable{};
    return agendaformat::parseMaxima(textfile::readAll(path)).values;
}

void writeMaxima(const QString &dataFolder, const QString &doctorEntry, const MaxJourTable &values)
{
    textfile::writeLines(passagesPath(dataFolder, doctorEntry), {agendaformat::passagesLine(values)});
}

std::optional<QStringList> readAbsences(const QString &dataFolder, const QString &doctorEntry)
{
    return textfile::readLines(absencesPath(dataFolder, doctorEntry));
}

QString readAbsenceText(const QString &dataFolder, const QString &doctorEntry)
{
    return agendaformat::absenceText(readAbsences(dataFolder, doctorEntry).value_or(QStringList{}));
}

void appendAbsences(const QString &dataFolder, const QString &doctorEntry, const QStringList &dates)
{
    textfile::appendLines(absencesPath(dataFolder, doctorEntry), dates);
}

void removeAbsence(const QString &dataFolder, const QString &doctorEntry, const QString &date)
{
    const QString path = absencesPath(dataFolder, doctorEntry);
    const QString tmp = tmpAbsencesPath(dataFolder, doctorEntry);
    QStringList kept = textfile::readLines(path).value_or(QStringList{});
    kept.removeAll(date);
    textfile::writeLines(tmp, kept);
    try {
        textfile::replaceFile(tmp, path);
    } catch (const StoreError &) {
        QFile::remove(tmp);
        throw;
    }
}

void removeAllAbsences(const QString &dataFolder, const QString &doctorEntry)
{
    const QString path = absencesPath(dataFolder, doctorEntry);
    if (QFile::exists(path) && !QFile::remove(path))
        throw StoreError(
            QStringLiteral("Impossible de supprimer le fichier « %1 ».").arg(QDir::toNativeSeparators(path)));
}

} // namespace tv::agendafiles
