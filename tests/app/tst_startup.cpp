// Start-up on real program and data folders: first run, remembered doctor,
// and the failures that must stop the program without touching anything.
#include "TestEnv.h"

#include "agenda/ui/AgendaController.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;
using tvtest::TestEnv;

class TstStartUp : public QObject {
    Q_OBJECT

private slots:
    void firstRunInAnEmptyProgramFolder()
    {
        TestEnv env;
        env.installShippedDatabase();
        for (int i = 0; i < 3; ++i)
            dialogs::script::push(QMessageBox::Ok);
        auto w = env.startWindow();
        QVERIFY(tvtest::noUnexpectedDialogs());

        const auto &log = dialogs::script::log();
        QCOMPARE(log.size(), size_t(3));
        QCOMPARE(log[0].text, u"Le chemin de la base de données est, par défaut, le répertoire du programme."_s);
        QCOMPARE(log[0].icon, QMessageBox::Information);
        QVERIFY(log[1].text.startsWith(u"Si vous voulez installer une version réseau, il vous faudra :\n\n1- "_s));
        QVERIFY(log[1].text.endsWith(
            u"serveur.\n2- Définir le chemin de la base de données.\n\n(le tout à partir des menus dédiés)."_s));
        QCOMPARE(log[1].icon, QMessageBox::NoIcon);
        QCOMPARE(log[2].text, u"Commencez par inscrire le nom des médecins concernés par ce programme.\n"
                              "Vous inscrirez ensuite les laboratoires au fur et à mesure."_s);

        QCOMPARE(*cheminbase::read(env.programFolder()), QDir::toNativeSeparators(env.programFolder()));
        QVERIFY(QFile::exists(env.programFile("Ferrune.mdb")));
        QVERIFY(!QFile::exists(env.programFile("Copie de Ferrune.mdb")));
        QCOMPARE(TestEnv::readFile(env.programFile("Vs.ini")), QByteArray("100,0,0,0\r\n"));

        MainView &v = w->view();
        QCOMPARE(v.TS->count(), 2);
        QVERIFY(!v.menus.mnuProduits->isChecked());
        QCOMPARE(v.agenda.CboAn->count(), 4);
        QCOMPARE(v.agenda.CboAn->itemText(0), u"2025"_s);
        QCOMPARE(v.agenda.LblRVJ->text(), u"Rendez-vous du jour : 05/03/2025"_s);
        // Besides the named labels, the window's only captions.
        QStringList captions;
        for (const QLabel *label : w->findChildren<QLabel *>())
            if (label->objectName().isEmpty())
                captions.append(label->text());
        captions.sort();
        QCOMPARE(captions, QStringList({u"  Historique des rendez-vous"_s, u"Adresse"_s, u"Cliquez sur la date"_s,
                                        u"Email"_s, u"Identifiant"_s, u"Mot de passe"_s, u"Nom"_s, u"Port"_s}));
        QVERIFY(v.Lblversion->text().endsWith(u"[Version 1.0.0]"_s));
        QCOMPARE(w->windowTitle(), u"    Gestion de la visite médicale"_s);
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
        QCOMPARE(v.labo.LstMed->item(1)->text(), u"  DR BÉTA"_s);
        QCOMPARE(v.labo.LstMed->currentRow(), 2);
        QCOMPARE(v.labo.LblMed->text(), u"DR GAMMA"_s);
        QVERIFY(v.menus.mnuHeure->isChecked());
        QCOMPARE(v.menus.mnuparaAG->title(), u"Paramètres agenda pour DR GAMMA"_s);
        // Alphabetical, two blanks first.
        QCOMPARE(v.labo.LstLabo->item(0)->text(), u"  ALPHA LABO"_s);
        QCOMPARE(w->state().MoisActif, 2);
    }

    void noDoctorRememberedOrIndexOutOfRange_data()
    {
        QTest::addColumn<QString>("vs");
        QTest::newRow("none") << u"100,0,0,0"_s;
        QTest::newRow("beyond the list") << u"7,0,0,0"_s;
        QTest::newRow("damaged") << u"zz"_s;
    }

    void noDoctorRememberedOrIndexOutOfRange()
    {
        QFETCH(QString, vs);
        TestEnv env;
        env.prepareData({"Dr Alpha"}, vs);
        auto w = env.startWindow();
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(w->view().labo.LstMed->currentRow(), -1);
        QCOMPARE(w->state().MoisActif, SharedState::NoMonth);
    }

    // A database that cannot be opened ends the start-up cleanly: a missing
    // file is not created, a server that cannot be used leaves the file as
    // it was.
    void unusableDatabaseStopsCleanly_data()
    {
        QTest::addColumn<QString>("conninfo");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file") << QString() << QString();
        QTest::newRow("unreachable") << u"host=/nulle-part port=5499 dbname=tallvane user=secretariat"_s
                                     << u"Impossible de joindre le serveur de base de données « /nulle-part »"_s;
        QTest::newRow("password") << u"host=srv dbname=tallvane password=secret"_s
                                  << u"Le mot de passe ne doit pas figurer"_s;
        QTest::newRow("malformed") << u"host srv"_s << u"est incorrecte"_s;
    }

    void unusableDatabaseStopsCleanly()
    {
        QFETCH(QString, conninfo);
        QFETCH(QString, expected);
        TestEnv env;
        const QString database = env.dataFile(files::Database);
        if (conninfo.isEmpty()) {
            cheminbase::write(env.programFolder(), env.dataFolder());
            dialogs::script::push(QMessageBox::Ok); // "Commencez par inscrire…"
            expected = QDir::toNativeSeparators(database);
        } else {
            env.prepareData({"Dr Alpha"});
            env.writeFile(env.dataFile(files::ServerCfg), conninfo.toUtf8() + "\r\n");
        }
        const QByteArray before = TestEnv::readFile(database);
        dialogs::script::push(QMessageBox::Ok);
        bool started = true;
        auto w = env.startWindow(&started);
        QVERIFY(!started);
        const auto &log = dialogs::script::log();
        QCOMPARE(log.back().icon, QMessageBox::Critical);
        QVERIFY2(log.back().text.contains(expected), qPrintable(log.back().text));
        QVERIFY(log.back().text.endsWith(u"Le programme va se fermer."_s));
        QCOMPARE(QFile::exists(database), !conninfo.isEmpty());
        QCOMPARE(TestEnv::readFile(database), before);
    }

    // The window starts on the screen, whole when its contents allow; the
    // month grid's figures are centred, its rows at most 1.58 times as tall.
    void windowAndMonthGridFitTheScreen()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha"}, "0,0,0,0");
        auto w = env.startWindow();
        w->show();
        const QRect screen = w->screen()->availableGeometry(), frame = w->frameGeometry();
        QVERIFY(frame.left() == screen.left() || (frame.left() > screen.left() && frame.right() <= screen.right()));
        QTableWidget *fg = w->view().agenda.FG;
        QCOMPARE(fg->item(4, 0)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(fg->item(4, 4)->textAlignment(), int(Qt::AlignCenter));
        w->agenda().initialiseGrid(1.0, 2.0);
        QCOMPARE(fg->rowHeight(0), 31);
    }

    void everyWayOfChangingTheTabShowsItsPage_data()
    {
        QTest::addColumn<int>("way");
        int way = 0;
        for (const char *name : {"mouse click", "keyboard", "mouse wheel"})
            QTest::newRow(name) << way++;
    }

    // The products feature keeps the third tab; whatever moves to it shows
    // its page and resets the visit date.
    void everyWayOfChangingTheTabShowsItsPage()
    {
        QFETCH(int, way);
        TestEnv env;
        env.prepareData({"Dr Alpha"}, "100,0,1,1");
        auto w = env.startWindow();
        MainView &v = w->view();
        QVERIFY(v.TS->count() == 3 && v.menus.mnuProduits->isChecked());
        w->showTab(2);
        v.products.DTP->setDate(QDate(2024, 1, 1));
        const QPoint at = v.TS->tabRect(2).center();
        if (way == 0)
            QTest::mouseClick(v.TS, Qt::LeftButton, {}, at);
        if (way == 1)
            QTest::keyClick(v.TS, Qt::Key_Right);
        QWheelEvent wheel(at, v.TS->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        if (way == 2)
            QApplication::sendEvent(v.TS, &wheel);
        QCOMPARE(v.pages->currentIndex(), 2);
        QCOMPARE(w->currentTab(), 3);
        QCOMPARE(v.products.DTP->date(), QDate(2025, 3, 5));
    }
};

QTEST_MAIN(TstStartUp)
#include "tst_startup.moc"
