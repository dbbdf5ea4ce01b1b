#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tv::medocfile {

// Medoc.txt (data folder): the medicines catalogue, one name per line in
// the order of addition and the letter case typed.

// The lines as they stand; nullopt when the file does not exist.
std::optional<QStringList> read(const QString &dataFolder);

// Appends the trimmed name, creating the file when missing.
void append(const QString &dataFolder, const QString &name);

// Rewrites the file through Medoc_tmp.txt without the lines equal to the
// trimmed name (letter case ignored, a line compared with its own blanks),
// every kept line trimmed. A missing file becomes an empty one.
void remove(const QString &dataFolder, const QString &name);

} // namespace tv::medocfile
