// The frames between the Access reader and the program, and the values the
// program accepts from it.
#include "maintenance/core/AccessIntake.h"
#include "maintenance/core/AccessReading.h"
#include "maintenance/core/AccessReport.h"
#include "maintenance/core/AccessStream.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tv;
using namespace tv::accessstream;

namespace {

QList<Frame> sample()
{
    const QList<Column> columns = {{u"NumLabo"_s, ColumnKind::Counter, 0},
                                   {u"Labo"_s, ColumnKind::Text, 50},
                                   {u"Remarque"_s, ColumnKind::Memo, 0}};
    return {Diagnostic{u"avant"_s},
            Hello{u"Jet 4"_s},
            Catalog{{u"Labo"_s, u"Prod聵it"_s, QString()}},
            Table{u"Labo"_s, 4'000'000'000u, columns},
            Row{{1LL, u"L'ORÉAL SANTÉ"_s, u"ligne\r\n€ Œ"_s}},
            Diagnostic{u"offset 4169728 is beyond EOF"_s},
            Row{{QVariant(), QString(), -1.5e300}},
            Row{{true, false, QDateTime(QDate(1899, 12, 30), QTime(23, 59, 59, 999), Qt::UTC)}},
            Row{{QDateTime(), std::numeric_limits<qlonglong>::min(), QString(70'000, u'x')}},
            TableEnd{4},
            Failure{u"Visite"_s, u"La table Visite est illisible."_s},
            Failure{QString(), QString()},
            Done{}};
}

} // namespace

class TstAccessStream : public QObject {
    Q_OBJECT

private slots:
    // Any cut of the stream into pieces gives back the same frames.
    void roundTrip()
    {
        QByteArray stream;
        for (const Frame &frame : sample())
            stream += encode(frame);
        for (int seed = 0; seed < 20; ++seed) {
            QRandomGenerator random(seed);
            Decoder decoder;
            QList<Frame> back;
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype piece = seed == 0 ? 1 : random.bounded(1, 4000);
                decoder.feed(stream.mid(at, piece));
                at += piece;
                while (auto frame = decoder.next())
                    back.append(*frame);
            }
            QVERIFY(!decoder.malformed());
            QCOMPARE(decoder.pending(), 0);
            QVERIFY(back == sample());
        }
    }

    // The reader writes its rows from raw values: the same bytes.
    void rawRowIsTheRowOfItsValues()
    {
        const char text[] = "Œstrogel\r\n";
        using K = RawValue::Kind;
        const std::vector<RawValue> raw = {{},
                                           {K::Text, text, qsizetype(sizeof text - 1)},
                                           {K::Integer, nullptr, 0, -7},
                                           {K::Real, nullptr, 0, 0, 0.1},
                                           {K::Bool, nullptr, 0, 1},
                                           {K::DateTime, nullptr, 0, QDate(2024, 2, 29).toJulianDay(), 0, 3'600'000}};
        Row row;
        for (const RawValue &value : raw)
            row.values.append(toVariant(value));
        QByteArray bytes;
        encodeRow(raw, bytes);
        QCOMPARE(bytes, encode(row));
        QCOMPARE(row.values[5], QVariant(QDateTime(QDate(2024, 2, 29), QTime(1, 0), Qt::UTC)));
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray row = encode(Row{{1LL}});
        QTest::newRow("unknown kind") << QByteArray("Q\0\0\0\0", 5);
        QTest::newRow("frame too long") << QByteArray("R\xff\xff\xff\x7f", 5);
        QTest::newRow("payload left over") << QByteArray("Z\1\0\0\0x", 6);
        QTest::newRow("count beyond payload") << QByteArray("R\4\0\0\0\xff\xff\xff\xff", 9);
        QTest::newRow("text beyond payload") << QByteArray("D\4\0\0\0\5\0\0\0", 9);
        QTest::newRow("value tag") << QByteArray("R\5\0\0\0\1\0\0\0\x09", 10);
        QTest::newRow("bool") << QByteArray("R\6\0\0\0\1\0\0\0\4\2", 11);
        QTest::newRow("time of day") << QByteArray("R\21\0\0\0\1\0\0\0\5", 10) + QByteArray(8, '\0')
                                            + QByteArray("\0\x5c\x26\x05", 4);
        QTest::newRow("column kind") << QByteArray("T\25\0\0\0", 5) + QByteArray(8, '\0') + QByteArray("\1\0\0\0", 4)
                                            + QByteArray(9, '\0');
        QTest::newRow("hello magic") << QByteArray("H\x08\0\0\0TVJ2\0\0\0\0", 13);
        QTest::newRow("after a good frame") << row + QByteArray("Z\1\0\0\0x", 6);
    }

    void malformed()
    {
        QFETCH(QByteArray, bytes);
        Decoder decoder;
        decoder.feed(bytes);
        while (decoder.next()) { }
        QVERIFY(decoder.malformed());
    }

    // Values a damaged page gives, refused; the edges of each type, taken.
    void valuesFitTheirColumn_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("size");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("fits");
        const auto add = [](const char *name, ColumnKind kind, int size, const QVariant &value, bool fits) {
            QTest::newRow(name) << int(kind) << size << value << fits;
        };
        add("text at its size", ColumnKind::Text, 5, u"ÉTHYP"_s, true);
        add("text beyond its size", ColumnKind::Text, 5, u"ÉTHYPH"_s, false);
        add("text with a control byte", ColumnKind::Text, 50, u"A\u0001B"_s, false);
        add("memo with line breaks", ColumnKind::Memo, 0, u"a\r\nb\tc"_s, true);
        add("memo not text", ColumnKind::Memo, 0, 12LL, false);
        add("text replacement char", ColumnKind::Memo, 0, u"a\uFFFD"_s, false);
        add("null counter", ColumnKind::Counter, 0, QVariant(), false);
        add("counter 0", ColumnKind::Counter, 0, 0LL, false);
        add("counter max", ColumnKind::Counter, 0, 2147483647LL, true);
        add("integer low edge", ColumnKind::Integer, 0, -32768LL, true);
        add("integer beyond", ColumnKind::Integer, 0, 32768LL, false);
        add("byte beyond", ColumnKind::Byte, 0, 256LL, false);
        add("long beyond", ColumnKind::Long, 0, 2147483648LL, false);
        add("null integer", ColumnKind::Integer, 0, QVariant(), true);
        add("double infinite", ColumnKind::Double, 0, qInf(), false);
        add("date year 9999", ColumnKind::DateTime, 0, QDateTime(QDate(9999, 12, 31), QTime(0, 0), Qt::UTC), true);
        add("date year 10000", ColumnKind::DateTime, 0, QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC), false);
        add("date invalid", ColumnKind::DateTime, 0, QDateTime(), false);
        add("bool as number", ColumnKind::Bool, 0, 1LL, false);
    }

    // The order of the frames and the rows kept, whatever the child sends.
    void intakeKeepsToTheRules()
    {
        const QList<Column> columns = {{u"Num"_s, ColumnKind::Counter, 0}, {u"Nom"_s, ColumnKind::Text, 3}};
        AccessContent content;
        AccessIntake intake(content, {u"A"_s, u"B"_s});
        for (const Frame &frame :
             QList<Frame>{Hello{u"Jet 4"_s}, Catalog{{u"A"_s, u"B"_s, u"C"_s}}, Table{u"A"_s, 3, columns},
                          Row{{1LL, u"x"_s}}, Row{{1LL, u"y"_s}}, Row{{2LL, u"long"_s}}, TableEnd{3}})
            QVERIFY(intake.take(frame));
        QVERIFY(!intake.take(Table{u"C"_s, 0, columns})); // not asked for
        QVERIFY(!intake.take(TableEnd{0}));               // no table begun
        QVERIFY(!intake.take(Row{{3LL, u"z"_s}}));
        intake.stopped(u"arrêt"_s); // between two tables: the next asked for
        QCOMPARE(content.tables.size(), 2);
        QCOMPARE(content.tables[0].rows.size(), 1);
        QCOMPARE(content.tables[0].rejected, 2); // a counter seen twice, a text too long
        QCOMPARE(content.tables[1].name, u"B"_s);
        QVERIFY(!content.tables[1].whole());
        QCOMPARE(AccessIntake(content, {}).unread(), QStringList{u"C"_s});
    }

    // A reader child that takes too much memory or time, or talks
    // nonsense, is stopped and the file taken for unreadable.
    void misbehavingReaderIsStopped_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("whole");
        QTest::newRow("well-behaved") << u"sage"_s << true;
        QTest::newRow("memory") << u"memoire"_s << false;
        QTest::newRow("time") << u"sommeil"_s << false;
        QTest::newRow("nonsense") << u"bavard"_s << false;
    }

    void misbehavingReaderIsStopped()
    {
        QFETCH(QString, mode);
        QFETCH(bool, whole);
        QTemporaryDir dir;
        const QString file = dir.filePath(mode + u".mdb"_s);
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
        accessreading::setReaderPath(QCoreApplication::applicationDirPath() + u"/tallvane_rogue_reader"_s);
        const auto verdict = accessreport::summarize(accessreading::read(file)).verdict;
        QCOMPARE(verdict, whole ? accessreport::Verdict::Whole : accessreport::Verdict::Unreadable);
    }

    void valuesFitTheirColumn()
    {
        QFETCH(int, kind);
        QFETCH(int, size);
        QFETCH(QVariant, value);
        QFETCH(bool, fits);
        QCOMPARE(accessvalues::fits({u"c"_s, ColumnKind(kind), quint32(size)}, value), fits);
    }
};

QTEST_GUILESS_MAIN(TstAccessStream)
#include "tst_accessstream.moc"
