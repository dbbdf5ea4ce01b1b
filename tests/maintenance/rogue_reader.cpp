// A stand-in for LecteurAccess that misbehaves as a damaged file can make
// the real one misbehave, chosen by the file's name. Each ends, if no
// limit stops it first, with the stream of a whole file with empty tables,
// so a missing limit shows as a test failure, not as a hang.
#include "maintenance/core/AccessStream.h"
#include "maintenance/core/Sanitizer.h"

#include <QFileInfo>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

using namespace tv::accessstream;

namespace {

void send(const Frame &frame)
{
    const QByteArray bytes = encode(frame);
    if (::write(STDOUT_FILENO, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
        std::_Exit(2);
}

// 1.5 GB: reserved where the address space is limited, touched where the
// sanitizer limits the memory in use instead.
void takeMemory()
{
    constexpr size_t size = size_t(3) << 29;
    void *block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED)
        std::abort(); // as the library does when an allocation fails
#if TV_SANITIZED
    for (size_t at = 0; at < size; at += 4096)
        static_cast<char *>(block)[at] = 1;
#endif
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 64;
    const QString mode = QFileInfo(QString::fromLocal8Bit(argv[1])).baseName();
    if (mode == QLatin1String("memoire"))
        takeMemory();
    else if (mode == QLatin1String("sommeil"))
        sleep(60);
    else if (mode == QLatin1String("bavard"))
        send(Row{{1LL}}); // a row before anything else
    const QStringList tables = {QStringLiteral("Labo"), QStringLiteral("Passage"), QStringLiteral("Visite")};
    send(Hello{QStringLiteral("Jet 4")});
    send(Catalog{tables});
    for (const QString &table : tables) {
        send(Table{table, 0, {{QStringLiteral("Num"), ColumnKind::Counter, 0}}});
        send(TableEnd{0});
    }
    send(Done{});
    return 0;
}
