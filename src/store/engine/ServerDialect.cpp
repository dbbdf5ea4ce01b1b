#include "store/engine/ServerDialect.h"

#include "store/engine/ServerNotices.h"

namespace tv {

QStringList ServerDialect::schemaSetup() const
{
    // tv_fold: ICU's own case rules, whatever locale the server's databases
    // were made with, so the same letters fold as in the program (Qt).
    return {
        QStringLiteral("CREATE COLLATION IF NOT EXISTS tv_nocase "
                       "(provider = icu, locale = 'und-u-ks-level2', deterministic = false)"),
        QStringLiteral("CREATE OR REPLACE FUNCTION tv_fold(text) RETURNS text LANGUAGE sql IMMUTABLE STRICT "
                       "PARALLEL SAFE AS $$SELECT lower($1 COLLATE \"und-x-icu\") COLLATE \"C\"$$"),
        QStringLiteral("CREATE OR REPLACE FUNCTION tv_contains(text, text) RETURNS boolean LANGUAGE sql IMMUTABLE "
                       "PARALLEL SAFE AS $$SELECT coalesce(strpos(lower($1 COLLATE \"und-x-icu\") COLLATE \"C\", "
                       "lower($2 COLLATE \"und-x-icu\") COLLATE \"C\") > 0, false)$$"),
    };
}

QString ServerDialect::resetCounter(const QString &table, const QString &column) const
{
    // The column is named as stored: unquoted names are kept in lower case.
    return QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%3'), "
                          "greatest(coalesce((SELECT max(%2) FROM %1), 0), CAST(:floor AS BIGINT)) + 1, false)")
        .arg(table, column, column.toLower());
}

QStringList ServerDialect::changeNotices() const
{
    return servernotices::statements();
}

QString ServerDialect::changeNoticesInPlace() const
{
    return servernotices::inPlaceQuery();
}

} // namespace tv
