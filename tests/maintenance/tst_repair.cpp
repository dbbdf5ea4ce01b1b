// The repair tool's work: backup, check, compaction, and damage reported.
#include "support/JetFixtures.h"
#include "support/TestEnv.h"

#include "maintenance/core/Repair.h"
#include "store/engine/Database.h"
#include "store/files/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace tv;

namespace {

// A database large enough to span many pages, most of them then freed.
void makeBloated(const QString &path, bool deleteRows)
{
    auto db = Database::create(path);
    Transaction t(*db);
    for (int i = 0; i < 2000; ++i)
        Query(*db, QStringLiteral("INSERT INTO Produit (Medecin, Produit) VALUES ('DR A', :p)"))
            .bind(QStringLiteral(":p"), QString(200, QChar(u'a' + i % 26)))
            .exec();
    t.commit();
    if (deleteRows)
        execStatement(*db, QStringLiteral("DELETE FROM Produit WHERE NumProduit > 10"));
}

} // namespace

class TstRepair : public QObject {
    Q_OBJECT

private slots:
    void locatesThroughTheSettingsFile()
    {
        tvtest::TestEnv env;
        QCOMPARE(repair::locateDatabase(env.programFolder()), env.programFile(files::Database));
        cheminbase::write(env.programFolder(), env.dataFolder());
        QCOMPARE(repair::locateDatabase(env.programFolder()), env.dataFile(files::Database));
    }

    void soundDatabaseIsBackedUpAndCompacted()
    {
        tvtest::TestEnv env;
        const QString path = env.dataFile(files::Database);
        makeBloated(path, true);
        const QByteArray before = tvtest::TestEnv::readFile(path);

        const repair::Report report = repair::run(path);
        QCOMPARE(report.status, repair::Status::Repaired);
        QCOMPARE(tvtest::TestEnv::readFile(report.backup), before);
        QVERIFY(report.sizeAfter < report.sizeBefore / 4);
        QCOMPARE(QFileInfo(path).size(), report.sizeAfter);
        QVERIFY(!QFile::exists(report.backup + QStringLiteral(".tmp")));
        auto db = Database::open(path);
        Query q(*db, QStringLiteral("SELECT COUNT(*) FROM Produit"));
        QVERIFY(q.next());
        QCOMPARE(q.integer(0), 10);
        QVERIFY(repair::describe(report).contains(QStringLiteral("compactée")));
    }

    void damagedDatabaseIsReportedAndLeftAlone()
    {
        tvtest::TestEnv env;
        const QString path = env.dataFile(files::Database);
        makeBloated(path, false);
        env.writeFile(env.dataFile(repair::BackupName), "earlier good backup");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            // Garbage over a page in the middle of the table's tree.
            file.seek(4096 * 20);
            file.write(QByteArray(4096, '\x5a'));
        }
        const QByteArray damaged = tvtest::TestEnv::readFile(path);

        const repair::Report report = repair::run(path);
        QCOMPARE(report.status, repair::Status::Damaged);
        QVERIFY(!report.problems.isEmpty());
        QCOMPARE(tvtest::TestEnv::readFile(path), damaged);
        QCOMPARE(tvtest::TestEnv::readFile(env.dataFile(repair::DamagedCopyName)), damaged);
        QCOMPARE(tvtest::TestEnv::readFile(env.dataFile(repair::BackupName)), QByteArray("earlier good backup"));
        QVERIFY(repair::describe(report).contains(QStringLiteral("endommagée")));
    }

    void notADatabaseAndMissingFile()
    {
        tvtest::TestEnv env;
        const QString path = env.dataFile(files::Database);
        QCOMPARE(repair::run(path).status, repair::Status::Missing);
        QVERIFY(!QFile::exists(path));

        env.writeFile(path, QByteArray(8192, 'x'));
        const repair::Report report = repair::run(path);
        QCOMPARE(report.status, repair::Status::Damaged);
        QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray(8192, 'x'));
        // What was found, and no copy claimed that was not made.
        const QString text = repair::describe(report);
        QVERIFY2(text.contains(QStringLiteral("n'est pas une base de données"))
                     && text.contains(QStringLiteral("rien n'a été modifié"))
                     && !text.contains(QStringLiteral("copie")),
                 qPrintable(text));

        // On a server the file is the old fallback: the tool leaves it be.
        env.writeFile(env.dataFile(files::ServerCfg), "host=cabinet-serveur dbname=tallvane\r\n");
        const repair::Report onServer = repair::run(path);
        QCOMPARE(onServer.status, repair::Status::OnServer);
        QVERIFY(repair::describe(onServer).contains(QStringLiteral("« cabinet-serveur »")));
        QVERIFY(!QFile::exists(env.dataFile(repair::BackupName)));
    }

    // The former program's Access file, whole, cut short or damaged: said
    // for what it is and left alone, no copy made beside it.
    void accessFileIsNamedAndLeftAlone()
    {
        TV_NEED_JET_FIXTURES();
        const QList<QPair<QString, QString>> cases = {
            {QStringLiteral("ferrune-v2000.mdb"), QStringLiteral("Access (Jet 4)")},
            {QStringLiteral("truncated.mdb"), QStringLiteral("endommagée : elle n'a pas pu être lue")},
            {QStringLiteral("damaged/crash-table-definition.mdb"), QStringLiteral("Visite : table endommagée")}};
        for (const auto &[file, said] : cases) {
            tvtest::TestEnv env;
            const QString path = env.dataFile(files::Database);
            const QByteArray bytes = tvtest::TestEnv::readFile(tvtest::jet::fixture(file));
            env.writeFile(path, bytes);
            const repair::Report report = repair::run(path);
            QCOMPARE(report.status, repair::Status::Access);
            QVERIFY2(repair::describe(report).contains(said), qPrintable(repair::describe(report)));
            QCOMPARE(tvtest::TestEnv::readFile(path), bytes);
            QCOMPARE(QDir(env.dataFolder()).entryList(QDir::Files), QStringList{files::Database});
        }
    }
};

QTEST_GUILESS_MAIN(TstRepair)
#include "tst_repair.moc"
