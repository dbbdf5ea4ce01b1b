#include "products/core/ProductsText.h"

namespace tv::productstext {

QString join(const QStringList &entries)
{
    QString text;
    for (const QString &entry : entries) {
        const QString name = entry.trimmed();
        if (!name.isEmpty())
            text += name + QLatin1Char('\n');
    }
    return text;
}

QStringList split(const QString &text)
{
    return text.split(QLatin1Char('\n'));
}

QString historyPart(const QString &text)
{
    // Every piece gets " / "; the final empty piece then leaves " /  / ",
    // of which five characters go, keeping one blank after the last product.
    QString part;
    for (const QString &piece : split(text))
        part += piece + QStringLiteral(" / ");
    if (part.size() < 5)
        return QString();
    part.chop(5);
    return part;
}

} // namespace tv::productstext
