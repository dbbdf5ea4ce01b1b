#include "labs/core/LabRules.h"

namespace tv::labrules {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString normaliseTelephone(const QString &text)
{
    QString digits = text;
    const qsizetype typedLength = text.size();
    for (qsizetype p = 0; p < typedLength; ++p) {
        if (p >= digits.size())
            continue;
        const QChar c = digits.at(p);
        if (!isDigit(c))
            digits.remove(c);
    }

    const qsizetype n = digits.size();
    if (n == 0)
        return QString();
    QString grouped;
    qsizetype start = 0;
    if (n % 2 == 1) {
        grouped = digits.left(1) + u' ';
        start = 1;
    }
    for (qsizetype p = start; p < n; p += 2)
        grouped += digits.mid(p, 2) + u' ';
    grouped.chop(1);
    return grouped;
}

bool hasLetters(const QString &text)
{
    for (const QChar c : text) {
        if (c.isLetter())
            return true;
    }
    return false;
}

int quickSearch(const QStringList &entries, const QString &answer)
{
    if (answer.isEmpty())
        return -1;
    const QString wanted = answer.toUpper();
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).trimmed().left(answer.size()).toUpper() == wanted)
            return i;
    }
    return -1;
}

NameCheck checkName(const QStringList &entries, const QString &answer, int except)
{
    if (answer.isEmpty())
        return NameCheck::Cancelled;
    const QString name = answer.trimmed();
    if (name.isEmpty())
        return NameCheck::Blank;
    for (int i = 0; i < entries.size(); ++i) {
        // Unicode case folding: "élan" and "ÉLAN" are one name.
        if (i != except && entries.at(i).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return NameCheck::Duplicate;
    }
    return NameCheck::Ok;
}

QString listEntry(const QString &name)
{
    return QStringLiteral("  ") + name.trimmed().toUpper();
}

std::optional<int> parseQuota(const QString &answer)
{
    const QString text = answer.trimmed();
    if (text.isEmpty())
        return 0;
    // Nine digits at most: every such number fits an int.
    if (text.size() > 9)
        return std::nullopt;
    for (const QChar c : text) {
        if (!isDigit(c))
            return std::nullopt;
    }
    return text.toInt();
}

bool isWebAddress(const QString &url)
{
    return url.left(4).toUpper() == QStringLiteral("HTTP");
}

bool isMailAddress(const QString &email)
{
    return email.contains(u'@');
}

} // namespace tv::labrules
