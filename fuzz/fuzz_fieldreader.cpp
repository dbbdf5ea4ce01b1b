// The field reader of the settings files on any text: it always ends, and a
// field written with quoteField comes back whole.
#include "FuzzSupport.h"

#include "store/files/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tv::textfile;
    const QString text = decode(tvfuzz::bytes(data, size));
    FieldReader reader(text);
    // Every read moves forward, so a text of n characters gives at most n + 1
    // fields.
    for (qsizetype reads = 0; !reader.atEnd(); ++reads) {
        if (reads > text.size() + 1)
            std::abort();
        if (size % 2)
            reader.readInteger(0, 255);
        else
            reader.readText();
    }
    // A one-line value without quotes or line ends survives the round trip.
    const QString line = splitLines(text).value(0);
    if (!line.contains(u'"') && !line.trimmed().isEmpty() && line == line.trimmed() && !line.contains(u'\t')) {
        FieldReader back(quoteField(line));
        if (back.readText() != line)
            std::abort();
    }
    return 0;
}
