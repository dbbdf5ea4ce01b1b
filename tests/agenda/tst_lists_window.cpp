// The appointment lists of the main window: today's list and the history,
// a click on today's list, deleting from the laboratory's list, the month
// list view and the deletion menu.
#include "support/LabsFixture.h"

#include "agenda/core/AppointmentLists.h"
#include "agenda/ui/AgendaController.h"
#include "agenda/ui/BookingController.h"
#include "store/engine/Database.h"
#include "store/tables/Store.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;
namespace script = tv::dialogs::script;
using labstest::items;

namespace {

// Today is 05/03/2025. DR A and March are selected, no laboratory.
struct Practice {
    Practice()
    {
        env.prepareData({u"Dr A"_s, u"Dr B"_s}, u"100,0,0,0"_s);
        w = env.startWindow();
        const QStringList doctors = {u"DR A"_s, u"DR B"_s};
        for (const char *labo : {"ALPHA", "BETA", "GAMMA"})
            w->store().addLaboratory(QString::fromLatin1(labo), doctors);
        w->reloadLaboratoryLists();
        w->view().labo.LstMed->setCurrentRow(0);
        w->state().MoisActif = 2;
    }
    void book(const char *labo, const char *jour, const char *mois = "03", const char *heure = "",
              const char *medecin = "DR A")
    {
        w->store().visites().insert({0, QString::fromLatin1(medecin), QString::fromLatin1(labo),
                                     QString::fromLatin1(jour), QString::fromLatin1(mois), u"2025"_s,
                                     QString::fromLatin1(heure)});
    }
    AgendaWidgets &a() { return w->view().agenda; }
    static void doubleClickRow(LineView *list, int row)
    {
        list->resize(300, 200);
        const QPoint at = row < 0 ? QPoint(150, 190) : list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    // Scrolled down to the end as a user would, the list reading its pages.
    QStringList scrolledLines(LineView *list)
    {
        w->view().pages->setCurrentWidget(a().page);
        w->show();
        for (int before = -1; before != list->count();) {
            before = list->count();
            list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
            QCoreApplication::processEvents();
        }
        return items(list);
    }
    // The history as it reads when built whole from the store.
    QStringList wholeHistory()
    {
        return rvlists::historyLines(w->store().visites().forMedecin(u"DR A"_s).get(), QDate(2025, 3, 5));
    }

    tvtest::TestEnv env;
    std::unique_ptr<FrmLabo> w;
};

} // namespace

class TstListsWindow : public QObject {
    Q_OBJECT
private slots:
    void todayAndHistory()
    {
        Practice p;
        p.book("GAMMA", "05");
        p.book("ALPHA", "05", "03", "10H30");
        p.book("BETA", "04");
        p.book("ALPHA", "28", "02");
        p.book("BETA", "06");                    // tomorrow
        p.book("GAMMA", "03", "03", "", "DR B"); // another doctor
        p.w->booking().Liste_RV_Medecin();
        QCOMPARE(items(p.a().LstRVJour), QStringList({u" ALPHA  [_ 10H30 _]"_s, u" GAMMA"_s}));
        QCOMPARE(p.a().LstRVJour->item(0)->toolTip(), u" ALPHA  [ 10H30 ]  "_s);
        QCOMPARE(items(p.a().LstHist), QStringList({u"  04/03/2025      BETA"_s, u"  28/02/2025      ALPHA"_s}));

        // Without a doctor the lists are left as they are.
        p.w->view().labo.LstMed->setCurrentRow(-1);
        p.w->booking().Liste_RV_Medecin();
        QCOMPARE(p.a().LstRVJour->count(), 2);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // Thousands of past appointments: the list counts them all and reads
    // them as they are shown; a booking, a deletion or a purge moves rows in
    // it; it always reads as the whole list built again would.
    void longHistoryPagedAndKeptInStep()
    {
        Practice p;
        {
            Transaction transaction(p.w->store().db());
            const char *labos[] = {"ALPHA", "BETA", "GAMMA", "alpha"};
            for (int i = 0; i < 1500; ++i) {
                // Every day from tomorrow back to 2020, and some twice.
                const QDate day = QDate(2025, 3, 6).addDays(-(i * 7 % 1900));
                for (int copy = 0; copy < (i % 50 == 0 ? 2 : 1); ++copy)
                    p.w->store().visites().insert({0, u"DR A"_s, QString::fromLatin1(labos[i % 4]),
                                                   day.toString(u"dd"_s), day.toString(u"MM"_s),
                                                   day.toString(u"yyyy"_s), QString()});
            }
            transaction.commit();
        }
        p.w->booking().Liste_RV_Medecin();
        QCOMPARE(p.a().LstHist->count(), p.wholeHistory().size());
        QCOMPARE(p.scrolledLines(p.a().LstHist), p.wholeHistory());

        // One laboratory selected: its appointments can be deleted from LstRV.
        p.w->view().labo.LstLabo->setCurrentRow(0);
        const VisiteRecord added{0, u"DR A"_s, u"ALPHA"_s, u"02"_s, u"01"_s, u"2024"_s, QString()};
        p.w->store().visites().insert(added);
        p.w->booking().appointmentChanged(added);
        QCOMPARE(items(p.a().LstHist), p.wholeHistory());

        const int row = static_cast<int>(items(p.w->view().agenda.LstRV).indexOf(u"02/01/2024  (libre)"_s));
        script::push(QMessageBox::Yes);
        p.w->view().agenda.LstRV->setCurrentRow(row);
        p.w->booking().LstRV_DblClick();
        QCOMPARE(items(p.a().LstHist), p.wholeHistory());

        script::pushInput(u"2023"_s);
        script::push(QMessageBox::Yes);
        script::push(QMessageBox::Ok);
        p.w->view().menus.mnuPurger->trigger();
        QCOMPARE(items(p.a().LstHist), p.wholeHistory());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void todayLineBringsItsLaboratoryForward()
    {
        Practice p;
        p.book("ALPHA", "05", "03", "10H30");
        p.book("BETA", "05");
        p.w->booking().Liste_RV_Medecin();
        QListWidget *today = p.a().LstRVJour;
        today->resize(300, 200);
        p.w->view().products.DTP->setDate(QDate(2024, 1, 1));
        // Reached with the keyboard, the list chooses nothing; an arrow key
        // then takes the first line as a click would.
        QFocusEvent tabbedIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(today, &tabbedIn);
        QTest::keyClick(today, Qt::Key_Down);
        QCOMPARE(p.w->currentLabo(), u"ALPHA"_s);
        QCOMPARE(p.w->view().TS->currentIndex(), 1);
        QCOMPARE(p.w->view().products.CboLs->currentText(), u"  ALPHA"_s);
        QCOMPARE(p.w->view().products.DTP->date(), QDate(2025, 3, 5));

        // From the laboratory page the page stays.
        QTest::mouseClick(today->viewport(), Qt::LeftButton, {}, today->visualItemRect(today->item(1)).center());
        QCOMPARE(p.w->currentLabo(), u"BETA"_s);
        QCOMPARE(p.w->view().TS->currentIndex(), 1);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void deleteFromTheLaboratoryList()
    {
        Practice p;
        MainView &v = p.w->view();
        LineView *rv = v.agenda.LstRV;
        // The menu only points to the laboratory's page, where the list is.
        script::push(QMessageBox::Ok);
        v.menus.mnusupRV->trigger();
        QCOMPARE(script::texts(), QStringList({u"Faites un double click sur le rendez-vous à supprimer."_s}));
        QCOMPARE(v.TS->currentIndex(), 1);
        QCOMPARE(p.w->focusWidget(), v.labo.CmdPassage);
        QVERIFY(p.a().PctRV->isHidden() && rv->isVisibleTo(v.PctTab[1]));

        v.labo.LstLabo->setCurrentRow(0);
        p.book("ALPHA", "12");
        p.book("ALPHA", "03", "03", "09H00");
        p.book("BETA", "12");
        p.w->booking().Liste_RV_Labo_Medecin();
        QCOMPARE(items(rv), QStringList({u"12/03/2025  (libre)"_s, u"03/03/2025  (09H00)"_s}));

        script::push(QMessageBox::No);
        Practice::doubleClickRow(rv, 0);
        QCOMPARE(script::log().back().text, u"Supprimer le rendez vous du 12/03/2025  (libre) avec DR A ?   "_s);
        QCOMPARE(script::log().back().defaultButton, QMessageBox::No);
        QCOMPARE(rv->count(), 2);

        // With the month list shown, after a year change.
        v.menus.mnuVoirRV->trigger();
        p.w->CboAn_Click();
        script::push(QMessageBox::Yes);
        Practice::doubleClickRow(rv, 0);
        QCOMPARE(items(rv), QStringList({u"03/03/2025  (09H00)"_s}));
        QCOMPARE(p.w->store().visites().forMedecin(u"DR A"_s).get().size(), 2); // BETA kept

        // The line went away meanwhile (another workstation): nothing happens.
        p.w->store().visites().removeForLabo(u"ALPHA"_s);
        script::push(QMessageBox::Yes);
        Practice::doubleClickRow(rv, 0);
        QCOMPARE(rv->count(), 1);

        rv->clear();
        Practice::doubleClickRow(rv, -1);
        QCOMPARE(script::log().size(), size_t(4));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void monthListView()
    {
        Practice p;
        p.book("BETA", "03");
        p.book("GAMMA", "12");
        p.book("ALPHA", "03");
        p.book("ALPHA", "06", "04");
        p.book("ALPHA", "03", "03", "", "DR B");
        QAction *menu = p.w->view().menus.mnuVoirRV;
        menu->trigger();
        QCOMPARE(items(p.a().LstListe),
                 QStringList({u"  "_s, u"  03    ALPHA"_s, u"  03    BETA"_s, u"  12    GAMMA"_s}));
        QCOMPARE(p.a().LblListe->text(), u"Mars 2025 :  3  Laboratoire(s)"_s);
        QCOMPARE(menu->text(), u"Revenir à l'agenda"_s);
        QVERIFY(!p.a().PctListe->isHidden());
        QVERIFY(p.a().FG->isHidden());

        // A month button while the list is shown rebuilds it in place.
        p.w->agenda().EtMois_Click(4);
        QVERIFY(p.a().LstListe->count() == 0);
        QCOMPARE(p.a().LblListe->text(), u"Mai 2025 :  Aucun Laboratoire"_s);

        menu->trigger();
        QCOMPARE(menu->text(), u"Voir les RV d'un mois pour un médecin"_s);
        QVERIFY(p.a().PctListe->isHidden());
        QVERIFY(!p.a().FG->isHidden());
        QVERIFY(script::log().empty());
    }

    void monthListNeedsDoctorAndMonth()
    {
        Practice p;
        p.w->state().MoisActif = 13;
        script::push(QMessageBox::Ok);
        p.w->view().menus.mnuVoirRV->trigger();
        p.w->view().labo.LstMed->setCurrentRow(-1);
        script::push(QMessageBox::Ok);
        p.w->view().menus.mnuVoirRV->trigger();
        QCOMPARE(script::texts(), QStringList({u"Sélectionnez un mois."_s, u"Sélectionnez un médecin."_s}));
        QVERIFY(p.a().PctListe->isHidden());
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TstListsWindow)
#include "tst_lists_window.moc"
