#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Rules of the laboratory list and record panel that need no widget.
namespace tv::labrules {

// A telephone field after leaving it: the separators go and the digits are
// grouped by two from the left, an odd count leaving the first digit alone
// ("06.12.34.56.78" -> "06 12 34 56 78", 11 digits -> "0 61 23 45 67 89").
// The walk over the characters follows the positions of the text as it was
// typed while removing from the text as it shrinks, so a character that
// slides onto an already visited position stays: the result of a text made
// of letters is not meaningful, see hasLetters().
QString normaliseTelephone(const QString &text);
// A telephone field holding letters is left as typed (nothing to group).
bool hasLetters(const QString &text);

// Index of the first list entry whose trimmed text begins with the answer,
// any case; -1 when none does.
int quickSearch(const QStringList &entries, const QString &answer);

enum class NameCheck {
    Ok,
    Cancelled, // nothing typed: the operation ends silently
    Blank,     // only blanks
    Duplicate, // already in the list, whatever the case or blanks
};
// The name typed for a new laboratory against the list entries. `except`
// is an entry index that may carry the same name (the one being renamed).
NameCheck checkName(const QStringList &entries, const QString &answer, int except = -1);
// The list entry of a laboratory name: two blanks and the name in capitals.
QString listEntry(const QString &name);

// The answer to the annual quota question: "" counts as 0; otherwise a whole
// number from 0 up. nullopt for anything else ("abc", "-3", "2,5").
std::optional<int> parseQuota(const QString &answer);

// The web site can be opened only for an address beginning with http
// (any case); mail needs an address holding "@".
bool isWebAddress(const QString &url);
bool isMailAddress(const QString &email);

} // namespace tv::labrules
