#pragma once

#include "common/ui/Dialogs.h"
#include "store/engine/StoreError.h"

#include <QMessageBox>

namespace tv {

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
        dialogs::critical(parent, error.fullText());
        return false;
    }
}

} // namespace tv
