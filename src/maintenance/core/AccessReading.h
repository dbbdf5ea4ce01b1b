#pragma once

#include "maintenance/core/AccessIntake.h"

namespace tv::accessreading {

// True when the file starts with a Jet or ACE header. Looked at before
// the library is given a file, which it may not take kindly otherwise.
bool isAccessFile(const QString &path);

// The name of the reader program, in the program folder beside Ferrune.
inline const QString ReaderName = QStringLiteral("LecteurAccess");

// Where the reader program is: beside the running program unless set
// (tests and benchmarks run from other folders).
QString readerPath();
void setReaderPath(const QString &path);

// What a reader child may take: address space, and a time for the whole
// file that grows with its size.
struct Limits {
    qint64 memoryBytes = 0;
    int seconds = 0;
};
Limits limitsFor(qint64 fileSize);

// Reads every table of an Access file in a reader child. A child that
// crashes, exceeds a limit or sends what cannot be is stopped, the table
// it was reading marked damaged, and a new child reads the tables after
// it while time is left. Nothing of the library runs in this process.
// Throws StoreError only when the reader cannot be started.
AccessContent read(const QString &path);

} // namespace tv::accessreading
