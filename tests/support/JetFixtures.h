#pragma once

// The Access databases of the import, read in place, and the rows each one
// must give once imported (described in the folder's expected JSON).
#include "store/Database.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tvtest::jet {

inline QString fixture(const QString &name)
{
    const QString path = QStringLiteral(TALLVANE_JET_FIXTURES) + QLatin1Char('/') + name;
    if (!QFileInfo::exists(path))
        qFatal("Access test database missing: %s (set TALLVANE_JET_FIXTURES)", qPrintable(path));
    return path;
}

// The "tables" object of an .expected.json file.
inline QJsonObject expectedTables(const QString &name)
{
    QFile file(fixture(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("tables")).toObject();
}

// Whether a stored value is what the Access file held. The library gives
// an empty text for a null one: the one difference let through. Dates are
// stored as the program writes them, numbers whatever the column's type.
inline bool sameValue(const QJsonValue &expected, const QString &type, const QVariant &actual)
{
    const bool text = type.startsWith(QLatin1String("Text")) || type == QLatin1String("Memo");
    if (expected.isNull() || (text && expected.toString().isEmpty()))
        return actual.isNull() || (text && actual.toString().isEmpty());
    if (actual.isNull())
        return false;
    if (expected.isDouble())
        return actual.toString() == QString::number(expected.toInteger());
    QString value = expected.toString();
    if (type == QLatin1String("Date/Time") && value.endsWith(QLatin1String("T00:00:00")))
        value.chop(9);
    return actual.toString() == value;
}

// Every row of every expected table, by counter, column by column; the
// first difference, or "" when there is none.
inline QString differences(tv::Database &db, const QJsonObject &tables)
{
    for (auto t = tables.begin(); t != tables.end(); ++t) {
        const QJsonObject table = t.value().toObject();
        const QJsonArray types = table.value(QStringLiteral("types")).toArray();
        const QJsonArray rows = table.value(QStringLiteral("rows")).toArray();
        QSqlQuery q(db.sql());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(t.key())))
            return QStringLiteral("%1: cannot be read").arg(t.key());
        qsizetype r = 0;
        for (; q.next(); ++r) {
            if (r >= rows.size())
                return QStringLiteral("%1: more rows than %2").arg(t.key()).arg(rows.size());
            const QJsonArray row = rows.at(r).toArray();
            for (qsizetype c = 0; c < row.size(); ++c) {
                const QVariant actual = q.value(static_cast<int>(c));
                if (!sameValue(row.at(c), types.at(c).toString(), actual))
                    return QStringLiteral("%1 row %2 column %3: expected %4, got %5")
                        .arg(t.key())
                        .arg(row.at(0).toInteger())
                        .arg(c)
                        .arg(QString::fromUtf8(QJsonDocument(QJsonArray{row.at(c)}).toJson(QJsonDocument::Compact)),
                             actual.isNull() ? QStringLiteral("null") : actual.toString());
            }
        }
        if (r != rows.size())
            return QStringLiteral("%1: %2 rows instead of %3").arg(t.key()).arg(r).arg(rows.size());
    }
    return {};
}

} // namespace tvtest::jet
