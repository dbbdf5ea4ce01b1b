#include "store/engine/Query.h"

#include "store/engine/Database.h"
#include "store/engine/EngineLog.h"
#include "store/engine/Request.h"
#include "store/engine/StoreError.h"

namespace tv {

namespace {

[[noreturn]] void misused(const QString &what, const QString &statement)
{
    enginelog::write(what + u'\n' + statement);
    throw StoreError(QStringLiteral("Erreur de la base de données."));
}

} // namespace

QString foldText(const QString &text)
{
    return text.toCaseFolded();
}

Query::Query(Database &db, const QString &statement)
    : m_db(&db)
    , m_request(std::make_shared<Request>(statement))
{
}

Query::~Query() = default;
Query::Query(Query &&) noexcept = default;

Query &Query::bind(const QString &name, const QVariant &value)
{
    const int index = m_request->indexOf(name);
    if (index < 0)
        misused(name + QStringLiteral(" is not in the statement"), m_request->text);
    m_request->values[index] = value;
    return *this;
}

Query &Query::repeatable()
{
    m_request->repeatable = true;
    return *this;
}

Query &Query::later()
{
    if (!m_submitted) {
        m_submitted = true;
        if (m_db->inRepeatableTransaction())
            m_request->repeatable = true;
        m_db->submit(m_request);
    }
    return *this;
}

Query &Query::exec()
{
    later();
    if (m_request->read || !m_db->inTransaction())
        m_db->flush();
    return *this;
}

void Query::ensureDone()
{
    if (!m_request->rows) {
        later();
        m_db->flush();
    }
    // Its round trip failed, and said so to whoever sent it.
    if (!m_request->rows)
        misused(QStringLiteral("the result of a failed round trip was read"), m_request->text);
}

bool Query::next()
{
    ensureDone();
    return m_request->rows->next();
}

bool Query::answered() const
{
    return m_request->rows != nullptr;
}

int Query::columnCount()
{
    ensureDone();
    return m_request->rows->columnCount();
}

QString Query::columnName(int column)
{
    ensureDone();
    return m_request->rows->columnName(column);
}

bool Query::isNull(int column) const
{
    return m_request->rows->isNull(column);
}

QString Query::text(int column) const
{
    return m_request->rows->text(column);
}

qint64 Query::integer(int column) const
{
    return m_request->rows->integer(column);
}

QVariant Query::value(int column) const
{
    return m_request->rows->value(column);
}

int Query::numRowsAffected()
{
    ensureDone();
    return static_cast<int>(m_request->rows->affected());
}

Transaction::Transaction(Database &db, const QString &guardedTable, Repeat repeat)
    : m_db(db)
    , m_repeatable(repeat == Repeat::Yes)
{
    m_begin = control(m_db.dialect().begin());
    m_db.enterTransaction(1, m_repeatable);
    const QString lock = guardedTable.isEmpty() ? QString() : m_db.dialect().lockTable(guardedTable);
    if (!lock.isEmpty()) {
        try {
            control(lock);
        } catch (const StoreError &) {
            m_db.enterTransaction(-1, false);
            control(QStringLiteral("ROLLBACK"));
            throw;
        }
    }
}

std::shared_ptr<Request> Transaction::control(const QString &statement)
{
    auto request = std::make_shared<Request>(statement);
    request->repeatable = m_repeatable;
    m_db.submit(request);
    return request;
}

Transaction::~Transaction()
{
    m_db.enterTransaction(-1, false);
    if (m_done || m_db.withdraw(m_begin.get()))
        return;
    try {
        control(QStringLiteral("ROLLBACK"));
        m_db.flush();
    } catch (const StoreError &) {
        // The link is gone, and the transaction with it.
    }
}

void Transaction::commit(const std::function<void()> &thenRead)
{
    m_commit = control(QStringLiteral("COMMIT"));
    if (thenRead && m_db.readsAhead())
        thenRead();
    m_db.flush();
    m_done = true;
}

namespace {
std::function<void()> &checkedHook()
{
    static std::function<void()> hook;
    return hook;
}
} // namespace

void Transaction::checked()
{
    if (!checkedHook())
        return;
    m_db.flush();
    checkedHook()();
}

void Transaction::setCheckedHook(std::function<void()> hook)
{
    checkedHook() = std::move(hook);
}

bool Transaction::repeated() const
{
    return m_commit && m_commit->sentTwice;
}

ReadAhead::~ReadAhead()
{
    m_db.aheadScope(-1);
}

void execStatement(Database &db, const QString &statement)
{
    Query query(db, statement);
    query.exec();
    while (query.next()) { }
}

} // namespace tv
