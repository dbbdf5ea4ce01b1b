#include "online/core/OnlineLinks.h"

#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

#include <unistd.h>

namespace tv::online {

namespace {

QString randomHex(int bytes)
{
    QByteArray raw(bytes, Qt::Uninitialized);
    // The system generator: the kernel's, cryptographically secure.
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(raw.data()), bytes / 4);
    return QString::fromLatin1(raw.toHex());
}

std::optional<QByteArray> keyFrom(const QByteArray &text)
{
    const QByteArray hex = text.trimmed();
    static const QRegularExpression shape(QRegularExpression::anchoredPattern(QStringLiteral("[0-9a-f]{64}")));
    if (!shape.match(QString::fromLatin1(hex)).hasMatch())
        return std::nullopt;
    return QByteArray::fromHex(hex);
}

QByteArray readKeyFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError(
            QStringLiteral("Impossible de lire la clé des liens en ligne « %1 ».").arg(files::native(path)));
    if (const auto key = keyFrom(file.readAll()))
        return *key;
    throw StoreError(QStringLiteral("La clé des liens en ligne « %1 » est abîmée : supprimez-la, puis renouvelez "
                                    "les liens des laboratoires.")
                         .arg(files::native(path)));
}

} // namespace

QString newSeed()
{
    return randomHex(16);
}

QString newKey()
{
    return randomHex(32);
}

QString tokenFor(const QByteArray &key, const QString &seed)
{
    const QByteArray mac = QMessageAuthenticationCode::hash(seed.toLatin1(), key, QCryptographicHash::Sha256);
    return QString::fromLatin1(mac.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString digestOf(const QString &token)
{
    return QString::fromLatin1(QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool sameText(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    // Every character is looked at, whatever differs first.
    char16_t difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= a[i].unicode() ^ b[i].unicode();
    return difference == 0;
}

bool isTokenShaped(const QString &text)
{
    if (text.size() != 43)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool ok =
            (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

QByteArray practiceKey(const QString &dataFolder)
{
    const QString path = files::join(dataFolder, KeyFile);
    if (QFile::exists(path))
        return readKeyFile(path);
    // Written whole under another name, then linked into place: link()
    // never replaces, so of two programs creating it at once, one wins and
    // both read the winner's key.
    const QString temporary = path + QStringLiteral(".%1").arg(::getpid());
    textfile::writeBytes(temporary, newKey().toLatin1() + "\r\n");
    const int linked = ::link(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData());
    QFile::remove(temporary);
    if (linked != 0 && !QFile::exists(path))
        throw StoreError(
            QStringLiteral("Impossible d'écrire la clé des liens en ligne « %1 ».").arg(files::native(path)));
    return readKeyFile(path);
}

std::optional<QString> normaliseAddress(const QString &typed)
{
    QString text = typed.trimmed();
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("https") && scheme != QLatin1String("http")) || url.host().isEmpty()
        || url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return std::nullopt;
    return text;
}

std::optional<QString> readAddress(const QString &dataFolder)
{
    const auto lines = textfile::readLines(files::join(dataFolder, AddressFile));
    if (!lines || lines->isEmpty())
        return std::nullopt;
    return normaliseAddress(lines->first());
}

void writeAddress(const QString &dataFolder, const QString &address)
{
    textfile::writeLines(files::join(dataFolder, AddressFile), {address});
}

QString linkText(const QString &address, const QString &token)
{
    return address + QStringLiteral("/r/") + token;
}

LinkBook::LinkBook(Store &store, QString dataFolder)
    : m_store(store)
    , m_dataFolder(std::move(dataFolder))
{
}

QByteArray LinkBook::key()
{
    if (m_key.isEmpty())
        m_key = practiceKey(m_dataFolder);
    return m_key;
}

std::optional<QString> LinkBook::token(const QString &labo)
{
    const auto record = m_store.liens().forLabo(labo);
    if (!record)
        return std::nullopt;
    const QString token = tokenFor(key(), record->seed);
    // A link made with another key (a key file replaced) no longer works.
    if (!sameText(digestOf(token), record->digest))
        return std::nullopt;
    return token;
}

QString LinkBook::renew(const QString &labo)
{
    const QString seed = newSeed();
    const QString token = tokenFor(key(), seed);
    m_store.liens().put({labo, seed, digestOf(token), QDateTime::currentDateTime().toString(Qt::ISODate)});
    return token;
}

QString LinkBook::ensure(const QString &labo)
{
    if (const auto existing = token(labo))
        return *existing;
    return renew(labo);
}

void LinkBook::revoke(const QString &labo)
{
    m_store.liens().remove(labo);
}

std::optional<QString> LinkBook::laboFor(const QString &token)
{
    if (!isTokenShaped(token))
        return std::nullopt;
    const QString digest = digestOf(token);
    const auto record = m_store.liens().forDigest(digest);
    if (!record || !sameText(record->digest, digest))
        return std::nullopt;
    return record->labo;
}

QString LinkBook::createdOn(const QString &labo)
{
    const auto record = m_store.liens().forLabo(labo);
    return record ? record->created : QString();
}

} // namespace tv::online
