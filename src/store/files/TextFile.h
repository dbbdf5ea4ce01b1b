#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace tv::textfile {

// Text files of the program: CR LF line ends, written as UTF-8. Files made
// on the old platform are Windows-1252; a file that is not valid UTF-8 is
// read as such.
QString decode(const QByteArray &bytes);
QByteArray encodeLines(const QStringList &lines);

// Splits a decoded text into lines without their ends. A final line end does
// not make an extra empty line.
QStringList splitLines(const QString &text);

bool exists(const QString &path);

// The file's lines, or nullopt when the file does not exist. Throws
// StoreError when it exists but cannot be read.
std::optional<QStringList> readLines(const QString &path);
QString readAll(const QString &path); // "" when missing

// Writes the lines through a temporary file and a rename: the old or the
// new content is there whole, never a truncated file. Throws StoreError.
void writeLines(const QString &path, const QStringList &lines);
// The same for a file made elsewhere (a PDF, an image, a calendar).
void writeBytes(const QString &path, const QByteArray &bytes);

// Fault injection for the crash-safety tests. writeLines asks the hook at
// each step of a write; when it answers true the step fails as a full or
// vanished disk would make it fail. No hook is set in the program.
enum class WriteStep {
    TemporaryOpened,      // the temporary file exists, nothing written
    TemporaryHalfWritten, // half of the bytes are in the temporary file
    TemporaryWritten,     // all bytes written, the rename has not happened
};
using WriteFault = bool (*)(WriteStep step, const QString &path);
void setWriteFault(WriteFault fault); // nullptr removes it

// Fault injection for the tests of unreadable files (which the superuser
// running the tests cannot make): readAll fails for a path when the hook
// answers true. No hook is set in the program.
using ReadFault = bool (*)(const QString &path);
void setReadFault(ReadFault fault); // nullptr removes it

// Adds lines at the end, creating the file when missing. A real append in
// one write: two workstations adding at the same moment both keep their
// lines, which reading and rewriting the file would not. Throws StoreError.
void appendLines(const QString &path, const QStringList &lines);
void appendLine(const QString &path, const QString &line);

// Replaces `target` by `source` in one rename. Throws StoreError.
void replaceFile(const QString &source, const QString &target);

// The field-read primitive of the settings files: skip leading blanks; a
// field starting with a double quote runs to the next double quote,
// otherwise to the next comma or line end; the separator is consumed.
class FieldReader {
public:
    explicit FieldReader(QString text);

    bool atEnd() const;
    std::optional<QString> readText();
    // A whole number in [min, max]; nullopt when missing or not a number.
    std::optional<long long> readInteger(long long min, long long max);

private:
    QString m_text;
    qsizetype m_pos = 0;
};

// How a text is written so that FieldReader::readText gives it back whole.
QString quoteField(const QString &text);

} // namespace tv::textfile
