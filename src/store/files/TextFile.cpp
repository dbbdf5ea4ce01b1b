#include "store/files/TextFile.h"

#include "store/engine/StoreError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tv::textfile {

namespace {

// Windows-1252 code points for bytes 0x80..0x9F; the rest is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F)
            out.append(QChar(kCp1252High[b - 0x80]));
        else
            out.append(QChar(static_cast<char16_t>(b)));
    }
    return out;
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes); // decoding happens on conversion
    return !utf8.hasError();
}

// Characters Windows-1252 lacks become "?".
QByteArray encodeCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        const auto *hit = std::find(std::begin(kCp1252High), std::end(kCp1252High), u);
        out += hit != std::end(kCp1252High) ? static_cast<char>(0x80 + (hit - std::begin(kCp1252High))) : '?';
    }
    return out;
}

WriteFault g_writeFault = nullptr;
ReadFault g_readFault = nullptr;
constexpr qint64 kAbandonedAfterSeconds = 600;

bool faultAt(WriteStep step, const QString &path)
{
    return g_writeFault && g_writeFault(step, path);
}

// A writer killed between writing its temporary file and the rename leaves
// "<name>.XXXXXX" beside the file. A live write lasts milliseconds, and
// another workstation may be in the middle of one, so only old ones go.
void sweepAbandonedTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-kAbandonedAfterSeconds);
    const QString prefix = target.fileName() + QLatin1Char('.');
    const QFileInfoList candidates =
        target.dir().entryInfoList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &candidate : candidates)
        if (candidate.lastModified().toUTC() < limit)
            QFile::remove(candidate.filePath());
}

QString ioError(const QString &what, const QString &path)
{
    return what + QStringLiteral(" « ") + QFileInfo(path).absoluteFilePath() + QStringLiteral(" »");
}

} // namespace

QString decode(const QByteArray &bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    // One byte order mark goes; a second one is the text's own U+FEFF.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return decodeCp1252(body);
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    // A text beginning with U+FEFF would lose it to the reader, which takes
    // it for a byte order mark: a real mark in front keeps it.
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF)))
        out += "\xEF\xBB\xBF";
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines.append(text.mid(start, i - start));
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool exists(const QString &path)
{
    return QFileInfo(path).isFile();
}

std::optional<QStringList> readLines(const QString &path)
{
    if (!exists(path))
        return std::nullopt;
    return splitLines(readAll(path));
}

QString readAll(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if ((g_readFault && g_readFault(path)) || !file.open(QIODevice::ReadOnly))
        throw StoreError(ioError(QStringLiteral("Impossible de lire le fichier"), path), file.errorString());
    return decode(file.readAll());
}

void writeLines(const QString &path, const QStringList &lines)
{
    writeBytes(path, encodeLines(lines));
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    // QSaveFile removes its temporary file when the write is abandoned.
    QSaveFile file(path);
    const auto fail = [&] {
        const QString detail = file.errorString();
        file.cancelWriting();
        throw StoreError(ioError(QStringLiteral("Impossible d'écrire le fichier"), path), detail);
    };
    if (!file.open(QIODevice::WriteOnly) || faultAt(WriteStep::TemporaryOpened, path))
        fail();
    const qsizetype half = bytes.size() / 2;
    if (file.write(bytes.constData(), half) != half || faultAt(WriteStep::TemporaryHalfWritten, path))
        fail();
    if (file.write(bytes.constData() + half, bytes.size() - half) != bytes.size() - half
        || faultAt(WriteStep::TemporaryWritten, path) || !file.commit())
        fail();
    sweepAbandonedTemporaries(path);
}

void setWriteFault(WriteFault fault)
{
    g_writeFault = fault;
}

void setReadFault(ReadFault fault)
{
    g_readFault = fault;
}

void appendLines(const QString &path, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    QFile file(path);
    const auto fail = [&] {
        throw StoreError(ioError(QStringLiteral("Impossible d'écrire le fichier"), path), file.errorString());
    };
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered) || !file.seek(0))
        fail();
    const QByteArray old = file.readAll();
    QByteArray bytes;
    // A last line without its end (a file edited by hand) keeps its own line;
    // a file holding only its byte order mark has no line yet.
    const bool noLine = old.isEmpty() || old == QByteArrayLiteral("\xEF\xBB\xBF");
    if (!noLine && !old.endsWith('\n') && !old.endsWith('\r'))
        bytes += "\r\n";
    if (old.isEmpty()) {
        bytes += encodeLines(lines);
    } else if (isUtf8(old)) {
        // A byte order mark belongs only at the start of a file.
        const QByteArray body = encodeLines(lines);
        bytes += body.startsWith("\xEF\xBB\xBF") ? body.sliced(3) : body;
    } else {
        // A file of the old platform stays in its encoding, or its own
        // accents would no longer read.
        for (const QString &line : lines)
            bytes += encodeCp1252(line) + "\r\n";
    }
    if (file.write(bytes) != bytes.size() || !file.flush())
        fail();
}

void appendLine(const QString &path, const QString &line)
{
    appendLines(path, {line});
}

void replaceFile(const QString &source, const QString &target)
{
    // POSIX rename replaces the target in one step.
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0)
        throw StoreError(ioError(QStringLiteral("Impossible de remplacer le fichier"), target),
                         QString::fromLocal8Bit(std::strerror(errno)));
}

FieldReader::FieldReader(QString text)
    : m_text(std::move(text))
{
}

bool FieldReader::atEnd() const
{
    qsizetype p = m_pos;
    while (p < m_text.size()
           && (m_text.at(p) == u' ' || m_text.at(p) == u'\t' || m_text.at(p) == u'\r' || m_text.at(p) == u'\n'))
        ++p;
    return p >= m_text.size();
}

std::optional<QString> FieldReader::readText()
{
    // Blank lines between fields are skipped like leading blanks.
    while (m_pos < m_text.size()) {
        const QChar c = m_text.at(m_pos);
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
            ++m_pos;
        else
            break;
    }
    if (m_pos >= m_text.size())
        return std::nullopt;

    auto skipSeparator = [this] {
        while (m_pos < m_text.size() && m_text.at(m_pos) == u' ')
            ++m_pos;
        if (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == u',' || c == u'\n')
                ++m_pos;
            else if (c == u'\r') {
                ++m_pos;
                if (m_pos < m_text.size() && m_text.at(m_pos) == u'\n')
                    ++m_pos;
            }
        }
    };

    if (m_text.at(m_pos) == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        QString field = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? m_text.size() : close + 1;
        // Anything between the closing quote and the separator is dropped.
        while (m_pos < m_text.size() && m_text.at(m_pos) != u',' && m_text.at(m_pos) != u'\r'
               && m_text.at(m_pos) != u'\n')
            ++m_pos;
        skipSeparator();
        return field;
    }

    qsizetype end = m_pos;
    while (end < m_text.size() && m_text.at(end) != u',' && m_text.at(end) != u'\r' && m_text.at(end) != u'\n')
        ++end;
    QString field = m_text.mid(m_pos, end - m_pos);
    m_pos = end;
    skipSeparator();
    // Trailing blanks of an unquoted field are not part of it.
    while (!field.isEmpty() && field.back() == u' ')
        field.chop(1);
    return field;
}

std::optional<long long> FieldReader::readInteger(long long min, long long max)
{
    const auto field = readText();
    if (!field)
        return std::nullopt;
    // An empty field is a number like the others: 0.
    bool ok = true;
    const QString digits = field->trimmed();
    const long long value = digits.isEmpty() ? 0 : digits.toLongLong(&ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

QString quoteField(const QString &text)
{
    const bool needsQuotes =
        text.contains(u',') || text.startsWith(u' ') || text.startsWith(u'\t') || text.endsWith(u' ');
    return needsQuotes ? QStringLiteral("\"") + text + QStringLiteral("\"") : text;
}

} // namespace tv::textfile
