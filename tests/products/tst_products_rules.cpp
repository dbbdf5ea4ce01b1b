// Rules of the products subsystem that need no window: the Medoc.txt file.
#include "support/TestEnv.h"

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
