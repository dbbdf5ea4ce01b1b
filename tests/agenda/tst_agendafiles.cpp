// The doctor's Passages and Absences files on disk.
#include "support/TestEnv.h"

#include "store/AgendaFiles.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;

namespace {
const QString kDoctor = u"  MARTIN"_s;
}

class TestAgendaFiles : public QObject {
    Q_OBJECT
private slots:
    void maximaRoundTripUnderTheListName();
    void absencesAppendAndRead();
    void removeOneDateDropsEveryCopy();
};

void TestAgendaFiles::maximaRoundTripUnderTheListName()
{
    tvtest::TestEnv env;
    QCOMPARE(agendafiles::readMaxima(env.dataFolder(), kDoctor), MaxJourTable{});
    const MaxJourTable values{3, -1, 2, 3, 3, 0, 12};
    agendafiles::writeMaxima(env.dataFolder(), kDoctor, values);
    agendafiles::appendAbsences(env.dataFolder(), kDoctor, {u"05/03/2025"_s});
    QCOMPARE(QDir(env.dataFolder()).entryList(QDir::Files, QDir::Name),
             QStringList({u"Absences  MARTIN.txt"_s, u"Passages  MARTIN.txt"_s}));
    QCOMPARE(tvtest::TestEnv::readFile(agendafiles::passagesPath(env.dataFolder(), kDoctor)),
             QByteArray(" 3 -1  2  3  3  0  12 \r\n"));
    QCOMPARE(agendafiles::readMaxima(env.dataFolder(), kDoctor), values);
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
}

QTEST_GUILESS_MAIN(TestAgendaFiles)
#include "tst_agendafiles.moc"
