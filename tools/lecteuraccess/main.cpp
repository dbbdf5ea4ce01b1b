// LecteurAccess <file> [table...]: reads an Access database of the former
// program with libmdb and writes what it holds on its standard output, in
// the frames of maintenance/core/AccessStream.h: the tables named, in that
// order, or every table of the catalog. The program starts it under limits
// of memory and time (accessreading::read); whatever the library does with
// a damaged file ends this process only.
#include "maintenance/core/AccessStream.h"
#include "maintenance/core/JetReader.h"
#include "store/engine/StoreError.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace tv::accessstream;

// Frames go out in large writes into a pipe made as large as the system
// allows: the two processes wake each other seldom, which counts on a
// machine busy with other work. A program that stops reading ends us.
class Output {
public:
    ~Output() { flush(); }
    Output() { fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20); }
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    void send(const Frame &frame)
    {
        encode(frame, m_buffer);
        if (m_buffer.size() >= kChunk)
            flush();
    }
    void sendRow(const std::vector<RawValue> &values)
    {
        encodeRow(values, m_buffer);
        if (m_buffer.size() >= kChunk)
            flush();
    }
    void flush()
    {
        const char *data = m_buffer.constData();
        qsizetype left = m_buffer.size();
        while (left > 0) {
            const ssize_t n = ::write(STDOUT_FILENO, data, static_cast<size_t>(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                std::_Exit(2);
            data += n;
            left -= n;
        }
        m_buffer.clear();
    }

private:
    static constexpr qsizetype kChunk = 256 << 10;
    QByteArray m_buffer;
};

// The library reports what it cannot read on its standard error, and goes
// on. It prints with fprintf(stderr, ...): the C library's stderr becomes a
// stream of our own, which keeps the first lines of what it is given and
// counts the rest (a flood takes no memory), looked at after each row
// without a system call. Whatever writes to the descriptor itself goes into
// a file in memory, looked at after each table. Each complaint is told with
// the row, or the table, it came with.
class Complaints {
public:
    Complaints()
        : m_original(stderr)
    {
        const int fd = memfd_create("libmdb-stderr", MFD_CLOEXEC);
        if (fd < 0 || dup2(fd, STDERR_FILENO) < 0)
            std::_Exit(3);
        ::close(fd);
        m_stream = fopencookie(this, "w", {nullptr, &Complaints::write, nullptr, nullptr});
        if (!m_stream || setvbuf(m_stream, nullptr, _IONBF, 0) != 0)
            std::_Exit(3);
        stderr = m_stream; // glibc's stderr is a variable
    }
    ~Complaints()
    {
        stderr = m_original;
        std::fclose(m_stream);
    }
    Complaints(const Complaints &) = delete;
    Complaints &operator=(const Complaints &) = delete;

    // What was printed since the last call, if anything.
    std::optional<QString> take(bool descriptorToo)
    {
        QByteArray text;
        if (m_written > 0) {
            text = m_kept.isNull() ? QByteArray("") : m_kept;
            m_kept.clear();
            m_written = 0;
        }
        if (descriptorToo)
            text += fromDescriptor();
        if (text.isNull())
            return std::nullopt;
        return QString::fromUtf8(text).trimmed();
    }
    void sendTo(Output &out, bool descriptorToo = false)
    {
        if (const auto text = take(descriptorToo))
            out.send(Diagnostic{*text});
    }

private:
    // The first lines say enough.
    static constexpr qsizetype kKept = 2048;

    static ssize_t write(void *cookie, const char *data, size_t size)
    {
        auto *self = static_cast<Complaints *>(cookie);
        const qsizetype room = kKept - self->m_kept.size();
        if (room > 0)
            self->m_kept.append(data, std::min(room, static_cast<qsizetype>(size)));
        self->m_written += size;
        return static_cast<ssize_t>(size);
    }

    static QByteArray fromDescriptor()
    {
        const off_t size = lseek(STDERR_FILENO, 0, SEEK_CUR);
        if (size <= 0)
            return {};
        QByteArray text(static_cast<qsizetype>(std::min<off_t>(size, kKept)), '\0');
        const ssize_t n = pread(STDERR_FILENO, text.data(), static_cast<size_t>(text.size()), 0);
        text.truncate(std::max<ssize_t>(n, 0));
        if (ftruncate(STDERR_FILENO, 0) != 0 || lseek(STDERR_FILENO, 0, SEEK_SET) != 0)
            std::_Exit(3);
        return text.isNull() ? QByteArray("") : text;
    }

    FILE *m_original;
    FILE *m_stream = nullptr;
    QByteArray m_kept;
    size_t m_written = 0;
};

// No more rows than the table counts and as many again: a chain of pages
// that loops would otherwise give rows for ever.
constexpr qint64 kSlack = 1000;

void readTable(const tv::JetReader &reader, const QString &name, Output &out, Complaints &complaints)
{
    qint64 declared = 0;
    quint32 sent = 0;
    try {
        reader.readTable(
            name,
            [&](const tv::JetReader::TableInfo &info) {
                complaints.sendTo(out, true);
                declared = info.declaredRows;
                out.send(Table{name, static_cast<quint32>(info.declaredRows), info.columns});
                out.flush();
            },
            [&](const std::vector<RawValue> &values) {
                complaints.sendTo(out);
                if (sent >= 2 * declared + kSlack) {
                    out.send(Diagnostic{QStringLiteral("lecture arrêtée après %1 lignes").arg(sent)});
                    return false;
                }
                out.sendRow(values);
                ++sent;
                return true;
            },
            [&](const QString &what) { out.send(Diagnostic{what}); });
        complaints.sendTo(out, true);
        out.send(TableEnd{sent});
    } catch (const tv::StoreError &error) {
        complaints.sendTo(out, true);
        out.send(Failure{name, error.message()});
    }
    // What was read is out before the next table can bring us down.
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 64;
    Complaints complaints;
    Output out;
    const QString path = QFile::decodeName(argv[1]);
    try {
        const tv::JetReader reader(path);
        complaints.sendTo(out, true);
        out.send(Hello{reader.formatName()});
        const QStringList catalog = reader.tables();
        complaints.sendTo(out, true);
        out.send(Catalog{catalog});
        out.flush();
        QStringList asked;
        for (int i = 2; i < argc; ++i)
            asked.append(QString::fromUtf8(argv[i]));
        for (const QString &name : asked.isEmpty() ? catalog : asked)
            readTable(reader, name, out, complaints);
    } catch (const tv::StoreError &error) {
        complaints.sendTo(out, true);
        out.send(Failure{QString(), error.message()});
    }
    out.send(Done{});
    return 0;
}
