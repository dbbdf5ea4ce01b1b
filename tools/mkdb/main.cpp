// Build step: writes the shipped empty database from the program's schema.
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tallvane_mkdb <file>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString tmp = path + QStringLiteral(".tmp");
    QFile::remove(tmp);
    try {
        tv::Database::create(tmp);
    } catch (const tv::StoreError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.fullText()));
        return 1;
    }
    QFile::remove(path);
    if (!QFile::rename(tmp, path)) {
        std::fprintf(stderr, "cannot rename %s\n", qPrintable(tmp));
        return 1;
    }
    return 0;
}
