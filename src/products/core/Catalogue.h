#pragma once

#include <QString>
#include <QStringList>

namespace tv::catalogue {

// The combo entry of one Medoc.txt line: two blanks and the name in upper
// case. The line is taken as it stands, so a hand-typed trailing blank stays
// in the entry (and makes the deletion miss that line: the rewrite compares
// whole lines).
QString entryFor(const QString &line);

// The name a user typed, as it goes into the combos: two blanks and the
// trimmed name in upper case.
QString entryForTyped(const QString &typed);

// True when `typed` names an entry already listed, blanks around either and
// letter case (accented letters included) ignored.
bool isRegistered(const QString &typed, const QStringList &entries);

// Where `entry` goes in `entries` (kept in ascending order) so that the
// order stays sorted; after any equal entries.
int sortedPosition(const QStringList &entries, const QString &entry);

// The edit text the medicine box shows for `text` while it is being typed,
// so that the two-blank prefix stays in front of what the user types. Texts
// of three characters or more come back unchanged.
QString editPrefixed(const QString &text);

} // namespace tv::catalogue
