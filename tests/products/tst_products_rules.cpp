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
    return ProduitRecord{0, QStringLiteral("DR A"), labo, delegue, date, produit};
}

} // namespace

class TestProductsRules : public QObject {
    Q_OBJECT
private slots:
    void catalogueEntriesAndDuplicates()
    {
        QCOMPARE(catalogue::entryFor(QStringLiteral("doliprane")), QStringLiteral("  DOLIPRANE"));
        // A hand-typed trailing blank stays: the deletion compares whole lines.
        QCOMPARE(catalogue::entryFor(QStringLiteral("advil  ")), QStringLiteral("  ADVIL  "));
        QCOMPARE(catalogue::entryForTyped(QStringLiteral("  éfferalgan ")), QStringLiteral("  ÉFFERALGAN"));

        const QStringList entries{QStringLiteral("  ADVIL  "), QStringLiteral("  DOLIPRANE"), QStringLiteral("  ÉLAN")};
        QVERIFY(catalogue::isRegistered(QStringLiteral("  Doliprane   "), entries));
        QVERIFY(catalogue::isRegistered(QStringLiteral("advil"), entries));
        QVERIFY(catalogue::isRegistered(QStringLiteral("élan"), entries));
        QVERIFY(!catalogue::isRegistered(QStringLiteral("DOLIPRANE 500"), entries));
        QVERIFY(!catalogue::isRegistered(QStringLiteral("elan"), entries));
    }

    void sortedPositionKeepsOrder()
    {
        const QStringList entries{QStringLiteral("  ADVIL"), QStringLiteral("  DOLIPRANE"), QStringLiteral("  ZYRTEC")};
        QCOMPARE(catalogue::sortedPosition(entries, QStringLiteral("  ASPIRINE")), 1);
        QCOMPARE(catalogue::sortedPosition(entries, QStringLiteral("  AAA")), 0);
        QCOMPARE(catalogue::sortedPosition(entries, QStringLiteral("  ZZZ")), 3);
        QCOMPARE(catalogue::sortedPosition({}, QStringLiteral("  X")), 0);
    }

    void editPrefixKeepsTwoBlanks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QString() << QStringLiteral("  ");
        QTest::newRow("one blank") << QStringLiteral(" ") << QStringLiteral("  ");
        QTest::newRow("letter over prefix") << QStringLiteral("d") << QStringLiteral("  d");
        QTest::newRow("two letters") << QStringLiteral("do") << QStringLiteral("  do");
        QTest::newRow("long text untouched") << QStringLiteral("dol") << QStringLiteral("dol");
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
            {QStringLiteral("  "), QStringLiteral("  ADVIL"), QStringLiteral("   "), QStringLiteral("  DOLIPRANE  "),
             QStringLiteral("  ADVIL")});
        QCOMPARE(text, QStringLiteral("ADVIL\nDOLIPRANE\nADVIL\n"));
        QCOMPARE(productstext::join({QStringLiteral("  ")}), QString());
        QCOMPARE(productstext::split(text),
                 QStringList({QStringLiteral("ADVIL"), QStringLiteral("DOLIPRANE"), QStringLiteral("ADVIL"), QString()}));
    }

    void historyProductsPart()
    {
        QCOMPARE(productstext::historyPart(QStringLiteral("ADVIL\nDOLIPRANE\n")), QStringLiteral("ADVIL / DOLIPRANE "));
        QCOMPARE(productstext::historyPart(QStringLiteral("ADVIL\n")), QStringLiteral("ADVIL "));
        QCOMPARE(productstext::historyPart(QString()), QString());
    }

    void historyNewestFirstAcrossYearsAndWithinDate()
    {
        const QList<ProduitRecord> records{
            visit(QStringLiteral("2024-12-31"), QStringLiteral("ZENECA"), QStringLiteral("Z"), QStringLiteral("A\n")),
            visit(QStringLiteral("2025-01-02"), QStringLiteral("ABBOTT"), QStringLiteral("A"), QStringLiteral("B\n")),
            visit(QStringLiteral("2025-01-02"), QStringLiteral("MERCK"), QStringLiteral("M"), QStringLiteral("C\n")),
            visit(QStringLiteral("2023-06-15"), QStringLiteral("BAYER"), QStringLiteral("B"), QStringLiteral("D\n")),
            visit(QStringLiteral("2025-10-01"), QStringLiteral("BAYER"), QStringLiteral("B"), QStringLiteral("E\n")),
        };
        const QStringList got = history::lines(history::Mode::All, records);
        QCOMPARE(got, QStringList({QStringLiteral("  01/10/2025  BAYER  [B]   E "),
                                   QStringLiteral("  02/01/2025  MERCK  [M]   C "),
                                   QStringLiteral("  02/01/2025  ABBOTT  [A]   B "),
                                   QStringLiteral("  31/12/2024  ZENECA  [Z]   A "),
                                   QStringLiteral("  15/06/2023  BAYER  [B]   D ")}));
        QCOMPARE(history::lines(history::Mode::All, {}), QStringList());
    }

    void medocFileRoundTripWithHandEditedLines()
    {
        QTemporaryDir dir;
        const QString medoc = files::join(dir.path(), files::Medoc);
        const QString tmp = files::join(dir.path(), files::MedocTmp);

        QVERIFY(!medocfile::read(dir.path()));
        medocfile::append(dir.path(), QStringLiteral("  Doliprane "));
        QCOMPARE(readBytes(medoc), QByteArray("Doliprane\r\n"));

        // Edited by hand on the old platform: Windows-1252, lower case,
        // trailing blanks, a line without its line end.
        writeBytes(medoc, QByteArray("doliprane\r\nadvil  \r\n\xC9lixir\r\nDOLIPRANE\r\n  aspirine"));
        QCOMPARE(*medocfile::read(dir.path()),
                 QStringList({QStringLiteral("doliprane"), QStringLiteral("advil  "), QStringLiteral("Élixir"),
                              QStringLiteral("DOLIPRANE"), QStringLiteral("  aspirine")}));

        // Every line equal to the name goes, whatever its case; the others are
        // kept trimmed.
        medocfile::remove(dir.path(), QStringLiteral("  DOLIPRANE"));
        QCOMPARE(*medocfile::read(dir.path()),
                 QStringList({QStringLiteral("advil"), QStringLiteral("Élixir"), QStringLiteral("aspirine")}));
        QVERIFY(!QFile::exists(tmp));

        // A line typed with blanks is compared with them: the first deletion
        // only trims it, the second removes it.
        writeBytes(medoc, QByteArray("advil  \r\n"));
        medocfile::remove(dir.path(), QStringLiteral("ADVIL  "));
        QCOMPARE(*medocfile::read(dir.path()), QStringList{QStringLiteral("advil")});
        medocfile::remove(dir.path(), QStringLiteral("ADVIL"));
        QCOMPARE(*medocfile::read(dir.path()), QStringList());

        // Deleting from a missing catalogue leaves an empty file.
        QFile::remove(medoc);
        medocfile::remove(dir.path(), QStringLiteral("X"));
        QVERIFY(QFile::exists(medoc));
        QCOMPARE(*medocfile::read(dir.path()), QStringList());
    }

    void medocFileFailureKeepsCatalogue()
    {
        QTemporaryDir dir;
        medocfile::append(dir.path(), QStringLiteral("advil"));
        const QString missingFolder = files::join(dir.path(), QStringLiteral("absent"));
        QVERIFY_THROWS_EXCEPTION(StoreError, medocfile::append(missingFolder, QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(StoreError, medocfile::remove(missingFolder, QStringLiteral("x")));
        QCOMPARE(*medocfile::read(dir.path()), QStringList{QStringLiteral("advil")});
    }
};

QTEST_GUILESS_MAIN(TestProductsRules)
#include "tst_products_rules.moc"
