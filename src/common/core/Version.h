#pragma once

#include <QString>

namespace tv {

inline QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(TALLVANE_VERSION_MAJOR)
        .arg(TALLVANE_VERSION_MINOR)
        .arg(TALLVANE_VERSION_PATCH);
}

inline QString appTitle()
{
    return QStringLiteral("Tallvane");
}

} // namespace tv
