// Rules of the products subsystem that need no window: catalogue entries,
// the products text, the history lines and the Medoc.txt file.
#include "products/core/Catalogue.h"
#include "products/core/HistoryLines.h"
#include "products/core/ProductsText.h"
#include "store/MedocFile.h"
#include "store/Records.h"
#include "store/SettingsFiles.h"
#include "store/StoreError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

ProduitRecord visit(const QString &date, const QString &labo, const QString &delegue, const QString &produit)
{
    return ProduitRecord{0, u"DR A"_s, labo, delegue, date, produit};
}

} // namespace

class TestProductsRules : public QObject {
    Q_OBJECT
private slots:
    void catalogueEntriesAndDuplicates()
    {
        QCOMPARE(catalogue::entryFor(u"doliprane"_s), u"  DOLIPRANE"_s);
        // A hand-typed trailing blank stays: the deletion compares whole lines.
        QCOMPARE(catalogue::entryFor(u"advil  "_s), u"  ADVIL  "_s);
        QCOMPARE(catalogue::entryForTyped(u"  éfferalgan "_s), u"  ÉFFERALGAN"_s);

        const QStringList entries{u"  ADVIL  "_s, u"  DOLIPRANE"_s, u"  ÉLAN"_s};
        QVERIFY(catalogue::isRegistered(u"  Doliprane   "_s, entries));
        QVERIFY(catalogue::isRegistered(u"élan"_s, entries));
        QVERIFY(!catalogue::isRegistered(u"DOLIPRANE 500"_s, entries));
        QVERIFY(!catalogue::isRegistered(u"elan"_s, entries));
    }

    void editPrefixKeepsTwoBlanks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QString() << u"  "_s;
        QTest::newRow("one blank") << u" "_s << u"  "_s;
        QTest::newRow("letter over prefix") << u"d"_s << u"  d"_s;
        QTest::newRow("long text untouched") << u"dol"_s << u"dol"_s;
    }
    void editPrefixKeepsTwoBlanks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QCOMPARE(catalogue::editPrefixed(typed), shown);
    }

    void productsTextJoinAndSplit()
    {
        const QString text = productstext::join(
            {u"  "_s, u"  ADVIL"_s, u"   "_s, u"  DOLIPRANE  "_s,
             u"  ADVIL"_s});
        QCOMPARE(text, u"ADVIL\nDOLIPRANE\nADVIL\n"_s);
        QCOMPARE(productstext::join({u"  "_s}), QString());
        QCOMPARE(productstext::split(text),
                 QStringList({u"ADVIL"_s, u"DOLIPRANE"_s, u"ADVIL"_s, QString()}));
    }

    void historyNewestFirstAcrossYearsAndWithinDate()
    {
        const QList<ProduitRecord> records{
            visit(u"2024-12-31"_s, u"ZENECA"_s, u"Z"_s, u"A\n"_s),
            visit(u"2025-01-02"_s, u"ABBOTT"_s, u"A"_s, u"B\n"_s),
            visit(u"2025-01-02"_s, u"MERCK"_s, u"M"_s, u"C\n"_s),
            visit(u"2023-06-15"_s, u"BAYER"_s, u"B"_s, u"D\n"_s),
            visit(u"2025-10-01"_s, u"BAYER"_s, u"B"_s, u"E\n"_s),
        };
        const QStringList got = history::lines(history::Mode::All, records);
        QCOMPARE(got, QStringList({u"  01/10/2025  BAYER  [B]   E "_s,
                                   u"  02/01/2025  MERCK  [M]   C "_s,
                                   u"  02/01/2025  ABBOTT  [A]   B "_s,
                                   u"  31/12/2024  ZENECA  [Z]   A "_s,
                                   u"  15/06/2023  BAYER  [B]   D "_s}));
    }

    void medocFileRoundTripWithHandEditedLines()
    {
        QTemporaryDir dir;
        const QString medoc = files::join(dir.path(), files::Medoc);
        const QString tmp = files::join(dir.path(), files::MedocTmp);

        QVERIFY(!medocfile::read(dir.path()));
        medocfile::append(dir.path(), u"  Doliprane "_s);
        QCOMPARE(readBytes(medoc), QByteArray("Doliprane\r\n"));

        // Edited by hand on the old platform: Windows-1252, lower case,
        // trailing blanks, a line without its line end.
        writeBytes(medoc, QByteArray("doliprane\r\nadvil  \r\n\xC9lixir\r\nDOLIPRANE\r\n  aspirine"));
        QCOMPARE(*medocfile::read(dir.path()),
                 QStringList({u"doliprane"_s, u"advil  "_s, u"Élixir"_s,
                              u"DOLIPRANE"_s, u"  aspirine"_s}));

        // Every line equal to the name goes, whatever its case; the others are
        // kept trimmed.
        medocfile::remove(dir.path(), u"  DOLIPRANE"_s);
        QCOMPARE(*medocfile::read(dir.path()),
                 QStringList({u"advil"_s, u"Élixir"_s, u"aspirine"_s}));
        QVERIFY(!QFile::exists(tmp));

        // A line typed with blanks is compared with them: the first deletion
        // only trims it, the second removes it.
        writeBytes(medoc, QByteArray("advil  \r\n"));
        medocfile::remove(dir.path(), u"ADVIL  "_s);
        QCOMPARE(*medocfile::read(dir.path()), QStringList{u"advil"_s});
        medocfile::remove(dir.path(), u"ADVIL"_s);
        QCOMPARE(*medocfile::read(dir.path()), QStringList());
    }

    void medocFileFailureKeepsCatalogue()
    {
        QTemporaryDir dir;
        medocfile::append(dir.path(), u"advil"_s);
        const QString missingFolder = files::join(dir.path(), u"absent"_s);
        QVERIFY_THROWS_EXCEPTION(StoreError, medocfile::append(missingFolder, u"x"_s));
        QVERIFY_THROWS_EXCEPTION(StoreError, medocfile::remove(missingFolder, u"x"_s));
        QCOMPARE(*medocfile::read(dir.path()), QStringList{u"advil"_s});
    }
};

QTEST_GUILESS_MAIN(TestProductsRules)
#include "tst_products_rules.moc"
