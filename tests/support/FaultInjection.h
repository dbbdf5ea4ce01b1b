#pragma once

#include "store/files/TextFile.h"

#include <QDir>

// Makes every text-file write of the scope fail at one step, as a crash or
// a full disk would, and counts the steps reached.
namespace tvtest {

inline tv::textfile::WriteStep &faultStep()
{
    static tv::textfile::WriteStep step = tv::textfile::WriteStep::TemporaryOpened;
    return step;
}

inline int &faultCalls()
{
    static int calls = 0;
    return calls;
}

struct FaultGuard {
    explicit FaultGuard(tv::textfile::WriteStep step)
    {
        faultStep() = step;
        faultCalls() = 0;
        tv::textfile::setWriteFault([](tv::textfile::WriteStep reached, const QString &) {
            ++faultCalls();
            return reached == faultStep();
        });
    }
    ~FaultGuard() { tv::textfile::setWriteFault(nullptr); }
    FaultGuard(const FaultGuard &) = delete;
    FaultGuard &operator=(const FaultGuard &) = delete;
};

// What a writer left in a folder, its hidden temporaries included.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace tvtest
