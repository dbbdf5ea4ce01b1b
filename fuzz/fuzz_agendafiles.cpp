// A doctor's Passages and Absences files as found on disk, then the writes
// the agenda page makes on them.
#include "FuzzSupport.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/AgendaFormat.h"
#include "store/files/TextFile.h"

#include <QFileInfo>

namespace {

const QString kDoctor = QStringLiteral("  DR MARTIN");

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

void maxima(const QByteArray &input)
{
    using namespace tv;
    const QString dir = tvfuzz::folder();
    tvfuzz::writeFile(fileName(agendafiles::passagesPath(dir, kDoctor)), input);

    const agendaformat::MaximaRead parsed = agendaformat::parseMaxima(textfile::decode(input));
    if (parsed.valid < 0 || parsed.valid > 7)
        std::abort();
    const MaxJourTable values = agendafiles::readMaxima(dir, kDoctor);
    if (values != parsed.values)
        std::abort();
    int nonZero = 0;
    for (const std::int16_t v : values)
        nonZero += v != 0;
    if (nonZero > parsed.valid)
        std::abort();

    // What is read is written as one line and read back the same, all seven
    // values valid.
    const QString line = agendaformat::passagesLine(values);
    const agendaformat::MaximaRead again = agendaformat::parseMaxima(line);
    if (again.valid != 7 || again.values != values)
        std::abort();
    agendafiles::writeMaxima(dir, kDoctor, values);
    if (agendafiles::readMaxima(dir, kDoctor) != values)
        std::abort();
}

void absences(const QByteArray &input)
{
    using namespace tv;
    const QString dir = tvfuzz::folder();
    const QString path = agendafiles::absencesPath(dir, kDoctor);
    tvfuzz::writeFile(fileName(path), input);

    const auto lines = agendafiles::readAbsences(dir, kDoctor);
    if (!lines || *lines != textfile::splitLines(textfile::decode(input)))
        std::abort();
    const QString text = agendafiles::readAbsenceText(dir, kDoctor);
    if (text != lines->join(QString()))
        std::abort();
    for (const QString &line : *lines)
        if (!agendaformat::isAbsence(text, line))
            std::abort();

    // Two days added at the end, then one line of the file taken away
    // through the temporary file.
    const QStringList added = {QStringLiteral("05/03/2025"), QStringLiteral("06/03/2025")};
    agendafiles::appendAbsences(dir, kDoctor, added);
    const auto afterAppend = agendafiles::readAbsences(dir, kDoctor);
    if (!afterAppend || *afterAppend != *lines + added)
        std::abort();

    const QString removed = lines->isEmpty() ? added.first() : lines->first();
    QStringList expected = *afterAppend;
    expected.removeAll(removed);
    agendafiles::removeAbsence(dir, kDoctor, removed);
    const auto afterRemove = agendafiles::readAbsences(dir, kDoctor);
    if (!afterRemove || *afterRemove != expected || QFile::exists(agendafiles::tmpAbsencesPath(dir, kDoctor)))
        std::abort();

    agendafiles::removeAllAbsences(dir, kDoctor);
    if (agendafiles::readAbsences(dir, kDoctor) || !agendafiles::readAbsenceText(dir, kDoctor).isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = tvfuzz::bytes(data, size);
    maxima(input);
    absences(input);
    return 0;
}
