// Copying the data files to another folder.
#include "support/TestEnv.h"

#include "maintenance/core/DataCopy.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace tv;

class TstDataCopy : public QObject {
    Q_OBJECT

    static QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

private slots:
    void settingsStayBehindOnlyFromTheProgramFolder()
    {
        tvtest::TestEnv env;
        const QString src = env.programFolder();
        env.writeFile(env.programFile(QStringLiteral("Ferrune.mdb")), "db");
        env.writeFile(env.programFile(QStringLiteral("Medecin.ini")), "DR A\r\n");
        env.writeFile(env.programFile(QStringLiteral("Vs.ini")), "1,0,0,0\r\n");
        env.writeFile(env.programFile(QStringLiteral("Medoc.txt")), "ASPIRINE\r\n");
        env.writeFile(env.programFile(QStringLiteral("Ferrune")), "program");
        QTemporaryDir dest;

        int questions = 0;
        QList<int> progress;
        const auto results =
            datacopy::copyDataFiles({src,
                                     dest.path(),
                                     env.programFolder(),
                                     [&](const QString &) { return ++questions, true; },
                                     [&](int done, int total, const QString &) { progress.append(done * 10 + total); },
                                     {}});
        QCOMPARE(questions, 0);
        QCOMPARE(filesIn(dest.path()), QStringList({"Ferrune.mdb", "Medecin.ini", "Medoc.txt"}));
        QCOMPARE(tvtest::TestEnv::readFile(dest.filePath(QStringLiteral("Medoc.txt"))), QByteArray("ASPIRINE\r\n"));
        QCOMPARE(results.size(), 4);
        // Databases first, then text files, then settings files.
        QCOMPARE(results[0].name, QStringLiteral("Ferrune.mdb"));
        QCOMPARE(results[1].name, QStringLiteral("Medoc.txt"));
        int keptBack = 0;
        for (const auto &r : results)
            keptBack += r.outcome == datacopy::Outcome::KeptBack && r.name == QStringLiteral("Vs.ini");
        QCOMPARE(keptBack, 1);
        QCOMPARE(progress.last(), 44);

        // A destination with a Vs.ini of its own: asked about like any file.
        env.writeFile(dest.filePath(QStringLiteral("Vs.ini")), "9,0,0,0\r\n");
        QStringList asked;
        datacopy::copyDataFiles({src,
                                 dest.path(),
                                 env.programFolder(),
                                 [&](const QString &target) {
                                     asked.append(QFileInfo(target).fileName());
                                     return target.endsWith(QStringLiteral("Vs.ini"));
                                 },
                                 {},
                                 {}});
        QVERIFY(asked.contains(QStringLiteral("Vs.ini")));
        QCOMPARE(tvtest::TestEnv::readFile(dest.filePath(QStringLiteral("Vs.ini"))), QByteArray("1,0,0,0\r\n"));

        // From any other folder the settings files go too.
        env.writeFile(env.dataFile(QStringLiteral("Vs.ini")), "2,0,0,0\r\n");
        QTemporaryDir other;
        datacopy::copyDataFiles({env.dataFolder(), other.path(), env.programFolder(), {}, {}, {}});
        QCOMPARE(filesIn(other.path()), QStringList({"Vs.ini"}));
    }

    // Killed between the copy into the temporary file and the rename: the
    // destination keeps its old file whole, the leftover is not taken for a
    // data file, and the next copy replaces the file and the leftover.
    void copyCutBeforeTheRenameIsHarmless()
    {
        tvtest::TestEnv env;
        env.writeFile(env.dataFile(QStringLiteral("Medoc.txt")), "new list\r\n");
        QTemporaryDir dest;
        env.writeFile(dest.filePath(QStringLiteral("Medoc.txt")), "old list\r\n");
        env.writeFile(dest.filePath(QStringLiteral("Medoc.txt.copie-en-cours")), "new li");

        QTemporaryDir further;
        const auto onward = datacopy::copyDataFiles({dest.path(), further.path(), env.programFolder(), {}, {}, {}});
        QCOMPARE(onward.size(), 1);
        QCOMPARE(filesIn(further.path()), QStringList({"Medoc.txt"}));
        QCOMPARE(tvtest::TestEnv::readFile(further.filePath(QStringLiteral("Medoc.txt"))), QByteArray("old list\r\n"));

        const auto results = datacopy::copyDataFiles(
            {env.dataFolder(), dest.path(), env.programFolder(), [](const QString &) { return true; }, {}, {}});
        QCOMPARE(results[0].outcome, datacopy::Outcome::Replaced);
        QCOMPARE(filesIn(dest.path()), QStringList({"Medoc.txt"}));
        QCOMPARE(tvtest::TestEnv::readFile(dest.filePath(QStringLiteral("Medoc.txt"))), QByteArray("new list\r\n"));
    }

    // The rename refused (a folder stands where the file goes): the file is
    // reported, no temporary stays, and the other files are copied.
    void refusedRenameLeavesNoTemporary()
    {
        tvtest::TestEnv env;
        env.writeFile(env.dataFile(QStringLiteral("Ferrune.mdb")), "db");
        env.writeFile(env.dataFile(QStringLiteral("Medoc.txt")), "list");
        QTemporaryDir dest;
        QVERIFY(QDir(dest.path()).mkdir(QStringLiteral("Medoc.txt")));
        env.writeFile(dest.filePath(QStringLiteral("Medoc.txt/dedans")), "kept");
        const auto results = datacopy::copyDataFiles(
            {env.dataFolder(), dest.path(), env.programFolder(), [](const QString &) { return true; }, {}, {}});
        QCOMPARE(results.size(), 2);
        QCOMPARE(results[0].outcome, datacopy::Outcome::Copied);
        QCOMPARE(results[1].outcome, datacopy::Outcome::Failed);
        QVERIFY(results[1].reason.contains(QStringLiteral("Medoc.txt")));
        QCOMPARE(filesIn(dest.path()), QStringList({"Ferrune.mdb"}));
        QCOMPARE(tvtest::TestEnv::readFile(dest.filePath(QStringLiteral("Medoc.txt/dedans"))), QByteArray("kept"));
    }

    void destinationChecks()
    {
        QTemporaryDir dir;
        QVERIFY(datacopy::unwritableReason(dir.path()).isEmpty());
        QVERIFY(datacopy::unwritableReason(dir.filePath(QStringLiteral("absent")))
                    .contains(QStringLiteral("n'existe pas")));
        if (::geteuid() != 0) {
            const QString locked = dir.filePath(QStringLiteral("verrou"));
            QVERIFY(QDir().mkdir(locked));
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
            QVERIFY(datacopy::unwritableReason(locked).contains(QStringLiteral("lecture seule")));
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }

        const QString sub = dir.filePath(QStringLiteral("Tallvane"));
        datacopy::ensureFolder(sub);
        datacopy::ensureFolder(sub); // an existing folder is simply used
        QVERIFY(QFileInfo(sub).isDir());
        QFile file(dir.filePath(QStringLiteral("fichier")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY_THROWS_EXCEPTION(StoreError, datacopy::ensureFolder(file.fileName()));
    }
};

QTEST_GUILESS_MAIN(TstDataCopy)
#include "tst_datacopy.moc"
