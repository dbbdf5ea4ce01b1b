#include "store/engine/Request.h"

#include <QHash>
#include <QMutex>

namespace tv {

namespace {

struct Parsed {
    QStringList names;
    QString positional;
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// :name -> $n, skipping quoted texts and names, "::" casts and $$ bodies.
Parsed parse(const QString &text)
{
    Parsed parsed;
    parsed.positional.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\'' || c == u'"') {
            const qsizetype end = text.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? n : end + 1;
            parsed.positional += text.mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'$' && text.mid(i, 2) == QLatin1String("$$")) {
            const qsizetype end = text.indexOf(QLatin1String("$$"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            parsed.positional += text.mid(i, stop - i);
            i = stop - 1;
        } else if (c == u':' && i + 1 < n && text.at(i + 1) == u':') {
            parsed.positional += QLatin1String("::");
            ++i;
        } else if (c == u':' && i + 1 < n && (text.at(i + 1).isLetter() || text.at(i + 1) == u'_')) {
            qsizetype end = i + 1;
            while (end < n && isNameChar(text.at(end)))
                ++end;
            const QString name = text.mid(i, end - i);
            qsizetype index = parsed.names.indexOf(name);
            if (index < 0) {
                parsed.names.append(name);
                index = parsed.names.size() - 1;
            }
            parsed.positional += u'$' + QString::number(index + 1);
            i = end - 1;
        } else {
            parsed.positional += c;
        }
    }
    return parsed;
}

// The program runs a few dozen distinct statements, each many times.
Parsed parsedOnce(const QString &text)
{
    static QMutex mutex;
    static QHash<QString, Parsed> cache;
    const QMutexLocker lock(&mutex);
    auto it = cache.constFind(text);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > 2000)
        cache.clear();
    return *cache.insert(text, parse(text));
}

bool startsWithSelect(const QString &text)
{
    const QString start = text.trimmed().left(7).toUpper();
    return start.startsWith(QLatin1String("SELECT")) || start.startsWith(QLatin1String("PRAGMA"));
}

} // namespace

QString Request::key() const
{
    QString key = text;
    for (const QVariant &v : values)
        key += u'\x1f' + (v.isNull() ? QStringLiteral("\x01") : v.toString());
    return key;
}

Request::Request(const QString &statement)
    : text(statement)
    , read(startsWithSelect(statement))
{
    Parsed parsed = parsedOnce(statement);
    names = std::move(parsed.names);
    positional = std::move(parsed.positional);
    values.resize(names.size());
}

} // namespace tv
