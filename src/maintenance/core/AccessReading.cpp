#include "maintenance/core/AccessReading.h"

#include "maintenance/core/Sanitizer.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tv::accessreading {

namespace {

constexpr qint64 kMemory = qint64(1) << 30;
constexpr qint64 kMegabyte = qint64(1) << 20;
// A good file reads at several megabytes a second; the sanitizers slow the
// reader down about three times.
constexpr int kBaseSeconds = 3;
constexpr int kSlowdown = TV_SANITIZED ? 3 : 1;

const QString kCrashed = QStringLiteral("le lecteur s'est arrêté sur une erreur");
const QString kTooLong = QStringLiteral("la lecture ne se terminait pas");
const QString kIncoherent = QStringLiteral("le lecteur a envoyé des données incohérentes");

QString &configuredPath()
{
    static QString path;
    return path;
}

// Runs in the child between fork and exec: only system calls. The time
// limit is the parent's to keep: it kills the child at the deadline.
void limitChild(pid_t parent, rlim_t memory)
{
    // The child ends with the program, however the program ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(127);
    // A crash leaves no core file in the user's folders.
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    if (memory > 0) {
        const rlimit space{memory, memory};
        setrlimit(RLIMIT_AS, &space);
    }
}

class Child {
public:
    Child(AccessContent &content, const QStringList &asked, const QDeadlineTimer &deadline)
        : m_intake(content, asked)
        , m_deadline(deadline)
    {
        m_process.setProgram(readerPath());
        m_process.setArguments(QStringList{content.path} + asked);
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.setWorkingDirectory(QDir::tempPath());
        rlim_t memory = kMemory;
        // Under AddressSanitizer, which reserves far more address space
        // than any limit, the sanitizer's own ceiling holds the reader.
        // libmdb reads memory it never wrote on some damaged files: new
        // blocks are not filled for it, so that it reads them as the
        // program's own allocator leaves them.
        if (TV_SANITIZED) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("ASAN_OPTIONS"),
                       env.value(QStringLiteral("ASAN_OPTIONS"))
                           + QStringLiteral(":detect_leaks=0:hard_rss_limit_mb=%1:max_malloc_fill_size=0")
                                 .arg(kMemory / kMegabyte));
            m_process.setProcessEnvironment(env);
            memory = 0;
        }
        const pid_t parent = getpid();
        m_process.setChildProcessModifier([=] { limitChild(parent, memory); });
    }
    ~Child()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(-1);
        }
    }
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;

    void run()
    {
        m_process.start();
        if (!m_process.waitForStarted(-1))
            throw StoreError(QStringLiteral("Le programme de lecture des bases Access « %1 » n'a pas pu être lancé. "
                                            "Réinstallez le programme.")
                                 .arg(files::native(readerPath())),
                             m_process.errorString());
        QString why;
        for (;;) {
            const auto wait = std::clamp<qint64>(m_deadline.remainingTime(), 1, 500);
            const bool more = m_process.waitForReadyRead(static_cast<int>(wait));
            if (!takeOutput()) {
                why = kIncoherent;
                break;
            }
            if (!more && m_process.state() == QProcess::NotRunning)
                break;
            if (m_deadline.hasExpired()) {
                why = kTooLong;
                break;
            }
        }
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(-1);
        } else if (why.isEmpty() && !takeOutput()) {
            why = kIncoherent;
        }
        if (why.isEmpty() && !m_intake.done())
            why = kCrashed;
        // Whatever came after the end is as wrong as a stream cut short.
        if (why.isEmpty()
            && (m_decoder.pending() > 0 || m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0))
            why = kIncoherent;
        if (!why.isEmpty())
            m_intake.stopped(why);
    }

private:
    bool takeOutput()
    {
        m_decoder.feed(m_process.readAllStandardOutput());
        while (const auto frame = m_decoder.next()) {
            if (!m_intake.take(*frame))
                return false;
        }
        return !m_decoder.malformed();
    }

    QProcess m_process;
    accessstream::Decoder m_decoder;
    AccessIntake m_intake;
    const QDeadlineTimer &m_deadline;
};

} // namespace

bool isAccessFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(20);
    // Bytes 4 to 19 name the engine; the page that follows holds the rest
    // of the header, so a shorter file cannot be one.
    return file.size() >= 2048
           && (head.mid(4) == QByteArray("Standard Jet DB\0", 16)
               || head.mid(4) == QByteArray("Standard ACE DB\0", 16));
}

QString readerPath()
{
    if (!configuredPath().isEmpty())
        return configuredPath();
    return files::join(QCoreApplication::applicationDirPath(), ReaderName);
}

void setReaderPath(const QString &path)
{
    // The child runs in another folder.
    configuredPath() = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

Limits limitsFor(qint64 fileSize)
{
    const auto megabytes = static_cast<int>((std::max<qint64>(fileSize, 0) + kMegabyte - 1) / kMegabyte);
    return {kMemory, (kBaseSeconds + megabytes) * kSlowdown};
}

AccessContent read(const QString &path)
{
    AccessContent content;
    content.path = QFileInfo(path).absoluteFilePath();
    const QDeadlineTimer deadline(qint64(limitsFor(QFileInfo(path).size()).seconds) * 1000);
    QStringList asked; // the whole catalog first
    for (;;) {
        const qsizetype before = content.tables.size();
        Child(content, asked, deadline).run();
        if (!content.catalogRead || !content.unreadable.isEmpty())
            break;
        asked = AccessIntake(content, {}).unread();
        if (asked.isEmpty())
            break;
        // Each child reads at least one table, or the rest is given up.
        const bool stuck = content.tables.size() == before;
        if (stuck || deadline.hasExpired()) {
            for (const QString &name : asked) {
                AccessTable t;
                t.name = name;
                t.failure = stuck ? kCrashed : kTooLong;
                content.tables.append(t);
            }
            break;
        }
    }
    return content;
}

} // namespace tv::accessreading
