// The maintenance commands from the real window: purge, database path,
// copy of the data files, repair, and a failed upgrade at start-up (the
// upgrade cut short at each step is in tst_crash_data_files).
#include "support/JetFixtures.h"
#include "support/TestEnv.h"

#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "maintenance/ui/MaintenanceController.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include "common/ui/Widgets.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;
namespace script = tv::dialogs::script;

namespace {

using tvtest::count;

void addVisits(const tvtest::TestEnv &env)
{
    auto store = env.openStore();
    for (const char *an : {"2023", "2023", "2024", "2025"})
        store->visites().insert({0, "DR A", "ALPHA", "10", "02", QString::fromLatin1(an), ""});
    store->produits().insert({0, "DR A", "ALPHA", "M. X", "2023/02/10", "ASPIRINE\n"});
}

void okTimes(int n)
{
    for (int i = 0; i < n; ++i)
        script::push(QMessageBox::Ok);
}

// Answers the copy's opening questions up to the two folders.
void chooseCopyFolders(const QString &source, const QString &destination)
{
    okTimes(1);
    script::push(QMessageBox::Yes);
    script::pushPath(source);
    script::pushPath(destination);
}

// Answers the path change's opening questions up to the file choice.
void acceptPathChange()
{
    for (int i = 0; i < 2; ++i) {
        okTimes(1);
        script::push(QMessageBox::Yes);
    }
    okTimes(1);
}

} // namespace

class TstMaintenance : public QObject {
    Q_OBJECT

    QStringList started;
    int quits = 0;

    // Prepares the data folder (with four appointments when asked) and
    // starts the window on it.
    std::unique_ptr<FrmLabo> start(const tvtest::TestEnv &env, bool withVisits = false)
    {
        env.prepareData({"Dr A"}, u"0,0,0,0"_s);
        if (withVisits)
            addVisits(env);
        auto window = env.startWindow();
        if (!tvtest::noUnexpectedDialogs())
            qFatal("start-up failed");
        script::reset();
        script::setStrict(true);
        return window;
    }

private slots:
    void init()
    {
        started.clear();
        quits = 0;
        MaintenanceController::seams().start = [this](const QString &path) {
            started.append(path);
            return true;
        };
        MaintenanceController::seams().quit = [this] { ++quits; };
    }

    void cleanup() { MaintenanceController::resetSeams(); }

    void purgeTakesOnlyThatYearsAppointments()
    {
        tvtest::TestEnv env;
        auto window = start(env, true);
        // A year with no appointment, then a refusal: nothing is deleted.
        script::pushInput(u"deux mille"_s);
        script::push(QMessageBox::Yes);
        okTimes(1);
        window->maintenance().mnuPurger_Click();
        QCOMPARE(script::texts().last(), u"Pas de rendez vous pour cette année."_s);
        script::pushInput(u"2023"_s);
        script::push(QMessageBox::No);
        window->maintenance().mnuPurger_Click();
        QCOMPARE(count(window->store(), u"SELECT COUNT(*) FROM Visite"_s), 4);

        script::reset();
        script::setStrict(true);
        script::pushInput(u"2023"_s);
        script::push(QMessageBox::Yes);
        okTimes(1);
        window->view().menus.mnuPurger->trigger();
        QVERIFY(tvtest::noUnexpectedDialogs());
        const auto &log = script::log();
        QCOMPARE(log[0].defaultText, u"2023"_s); // today is 2025
        QCOMPARE(log[1].text, u"Purger l'année 2023 ? "_s);
        QCOMPARE(log[1].defaultButton, QMessageBox::No);
        QCOMPARE(log[2].text, u"Il est conseillé de réparer et compacter la base de données."_s);
        QCOMPARE(count(window->store(), u"SELECT COUNT(*) FROM Visite"_s), 2); // both of 2023
        QCOMPARE(count(window->store(), u"SELECT COUNT(*) FROM Produit"_s), 1);
    }

    void databasePathCancelEndsTheProgram()
    {
        tvtest::TestEnv env;
        auto window = start(env);
        const QByteArray cfg = tvtest::TestEnv::readFile(env.programFile(files::CheminBaseCfg));
        acceptPathChange();
        script::pushPath(QString());
        okTimes(1);
        window->view().menus.mnuCheminBDD->trigger();

        QVERIFY(tvtest::noUnexpectedDialogs());
        const auto &log = script::log();
        QCOMPARE(log[0].text, u"Le chemin actuel est : "_s + QDir::toNativeSeparators(env.dataFile(files::Database)));
        QCOMPARE(log[6].text, u"Chemin invalide ; fin de programme !"_s);
        QCOMPARE(quits, 1);
        QVERIFY(started.isEmpty());
        QCOMPARE(tvtest::TestEnv::readFile(env.programFile(files::CheminBaseCfg)), cfg);
    }

    void databasePathOfAnotherNameIsAskedAgain()
    {
        tvtest::TestEnv env;
        QTemporaryDir other;
        tvtest::TestEnv::createDatabase(other.filePath(u"Ferrune.mdb"_s));
        auto window = start(env);
        window->show();
        acceptPathChange();
        script::pushPath(other.filePath(u"Autre.mdb"_s));
        okTimes(1);
        script::pushPath(other.filePath(u"Ferrune.mdb"_s));
        okTimes(2);
        window->maintenance().mnuCheminBDD_Click();

        QVERIFY(tvtest::noUnexpectedDialogs());
        const QStringList texts = script::texts();
        QVERIFY(texts[6].contains(u"« Autre.mdb »"_s));
        QCOMPARE(texts[9], u"Le programme doit être redémarré."_s);
        QCOMPARE(cheminbase::read(env.programFolder()).value(), QDir::toNativeSeparators(other.path()));
        QCOMPARE(started, QStringList{window->maintenance().programPath(u"Ferrune"_s)});
        QVERIFY(!window->hasStore());
    }

    // An Access database chosen as the database: imported beside itself,
    // the Access file only renamed.
    void accessDatabaseChosenIsImportedBeside()
    {
        TV_NEED_JET_FIXTURES();
        tvtest::TestEnv env;
        QTemporaryDir other;
        const QString chosen = other.filePath(u"Ferrune.mdb"_s);
        const QByteArray accessBytes = tvtest::TestEnv::readFile(tvtest::jet::fixture(u"ferrune-v2003.mdb"_s));
        env.writeFile(chosen, accessBytes);
        auto window = start(env);
        acceptPathChange();
        script::pushPath(chosen);
        script::push(QMessageBox::Yes);
        okTimes(3);
        window->maintenance().mnuCheminBDD_Click();

        QVERIFY(tvtest::noUnexpectedDialogs());
        QVERIFY(script::texts()[6].contains(u"base de données Access"_s));
        QCOMPARE(tvtest::TestEnv::readFile(other.filePath(files::OldDatabase)), accessBytes);
        QCOMPARE(QDir(other.path()).entryList(QDir::Files, QDir::Name),
                 QStringList({files::OldDatabase, u"Ferrune.mdb"_s}));
        const QString diff = tvtest::jet::differences(*Database::open(chosen),
                                                      tvtest::jet::expectedTables(u"ferrune-v2000.expected.json"_s));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(cheminbase::read(env.programFolder()).value(), QDir::toNativeSeparators(other.path()));
        QCOMPARE(started, QStringList{window->maintenance().programPath(u"Ferrune"_s)});
    }

    // A practice's Access database at start-up, left beside the shipped
    // database in the program folder, or in the data folder at the first
    // installation: the upgrade's messages, every row, a working window.
    // A damaged file or no database at all: the program says which file,
    // changes nothing and stops; the next start, given a good file, imports.
    void accessDatabaseAtStartUp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("besideShipped");
        QTest::newRow("Access 2000, beside shipped") << u"ferrune-v2000.mdb"_s << u"ferrune-v2000"_s << true;
        QTest::newRow("Access 2002-2003, data folder") << u"ferrune-v2003.mdb"_s << u"ferrune-v2000"_s << false;
        QTest::newRow("no Produit, beside shipped")
            << u"ferrune-v2000-missing-produit.mdb"_s << u"ferrune-v2000-missing-produit"_s << true;
        QTest::newRow("large, data folder") << u"ferrune-v2000-large.mdb"_s << u"ferrune-v2000-large"_s << false;
        QTest::newRow("random bytes, beside shipped") << u"not-a-database.mdb"_s << u"ferrune-v2000"_s << true;
        QTest::newRow("truncated, data folder") << u"truncated.mdb"_s << u"ferrune-v2000"_s << false;
    }

    void accessDatabaseAtStartUp()
    {
        TV_NEED_JET_FIXTURES();
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QFETCH(bool, besideShipped);
        tvtest::TestEnv env;
        const QJsonObject tables = tvtest::jet::expectedTables(expected + u".expected.json"_s);
        QStringList doctors;
        for (const QJsonValue &row : tables[u"Passage"_s].toObject()[u"rows"_s].toArray()) {
            if (!doctors.contains(row[2].toString()))
                doctors.append(row[2].toString());
        }
        const QString folder = besideShipped ? env.programFolder() : env.dataFolder();
        env.prepareData(doctors, u"0,0,0,0"_s);
        env.installShippedDatabase(); // alone, it is the first installation's
        if (besideShipped) {
            cheminbase::write(env.programFolder(), env.programFolder());
            QFile::copy(env.dataFile(files::MedecinIni), env.programFile(files::MedecinIni));
        }
        const QString database = files::join(folder, files::Database);
        QByteArray accessBytes = tvtest::TestEnv::readFile(tvtest::jet::fixture(file));
        env.writeFile(database, accessBytes);

        okTimes(3);
        bool ok = false;
        auto window = env.startWindow(&ok);
        if (!file.startsWith(u"ferrune"_s)) {
            QVERIFY(!ok);
            QVERIFY(script::texts().last().contains(QDir::toNativeSeparators(database)));
            QVERIFY(script::texts().last().contains(u"Aucun fichier n'a été modifié"_s));
            QCOMPARE(tvtest::TestEnv::readFile(database), accessBytes);
            QCOMPARE(QFile::exists(env.programFile(files::ShippedDatabase)), besideShipped);
            QVERIFY(!QFile::exists(files::join(folder, files::OldDatabase)));
            accessBytes = tvtest::TestEnv::readFile(tvtest::jet::fixture(u"ferrune-v2000.mdb"_s));
            env.writeFile(database, accessBytes);
            script::reset();
            script::setStrict(true);
            okTimes(3);
            window = env.startWindow(&ok);
        }
        QVERIFY(ok);
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(script::texts().at(0), u"Le programme doit mettre à jour votre base de données."_s);
        QCOMPARE(script::texts().at(2), u"Mise à jour des bases terminée."_s);
        QCOMPARE(tvtest::TestEnv::readFile(files::join(folder, files::OldDatabase)), accessBytes);
        QVERIFY(!QFile::exists(env.programFile(files::ShippedDatabase)));
        const QString diff = tvtest::jet::differences(window->store().db(), tables);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        MainView &v = window->view();
        QCOMPARE(v.labo.LstLabo->count(), tables[u"Labo"_s].toObject()[u"rowCount"_s].toInt());
        QCOMPARE(v.labo.LstMed->currentRow(), 0);
        QVERIFY(v.agenda.LstHist->count() > 0);
    }

    void copyIntoANewSubFolderMovesTheDataControls()
    {
        tvtest::TestEnv env;
        QTemporaryDir dest;
        auto window = start(env);
        env.writeFile(env.dataFile(files::Medoc), "ASPIRINE\r\n");
        chooseCopyFolders(env.dataFolder(), dest.path());
        script::push(QMessageBox::Yes);
        script::pushInput(u"Tallvane"_s);
        okTimes(1);
        window->view().menus.mnuDeplaceBDD->trigger();

        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(script::log()[4].defaultButton, QMessageBox::No);
        QCOMPARE(script::texts().last(), u"Copie des fichiers terminée !"_s);
        const QString target = dest.filePath(u"Tallvane"_s);
        QCOMPARE(QDir(target).entryList(QDir::Files, QDir::Name),
                 QStringList({"Ferrune.mdb", "Medecin.ini", "Medoc.txt"}));
        QCOMPARE(window->store().db().path(), files::join(target, files::Database));
        QCOMPARE(window->state().CheminBase, env.dataFolder());
    }

    void copyAsksBeforeReplacingAndReportsFailures()
    {
        tvtest::TestEnv env;
        QTemporaryDir dest;
        env.writeFile(dest.filePath(u"Medecin.ini"_s), "DR Z\r\n");
        MaintenanceController::seams().beforeCopy = [](const QString &name) {
            if (name == files::Database)
                throw StoreError(u"Impossible de copier « Ferrune.mdb » : fichier occupé."_s);
        };
        auto window = start(env);
        chooseCopyFolders(env.dataFolder(), dest.path());
        script::push(QMessageBox::No); // no sub-folder
        script::push(QMessageBox::No); // keep the destination's Medecin.ini
        okTimes(3);
        window->maintenance().mnuDeplaceBDD_Click();

        QVERIFY(tvtest::noUnexpectedDialogs());
        const auto &log = script::log();
        QCOMPARE(log[5].text, u"le fichier "_s + QDir::toNativeSeparators(dest.filePath(u"Medecin.ini"_s))
                                  + u" existe déjà.\nVoulez vous le remplacer ?"_s);
        // No database at the destination: the program stays on its own.
        QCOMPARE(log[6].icon, QMessageBox::Critical);
        QVERIFY(log[7].text.contains(u"fichier occupé"_s));
        QCOMPARE(tvtest::TestEnv::readFile(dest.filePath(u"Medecin.ini"_s)), QByteArray("DR Z\r\n"));
        QVERIFY(!QFile::exists(dest.filePath(u"Ferrune.mdb"_s)));
        QCOMPARE(window->store().db().path(), env.dataFile(files::Database));
    }

    void copyStopsOnUnusableDestination()
    {
        tvtest::TestEnv env;
        auto window = start(env);
        chooseCopyFolders(env.dataFolder(), env.dataFile(u"absent"_s));
        script::push(QMessageBox::No);
        okTimes(1);
        window->maintenance().mnuDeplaceBDD_Click();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QVERIFY(script::texts().last().contains(u"n'existe pas"_s));
        QCOMPARE(window->store().db().path(), env.dataFile(files::Database));
    }

    void repairStartsTheToolAndEnds()
    {
        tvtest::TestEnv env;
        auto window = start(env);
        window->show();
        // The tool missing: the program stays as it was.
        const auto recording = MaintenanceController::seams().start;
        MaintenanceController::seams().start = [](const QString &) { return false; };
        okTimes(1);
        window->maintenance().mnuRepare_Click();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QVERIFY(window->isVisible() && window->hasStore());

        MaintenanceController::seams().start = recording;
        window->view().menus.mnuRepare->trigger();
        QCOMPARE(started, QStringList{files::join(env.programFolder(), u"Remisa"_s)});
        QVERIFY(!window->isVisible() && !window->hasStore());
    }

    void upgradeFailureKeepsTheUsersDatabase()
    {
        // A user's database with appointments and a newer empty one shipped
        // beside the program: this start upgrades.
        tvtest::TestEnv env;
        env.prepareData({"Dr A"}, u"0,0,0,0"_s);
        addVisits(env);
        env.installShippedDatabase();
        tvtest::TestEnv::createDatabase(env.programFile(files::Database));
        const QByteArray before = tvtest::TestEnv::readFile(env.dataFile(files::Database));
        MaintenanceController::seams().upgradeCheckpoint = [](const QString &point) {
            if (point == u"copy:Visite:3"_s)
                throw StoreError(u"Valeur refusée."_s);
        };
        okTimes(3);
        auto window = env.startWindow();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QVERIFY(script::texts().at(2).contains(u"Valeur refusée."_s));
        QCOMPARE(tvtest::TestEnv::readFile(env.dataFile(files::Database)), before);
        QVERIFY(QFile::exists(env.programFile(files::ShippedDatabase)));
        QCOMPARE(count(window->store(), u"SELECT COUNT(*) FROM Visite"_s), 4);
    }
};

QTEST_MAIN(TstMaintenance)
#include "tst_maintenance.moc"
