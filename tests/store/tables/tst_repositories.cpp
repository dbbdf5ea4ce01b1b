// The four tables on a real SQLite file or PostgreSQL server: bound values,
// case rules, and the changes that span several tables.
#include "support/TestEnv.h"

#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tv;

namespace {

VisiteRecord visite(const QString &medecin, const QString &labo, const QString &jour, const QString &mois,
                    const QString &an)
{
    return {0, medecin, labo, jour, mois, an, QString()};
}

} // namespace

class TstRepositories : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    std::unique_ptr<Store> freshStore()
    {
        // A folder each: on a server its Serveur.cfg names the database.
        const QString folder = m_dir.filePath(QString::number(++m_counter));
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/Ferrune.mdb");
        tvtest::TestEnv::createDatabase(path);
        return Store::open(path);
    }

private slots:
    void openingNeverCreatesAFile()
    {
        const QString missing = m_dir.filePath("nothing-here.mdb");
        QVERIFY_THROWS_EXCEPTION(StoreError, Store::open(missing));
        QVERIFY(!QFile::exists(missing));

        const QString stranger = m_dir.filePath("stranger.mdb");
        QFile f(stranger);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a database at all");
        f.close();
        QVERIFY_THROWS_EXCEPTION(StoreError, Store::open(stranger));
    }

    void awkwardNamesAreOrdinaryValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("injection") << QStringLiteral("x' or '1'='1");
        QTest::newRow("apostrophe") << QStringLiteral("L'OREAL");
        QTest::newRow("accents") << QStringLiteral("ÉLÉGANCE");
    }

    void awkwardNamesAreOrdinaryValues()
    {
        QFETCH(QString, name);
        auto store = freshStore();
        store->addLaboratory(QStringLiteral("AUTRE"), {QStringLiteral("DR A")});
        const LaboEntry added = store->addLaboratory(name, {QStringLiteral("DR A")});
        QCOMPARE(added.labo, name.toUpper());
        QCOMPARE(added.nom, QStringLiteral("Nom_Labo_%1").arg(added.numLabo));

        QCOMPARE(store->labos().findByLabo(name.toUpper()).get()->labo, name.toUpper());
        QCOMPARE(store->passages().quota(name.toUpper(), QStringLiteral("DR A")).get(),
                 std::optional<QString>(QString()));

        store->visites().insert(visite("DR A", name.toUpper(), "05", "03", "2025"));
        store->visites().insert(visite("DR A", "AUTRE", "05", "03", "2025"));
        QCOMPARE(store->visites().forLaboMedecin(name.toUpper(), "DR A").get().size(), 1);

        store->deleteLaboratory(name.toUpper());
        for (const char *table : {"Labo", "Visite", "Passage"})
            QCOMPARE(tvtest::count(*store, QStringLiteral("SELECT COUNT(*) FROM ") + QLatin1String(table)), 1);
    }

    void textComparisonIgnoresCase()
    {
        auto store = freshStore();
        store->addLaboratory(QStringLiteral("Sanofi"), {});
        QVERIFY(store->labos().exists(QStringLiteral("sanofi")).get());
        store->visites().insert(visite("DR A", "SANOFI", "05", "03", "2025"));
        QCOMPARE(store->visites().forDay("dr a", "05", "03", "2025").get().size(), 1);

        LaboRecord r = *store->labos().findByLabo("SANOFI").get();
        r.nom = QStringLiteral("Émile Dupré");
        store->labos().update(r);
        // The delegate look-up folds accented capitals too.
        QVERIFY(store->labos().findByNom(QStringLiteral("ÉMILE DUPRÉ")).get().has_value());
    }

    void productSearchMeansContainsAnyCase()
    {
        auto store = freshStore();
        auto add = [&](const QString &labo, const QString &date, const QString &text) {
            store->produits().insert({0, "DR A", labo, "Jean", date, text});
        };
        add("L1", "2024-01-10", "PARASPIRINE 500\n");
        add("L2", "2025-02-11", "aspirine\nDOLIPRANE\n");
        add("L3", "2025-02-12", "Éphédrine\n");
        add("L4", "2025-02-13", "DOLIPRANE\n");
        store->produits().insert({0, "DR B", "L1", "Jean", "2025-01-01", "ASPIRINE\n"});

        const auto aspi = store->produits().containing(QStringLiteral("ASPI"), "DR A").get();
        QCOMPARE(aspi.size(), 2);
        QCOMPARE(aspi.at(0).labo, QStringLiteral("L2")); // newest first
        QCOMPARE(aspi.at(1).labo, QStringLiteral("L1"));
        QCOMPARE(store->produits().containing(QStringLiteral("éPHÉ"), "DR A").get().size(), 1);
        QCOMPARE(store->produits().containing(QStringLiteral("%"), "DR A").get().size(), 0);
        QCOMPARE(store->produits().containing(QStringLiteral("_"), "DR A").get().size(), 0);
    }

    // The changes that span tables, each one transaction on either engine.
    void renameAndDeleteSpanTheTables()
    {
        auto store = freshStore();
        store->addLaboratory("ALPHA", {"DR A", "DR B"});
        store->addLaboratory("BETA", {"DR A", "DR B"});
        store->visites().insert(visite("DR A", "ALPHA", "01", "02", "2025"));
        store->visites().insert(visite("DR B", "BETA", "01", "02", "2025"));
        store->produits().insert({0, "DR A", "ALPHA", "X", "2025-02-01", "P\n"});

        store->renameLaboratory("ALPHA", "GAMMA");
        QVERIFY(!store->labos().exists("ALPHA").get());
        QVERIFY(store->labos().exists("GAMMA").get());
        QCOMPARE(store->visites().forLaboMedecin("GAMMA", "DR A").get().size(), 1);
        QVERIFY(store->passages().quota("GAMMA", "DR B").get().has_value());
        // Products keep the name they were recorded under.
        QVERIFY(store->produits().find("ALPHA", "DR A", "2025-02-01").get().has_value());

        store->deleteDoctorRows("DR A");
        QCOMPARE(tvtest::count(*store, QStringLiteral("SELECT COUNT(*) FROM Visite")), 1);
        QCOMPARE(tvtest::count(*store, QStringLiteral("SELECT COUNT(*) FROM Passage")), 2);
        QCOMPARE(tvtest::count(*store, QStringLiteral("SELECT COUNT(*) FROM Produit")), 1);
    }

    void aFailedChangeLeavesNothingHalfDone()
    {
        auto store = freshStore();
        store->addLaboratory("ALPHA", {"DR A"});
        store->visites().insert(visite("DR A", "ALPHA", "01", "02", "2025"));
        // Passage, changed last, is gone: the rename must not stay half applied.
        execStatement(store->db(), QStringLiteral("DROP TABLE Passage"));
        QVERIFY_THROWS_EXCEPTION(StoreError, store->renameLaboratory("ALPHA", "OMEGA"));
        QVERIFY(store->labos().exists("ALPHA").get());
        QVERIFY(!store->labos().exists("OMEGA").get());
        QCOMPARE(store->visites().forLaboMedecin("ALPHA", "DR A").get().size(), 1);
    }

    // The rest of quotas and duplicates is driven from the window.
    void quotaRowMadeAndDuplicateInAnyCase()
    {
        auto store = freshStore();
        store->addLaboratory("ALPHA", {"DR A"});
        store->passages().setQuota("ALPHA", "DR Z", 2); // no row yet: one is made
        QCOMPARE(*store->passages().quota("ALPHA", "DR Z").get(), QStringLiteral("2"));
        using R = VisiteRepository::InsertResult;
        QCOMPARE(store->visites().insertUnlessDuplicate(visite("DR A", "ALPHA", "05", "03", "2025")), R::Inserted);
        QCOMPARE(store->visites().insertUnlessDuplicate(visite("dr a", "alpha", "05", "03", "2025")), R::Duplicate);
        QVERIFY(store->visites().hasVisitOn(visite("dr a", "alpha", "05", "03", "2025")).get());
    }
};

QTEST_GUILESS_MAIN(TstRepositories)
#include "tst_repositories.moc"
