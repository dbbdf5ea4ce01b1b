#include "store/engine/EngineLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace tv::enginelog {

namespace {
constexpr qint64 kRotateAt = 256 * 1024;
}

QString path()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tallvane/tallvane.log");
}

void write(const QString &entry)
{
    static QMutex mutex;
    const QMutexLocker lock(&mutex);
    const QString file = path();
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (QFileInfo(file).size() > kRotateAt) {
        QFile::remove(file + QStringLiteral(".1"));
        QFile::rename(file, file + QStringLiteral(".1"));
    }
    QFile log(file);
    // A log that cannot be written must not stop the program.
    if (!log.open(QIODevice::Append))
        return;
    QString text = entry;
    text.replace(u'\n', QStringLiteral("\r\n    "));
    log.write((QDateTime::currentDateTime().toString(Qt::ISODate) + u' ' + text + QStringLiteral("\r\n")).toUtf8());
}

} // namespace tv::enginelog
