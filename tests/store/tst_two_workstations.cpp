// Two processes book and delete appointments on one database at the same
// time, as two workstations of the practice do.
#include "support/TestEnv.h"

#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tv;

class TstTwoWorkstations : public QObject {
    Q_OBJECT

private slots:
    void bookingAndDeletingAtOnceLosesAndDoublesNothing()
    {
        const QString worker = QCoreApplication::applicationDirPath() + QStringLiteral("/tallvane_store_worker");
        QVERIFY2(QFile::exists(worker), qPrintable(worker));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Ferrune.mdb"));
        tvtest::TestEnv::createDatabase(path);

        QProcess first, second;
        for (QProcess *p : {&first, &second})
            p->setProcessChannelMode(QProcess::SeparateChannels);
        first.start(worker, {QStringLiteral("book"), path, QStringLiteral("3000"), QStringLiteral("1")});
        second.start(worker, {QStringLiteral("book"), path, QStringLiteral("3000"), QStringLiteral("2")});
        long inserted = 0, deleted = 0, duplicates = 0;
        for (QProcess *p : {&first, &second}) {
            QVERIFY(p->waitForFinished(60000));
            QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0,
                     p->readAllStandardError().constData());
            const QString output = QString::fromUtf8(p->readAllStandardOutput()).trimmed();
            qInfo("inserted, deleted, refused as duplicate: %s", qPrintable(output));
            const QStringList counts = output.split(u' ', Qt::SkipEmptyParts);
            QCOMPARE(counts.size(), 3);
            QVERIFY2(counts.at(0).toLong() > 0, "a workstation booked nothing");
            inserted += counts.at(0).toLong();
            deleted += counts.at(1).toLong();
            duplicates += counts.at(2).toLong();
        }
        // With 30 keys and thousands of tries both sides met the same rows.
        QVERIFY(duplicates > 0);
        QVERIFY(deleted > 0);

        auto store = Store::open(path);
        Database *db = &store->db();
        Query twice(*db, QStringLiteral("SELECT Medecin, Labo, Jour, Mois, An, COUNT(*) FROM Visite "
                                        "GROUP BY Medecin, Labo, Jour, Mois, An HAVING COUNT(*) > 1"));
        QVERIFY2(!twice.next(), "the same appointment was booked twice");
        Query count(*db, QStringLiteral("SELECT COUNT(*) FROM Visite"));
        QVERIFY(count.next());
        QCOMPARE(count.integer(0), inserted - deleted);
    }
};

QTEST_GUILESS_MAIN(TstTwoWorkstations)
#include "tst_two_workstations.moc"
