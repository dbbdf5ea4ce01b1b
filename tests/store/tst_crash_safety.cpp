// Every write of the settings and list files fails at each of its steps, or
// the writing process is killed: the old or the new content is there whole
// and what the next start-up reads still works.
#include "FaultInjection.h"
#include "store/SettingsFiles.h"
#include "store/StoreError.h"
#include "store/TextFile.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <functional>

using namespace tv;

namespace {

using tvtest::FaultGuard;

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class TstCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void failedWriteLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("temporary opened") << int(textfile::WriteStep::TemporaryOpened);
        QTest::newRow("temporary half written") << int(textfile::WriteStep::TemporaryHalfWritten);
        QTest::newRow("temporary written, not renamed") << int(textfile::WriteStep::TemporaryWritten);
    }

    void failedWriteLeavesTheOldFileWhole()
    {
        QFETCH(int, step);
        struct Writer {
            const char *name;
            QString file;     // in the folder
            bool inDataFolder;
            std::function<void(const QString &folder)> write;
        };
        QStringList longList;
        for (int i = 0; i < 500; ++i)
            longList.append(QStringLiteral("Dr Lefèvre %1").arg(i));
        const QList<Writer> writers = {
            {"writeLines", QStringLiteral("liste.txt"), true,
             [&](const QString &f) { textfile::writeLines(f + QStringLiteral("/liste.txt"), longList); }},
            {"appendLine", QStringLiteral("liste.txt"), true,
             [](const QString &f) { textfile::appendLine(f + QStringLiteral("/liste.txt"), QStringLiteral("ajout")); }},
            {"doctorsfile::append", files::MedecinIni, true,
             [](const QString &f) { doctorsfile::append(f, QStringLiteral("Dr Nouveau")); }},
            {"doctorsfile::remove", files::MedecinIni, true,
             [](const QString &f) { doctorsfile::remove(f, QStringLiteral("  DR DURAND")); }},
            {"vsini::write", files::VsIni, false,
             [](const QString &f) { vsini::write(f, WorkstationSettings{3, 1, 1, 0}); }},
            {"cheminbase::write", files::CheminBaseCfg, false,
             [](const QString &f) { cheminbase::write(f, QStringLiteral("/srv/cabinet/données")); }},
        };
        for (const Writer &writer : writers) {
            QTemporaryDir dir;
            const QString path = files::join(dir.path(), writer.file);
            // A settings file or list as a previous run left it.
            const QByteArray old = writer.file == files::VsIni ? QByteArray("2,0,1,1\r\n")
                : writer.file == files::CheminBaseCfg         ? QByteArray("/srv/ancien\r\n")
                                                               : QByteArray("Dr Martin\r\nDr Durand\r\ndr durand\r\n");
            {
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(old);
            }
            const QStringList before = entries(dir.path());
            {
                FaultGuard guard(static_cast<textfile::WriteStep>(step));
                QVERIFY_THROWS_EXCEPTION(StoreError, writer.write(dir.path()));
                QVERIFY2(tvtest::faultCalls() > 0, writer.name);
            }
            QVERIFY2(bytesOf(path) == old, writer.name);
            QVERIFY2(entries(dir.path()) == before, qPrintable(QStringLiteral("%1 left %2").arg(writer.name, entries(dir.path()).join(u','))));

            // The next run writes normally over what the failure left.
            writer.write(dir.path());
            QVERIFY2(bytesOf(path) != old, writer.name);
            QVERIFY2(entries(dir.path()) == before, writer.name);
        }
    }

    void readersStillWorkAfterAFailedWrite()
    {
        QTemporaryDir dir;
        vsini::write(dir.path(), WorkstationSettings{7, 1, 0, 1});
        cheminbase::write(dir.path(), QStringLiteral("/srv/cabinet"));
        {
            FaultGuard guard(textfile::WriteStep::TemporaryHalfWritten);
            QVERIFY_THROWS_EXCEPTION(StoreError, vsini::write(dir.path(), WorkstationSettings{9, 0, 1, 0}));
            QVERIFY_THROWS_EXCEPTION(StoreError, cheminbase::write(dir.path(), QStringLiteral("/ailleurs")));
        }
        WorkstationSettings settings;
        QVERIFY(vsini::read(dir.path(), settings));
        QCOMPARE(settings, (WorkstationSettings{7, 1, 0, 1}));
        QCOMPARE(cheminbase::read(dir.path()), QStringLiteral("/srv/cabinet"));
    }

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
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        };
        makeTemporary(QStringLiteral("Vs.ini.AbC123"), 3600);   // left by a killed writer
        makeTemporary(QStringLiteral("Vs.ini.XyZ789"), 1);      // another workstation writing now
        makeTemporary(QStringLiteral("Vs.ini.sauvegarde"), 3600); // the user's own copy
        vsini::write(dir.path(), WorkstationSettings{});
        QCOMPARE(entries(dir.path()), QStringList({"Vs.ini", "Vs.ini.XyZ789", "Vs.ini.sauvegarde"}));
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
                QVERIFY(settings == (WorkstationSettings{1, 0, 0, 0}) || settings == (WorkstationSettings{200, 1, 1, 1}));
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
