#pragma once

// The Access databases of the import, read in place, and the rows each one
// must give once imported (the folder's .expected.json files).
#include "store/engine/Database.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// At the top of a test that reads them: without the folder (a clone with
// nothing beside it) the test is skipped and names it; in CI it fails.
#define TV_NEED_JET_FIXTURES()                                                                                         \
    do {                                                                                                               \
        const char *why = "Access test databases missing: " TALLVANE_JET_FIXTURES " (set TALLVANE_JET_FIXTURES)";      \
        if (QFile::exists(QStringLiteral(TALLVANE_JET_FIXTURES)))                                                      \
            break;                                                                                                     \
        if (qgetenv("CI") == "true")                                                                                   \
            QFAIL(why);                                                                                                \
        QSKIP(why);                                                                                                    \
    } while (false)

namespace tvtest::jet {

inline QString fixture(const QString &name)
{
    const QString path = QStringLiteral(TALLVANE_JET_FIXTURES "/") + name;
    if (!QFile::exists(path))
        qFatal("Access test database missing: %s (set TALLVANE_JET_FIXTURES)", qPrintable(path));
    return path;
}

inline QJsonObject expectedTables(const QString &name)
{
    QFile file(fixture(name));
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("tables")).toObject();
}

// Stored as the program writes it: dates yyyy-MM-dd, numbers whatever the
// column. libmdb gives "" for a null text: the one difference let through.
inline bool sameValue(const QJsonValue &expected, const QString &type, const QVariant &actual)
{
    if (expected.isDouble())
        return actual.toString() == QString::number(expected.toInteger());
    if (type.startsWith(QLatin1String("Text")) || type == QLatin1String("Memo"))
        return actual.toString() == expected.toString();
    QString value = expected.toString();
    if (value.endsWith(QLatin1String("T00:00:00")))
        value.chop(9);
    return actual.isNull() == expected.isNull() && actual.toString() == value;
}

// Every expected row by counter, column by column: the first difference.
inline QString differences(tv::Database &db, const QJsonObject &tables)
{
    for (auto t = tables.begin(); t != tables.end(); ++t) {
        const QJsonArray types = t->toObject().value(QStringLiteral("types")).toArray();
        const QJsonArray rows = t->toObject().value(QStringLiteral("rows")).toArray();
        tv::Query q(db, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(t.key()));
        qsizetype r = 0;
        bool more = false;
        for (; (more = q.next()) && r < rows.size(); ++r) {
            const QJsonArray row = rows.at(r).toArray();
            for (int c = 0; c < row.size(); ++c) {
                if (!sameValue(row.at(c), types.at(c).toString(), q.value(c)))
                    return QStringLiteral("%1 %2, column %3: %4")
                        .arg(t.key(), QString::number(row.at(0).toInteger()), QString::number(c),
                             q.value(c).toString());
            }
        }
        if (r != rows.size() || more)
            return QStringLiteral("%1: not %2 rows").arg(t.key()).arg(rows.size());
    }
    return {};
}

} // namespace tvtest::jet
