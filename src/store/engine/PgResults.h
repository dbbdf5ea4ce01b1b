#pragma once

#include "store/engine/Request.h"
#include "store/engine/StoreError.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>

namespace tv {

// What the server answered one statement: its rows, kept for the answer's
// copies (an action's reads asked ahead), or its failure in French.
class PgRows final : public Rows {
public:
    explicit PgRows(PGresult *result)
        : m_owner(result, PQclear)
        , m_result(result)
    {
    }
    std::unique_ptr<Rows> clone() const override { return std::make_unique<PgRows>(m_owner); }
    explicit PgRows(std::shared_ptr<PGresult> shared)
        : m_owner(std::move(shared))
        , m_result(m_owner.get())
    {
    }

    bool next() override { return ++m_row < PQntuples(m_result); }
    int columnCount() const override { return PQnfields(m_result); }
    QString columnName(int column) const override { return QString::fromUtf8(PQfname(m_result, column)); }
    bool isNull(int column) const override { return PQgetisnull(m_result, m_row, column) != 0; }
    QString text(int column) const override
    {
        if (isNull(column))
            return {};
        return QString::fromUtf8(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
    }
    qint64 integer(int column) const override { return std::strtoll(PQgetvalue(m_result, m_row, column), nullptr, 10); }
    QVariant value(int column) const override { return isNull(column) ? QVariant() : QVariant(text(column)); }
    qint64 affected() const override { return std::strtoll(PQcmdTuples(m_result), nullptr, 10); }

private:
    std::shared_ptr<PGresult> m_owner;
    PGresult *m_result;
    int m_row = -1;
};

// The server's answer to a failed statement, in the user's words.
StoreError describeState(const QString &state);

} // namespace tv
