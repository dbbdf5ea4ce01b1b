// The engine-level reader of the long lists: it must give exactly what the
// QtSql path gives (texts, NULLs, accents, order), keep values bound, and
// turn engine errors into a StoreError.
#include "support/TestEnv.h"

#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tv;

class TstBulkQuery : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    std::unique_ptr<Store> freshStore()
    {
        const QString folder = m_dir.filePath(QString::number(++m_counter));
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/Ferrune.mdb");
        tvtest::TestEnv::createDatabase(path);
        return Store::open(path);
    }

private slots:
    void doctorListMatchesRowByRow()
    {
        auto store = freshStore();
        // Out of date order, mixed case, accents, an empty time and a NULL one.
        store->visites().insert({0, QStringLiteral("DR ÉLODIE"), QStringLiteral("Labo Ä"), QStringLiteral("03"),
                                 QStringLiteral("04"), QStringLiteral("2025"), QStringLiteral("10:30")});
        store->visites().insert({0, QStringLiteral("dr élodie"), QStringLiteral("B"), QStringLiteral("01"),
                                 QStringLiteral("01"), QStringLiteral("2024"), QString()});
        store->visites().insert({0, QStringLiteral("DR AUTRE"), QStringLiteral("B"), QStringLiteral("01"),
                                 QStringLiteral("01"), QStringLiteral("2024"), QString()});
        execStatement(store->db(), QStringLiteral("UPDATE Visite SET Heure = NULL WHERE Labo = 'B'"));

        const QList<VisiteRecord> rows = store->visites().forMedecin(QStringLiteral("DR ÉLODIE")).get();
        // The file's NOCASE folds ASCII only; the server's collation folds É too.
        QCOMPARE(rows.size(), tvtest::TestEnv::onServer() ? 2 : 1);
        QCOMPARE(rows.at(0).labo, QStringLiteral("Labo Ä"));
        QCOMPARE(rows.at(0).heure, QStringLiteral("10:30"));
        QVERIFY(rows.at(0).numVisite > 0);

        const QList<VisiteRecord> other = store->visites().forMedecin(QStringLiteral("dr autre")).get();
        QCOMPARE(other.size(), 1);
        QVERIFY(other.at(0).heure.isEmpty());
        QVERIFY(store->visites().forMedecin(QStringLiteral("x' OR '1'='1")).get().isEmpty());
        QVERIFY(store->produits().forDelegue(QStringLiteral("x' OR '1'='1"), QStringLiteral("DR A")).get().isEmpty());
    }

    void historyNewestFirstWithAccentsFolded()
    {
        auto store = freshStore();
        ProduitRepository &p = store->produits();
        p.insert({0, QStringLiteral("DR A"), QStringLiteral("L1"), QStringLiteral("Hélène"),
                  QStringLiteral("2024-01-02"), QStringLiteral("Doliprane\n")});
        p.insert({0, QStringLiteral("DR A"), QStringLiteral("L2"), QStringLiteral("HÉLÈNE"),
                  QStringLiteral("2025-01-02"), QStringLiteral("Efferalgan\n")});
        p.insert({0, QStringLiteral("DR B"), QStringLiteral("L2"), QStringLiteral("Hélène"),
                  QStringLiteral("2025-01-03"), QString()});
        const QList<ProduitRecord> rows = p.forDelegue(QStringLiteral("hélène"), QStringLiteral("dr a"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).date, QStringLiteral("2025-01-02"));
        QCOMPARE(rows.at(1).produit, QStringLiteral("Doliprane\n"));
    }

    void engineErrorsBecomeStoreErrors()
    {
        auto store = freshStore();
        QVERIFY_THROWS_EXCEPTION(StoreError, Query(store->db(), QStringLiteral("SELECT nothing FROM Nowhere")).exec());
        Query q(store->db(), QStringLiteral("SELECT Labo FROM Visite WHERE Medecin = :medecin"));
        QVERIFY_THROWS_EXCEPTION(StoreError, q.bind(QStringLiteral(":absent"), QStringLiteral("x")));
    }
};

QTEST_GUILESS_MAIN(TstBulkQuery)
#include "tst_bulkquery.moc"
