// Inputs the fuzz targets (fuzz/) found to break a reader, kept so that the
// fault stays fixed. Each case names the target that found it.
#include "support/TestEnv.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/Booking.h"
#include "agenda/core/NumberText.h"
#include "products/core/MedocFile.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tv;

class TstFuzzRegressions : public QObject {
    Q_OBJECT

private slots:
    // fuzz_medocfile, fuzz_agendafiles: a line holding U+FEFF became the
    // first line of a rewritten file and was then read as a byte order mark,
    // losing the character.
    void textStartingWithFeffSurvivesARewrite()
    {
        const QString feff(QChar(0xFEFF));
        QCOMPARE(textfile::splitLines(textfile::decode(textfile::encodeLines({feff + QStringLiteral("a"), "b"}))),
                 QStringList({feff + QStringLiteral("a"), "b"}));
        // One mark is dropped, never two.
        QCOMPARE(textfile::decode("\xEF\xBB\xBF\xEF\xBB\xBF"
                                  "a"),
                 feff + QStringLiteral("a"));
        QCOMPARE(textfile::decode("\xEF\xBB\xBF"
                                  "a"),
                 QStringLiteral("a"));

        QTemporaryDir dir;
        tvtest::TestEnv::writeFile(files::join(dir.path(), files::Medoc), "\n\xEF\xBB\xBF");
        medocfile::remove(dir.path(), QString());
        QCOMPARE(medocfile::read(dir.path()), QStringList({feff}));

        const QString doctor = QStringLiteral("  DR MARTIN");
        tvtest::TestEnv::writeFile(agendafiles::absencesPath(dir.path(), doctor),
                                   QByteArray("\x00\x00\x00\x08\n\xEF\xBB\xBF", 8));
        const QString first = agendafiles::readAbsences(dir.path(), doctor)->first();
        agendafiles::removeAbsence(dir.path(), doctor, first);
        QCOMPARE(agendafiles::readAbsences(dir.path(), doctor), QStringList({feff}));

        // fuzz_agendafiles: a file holding only its mark got an empty line
        // before the days appended to it.
        tvtest::TestEnv::writeFile(agendafiles::absencesPath(dir.path(), doctor), "\xEF\xBB\xBF");
        agendafiles::appendAbsences(dir.path(), doctor, {QStringLiteral("05/03/2025")});
        QCOMPARE(agendafiles::readAbsences(dir.path(), doctor), QStringList({QStringLiteral("05/03/2025")}));
    }

    // fuzz_numbertext: "$" also matches before a final line end, so a time
    // or a date followed by one was taken as complete.
    void lineEndAfterATimeOrADateIsNotAccepted()
    {
        QVERIFY(booking::completeTime(QStringLiteral("55H\n")).incomplete);
        QVERIFY(booking::completeTime(QStringLiteral("10H30\n")).incomplete);
        QVERIFY(!booking::parseDateJMA(QStringLiteral("05/03/2025\n")));
    }

    // fuzz_numbertext: after "&H", a digit of another script (here U+0660,
    // Arabic-Indic zero) was taken as a hexadecimal digit worth 0.
    void hexadecimalReadingStopsAtOtherScriptsDigits()
    {
        QCOMPARE(numbertext::val(QStringLiteral("&H\u0660F")), 0.0);
        QCOMPARE(numbertext::val(QStringLiteral("&H1\u0663")), 1.0);
    }
};

QTEST_GUILESS_MAIN(TstFuzzRegressions)
#include "tst_fuzz_regressions.moc"
