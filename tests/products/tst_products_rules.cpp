// Rules of the products subsystem that need no window: catalogue entries,
// the products text and the Medoc.txt file.
#include "support/TestEnv.h"

#include "products/core/Catalogue.h"
#include "products/core/MedocFile.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;

using tvtest::TestEnv;

class TstProductsRules : public QObject {
    Q_OBJECT
private slots:
    void catalogueEntriesAndDuplicates()
    {
        QCOMPARE(catalogue::entryForTyped(u"  éfferalgan "_s), u"  ÉFFERALGAN"_s);

        const QStringList entries{u"  ADVIL  "_s, u"  DOLIPRANE"_s, u"  ÉLAN"_s};
        QVERIFY(catalogue::isRegistered(u"élan"_s, entries));
        QVERIFY(!catalogue::isRegistered(u"DOLIPRANE 500"_s, entries));
        QVERIFY(!catalogue::isRegistered(u"elan"_s, entries));
    }

    void editPrefixKeepsTwoBlanks_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one blank") << u" "_s << u"  "_s;
        QTest::newRow("long text untouched") << u"dol"_s << u"dol"_s;
    }
    void editPrefixKeepsTwoBlanks()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QCOMPARE(catalogue::editPrefixed(typed), shown);
    }

    // The window covers the hand-edited file; here every line equal to the
    // name goes whatever its case, a last line without its line end included.
    void medocRemovalTakesEveryCase()
    {
        QTemporaryDir dir;
        QVERIFY(!medocfile::read(dir.path()));
        TestEnv::writeFile(files::join(dir.path(), files::Medoc), "doliprane\r\nadvil  \r\nDOLIPRANE\r\n  aspirine");
        medocfile::remove(dir.path(), u"  DOLIPRANE"_s);
        QCOMPARE(*medocfile::read(dir.path()), QStringList({u"advil"_s, u"aspirine"_s}));
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

QTEST_GUILESS_MAIN(TstProductsRules)
#include "tst_products_rules.moc"
