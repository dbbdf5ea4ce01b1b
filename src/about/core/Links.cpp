#include "about/core/Links.h"

namespace tv::links {

namespace {
// The text is taken as it stands, trailing blanks included; QUrl's
// tolerant parsing would drop them.
QUrl exact(const QString &text)
{
    return QUrl::fromEncoded(QUrl::toPercentEncoding(text, "/:?=@.&"), QUrl::StrictMode);
}
} // namespace

QUrl site()
{
    return QUrl(WebSite);
}

QUrl mailFromMenu()
{
    return exact(QStringLiteral("mailto:") + AuthorMail + QStringLiteral("?Subject=A propos de Tallvane  "));
}

QUrl mailFromAbout()
{
    return exact(QStringLiteral("mailto:") + AuthorMail + QStringLiteral(" "));
}

QString versionCaption(int major, int minor, int revision)
{
    return QStringLiteral("[Version %1.%2.%3]").arg(major).arg(minor).arg(revision);
}

} // namespace tv::links
