// The store benchmark's shared ground: the naive side and the keys.
#include "StoreBench.h"

#include "store/engine/StoreError.h"

#include <QFile>

namespace tvbench::storebench {

Environment *env = nullptr;

// ---- the naive side: a copy of the data without indexes, queried the old way

std::unique_ptr<tv::Database> openNaive(const QString &path)
{
    return tv::Database::openFile(path);
}

// The old platform's "?" marks, bound in order.
tv::Query naiveExec(tv::Database &db, QString sql, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        sql.replace(sql.indexOf(u'?'), 1, QStringLiteral(":v%1").arg(i));
    tv::Query q(db, sql);
    for (int i = 0; i < values.size(); ++i)
        q.bind(QStringLiteral(":v%1").arg(i), values.at(i));
    q.exec();
    return q;
}

// Every column of every row, as the old platform's recordsets gave them.
Rows naiveRows(tv::Database &db, const QString &sql, const QVariantList &values)
{
    tv::Query q = naiveExec(db, sql, values);
    Rows rows;
    const int columns = q.columnCount();
    while (q.next()) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(q.text(c));
        rows.append(row);
    }
    return rows;
}

void makeNaiveCopy(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw tv::StoreError(QStringLiteral("Impossible de copier ") + from);
    auto db = openNaive(to);
    QStringList names;
    {
        tv::Query list =
            naiveExec(*db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
        while (list.next())
            names.append(list.text(0));
    }
    for (const QString &name : names)
        naiveExec(*db, QStringLiteral("DROP INDEX %1").arg(name));
}

// ---- keys the operations work on, rotating so no single row stays hot

int g_turn = 0;
QString doctor()
{
    return env->practice.doctors.at(g_turn % env->practice.doctors.size());
}
QString labo()
{
    return env->practice.labos.at((g_turn * 37) % env->practice.labos.size());
}
QString delegue()
{
    return env->practice.delegues.at((g_turn * 37) % env->practice.delegues.size());
}
QString medicine()
{
    return env->practice.medicines.at((g_turn * 11) % env->practice.medicines.size());
}
QString month()
{
    return QStringLiteral("%1").arg(g_turn % 12 + 1, 2, 10, QLatin1Char('0'));
}
const QString kYear = QStringLiteral("2024");
void nextTurn()
{
    ++g_turn;
}

} // namespace tvbench::storebench
