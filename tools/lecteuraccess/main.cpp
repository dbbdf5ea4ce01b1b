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
// stream in memory, looked at after each row without a system call and
// emptied. Whatever writes to the descriptor itself goes into a file in
// memory, looked at after each table. Each complaint is told with the row,
// or the table, it came with.
class Complaints {
public:
    Complaints()
    {
        const int fd = memfd_create("libmdb-stderr", MFD_CLOEXEC);
        if (fd < 0 || dup2(fd, STDERR_FILENO) < 0)
            std::_Exit(3);
        ::close(fd);
        m_stream = open_memstream(&m_text, &m_size);
        if (!m_stream)
            std::_Exit(3);
        stderr = m_stream; // glibc's stderr is a variable
    }
    // What was printed since the last call, if anything.
    std::optional<QString> take(bool descriptorToo)
    {
        QByteArray text;
        std::fflush(m_stream);
        if (m_size > 0) {
            // The first lines say enough; a flood is not kept.
            text = QByteArray(m_text, static_cast<qsizetype>(std::min<size_t>(m_size, kKept)));
            if (fseeko(m_stream, 0, SEEK_SET) != 0)
                std::_Exit(3);
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
    static constexpr size_t kKept = 2048;

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

    FILE *m_stream = nullptr;
    char *m_text = nullptr;
    size_t m_size = 0;
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
