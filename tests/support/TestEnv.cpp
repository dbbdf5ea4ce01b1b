#include "TestEnv.h"

#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "maintenance/core/AccessReading.h"
#include "store/engine/Database.h"
#include "store/engine/Schema.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <libpq-fe.h>
#include <string>
#include <vector>

namespace tvtest {

namespace {

tv::ServerAddress testServer()
{
    const QByteArray conninfo = qgetenv("TALLVANE_PG_SERVER");
    if (conninfo.isEmpty())
        qFatal("no PostgreSQL server in TALLVANE_PG_SERVER: "
               "run the test through scripts/pg-cluster.sh with <test>");
    return tv::ServerAddress::parse(QString::fromUtf8(conninfo));
}

// On the test server through libpq itself, as it also runs at the process's
// exit, when Qt's drivers are gone: the first column of the rows.
std::vector<std::string> onTestServer(const std::string &statement)
{
    std::vector<std::string> rows;
    PGconn *connection = PQconnectdb(qgetenv("TALLVANE_PG_SERVER").constData());
    PGresult *result = PQexec(connection, ("SET lock_timeout = '20s'; " + statement).c_str());
    if (PQresultStatus(result) != PGRES_COMMAND_OK && PQresultStatus(result) != PGRES_TUPLES_OK)
        qWarning("test server: %s", PQerrorMessage(connection));
    for (int row = 0; row < PQntuples(result); ++row)
        rows.emplace_back(PQgetvalue(result, row, 0));
    PQclear(result);
    PQfinish(connection);
    return rows;
}

// The schemas this process made on the test server, "tv_<pid>_<n>": each
// dropped with the TestEnv alive when it was made, the rest at the exit.
// Those of a killed run go when the next run makes its first one.
struct ServerSchemas {
    std::vector<std::string> names;
    int made = 0;

    ~ServerSchemas() { dropFrom(0); }
    void dropFrom(std::size_t first)
    {
        for (std::size_t i = first; i < names.size(); ++i)
            onTestServer("DROP SCHEMA IF EXISTS " + names[i] + " CASCADE");
        names.resize(std::min(first, names.size()));
    }
    static void sweepDeadRuns()
    {
        for (const std::string &name : onTestServer("SELECT nspname FROM pg_namespace WHERE nspname ~ '^tv_[0-9]+_'")) {
            if (::kill(static_cast<pid_t>(std::stol(name.substr(3))), 0) != 0 && errno == ESRCH)
                onTestServer("DROP SCHEMA IF EXISTS " + name + " CASCADE");
        }
    }
};

ServerSchemas &serverSchemas()
{
    static ServerSchemas schemas;
    return schemas;
}

} // namespace

tv::ServerAddress TestEnv::emptyServerDatabase(qint64 owner)
{
    // A schema of its own on the test server stands for a new database:
    // cheaper, and as empty.
    const tv::ServerAddress admin = testServer();
    ServerSchemas &schemas = serverSchemas();
    if (schemas.made++ == 0)
        ServerSchemas::sweepDeadRuns();
    const std::string pid = std::to_string(QCoreApplication::applicationPid());
    const std::string name =
        "tv_" + (owner ? std::to_string(owner) + '_' + pid : pid) + '_' + std::to_string(schemas.made);
    onTestServer("CREATE SCHEMA " + name);
    if (!owner)
        schemas.names.push_back(name);
    return tv::ServerAddress::parse(
        admin.conninfo + QStringLiteral(" options='-csearch_path=%1,public'").arg(QString::fromStdString(name)));
}

bool TestEnv::onServer()
{
    return qgetenv("TALLVANE_TEST_ENGINE") == "postgresql";
}

TestEnv::TestEnv(const QDate &today)
    : m_firstSchema(serverSchemas().names.size())
{
    // The programs of the build's program folder, not of the test's own.
    const QString programs = qEnvironmentVariable("TALLVANE_PROGRAM_DIR");
    if (!programs.isEmpty())
        tv::accessreading::setReaderPath(tv::files::join(programs, tv::accessreading::ReaderName));
    tv::Clock::pin(today);
    tv::dialogs::script::reset();
    tv::dialogs::script::setStrict(true);
}

TestEnv::~TestEnv()
{
    serverSchemas().dropFrom(m_firstSchema);
    tv::Clock::unpin();
    tv::dialogs::script::reset();
}

QString TestEnv::programFile(const QString &name) const
{
    return tv::files::join(programFolder(), name);
}

QString TestEnv::dataFile(const QString &name) const
{
    return tv::files::join(dataFolder(), name);
}

void TestEnv::installShippedDatabase() const
{
    tv::Database::create(programFile(tv::files::ShippedDatabase));
}

void TestEnv::createDatabase(const QString &path, qint64 owner)
{
    if (onServer()) {
        const tv::ServerAddress address = emptyServerDatabase(owner);
        tv::schema::create(*tv::Database::connectServer(address));
        tv::serveurcfg::write(QFileInfo(path).absolutePath(), address);
    } else
        tv::Database::create(path);
}

void TestEnv::prepareData(const QStringList &doctors, const QString &vsIni) const
{
    createDatabase(dataFile(tv::files::Database));
    tv::cheminbase::write(programFolder(), dataFolder());
    if (!vsIni.isNull())
        writeFile(programFile(tv::files::VsIni), vsIni.toUtf8() + "\r\n");
    if (!doctors.isEmpty())
        tv::textfile::writeLines(dataFile(tv::files::MedecinIni), doctors);
}

void TestEnv::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

QByteArray TestEnv::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

std::unique_ptr<tv::Store> TestEnv::openStore() const
{
    return tv::Store::open(dataFile(tv::files::Database));
}

std::unique_ptr<tv::FrmLabo> TestEnv::startWindow(bool *started) const
{
    auto window = std::make_unique<tv::FrmLabo>(programFolder());
    const bool ok = window->startUp();
    if (started)
        *started = ok;
    else if (!ok)
        qFatal("start-up failed");
    return window;
}

bool noUnexpectedDialogs()
{
    if (tv::dialogs::script::unexpected() == 0)
        return true;
    qWarning() << "unexpected dialogs:" << tv::dialogs::script::texts();
    return false;
}

QStringList queryRows(tv::Store &store, const QString &sql)
{
    tv::Query q(store.db(), sql);
    QStringList out;
    while (q.next()) {
        QStringList columns;
        for (int i = 0; i < q.columnCount(); ++i)
            columns.append(q.text(i));
        out.append(columns.join(u'|'));
    }
    return out;
}

int count(tv::Store &store, const QString &sql)
{
    return queryRows(store, sql).value(0).toInt();
}

} // namespace tvtest
