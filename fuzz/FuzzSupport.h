#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace tvfuzz {

inline QByteArray bytes(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// One folder for the whole run: the readers are given real files, as the
// program finds them.
inline QString folder()
{
    // In memory when the system offers it: the writers sync to disk.
    static QTemporaryDir dir(QFile::exists(QStringLiteral("/dev/shm"))
                                 ? QStringLiteral("/dev/shm/tallvane-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tallvane-fuzz-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir.path();
}

inline void writeFile(const QString &name, const QByteArray &content)
{
    QFile f(folder() + QStringLiteral("/") + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        std::abort();
}

} // namespace tvfuzz
