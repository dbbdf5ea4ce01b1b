// The settings and doctors files written by a process killed many times
// over hold the old or the new content whole; a failed write says so in
// French; leftovers of killed writers are swept. The failure at each write
// step is in tst_crash_data_files.
#include "FaultInjection.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace tv;

using tvtest::entries;
using tvtest::FaultGuard;

class TstCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void failureMessageIsFrenchAndNamesTheFile()
    {
        QTemporaryDir dir;
        FaultGuard guard(textfile::WriteStep::TemporaryWritten);
        try {
            vsini::write(dir.path(), WorkstationSettings{});
            QFAIL("no error");
        } catch (const StoreError &e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Impossible d'écrire le fichier")));
            QVERIFY(e.message().contains(files::VsIni));
        }
        QVERIFY(!QFile::exists(files::join(dir.path(), files::VsIni)));
    }

    void abandonedTemporariesAreSweptOnlyWhenOld()
    {
        QTemporaryDir dir;
        const QString path = files::join(dir.path(), files::VsIni);
        const auto makeTemporary = [&](const QString &name, int ageSeconds) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("100,0");
            f.flush();
            QVERIFY(
                f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        };
        makeTemporary(QStringLiteral("Vs.ini.AbC123"), 3600);     // left by a killed writer
        makeTemporary(QStringLiteral("Vs.ini.XyZ789"), 1);        // another workstation writing now
        makeTemporary(QStringLiteral("Vs.ini.sauvegarde"), 3600); // the user's own copy
        vsini::write(dir.path(), WorkstationSettings{});
        QCOMPARE(entries(dir.path()), QStringList({"Vs.ini", "Vs.ini.XyZ789", "Vs.ini.sauvegarde"}));
    }

    // Two workstations adding to the shared lists at the same moment.
    void simultaneousAppendsKeepEveryLine()
    {
        const QString worker = QCoreApplication::applicationDirPath() + QStringLiteral("/tallvane_store_worker");
        QTemporaryDir data;
        QProcess first, second;
        first.start(worker, {QStringLiteral("append"), data.path(), QStringLiteral("A"), QStringLiteral("300")});
        second.start(worker, {QStringLiteral("append"), data.path(), QStringLiteral("B"), QStringLiteral("300")});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(first.exitCode() + second.exitCode(), 0);
        for (const QString &name : {files::MedecinIni, files::Medoc, QStringLiteral("Absences  DR A.txt")}) {
            QCOMPARE(textfile::readLines(files::join(data.path(), name))->size(), 600);
        }
    }

    // A process killed in the middle of its writes, many times over.
    void killedWriterLeavesWholeFiles()
    {
        const QString worker = QCoreApplication::applicationDirPath() + QStringLiteral("/tallvane_store_worker");
        QVERIFY2(QFile::exists(worker), qPrintable(worker));
        QTemporaryDir program, data;
        QStringList manyDoctors;
        for (int i = 0; i < 2000; ++i)
            manyDoctors.append(QStringLiteral("Dr Médecin numéro %1").arg(i));
        const QSet<QString> known(manyDoctors.begin(), manyDoctors.end());

        for (int round = 0; round < 12; ++round) {
            QProcess process;
            process.start(worker, {QStringLiteral("rewrite"), program.path(), data.path()});
            QVERIFY(process.waitForStarted());
            QThread::msleep(60 + QRandomGenerator::global()->bounded(200));
            process.kill();
            process.waitForFinished();

            WorkstationSettings settings;
            if (vsini::read(program.path(), settings))
                QVERIFY(settings == (WorkstationSettings{1, 0, 0, 0})
                        || settings == (WorkstationSettings{200, 1, 1, 1}));
            if (const auto folder = cheminbase::read(program.path()))
                QVERIFY(*folder == data.path() || *folder == data.path() + QStringLiteral("/autre"));
            if (const auto lines = doctorsfile::read(data.path())) {
                QStringList body = *lines;
                if (!body.isEmpty() && body.last() == QStringLiteral("Dr Ajouté"))
                    body.removeLast();
                // The whole list, or the whole list less the one removed.
                QVERIFY2(body.size() >= 1999, qPrintable(QString::number(body.size())));
                for (const QString &line : body)
                    QVERIFY2(known.contains(line), qPrintable(line));
            }
            // Besides the program's own files, at most the temporaries of a
            // write cut short, named after their file; the next start reads
            // the files above whatever they hold.
            for (const QString &name : entries(program.path()) + entries(data.path())) {
                const QString base = name.section(u'.', 0, 1);
                QVERIFY2(base == files::VsIni || base == files::CheminBaseCfg || base == files::MedecinIni
                             || base == files::TmpLaboIni,
                         qPrintable(name));
                QVERIFY2(name == base || name.size() == base.size() + 7, qPrintable(name));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TstCrashSafety)
#include "tst_crash_safety.moc"
