#pragma once

#include <QString>
#include <QStringList>

namespace tv::productstext {

// The products of one visit as the Produit column holds them: every
// non-blank list entry, trimmed and followed by one line feed.
QString join(const QStringList &entries);

// The pieces of a products text split at line feeds. The empty piece after
// the final line feed is part of the result (the entry list shows it as a
// blank entry, which join() skips).
QStringList split(const QString &text);

// The products part of a history line: the products separated by " / " and
// followed by one blank; "" for a text without products.
QString historyPart(const QString &text);

} // namespace tv::productstext
