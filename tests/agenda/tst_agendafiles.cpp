// The doctor's Passages and Absences files on disk.
#include "support/TestEnv.h"

#include "store/AgendaFiles.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace tv;

namespace {
const QString kDoctor = u"  MARTIN"_s;
}

class TestAgendaFiles : public QObject {
    Q_OBJECT
private slots:
    void fileNamesKeepTheListBlanks();
    void maximaRoundTripWithNegativeValue();
    void maximaFromOtherWriters();
    void maximaMissingOrDamaged();
    void maximaWriteFailureKeepsOldFile();
    void absencesAppendAndRead();
    void removeOneDateDropsEveryCopy();
};

void TestAgendaFiles::fileNamesKeepTheListBlanks()
{
    tvtest::TestEnv env;
    agendafiles::writeMaxima(env.dataFolder(), kDoctor, {3, 3, 2, 3, 3, 0, 0});
    agendafiles::appendAbsences(env.dataFolder(), kDoctor, {u"05/03/2025"_s});
    const QStringList names = QDir(env.dataFolder()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names, QStringList({u"Absences  MARTIN.txt"_s, u"Passages  MARTIN.txt"_s}));
}

void TestAgendaFiles::maximaRoundTripWithNegativeValue()
{
    tvtest::TestEnv env;
    const MaxJourTable values{3, -1, 2, 3, 3, 0, 12};
    agendafiles::writeMaxima(env.dataFolder(), kDoctor, values);
    QCOMPARE(tvtest::TestEnv::readFile(agendafiles::passagesPath(env.dataFolder(), kDoctor)),
             QByteArray(" 3 -1  2  3  3  0  12 \r\n"));
    QCOMPARE(agendafiles::readMaxima(env.dataFolder(), kDoctor), values);
}

void TestAgendaFiles::maximaFromOtherWriters()
{
    tvtest::TestEnv env;
    const QString path = agendafiles::passagesPath(env.dataFolder(), kDoctor);
    env.writeFile(path, "3,3,2\r\n3,3\r\n0,0\r\n");
    QCOMPARE(agendafiles::readMaxima(env.dataFolder(), kDoctor), (MaxJourTable{3, 3, 2, 3, 3, 0, 0}));
}

void TestAgendaFiles::maximaMissingOrDamaged()
{
    tvtest::TestEnv env;
    QCOMPARE(agendafiles::readMaxima(env.dataFolder(), kDoctor), MaxJourTable{});
    env.writeFile(agendafiles::passagesPath(env.dataFolder(), kDoctor), "\xff\xfe garbage \x01");
    QCOMPARE(agendafiles::readMaxima(env.dataFolder(), kDoctor), MaxJourTable{});
}

void TestAgendaFiles::maximaWriteFailureKeepsOldFile()
{
    tvtest::TestEnv env;
    // A data folder that does not exist (any more).
    const QString gone = env.dataFolder() + u"/absent"_s;
    QVERIFY_THROWS_EXCEPTION(StoreError, agendafiles::writeMaxima(gone, kDoctor, MaxJourTable{}));

    agendafiles::writeMaxima(env.dataFolder(), kDoctor, {1, 1, 1, 1, 1, 1, 1});
    const QByteArray before = tvtest::TestEnv::readFile(agendafiles::passagesPath(env.dataFolder(), kDoctor));
    QFile::setPermissions(env.dataFolder(), QFile::ReadOwner | QFile::ExeOwner);
    bool failed = false;
    try {
        agendafiles::writeMaxima(env.dataFolder(), kDoctor, {2, 2, 2, 2, 2, 2, 2});
    } catch (const StoreError &error) {
        failed = true;
        QVERIFY(error.message().startsWith(u"Impossible d'écrire le fichier"_s));
    }
    QFile::setPermissions(env.dataFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!failed && ::geteuid() == 0)
        QSKIP("a read-only folder does not stop root");
    QVERIFY(failed);
    QCOMPARE(tvtest::TestEnv::readFile(agendafiles::passagesPath(env.dataFolder(), kDoctor)), before);
}

void TestAgendaFiles::absencesAppendAndRead()
{
    tvtest::TestEnv env;
    QCOMPARE(agendafiles::readAbsences(env.dataFolder(), kDoctor), std::nullopt);
    agendafiles::appendAbsences(env.dataFolder(), kDoctor, {u"10/03/2025"_s, u"11/03/2025"_s});
    agendafiles::appendAbsences(env.dataFolder(), kDoctor, {u"01/03/2025"_s});
    QCOMPARE(tvtest::TestEnv::readFile(agendafiles::absencesPath(env.dataFolder(), kDoctor)),
             QByteArray("10/03/2025\r\n11/03/2025\r\n01/03/2025\r\n"));
    QCOMPARE(agendafiles::readAbsenceText(env.dataFolder(), kDoctor), u"10/03/202511/03/202501/03/2025"_s);
}

void TestAgendaFiles::removeOneDateDropsEveryCopy()
{
    tvtest::TestEnv env;
    const QString path = agendafiles::absencesPath(env.dataFolder(), kDoctor);
    env.writeFile(path, "05/03/2025\r\n06/03/2025\r\n05/03/2025\r\n");
    agendafiles::removeAbsence(env.dataFolder(), kDoctor, u"05/03/2025"_s);
    QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray("06/03/2025\r\n"));
    QVERIFY(!QFile::exists(agendafiles::tmpAbsencesPath(env.dataFolder(), kDoctor)));
}

QTEST_GUILESS_MAIN(TestAgendaFiles)
#include "tst_agendafiles.moc"
