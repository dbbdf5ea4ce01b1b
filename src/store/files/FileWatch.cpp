#include "store/files/FileWatch.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace tv {

FileWatch::FileWatch(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatch::check);
    // A file made, or replaced through a rename, shows in its folder.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatch::check);
}

FileWatch::Seen FileWatch::look(const QString &path)
{
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, static_cast<qint64>(info.st_size), static_cast<qint64>(info.st_ino),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

void FileWatch::watch(const QStringList &paths)
{
    if (paths == m_paths)
        return;
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_paths = paths;
    m_seen.clear();
    for (const QString &path : m_paths)
        m_seen.insert(path, look(path));
    arm();
}

void FileWatch::arm()
{
    QStringList wanted;
    for (const QString &path : m_paths) {
        wanted.append(QFileInfo(path).absolutePath());
        if (m_seen.value(path).exists)
            wanted.append(path);
    }
    wanted.removeDuplicates();
    const QStringList armed = m_watcher.files() + m_watcher.directories();
    for (const QString &path : std::as_const(wanted))
        if (!armed.contains(path))
            m_watcher.addPath(path);
}

void FileWatch::check()
{
    QStringList changedPaths;
    for (const QString &path : std::as_const(m_paths)) {
        const Seen now = look(path);
        const Seen before = m_seen.value(path);
        if (now == before)
            continue;
        // A file replaced through a rename is another file: its watch is
        // set again.
        if (now.inode != before.inode && m_watcher.files().contains(path))
            m_watcher.removePath(path);
        m_seen.insert(path, now);
        changedPaths.append(path);
    }
    if (changedPaths.isEmpty())
        return;
    arm();
    emit changed(changedPaths);
}

} // namespace tv
