#include "store/engine/ServerAddress.h"

#include "store/engine/StoreError.h"

#include <QList>
#include <utility>

namespace tv {

namespace {

using Pair = std::pair<QString, QString>;

[[noreturn]] void malformed(const QString &conninfo, const QString &why)
{
    throw StoreError(QStringLiteral("La chaîne de connexion au serveur « %1 » est incorrecte : %2.\n"
                                    "Elle s'écrit par exemple : host=cabinet-serveur dbname=tallvane user=secretariat")
                         .arg(conninfo, why));
}

// libpq's keyword = value form; a value may be quoted with ' and hold \' or \\.
QList<Pair> split(const QString &text)
{
    QList<Pair> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSpaces = [&] {
        while (i < n && text.at(i).isSpace())
            ++i;
    };
    for (skipSpaces(); i < n; skipSpaces()) {
        const qsizetype keyStart = i;
        while (i < n && !text.at(i).isSpace() && text.at(i) != u'=')
            ++i;
        const QString key = text.mid(keyStart, i - keyStart);
        skipSpaces();
        if (key.isEmpty() || i >= n || text.at(i) != u'=')
            malformed(text, QStringLiteral("« %1 » n'est pas suivi de « = »").arg(key));
        ++i;
        skipSpaces();
        QString value;
        if (i < n && text.at(i) == u'\'') {
            for (++i;; ++i) {
                if (i >= n)
                    malformed(text, QStringLiteral("une apostrophe n'est pas refermée"));
                if (text.at(i) == u'\\' && i + 1 < n)
                    value.append(text.at(++i));
                else if (text.at(i) == u'\'')
                    break;
                else
                    value.append(text.at(i));
            }
            ++i;
        } else {
            while (i < n && !text.at(i).isSpace())
                value.append(text.at(i++));
        }
        pairs.append({key.toLower(), value});
    }
    return pairs;
}

} // namespace

ServerAddress ServerAddress::parse(const QString &conninfo)
{
    const QString text = conninfo.trimmed();
    if (text.isEmpty())
        malformed(text, QStringLiteral("elle est vide"));
    ServerAddress address;
    address.conninfo = text;
    for (const auto &[key, value] : split(text)) {
        if (key == QLatin1String("password"))
            throw StoreError(
                QStringLiteral("Le mot de passe ne doit pas figurer dans la chaîne de connexion au serveur.\n"
                               "Inscrivez-le dans le fichier .pgpass de l'utilisateur (ou celui que "
                               "désigne PGPASSFILE)."));
        if (key == QLatin1String("host") || key == QLatin1String("hostaddr"))
            address.host = value;
        else if (key == QLatin1String("dbname"))
            address.dbname = value;
    }
    return address;
}

QString ServerAddress::hostForMessage() const
{
    return host.isEmpty() ? QStringLiteral("le serveur local") : host;
}

} // namespace tv
