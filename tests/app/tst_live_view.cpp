// Two workstations on one data folder, or on one server: this process holds
// the window, tallvane_store_worker makes the other workstation's changes,
// and the window shows them without a click.
#include "support/TestEnv.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/ui/BookingController.h"
#include "app/ui/FrmLabo.h"
#include "app/ui/LiveView.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tv;
namespace script = tv::dialogs::script;

namespace {

QStringList lines(const LineAccess *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->text(i));
    return out;
}

// Today is 05/03/2025; DR A is selected at start-up, with March, ALPHA and
// BETA; ALPHA came on 04/03/2025 and BETA on 10/06/2024.
struct Workstations {
    Workstations()
    {
        LiveView::setCheckInterval(100);
        env.prepareData({u"Dr A"_s}, u"0,0,1,0"_s);
        {
            auto store = env.openStore();
            store->addLaboratory(u"ALPHA"_s, {u"DR A"_s});
            store->addLaboratory(u"BETA"_s, {u"DR A"_s});
            store->visites().insert({0, u"DR A"_s, u"ALPHA"_s, u"04"_s, u"03"_s, u"2025"_s, QString()});
            store->visites().insert({0, u"DR A"_s, u"BETA"_s, u"10"_s, u"06"_s, u"2024"_s, QString()});
        }
        w = env.startWindow();
    }
    // One change made by the other workstation, a process of its own.
    bool other(const QStringList &change)
    {
        QProcess worker;
        worker.start(QCoreApplication::applicationDirPath() + u"/tallvane_store_worker"_s,
                     QStringList{u"change"_s, env.dataFile(files::Database)} + change);
        return worker.waitForFinished(30000) && worker.exitStatus() == QProcess::NormalExit && worker.exitCode() == 0;
    }
    QString cell(int day, int column) { return w->view().agenda.FG->item(day - 1, column)->text(); }
    AgendaWidgets &a() { return w->view().agenda; }
    LaboWidgets &l() { return w->view().labo; }

    tvtest::TestEnv env;
    std::unique_ptr<FrmLabo> w;
};

} // namespace

class TstLiveView : public QObject {
    Q_OBJECT
private slots:
    // Bookings, deletions, a purge, a quota, products and absences made
    // elsewhere show, while the selection, the open booking panel and the
    // chosen day stay as they were.
    void otherWorkstationShowsWithoutClick()
    {
        Workstations s;
        s.l().LstLabo->setCurrentRow(0);
        s.a().LstHist->setCurrentRow(1);
        s.a().CmdRV->click();
        s.a().LblDateRV->setText(u"20/03/2025"_s);

        QVERIFY(s.other({u"book"_s, u"DR A"_s, u"BETA"_s, u"05/03/2025"_s}));
        QTRY_COMPARE(lines(s.a().LstRVJour), QStringList{u" BETA"_s});
        QCOMPARE(s.cell(5, 4), u"1    labo(s)"_s);

        QVERIFY(s.other({u"book"_s, u"DR A"_s, u"ALPHA"_s, u"03/03/2025"_s}));
        QTRY_COMPARE(s.a().LstHist->count(), 3);
        QCOMPARE(s.a().LstHist->text(), u"  10/06/2024      BETA"_s);

        QVERIFY(s.other({u"unbook"_s, u"DR A"_s, u"ALPHA"_s, u"04/03/2025"_s}));
        QTRY_COMPARE(lines(s.a().LstHist), QStringList({u"  03/03/2025      ALPHA"_s, u"  10/06/2024      BETA"_s}));
        QCOMPARE(s.cell(4, 4), u"0    labo(s)"_s);

        QVERIFY(s.other({u"purge"_s, u"2024"_s}));
        QTRY_COMPARE(lines(s.a().LstHist), QStringList{u"  03/03/2025      ALPHA"_s});

        QVERIFY(s.other({u"absent"_s, u"  DR A"_s, u"12/03/2025"_s}));
        QTRY_COMPARE(s.cell(12, 0), u"Abs - mercredi"_s);
        QVERIFY(s.a().PctRV->isVisibleTo(s.w.get()));
        QCOMPARE(s.a().LblDateRV->text(), u"20/03/2025"_s);

        // The other pages follow when they are shown.
        QVERIFY(s.other({u"quota"_s, u"ALPHA"_s, u"DR A"_s, u"7"_s}));
        QVERIFY(s.other({u"present"_s, u"DR A"_s, u"BETA"_s, u"2025-03-03"_s, u"ADVIL"_s}));
        s.w->showTab(2);
        QTRY_COMPARE(s.l().LblPass->text(), u"7"_s);
        QCOMPARE(lines(s.a().LstRV), QStringList{u"03/03/2025  (libre)"_s});
        s.w->showTab(3);
        QTRY_COMPARE(s.w->view().products.LstHistPr->count(), 1);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // The laboratory shown in the record panel renamed, then deleted, on
    // the other workstation while something is typed in it: nothing typed is
    // written, the user is told, the list shows what is left.
    // The doctor's files are followed from his selection on: a change made
    // before the next look is not taken for the state already shown.
    void absencesChangedRightAfterTheSelection()
    {
        LiveView::setCheckInterval(100);
        tvtest::TestEnv env;
        env.prepareData({u"Dr A"_s, u"Dr B"_s}, u"0,0,0,0"_s);
        auto w = env.startWindow();
        QTest::qWait(300);
        w->view().labo.LstMed->setCurrentRow(1);
        agendafiles::appendAbsences(env.dataFolder(), w->doctorEntry(), {u"12/03/2025"_s});
        QTRY_COMPARE(w->view().agenda.FG->item(11, 0)->text(), u"Abs - mercredi"_s);
    }

    void laboratoryRenamedThenDeletedElsewhere()
    {
        Workstations s;
        s.l().LstLabo->setCurrentRow(0);
        const QString lost = u"Le laboratoire %1 a été supprimé ou renommé sur un autre poste : "
                             u"les modifications de sa fiche n'ont pas été enregistrées."_s;

        s.l().TextVM[4]->setText(u"tapé@ici"_s);
        script::push(QMessageBox::Ok);
        QVERIFY(s.other({u"rename"_s, u"ALPHA"_s, u"GAMMA"_s}));
        QTRY_COMPARE(s.w->currentLabo(), u"GAMMA"_s);
        QCOMPARE(lines(s.l().LstLabo), QStringList({u"  BETA"_s, u"  GAMMA"_s}));
        QCOMPARE(script::texts(), QStringList{lost.arg(u"ALPHA"_s)});
        QCOMPARE(s.l().TextVM[4]->text(), QString());

        s.l().TextVM[4]->setText(u"encore@ici"_s);
        script::push(QMessageBox::Ok);
        QVERIFY(s.other({u"drop"_s, u"GAMMA"_s}));
        QTRY_COMPARE(lines(s.l().LstLabo), QStringList{u"  BETA"_s});
        QVERIFY(!s.w->hasLabo());
        QCOMPARE(script::texts().last(), lost.arg(u"GAMMA"_s));
        QVERIFY(s.l().LBlLabo->text().isEmpty());
        // Another laboratory chosen: nothing is written anywhere.
        s.l().LstLabo->setCurrentRow(0);
        QCOMPARE(tvtest::count(s.w->store(), u"SELECT COUNT(*) FROM Labo WHERE Email LIKE '%ici'"_s), 0);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // A booking refused because the other workstation took the day, or the
    // quota, shows the grid as it is now, at once.
    void refusedBookingShowsTheCurrentGrid_data()
    {
        QTest::addColumn<QString>("taken");
        QTest::addColumn<int>("quota");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::newRow("the day") << u"12/03/2025"_s << 5 << QList{QMessageBox::Ok};
        QTest::newRow("the quota") << u"13/03/2025"_s << 2 << QList{QMessageBox::Ok, QMessageBox::No};
    }
    void refusedBookingShowsTheCurrentGrid()
    {
        QFETCH(QString, taken);
        QFETCH(int, quota);
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        Workstations s;
        s.w->store().passages().setQuota(u"ALPHA"_s, u"DR A"_s, quota);
        s.l().LstLabo->setCurrentRow(0);
        s.a().CmdRV->click();
        s.a().LblDateRV->setText(u"12/03/2025"_s);
        QVERIFY(s.other({u"book"_s, u"DR A"_s, u"ALPHA"_s, taken}));
        for (QMessageBox::StandardButton answer : answers)
            script::push(answer);
        s.a().CmdEnr->click();
        QCOMPARE(s.cell(taken.left(2).toInt(), 4), u"1    labo(s)"_s);
        QCOMPARE(s.a().LstRV->count(), 2);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void modalBoxHoldsTheRefresh()
    {
        Workstations s;
        QSignalSpy refreshed(&s.w->live(), &LiveView::refreshed);
        QDialog box(s.w.get());
        box.setModal(true);
        box.show();
        QVERIFY(s.other({u"book"_s, u"DR A"_s, u"BETA"_s, u"05/03/2025"_s}));
        QTest::qWait(600);
        QCOMPARE(refreshed.count(), 0);
        QCOMPARE(s.a().LstRVJour->count(), 0);
        box.close();
        QTRY_COMPARE(lines(s.a().LstRVJour), QStringList{u" BETA"_s});
    }

    void midnightMovesToday()
    {
        Workstations s;
        QVERIFY(s.other({u"book"_s, u"DR A"_s, u"BETA"_s, u"06/03/2025"_s}));
        QVERIFY(s.other({u"book"_s, u"DR A"_s, u"ALPHA"_s, u"05/03/2025"_s}));
        QTRY_COMPARE(lines(s.a().LstRVJour), QStringList{u" ALPHA"_s});
        Clock::pin(QDate(2025, 3, 6));
        QTRY_COMPARE(lines(s.a().LstRVJour), QStringList{u" BETA"_s});
        QCOMPARE(s.a().LstHist->text(0), u"  05/03/2025      ALPHA"_s);
        QCOMPARE(s.a().LblRVJ->text(), u"Rendez-vous du jour : 06/03/2025"_s);
        QCOMPARE(s.cell(6, 0), u"  jeudi"_s);
        QCOMPARE(s.cell(5, 0), u"mercredi"_s);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TstLiveView)
#include "tst_live_view.moc"
