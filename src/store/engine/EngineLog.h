#pragma once

#include <QString>

namespace tv::enginelog {

// What the engines said that the user is never shown (their English text,
// the statement that failed, a connection lost and found again), one dated
// entry each, in $XDG_STATE_HOME/tallvane/tallvane.log (by default
// ~/.local/state/tallvane/tallvane.log). Past 256 kB the file becomes
// tallvane.log.1, replacing the one before: the two never hold more than
// 512 kB.
QString path();
void write(const QString &entry);

} // namespace tv::enginelog
