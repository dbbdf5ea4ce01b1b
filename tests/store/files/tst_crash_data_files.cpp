// A rewrite, an append and the removals from the doctors, agenda and
// medicines files, and the database upgrade, fail at each step: the old or
// the new content is there whole and the next start-up works on what is
// left. The settings files and the killed writer are in tst_crash_safety.
#include "FaultInjection.h"
#include "support/JetFixtures.h"
#include "support/TestEnv.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/AgendaFormat.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "maintenance/core/DatabaseUpgrade.h"
#include "products/core/MedocFile.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QTest>

#include <functional>

using namespace tv;

namespace {

const QString kDoctor = QStringLiteral("  DR MARTIN");

struct SimulatedCrash { };

using tvtest::entries;
using tvtest::FaultGuard;

// The window starts on the data as the failure left it, with no box.
void checkStartUp(const tvtest::TestEnv &env)
{
    auto window = env.startWindow();
    QVERIFY(tvtest::noUnexpectedDialogs());
    QVERIFY(window->hasStore());
}

} // namespace

class TstCrashDataFiles : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dialogs::script::reset();
        dialogs::script::setStrict(true);
    }

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
            QString file;
            QByteArray old;
            std::function<void(const QString &folder)> write;
        };
        const QByteArray absences = "03/03/2025\r\n04/03/2025\r\n03/03/2025\r\n";
        const QByteArray doctors = "Dr Martin\r\nDr Durand\r\ndr durand\r\n";
        const QByteArray medoc = "Aspirine\r\nParacétamol\r\n aspirine \r\n";
        const QList<Writer> writers = {
            {"writeMaxima", agendaformat::passagesFileName(kDoctor), QByteArray(" 1  2  3  4  5  0  0 \r\n"),
             [](const QString &f) {
                 agendafiles::writeMaxima(f, kDoctor, {9, 9, 9, 9, 9, -1, 0});
             }},
            {"doctorsfile::remove", files::MedecinIni, doctors,
             [](const QString &f) { doctorsfile::remove(f, QStringLiteral("  DR DURAND")); }},
            {"removeAbsence", agendaformat::absencesFileName(kDoctor), absences,
             [](const QString &f) { agendafiles::removeAbsence(f, kDoctor, QStringLiteral("03/03/2025")); }},
            {"medocfile::remove", files::Medoc, medoc,
             [](const QString &f) { medocfile::remove(f, QStringLiteral("ASPIRINE")); }},
        };
        for (const Writer &writer : writers) {
            tvtest::TestEnv env;
            env.prepareData({QStringLiteral("Dr Martin")}, QStringLiteral("0,0,0,0"));
            const QString path = env.dataFile(writer.file);
            env.writeFile(path, writer.old);
            const QStringList before = entries(env.dataFolder());
            {
                FaultGuard guard(static_cast<textfile::WriteStep>(step));
                QVERIFY_THROWS_EXCEPTION(StoreError, writer.write(env.dataFolder()));
                QVERIFY2(tvtest::faultCalls() > 0, writer.name);
            }
            QVERIFY2(tvtest::TestEnv::readFile(path) == writer.old, writer.name);
            QVERIFY2(entries(env.dataFolder()) == before,
                     qPrintable(QStringLiteral("%1 left %2").arg(writer.name, entries(env.dataFolder()).join(u','))));
            checkStartUp(env);

            // The next run writes normally over what the failure left.
            writer.write(env.dataFolder());
            QVERIFY2(tvtest::TestEnv::readFile(path) != writer.old, writer.name);
            QVERIFY2(entries(env.dataFolder()) == before, writer.name);
        }
    }

    // Killed between writing the temporary file and the rename: the
    // temporary is whole but the file keeps its old content, and the next
    // removal writes over the leftover.
    void leftoverTemporaryOfARemovalIsHarmless()
    {
        tvtest::TestEnv env;
        env.prepareData({QStringLiteral("Dr Martin")}, QStringLiteral("0,0,0,0"));
        const QString absences = agendafiles::absencesPath(env.dataFolder(), kDoctor);
        const QString medoc = env.dataFile(files::Medoc);
        env.writeFile(absences, "03/03/2025\r\n04/03/2025\r\n");
        env.writeFile(medoc, "Aspirine\r\nParacétamol\r\n");
        env.writeFile(agendafiles::tmpAbsencesPath(env.dataFolder(), kDoctor), "04/03/2025\r\n");
        env.writeFile(env.dataFile(files::MedocTmp), "Paracétamol\r\n");

        checkStartUp(env);
        QCOMPARE(agendafiles::readAbsences(env.dataFolder(), kDoctor), QStringList({"03/03/2025", "04/03/2025"}));
        QCOMPARE(medocfile::read(env.dataFolder()), QStringList({"Aspirine", "Paracétamol"}));

        agendafiles::removeAbsence(env.dataFolder(), kDoctor, QStringLiteral("04/03/2025"));
        medocfile::remove(env.dataFolder(), QStringLiteral("paracétamol"));
        QCOMPARE(agendafiles::readAbsences(env.dataFolder(), kDoctor), QStringList({"03/03/2025"}));
        QCOMPARE(medocfile::read(env.dataFolder()), QStringList({"Aspirine"}));
        QVERIFY(!QFile::exists(agendafiles::tmpAbsencesPath(env.dataFolder(), kDoctor)));
        QVERIFY(!QFile::exists(env.dataFile(files::MedocTmp)));
    }

    // The upgrade of the user's database cut short at each of its steps,
    // including just after the filled copy is complete and before any file
    // changes name: the next start-up ends with the user's rows in the new
    // database and no shipped file left.
    void upgradeCutAtEveryStepThenStartUp_data()
    {
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("access"); // the user's database is this Access file
        QTest::newRow("first row") << QStringLiteral("copy:Visite:1") << QString();
        QTest::newRow("copy complete, no swap") << QString() << QString();
        QTest::newRow("shipped removed") << QStringLiteral("swap:shipped") << QString();
        QTest::newRow("old renamed") << QStringLiteral("swap:old") << QString();
        QTest::newRow("Access, mid-import") << QStringLiteral("copy:Visite:20") << QStringLiteral("ferrune-v2000.mdb");
        QTest::newRow("Access, old renamed") << QStringLiteral("swap:old") << QStringLiteral("ferrune-v2000.mdb");
    }

    void upgradeCutAtEveryStepThenStartUp()
    {
        QFETCH(QString, point);
        QFETCH(QString, access);
        if (!access.isEmpty())
            TV_NEED_JET_FIXTURES();
        tvtest::TestEnv env;
        env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
        const QByteArray accessBytes =
            access.isEmpty() ? QByteArray() : tvtest::TestEnv::readFile(tvtest::jet::fixture(access));
        if (!access.isEmpty()) {
            env.writeFile(env.dataFile(files::Database), accessBytes);
        } else {
            auto store = env.openStore();
            for (const char *day : {"10", "11", "12"})
                store->visites().insert({0, "DR A", "ALPHA", QString::fromLatin1(day), "02", "2025", ""});
        }
        env.installShippedDatabase();
        tvtest::TestEnv::createDatabase(env.programFile(files::Database));

        DatabaseUpgrade upgrade(DatabaseUpgrade::paths(env.programFolder(), env.dataFolder()));
        upgrade.setCheckpoint([&](const QString &p) {
            if (p == point)
                throw SimulatedCrash{};
        });
        if (point.startsWith(QStringLiteral("copy:"))) {
            QVERIFY_THROWS_EXCEPTION(SimulatedCrash, upgrade.copyRows());
        } else {
            upgrade.copyRows();
            if (!point.isEmpty())
                QVERIFY_THROWS_EXCEPTION(SimulatedCrash, upgrade.swapFiles());
        }

        // The start-up does the upgrade again (three boxes) or finishes the
        // swap (one box). An import cut short left the Access file as it was.
        const bool again = point.startsWith(QStringLiteral("copy:"));
        if (again && !access.isEmpty())
            QCOMPARE(tvtest::TestEnv::readFile(env.dataFile(files::Database)), accessBytes);
        for (int i = 0; i < (again ? 3 : 1); ++i)
            dialogs::script::push(QMessageBox::Ok);
        // And the empty database of an import stopped while it asked.
        const QString empty = DatabaseUpgrade::emptyTemplatePath(env.dataFile(files::Database));
        env.writeFile(empty, "x");
        auto window = env.startWindow();
        QVERIFY(!QFile::exists(empty));
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(dialogs::script::pending(), 0);
        const QString first = dialogs::script::texts().at(0);
        QVERIFY2(again ? first == QStringLiteral("Le programme doit mettre à jour votre base de données.")
                       : first.contains(QStringLiteral("a été terminée")),
                 qPrintable(first));
        QVERIFY(window->hasStore());
        QCOMPARE(tvtest::count(window->store(), QStringLiteral("SELECT COUNT(*) FROM Visite")),
                 access.isEmpty() ? 3 : 40);
        if (!access.isEmpty())
            QCOMPARE(tvtest::TestEnv::readFile(env.dataFile(files::OldDatabase)), accessBytes);
        QVERIFY(!QFile::exists(env.programFile(files::ShippedDatabase)));
        const auto paths = DatabaseUpgrade::paths(env.programFolder(), env.dataFolder());
        QVERIFY(!QFile::exists(paths.work()));
        QVERIFY(!QFile::exists(paths.partial()));
        for (const QString &text : dialogs::script::texts())
            QVERIFY2(!text.contains(QStringLiteral("a échoué")), qPrintable(text));
    }
};

QTEST_MAIN(TstCrashDataFiles)
#include "tst_crash_data_files.moc"
