#pragma once

#include "store/engine/Database.h"
#include "store/engine/FileDialect.h"
#include "store/engine/SqliteConnection.h"

namespace tv {

// The practice's database as an SQLite file: every statement runs at once.
class FileDatabase final : public Database {
public:
    FileDatabase(const QString &path, SqliteConnection::Mode mode)
        : m_connection(path, mode)
    {
    }

    const Dialect &dialect() const override { return m_dialect; }
    QString path() const override { return m_connection.path(); }
    QString location() const override;

    void submit(const std::shared_ptr<Request> &request) override { m_connection.run(*request); }
    void flush() override { }
    bool withdraw(const Request *) override { return false; }

private:
    FileDialect m_dialect;
    SqliteConnection m_connection;
};

} // namespace tv
