// Carrying a user's database into the shipped one. The crash at each step is
// in tst_crash_data_files.
#include "support/TestEnv.h"

#include "maintenance/core/DatabaseUpgrade.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tv;

namespace {

// A database of an older release: no Produit table, Visite without Heure,
// and counters that do not start at 1.
void makeOldLayout(const QString &path)
{
    auto raw = Database::openFile(path, Database::FileMode::Create);
    for (const char *statement :
         {"CREATE TABLE Labo (NumLabo INTEGER PRIMARY KEY, Labo TEXT, Nom TEXT, Tel TEXT, TelP TEXT, "
          "Email TEXT, Url TEXT, Mdp TEXT, Budget TEXT, Laboratoire TEXT, Adresse TEXT, "
          "CommuneVM TEXT, Divers1 TEXT, Divers2 TEXT, Divers3 TEXT)",
          "CREATE TABLE Passage (NumPassage INTEGER PRIMARY KEY, Labo TEXT, Medecin TEXT, "
          "Passage INTEGER, Divers1 TEXT, Divers2 TEXT)",
          "CREATE TABLE Visite (NumVisite INTEGER PRIMARY KEY, Medecin TEXT, Labo TEXT, Jour TEXT, "
          "Mois TEXT, An TEXT)",
          "INSERT INTO Labo (NumLabo, Labo, Nom, Tel) VALUES (7, 'ALPHA', 'Nom_Labo_7', '01')",
          "INSERT INTO Labo (NumLabo, Labo, Nom, Tel) VALUES (12, 'BETA', 'Nom_Labo_12', NULL)",
          "INSERT INTO Passage VALUES (3, 'ALPHA', 'DR A', 4, NULL, NULL)",
          "INSERT INTO Visite VALUES (1, 'DR A', 'ALPHA', '03', '02', '2024')",
          "INSERT INTO Visite VALUES (2, 'DR A', 'BETA', '04', '02', '2024')"})
        execStatement(*raw, QString::fromLatin1(statement));
}

// A database of the current layout with one row in each table.
void fillCurrent(const QString &path)
{
    auto db = Database::create(path);
    execStatement(*db, QStringLiteral("INSERT INTO Labo (Labo, Nom, Url) VALUES ('GAMMA', 'Nom_Labo_1', 'http://g')"));
    execStatement(*db, QStringLiteral("INSERT INTO Passage (Labo, Medecin, Passage) VALUES ('GAMMA', 'DR B', 2)"));
    execStatement(*db, QStringLiteral("INSERT INTO Visite (Medecin, Labo, Jour, Mois, An, Heure) "
                                      "VALUES ('DR B', 'GAMMA', '10', '01', '2025', '09:30')"));
    execStatement(*db, QStringLiteral("INSERT INTO Produit (Medecin, Labo, Delegue, Date, Produit) "
                                      "VALUES ('DR B', 'GAMMA', 'M. X', '2025/01/10', 'ASPIRINE\n')"));
}

QStringList column(Database &db, const QString &sql)
{
    Query q(db, sql);
    QStringList values;
    while (q.next())
        values.append(q.isNull(0) ? QStringLiteral("<null>") : q.text(0));
    return values;
}

} // namespace

class TstUpgrade : public QObject {
    Q_OBJECT

    DatabaseUpgrade::Paths pathsOf(const tvtest::TestEnv &env)
    {
        return DatabaseUpgrade::paths(env.programFolder(), env.dataFolder());
    }

private slots:
    void oldLayoutWithoutProduitIsCarriedOver()
    {
        tvtest::TestEnv env;
        env.installShippedDatabase();
        const auto paths = pathsOf(env);
        makeOldLayout(paths.oldDatabase);
        const QByteArray oldBytes = tvtest::TestEnv::readFile(paths.oldDatabase);

        DatabaseUpgrade upgrade(paths);
        QList<int> progress;
        upgrade.setProgress([&](int done, int total) { progress.append(done * 100 + total); });
        upgrade.copyRows();
        QVERIFY(!upgrade.hadProduit());
        QCOMPARE(upgrade.copied().size(), 3);
        upgrade.swapFiles();

        QVERIFY(!QFile::exists(paths.shipped));
        QVERIFY(!QFile::exists(paths.work()));
        QCOMPARE(tvtest::TestEnv::readFile(paths.backup), oldBytes);
        QCOMPARE(progress.last(), 5 * 100 + 5);

        auto db = Database::open(paths.oldDatabase);
        // Counters numbered anew; the delegate names keep the old numbers.
        QCOMPARE(
            column(*db, QStringLiteral("SELECT NumLabo || Nom || IFNULL(Tel, '<null>') FROM Labo ORDER BY NumLabo")),
            QStringList({"1Nom_Labo_701", "2Nom_Labo_12<null>"}));
        QCOMPARE(
            column(*db, QStringLiteral("SELECT Labo || An || IFNULL(Heure, '<null>') FROM Visite ORDER BY NumVisite")),
            QStringList({"ALPHA2024<null>", "BETA2024<null>"}));
        QCOMPARE(column(*db, QStringLiteral("SELECT COUNT(*) FROM Produit")), QStringList({"0"}));
    }

    void currentLayoutWithDataInTheProgramFolder()
    {
        tvtest::TestEnv env;
        env.installShippedDatabase();
        const auto paths = DatabaseUpgrade::paths(env.programFolder(), env.programFolder());
        fillCurrent(paths.oldDatabase);
        DatabaseUpgrade upgrade(paths);
        upgrade.copyRows();
        upgrade.swapFiles();
        QCOMPARE(QDir(env.programFolder()).entryList(QDir::Files, QDir::Name),
                 QStringList({"Ancien_Ferrune.mdb", "Ferrune.mdb"}));
        // Every column of the current layout, Produit included, is carried.
        auto db = Database::open(paths.oldDatabase);
        QCOMPARE(column(*db, QStringLiteral("SELECT Url FROM Labo")), QStringList({"http://g"}));
        QCOMPARE(column(*db, QStringLiteral("SELECT Heure FROM Visite")), QStringList({"09:30"}));
        QCOMPARE(column(*db, QStringLiteral("SELECT Produit FROM Produit")), QStringList({"ASPIRINE\n"}));
    }

    void emptyTablesAndExistingBackup()
    {
        tvtest::TestEnv env;
        env.installShippedDatabase();
        const auto paths = pathsOf(env);
        tvtest::TestEnv::createDatabase(paths.oldDatabase);
        env.writeFile(paths.backup, "older backup");

        DatabaseUpgrade upgrade(paths);
        upgrade.copyRows();
        QVERIFY(upgrade.hadProduit());
        for (const auto &[table, rows] : upgrade.copied())
            QCOMPARE(rows, 0);
        upgrade.swapFiles();
        QVERIFY(tvtest::TestEnv::readFile(paths.backup) != QByteArray("older backup"));
        QVERIFY(Store::open(paths.oldDatabase) != nullptr);
    }

    void refusedValueChangesNothing()
    {
        tvtest::TestEnv env;
        env.installShippedDatabase();
        const auto paths = pathsOf(env);
        makeOldLayout(paths.oldDatabase);
        const QByteArray oldBytes = tvtest::TestEnv::readFile(paths.oldDatabase);
        const QByteArray shippedBytes = tvtest::TestEnv::readFile(paths.shipped);

        DatabaseUpgrade upgrade(paths);
        upgrade.setCheckpoint([](const QString &point) {
            if (point == QStringLiteral("copy:Visite:2"))
                throw StoreError(QStringLiteral("valeur refusée"));
        });
        QVERIFY_THROWS_EXCEPTION(StoreError, upgrade.copyRows());
        QCOMPARE(tvtest::TestEnv::readFile(paths.oldDatabase), oldBytes);
        QCOMPARE(tvtest::TestEnv::readFile(paths.shipped), shippedBytes);
        QVERIFY(!QFile::exists(paths.partial()));
        QVERIFY(!QFile::exists(paths.work()));
        QVERIFY(!QFile::exists(paths.backup));
    }

    void unusableOldDatabaseIsReported_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a database") << false << QStringLiteral("pas une base de données lisible");
        QTest::newRow("locked by another workstation") << true << QStringLiteral("autre poste");
    }

    void unusableOldDatabaseIsReported()
    {
        QFETCH(bool, locked);
        QFETCH(QString, message);
        tvtest::TestEnv env;
        env.installShippedDatabase();
        const auto paths = pathsOf(env);
        std::unique_ptr<Database> holder;
        if (locked) {
            fillCurrent(paths.oldDatabase);
            holder = Database::open(paths.oldDatabase);
            execStatement(*holder, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
            execStatement(*holder, QStringLiteral("BEGIN EXCLUSIVE"));
        } else {
            env.writeFile(paths.oldDatabase, "pas une base");
        }
        const QByteArray before = tvtest::TestEnv::readFile(paths.oldDatabase);
        try {
            DatabaseUpgrade(paths).copyRows();
            QFAIL("no error");
        } catch (const StoreError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        }
        if (holder)
            execStatement(*holder, QStringLiteral("ROLLBACK"));
        QCOMPARE(tvtest::TestEnv::readFile(paths.oldDatabase), before);
        QVERIFY(QFile::exists(paths.shipped));
        QVERIFY(!QFile::exists(paths.partial()));
    }
};

QTEST_GUILESS_MAIN(TstUpgrade)
#include "tst_upgrade.moc"
