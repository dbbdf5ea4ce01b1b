#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>

namespace tv {

// Tells when the text files of the data folder change: appended, rewritten
// in place, replaced through a rename, made or removed. The system's
// notice comes at once on a local disk; check() compares the files with how
// they were last seen, for a shared folder whose changes the system does
// not notice. A file replaced by a rename is watched again.
class FileWatch : public QObject {
    Q_OBJECT
public:
    explicit FileWatch(QObject *parent = nullptr);

    // The files to watch from now on, as they are now.
    void watch(const QStringList &paths);
    void check();

signals:
    void changed(const QStringList &paths);

private:
    struct Seen {
        bool exists = false;
        qint64 size = 0;
        qint64 inode = 0;
        qint64 modified = 0; // nanoseconds
        friend bool operator==(const Seen &, const Seen &) = default;
    };
    static Seen look(const QString &path);
    void arm();

    QFileSystemWatcher m_watcher;
    QStringList m_paths;
    QHash<QString, Seen> m_seen;
};

} // namespace tv
