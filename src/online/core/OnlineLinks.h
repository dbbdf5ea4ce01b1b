#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tv {
class Store;

// The personal links by which a laboratory's delegate reaches the online
// booking page. A token is derived from a random seed kept in the Lien
// table and from the practice's key, a file of the data folder: the
// database alone (a stolen backup) gives no token, while the desktop and
// the service, which both see the data folder, show the same link again.
namespace online {

inline const QString KeyFile = QStringLiteral("Liens.cle");
inline const QString AddressFile = QStringLiteral("Web.cfg");

// 128 random bits from the system's generator, as 32 hex digits.
QString newSeed();
// 256 random bits, as 64 hex digits.
QString newKey();
// base64url of HMAC-SHA256(key, seed): 43 characters, [A-Za-z0-9_-].
QString tokenFor(const QByteArray &key, const QString &seed);
// SHA-256 of the token, 64 hex digits: what the database holds.
QString digestOf(const QString &token);
// Compares two texts in a time that depends on their length only.
bool sameText(const QString &a, const QString &b);
// The shape every token has; anything else is refused before a look-up.
bool isTokenShaped(const QString &text);

// The practice's key (Liens.cle), created the first time it is needed by
// whichever program comes first; two creating it at once agree on one.
// Throws StoreError.
QByteArray practiceKey(const QString &dataFolder);

// Web.cfg: the address at which the delegates reach the service, one line
// ("https://rdv.cabinet.fr"); nullopt when missing or not a web address.
std::optional<QString> readAddress(const QString &dataFolder);
void writeAddress(const QString &dataFolder, const QString &address);
// An http(s) address without query or fragment; the trailing "/" dropped.
std::optional<QString> normaliseAddress(const QString &typed);
QString linkText(const QString &address, const QString &token);

// The links of one practice: what the desktop's window and the service's
// --lien command both use.
class LinkBook {
public:
    LinkBook(Store &store, QString dataFolder);

    // The laboratory's link, nullopt when it has none.
    std::optional<QString> token(const QString &labo);
    // A new link, replacing the old one (which stops working).
    QString renew(const QString &labo);
    QString ensure(const QString &labo); // the current link or a new one
    void revoke(const QString &labo);
    // The laboratory a token belongs to; nullopt for an unknown or revoked one.
    std::optional<QString> laboFor(const QString &token);
    QString createdOn(const QString &labo); // "" without a link

private:
    QByteArray key();

    Store &m_store;
    QString m_dataFolder;
    QByteArray m_key;
};

} // namespace online
} // namespace tv
