// Decoding (UTF-8 or Windows-1252) and line splitting of any bytes.
#include "FuzzSupport.h"

#include "store/files/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tv::textfile;
    const QByteArray input = tvfuzz::bytes(data, size);
    const QString text = decode(input);
    const QStringList lines = splitLines(text);
    qsizetype total = 0;
    for (const QString &line : lines) {
        // A line never keeps a line end.
        if (line.contains(u'\r') || line.contains(u'\n'))
            std::abort();
        total += line.size();
    }
    if (total > text.size())
        std::abort();
    // What the program writes reads back the same.
    if (splitLines(decode(encodeLines(lines))) != lines)
        std::abort();
    return 0;
}
