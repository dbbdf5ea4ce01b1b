#pragma once

#include "store/engine/ServerAddress.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace tv {
class FrmLabo;
class Store;
} // namespace tv

namespace tvtest {

// A program folder and a data folder of their own for one test, the clock
// pinned and the dialogs scripted (strict: an unexpected box fails instead of
// blocking).
class TestEnv {
public:
    explicit TestEnv(const QDate &today = QDate(2025, 3, 5));
    ~TestEnv();

    QString programFolder() const { return m_program.path(); }
    QString dataFolder() const { return m_data.path(); }
    QString programFile(const QString &name) const;
    QString dataFile(const QString &name) const;

    // The shipped empty database copied into the program folder.
    void installShippedDatabase() const;
    // A ready data folder: empty database, CheminBase.cfg pointing at it,
    // Vs.ini and Medecin.ini as given (no file when the list is empty).
    void prepareData(const QStringList &doctors = {}, const QString &vsIni = QStringLiteral("100,0,0,0")) const;
    // A fresh empty database file at the given path; in a run on the
    // server (TALLVANE_TEST_ENGINE=postgresql) a fresh database on the
    // server of TALLVANE_PG_SERVER, named by a Serveur.cfg in that folder.
    // owner: see emptyServerDatabase.
    static void createDatabase(const QString &path, qint64 owner = 0);
    static bool onServer();
    // An empty database on the test server (TALLVANE_PG_SERVER): a schema
    // dropped with the TestEnv alive when it was made, else at the exit.
    // One made for another process (owner, its pid) outlives this one and
    // goes once the owner has ended.
    static tv::ServerAddress emptyServerDatabase(qint64 owner = 0);

    static void writeFile(const QString &path, const QByteArray &bytes);
    static QByteArray readFile(const QString &path);

    std::unique_ptr<tv::Store> openStore() const;

    // A main window started on this environment; startUp() already run.
    // Without `started` a failed start-up stops the test run.
    std::unique_ptr<tv::FrmLabo> startWindow(bool *started = nullptr) const;

private:
    QTemporaryDir m_program;
    QTemporaryDir m_data;
    std::size_t m_firstSchema;
};

// Fails the current test when a dialog was shown that the test did not
// script.
bool noUnexpectedDialogs();

// The rows of a query, columns joined by "|"; a query that fails stops the run.
QStringList queryRows(tv::Store &store, const QString &sql);
// The first value of a query (a COUNT(*)) as a number.
int count(tv::Store &store, const QString &sql);

} // namespace tvtest
