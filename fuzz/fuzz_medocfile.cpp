// Medoc.txt as found on disk, then the two writes the products page makes
// on it: the catalogue reads back as written, whatever the file held.
#include "FuzzSupport.h"

#include "products/core/MedocFile.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tv;
    const QByteArray input = tvfuzz::bytes(data, size);
    const QString dir = tvfuzz::folder();
    tvfuzz::writeFile(files::Medoc, input);

    const auto lines = medocfile::read(dir);
    if (!lines || *lines != textfile::splitLines(textfile::decode(input)))
        std::abort();

    // The name removed: the first line of the file, as the user would pick
    // it in the list (the comparison ignores its case).
    const QString name = lines->isEmpty() ? QStringLiteral("Aspirine") : lines->first().toLower();
    const QString key = name.trimmed().toUpper();
    QStringList expected;
    for (const QString &line : *lines)
        if (line.toUpper() != key)
            expected.append(line.trimmed());
    medocfile::remove(dir, name);
    const auto afterRemove = medocfile::read(dir);
    if (!afterRemove || *afterRemove != expected || QFile::exists(files::join(dir, files::MedocTmp)))
        std::abort();

    // An added name comes last, trimmed, and nothing before it moves.
    const QString added = lines->size() > 1 ? lines->at(1) : QStringLiteral("  Paracétamol ");
    medocfile::append(dir, added);
    const auto afterAppend = medocfile::read(dir);
    if (!afterAppend || *afterAppend != expected + QStringList{added.trimmed()})
        std::abort();
    return 0;
}
