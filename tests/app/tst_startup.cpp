// Start-up on real program and data folders: first run, remembered doctor,
// and the failures that must stop the program without touching anything.
#include "TestEnv.h"

#include "app/ui/Dialogs.h"
#include "app/ui/FrmLabo.h"
#include "app/ui/Widgets.h"
#include "store/SettingsFiles.h"
#include "store/Store.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabBar>
#include <QTest>

using namespace tv;
using tvtest::TestEnv;

class TstStartUp : public QObject {
    Q_OBJECT

private slots:
    void firstRunInAnEmptyProgramFolder()
    {
        TestEnv env;
        env.installShippedDatabase();
        dialogs::script::push(QMessageBox::Ok);
        dialogs::script::push(QMessageBox::Ok);
        dialogs::script::push(QMessageBox::Ok);

        bool started = false;
        auto w = env.startWindow(&started);
        QVERIFY(started);
        QVERIFY(tvtest::noUnexpectedDialogs());

        const auto &log = dialogs::script::log();
        QCOMPARE(log.size(), size_t(3));
        QCOMPARE(log[0].text, QStringLiteral("Le chemin de la base de données est, par défaut, le répertoire du programme."));
        QCOMPARE(log[0].icon, QMessageBox::Information);
        QCOMPARE(log[0].title, QStringLiteral("Tallvane"));
        QVERIFY(log[1].text.startsWith(QStringLiteral("Si vous voulez installer une version réseau, il vous faudra :\n\n1- ")));
        QVERIFY(log[1].text.endsWith(QStringLiteral("serveur.\n2- Définir le chemin de la base de données.\n\n(le tout à partir des menus dédiés).")));
        QCOMPARE(log[1].icon, QMessageBox::NoIcon);
        QCOMPARE(log[2].text, QStringLiteral("Commencez par inscrire le nom des médecins concernés par ce programme.\n"
                                             "Vous inscrirez ensuite les laboratoires au fur et à mesure."));

        QCOMPARE(*cheminbase::read(env.programFolder()), QDir::toNativeSeparators(env.programFolder()));
        QVERIFY(QFile::exists(env.programFile("Ferrune.mdb")));
        QVERIFY(!QFile::exists(env.programFile("Copie de Ferrune.mdb")));
        QCOMPARE(TestEnv::readFile(env.programFile("Vs.ini")), QByteArray("100,0,0,0\r\n"));

        MainView &v = w->view();
        QCOMPARE(v.TS->count(), 2);
        QVERIFY(!v.menus.mnuProduits->isChecked());
        QCOMPARE(v.LstMed->currentRow(), -1);
        QCOMPARE(w->state().MoisActif, SharedState::NoMonth);
        QCOMPARE(v.agenda.CboAn->count(), 4);
        QCOMPARE(v.agenda.CboAn->itemText(0), QStringLiteral("2025"));
        QCOMPARE(v.agenda.CboAn->itemText(3), QStringLiteral("2028"));
        QCOMPARE(v.agenda.LblRVJ->text(), QStringLiteral("Rendez-vous du jour : 05/03/2025"));
        QVERIFY(v.Lblversion->text().endsWith(QStringLiteral("[Version 1.0.0]")));
        QCOMPARE(w->windowTitle(), QStringLiteral("    Gestion de la visite médicale"));
    }

    void rememberedDoctorAndListsFromTheData()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha", "dr Béta", "Dr Gamma"}, "2,1,0,0");
        {
            auto store = env.openStore();
            store->addLaboratory("zeta", {});
            store->addLaboratory("Alpha Labo", {});
        }
        auto w = env.startWindow();
        QVERIFY(tvtest::noUnexpectedDialogs());
        MainView &v = w->view();
        QCOMPARE(v.LstMed->count(), 3);
        QCOMPARE(v.LstMed->item(1)->text(), QStringLiteral("  DR BÉTA"));
        QCOMPARE(v.LstMed->currentRow(), 2);
        QCOMPARE(w->currentDoctor(), QStringLiteral("DR GAMMA"));
        QCOMPARE(v.LblMed->text(), QStringLiteral("DR GAMMA"));
        QVERIFY(v.menus.mnuHeure->isChecked());
        // Alphabetical, two blanks first, the same entries in the three lists.
        QCOMPARE(v.LstLabo->item(0)->text(), QStringLiteral("  ALPHA LABO"));
        QCOMPARE(v.LstLabo->item(1)->text(), QStringLiteral("  ZETA"));
        QCOMPARE(v.products.CboLs->itemText(1), QStringLiteral("  ZETA"));
        QCOMPARE(v.products.CboLh->itemText(0), QStringLiteral("  ALPHA LABO"));
        QCOMPARE(v.products.CboDs->itemText(0), QStringLiteral("  Nom_Labo_1"));
        QCOMPARE(w->state().MoisActif, 2);
    }

    void noDoctorRememberedOrIndexOutOfRange_data()
    {
        QTest::addColumn<QString>("vs");
        QTest::newRow("none") << QStringLiteral("100,0,0,0");
        QTest::newRow("beyond the list") << QStringLiteral("7,0,0,0");
        QTest::newRow("damaged") << QStringLiteral("zz");
    }

    void noDoctorRememberedOrIndexOutOfRange()
    {
        QFETCH(QString, vs);
        TestEnv env;
        env.prepareData({"Dr Alpha"}, vs);
        bool started = false;
        auto w = env.startWindow(&started);
        QVERIFY(started);
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(w->view().LstMed->currentRow(), -1);
        QCOMPARE(w->state().MoisActif, SharedState::NoMonth);
    }

    void missingDatabaseStopsWithoutCreatingIt()
    {
        TestEnv env;
        cheminbase::write(env.programFolder(), env.dataFolder());
        dialogs::script::push(QMessageBox::Ok); // "Commencez par inscrire…"
        dialogs::script::push(QMessageBox::Ok);
        bool started = true;
        auto w = env.startWindow(&started);
        QVERIFY(!started);
        const auto &log = dialogs::script::log();
        QCOMPARE(log.back().icon, QMessageBox::Critical);
        QVERIFY(log.back().text.contains(QDir::toNativeSeparators(env.dataFile("Ferrune.mdb"))));
        QVERIFY(!QFile::exists(env.dataFile("Ferrune.mdb")));
    }

    void productsFeatureKeepsTheThirdTab()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha"}, "100,0,1,1");
        auto w = env.startWindow();
        QCOMPARE(w->view().TS->count(), 3);
        QVERIFY(w->view().menus.mnuProduits->isChecked());
        QCOMPARE(w->state().EtatChkL, 1);
    }

    void closingClosesTheDatabase()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha"});
        auto w = env.startWindow();
        QVERIFY(w->hasStore());
        w->close();
        QVERIFY(!w->hasStore());
    }
};

QTEST_MAIN(TstStartUp)
#include "tst_startup.moc"
