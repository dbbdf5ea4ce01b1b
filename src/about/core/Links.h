#pragma once

#include <QString>
#include <QUrl>

namespace tv::links {

// The program's web site and the author's contact address.
inline const QString WebSite = QStringLiteral("https://www.tallvane.fr");
inline const QString AuthorMail = QStringLiteral("contact@tallvane.fr");

QUrl site();
// From the menu: a new mail with the subject already filled in.
QUrl mailFromMenu();
// From the About window: a new mail, no subject.
QUrl mailFromAbout();

// "[Version 2.4.0]"
QString versionCaption(int major, int minor, int revision);

} // namespace tv::links
