#pragma once

#include "common/ui/Dialogs.h"
#include "store/engine/StoreError.h"

#include <QMessageBox>

#include <utility>

namespace tv {

// A server that does not answer is said once, not at every click until it
// answers again: the window keeps what it shows meanwhile.
inline bool toldAlready(const StoreError &error)
{
    static int told = 0;
    if (error.cause() != StoreError::Cause::Unreachable)
        return false;
    return std::exchange(told, error.outage()) == error.outage();
}

// Runs a handler body; a failed file or database operation is shown to the
// user in French instead of escaping into the event loop. Returns false
// when it failed.
template<typename F>
bool guarded(QWidget *parent, F &&body)
{
    try {
        body();
        return true;
    } catch (const StoreError &error) {
        if (!toldAlready(error))
            dialogs::critical(parent, error.fullText());
        return false;
    }
}

} // namespace tv
