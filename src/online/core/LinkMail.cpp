#include "online/core/LinkMail.h"

#include <QUrlQuery>

namespace tv::online {

QUrl mailWithLink(const QString &email, const QString &labo, const QString &link)
{
    QUrl url(QStringLiteral("mailto:") + email.trimmed());
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral("Prise de rendez-vous en ligne - ") + labo);
    query.addQueryItem(QStringLiteral("body"),
                       QStringLiteral("Bonjour,\r\n\r\nVoici le lien personnel de %1 pour prendre et annuler vos "
                                      "rendez-vous avec les médecins du cabinet :\r\n%2\r\n\r\nCe lien est "
                                      "personnel : ne le transmettez pas.\r\n")
                           .arg(labo, link));
    // A "+" or "&" of the text stays itself in the mail.
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

} // namespace tv::online
