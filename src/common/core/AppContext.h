#pragma once

#include "common/core/SharedState.h"
#include "store/tables/Store.h"

#include <QString>
#include <memory>

namespace tv {

// What the handlers of the main window share: the program and settings
// folders, the shared state and the open database.
struct AppContext {
    QString programFolder;
    QString settingsFolder; // CheminBase.cfg, Vs.ini: see files::settingsFolder
    SharedState state;
    std::unique_ptr<Store> store;
};

} // namespace tv
