// File formats of the settings and list files: round trips and the damaged
// or hand-edited cases the practice's files come with.
#include "support/TestEnv.h"

#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tv;

class TstTextFiles : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const { tvtest::TestEnv::writeFile(path(name), bytes); }
    QByteArray read(const QString &name) const { return tvtest::TestEnv::readFile(path(name)); }

private slots:
    void decodesUtf8AndFallsBackToWindows1252()
    {
        QCOMPARE(textfile::decode("H\xC3\xA9l\xC3\xA8"
                                  "ne"),
                 QStringLiteral("Hélène"));
        // Bytes made on the old platform: é = E9, œ = 9C, € = 80.
        QCOMPARE(textfile::decode("H\xE9l\xE8"
                                  "ne \x9C\x80"),
                 QStringLiteral("H\u00E9l\u00E8ne \u0153\u20AC"));
    }

    void splitsLinesWhateverTheLineEnd()
    {
        QCOMPARE(textfile::splitLines(QStringLiteral("a\r\nb\r\n")), QStringList({"a", "b"}));
        QCOMPARE(textfile::splitLines(QStringLiteral("a\nb")), QStringList({"a", "b"}));
        QCOMPARE(textfile::splitLines(QStringLiteral("a\r\n\r\nb  \r\n")), QStringList({"a", "", "b  "}));
        QCOMPARE(textfile::splitLines(QString()), QStringList());
    }

    void writesCrLfUtf8AndReadsBack()
    {
        textfile::writeLines(path("list.txt"), {QStringLiteral("Hélène"), QStringLiteral("  B ")});
        QCOMPARE(read("list.txt"), QByteArray("H\xC3\xA9l\xC3\xA8"
                                              "ne\r\n  B \r\n"));
        QCOMPARE(*textfile::readLines(path("list.txt")), QStringList({"Hélène", "  B "}));
        QVERIFY(!textfile::readLines(path("missing.txt")));
        textfile::appendLine(path("list.txt"), QStringLiteral("C"));
        QCOMPARE(textfile::readLines(path("list.txt"))->size(), 3);
        // Added to a file of the old platform without its last line end.
        write("old.txt", "Ren\xE9\r\nX");
        textfile::appendLine(path("old.txt"), QStringLiteral("Hélène"));
        QCOMPARE(read("old.txt"), QByteArray("Ren\xE9\r\nX\r\nH\xE9l\xE8ne\r\n"));
    }

    void fieldReadCutsAtCommasQuotesAndLineEnds()
    {
        textfile::FieldReader r(QStringLiteral("  abc , \"d,e\" ,f\r\n12\r\n"));
        QCOMPARE(*r.readText(), QStringLiteral("abc"));
        QCOMPARE(*r.readText(), QStringLiteral("d,e"));
        QCOMPARE(*r.readText(), QStringLiteral("f"));
        QCOMPARE(*r.readInteger(0, 255), 12LL);
        QVERIFY(r.atEnd());
        QVERIFY(!r.readText());
    }

    void settingsFilesRoundTrip()
    {
        for (const QString &folder : {QStringLiteral("/srv/Dupont, Durand/data"), QStringLiteral("/srv/data ")}) {
            cheminbase::write(m_dir.path(), folder);
            QCOMPARE(*cheminbase::read(m_dir.path()), folder);
        }
    }

    void cheminBaseRefusesQuotesAndEmptyFiles()
    {
        QTemporaryDir dir;
        QVERIFY(!cheminbase::read(dir.path()));
        QVERIFY_THROWS_EXCEPTION(StoreError, cheminbase::write(dir.path(), QStringLiteral("/srv/a\"b")));
        QVERIFY(!QFile::exists(dir.filePath("CheminBase.cfg")));
        textfile::writeLines(dir.filePath("CheminBase.cfg"), {QString()});
        QVERIFY_THROWS_EXCEPTION(StoreError, cheminbase::read(dir.path()));
    }

    void vsIniReadsWhatItCanAndKeepsDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one per line") << QByteArray("2\r\n1\r\n1\r\n0\r\n") << QStringLiteral("2,1,1,0");
        QTest::newRow("short") << QByteArray("3,1") << QStringLiteral("3,1,0,0");
        QTest::newRow("empty field") << QByteArray("1,,1,0") << QStringLiteral("1,0,1,0");
        QTest::newRow("damaged") << QByteArray("4,x,1,1") << QStringLiteral("4,0,0,0");
        QTest::newRow("out of range") << QByteArray("300,1,1,1") << QStringLiteral("100,0,0,0");
        QTest::newRow("binary") << QByteArray("\x01\xFF\x00,", 4) << QStringLiteral("100,0,0,0");
    }

    void vsIniReadsWhatItCanAndKeepsDefaults()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        write("Vs.ini", content);
        WorkstationSettings s;
        QVERIFY(vsini::read(m_dir.path(), s));
        QCOMPARE(vsini::line(s), expected);
    }
};

QTEST_GUILESS_MAIN(TstTextFiles)
#include "tst_textfiles.moc"
