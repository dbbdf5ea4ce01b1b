// Booking from the main window: the panel, every check of a save in its
// order, the time dialog, and the refreshed list of the laboratory.
#include "support/TestEnv.h"

#include "agenda/ui/AgendaController.h"
#include "agenda/ui/BookingController.h"
#include "agenda/ui/FrmHeure.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/tables/Store.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

using namespace tv;
namespace script = tv::dialogs::script;

namespace {

// A window on a data folder with two doctors and the laboratories ALPHA
// and BETA; DR A, ALPHA and March are selected.
struct Practice {
    explicit Practice(const QString &vsIni = u"100,0,0,0"_s)
    {
        env.prepareData({u"Dr A"_s, u"Dr B"_s}, vsIni);
        w = env.startWindow();
        const QStringList doctors = {u"DR A"_s, u"DR B"_s};
        w->store().addLaboratory(u"ALPHA"_s, doctors);
        w->store().addLaboratory(u"BETA"_s, doctors);
        w->reloadLaboratoryLists();
        w->view().labo.LstMed->setCurrentRow(0);
        selectLabo(0);
        w->state().MoisActif = 2;
    }
    void selectLabo(int row)
    {
        w->view().labo.LstLabo->setCurrentRow(row);
        w->booking().Liste_RV_Labo_Medecin();
    }
    AgendaWidgets &a() { return w->view().agenda; }
    VisiteRepository &visites() { return w->store().visites(); }
    int count(const QString &labo = u"ALPHA"_s) { return visites().countForLaboYear(labo, u"2025"_s, u"DR A"_s).get(); }
    void book(const QString &labo, const QString &jour, const QString &heure = QString())
    {
        visites().insert({0, u"DR A"_s, labo, jour, u"03"_s, u"2025"_s, heure});
    }
    void save(const QString &date)
    {
        a().LblDateRV->setText(date);
        a().CmdEnr->click();
    }

    tvtest::TestEnv env;
    std::unique_ptr<FrmLabo> w;
};

// Answers the next time dialog: types the keys, then leaves it by the
// button or by its close box. What the dialog listed is kept.
struct TimeAnswer {
    explicit TimeAnswer(const QString &typed, bool viaCloseBox = false)
        : keys(typed)
        , closeBox(viaCloseBox)
    {
    }
    QString keys;
    bool closeBox = false;
    QString listed;
    bool seen = false;
    std::function<void()> whileOpen; // what another workstation does meanwhile
};

void answerTimeDialog(TimeAnswer &answer)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &answer] {
        auto *dialog = qobject_cast<FrmHeure *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(0, dialog, [dialog, &answer] {
            answer.seen = true;
            answer.listed = dialog->findChild<QLabel *>(u"LblHeure"_s)->text();
            QTest::keyClicks(dialog->MEB(), answer.keys);
            if (answer.whileOpen)
                answer.whileOpen();
            if (answer.closeBox)
                dialog->close();
            else
                dialog->findChild<QPushButton *>(u"CmdOK"_s)->click();
        });
    });
    timer->start();
}

} // namespace

class TstBookingWindow : public QObject {
    Q_OBJECT
private slots:
    void panelAsksForWhatIsMissingInOrder()
    {
        Practice p;
        p.w->view().labo.LstLabo->setCurrentRow(-1);
        p.w->view().labo.LstMed->setCurrentRow(-1);
        p.w->state().MoisActif = 13;
        QStringList asked;
        for (int step = 0; step < 3; ++step) {
            script::reset();
            script::push(QMessageBox::Ok);
            p.a().CmdRV->click();
            asked << script::log().front().text;
            QVERIFY(p.a().PctRV->isHidden());
            if (step == 0)
                p.w->view().labo.LstLabo->setCurrentRow(0);
            else if (step == 1)
                p.w->view().labo.LstMed->setCurrentRow(0);
            // Selecting a doctor selects today's month: undo it.
            p.w->state().MoisActif = 13;
        }
        QCOMPARE(asked, QStringList({u"Quel est le laboratoire concerné ?"_s, u"Quel est le médecin concerné ?"_s,
                                     u"Quel est le mois concerné ?"_s}));

        script::reset();
        p.w->state().MoisActif = 2;
        p.a().CmdRV->click();
        QVERIFY(!p.a().PctRV->isHidden());
        p.a().LblDateRV->setText(u"12/03/2025"_s);
        p.a().CmdRV->click();
        QVERIFY(p.a().PctRV->isHidden());
        QCOMPARE(p.a().LblDateRV->text(), QString());
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void annualQuota_data()
    {
        QTest::addColumn<int>("booked");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("after");
        const QString reached = u"Les 3 visites accordées à ALPHA pour l'année 2025 ont été atteintes."_s;
        const QString exceeded = u"Les 3 visites accordées à ALPHA pour l'année 2025 sont déjà dépassées (déjà 4 )."_s;
        const QString confirm = u"Voulez-vous quand même enregistrer ce RV ?"_s;
        QTest::newRow("3 of 3, No") << 3 << int(QMessageBox::No) << QStringList({reached, confirm}) << 3;
        QTest::newRow("4 of 3, Yes") << 4 << int(QMessageBox::Yes) << QStringList({exceeded, confirm}) << 5;
        QTest::newRow("2 of 3") << 2 << 0 << QStringList() << 3;
    }
    void annualQuota()
    {
        QFETCH(int, booked);
        QFETCH(int, answer);
        QFETCH(QStringList, shown);
        QFETCH(int, after);
        Practice p;
        p.w->store().passages().setQuota(u"ALPHA"_s, u"DR A"_s, 3);
        for (int i = 0; i < booked; ++i)
            p.book(u"ALPHA"_s, u"%1"_s.arg(i + 1, 2, 10, QLatin1Char('0')));
        // Last year's visits do not count.
        p.visites().insert({0, u"DR A"_s, u"ALPHA"_s, u"20"_s, u"12"_s, u"2024"_s, QString()});
        if (!shown.isEmpty()) {
            script::push(QMessageBox::Ok);
            script::push(static_cast<QMessageBox::StandardButton>(answer));
        }
        p.save(u"20/03/2025"_s);
        QCOMPARE(script::texts(), shown);
        QCOMPARE(p.count(), after);
        // Refused: the date stays for another try; saved: it is cleared.
        QCOMPARE(p.a().LblDateRV->text().isEmpty(), after > booked);
        if (after > booked) {
            QCOMPARE(p.w->view().agenda.LstRV->count(), after + 1);
            QCOMPARE(p.w->view().agenda.LstRV->text(0), u"20/03/2025  (libre)"_s);
        }
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void sameDayRefusedOtherLaboratoryAccepted()
    {
        Practice p;
        // A month button clicked after the day does not move the appointment.
        p.w->agenda().EtMois_Click(3);
        p.save(u"12/03/2025"_s);
        QCOMPARE(p.a().LstRV->text(0), u"12/03/2025  (libre)"_s);

        script::push(QMessageBox::Ok);
        p.save(u"12/03/2025"_s);
        QCOMPARE(script::texts(), QStringList({u"ALPHA a déjà un RV avec DR A le  12/03/2025"_s}));
        QCOMPARE(script::log().back().icon, QMessageBox::Critical);
        QCOMPARE(p.count(), 1);

        p.selectLabo(1);
        p.save(u"12/03/2025"_s);
        QCOMPARE(p.count(u"BETA"_s), 1);
        // The same laboratory with another doctor on that day is allowed too.
        p.w->view().labo.LstMed->setCurrentRow(1);
        p.selectLabo(0);
        p.w->state().MoisActif = 2;
        p.save(u"12/03/2025"_s);
        QCOMPARE(p.visites().countForLaboYear(u"ALPHA"_s, u"2025"_s, u"DR B"_s).get(), 1);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void pressedTwiceSavesOnce()
    {
        Practice p;
        script::push(QMessageBox::Ok);
        p.a().LblDateRV->setText(u"12/03/2025"_s);
        p.a().CmdEnr->click();
        p.a().CmdEnr->click();
        QCOMPARE(p.count(), 1);
        QCOMPARE(script::texts(), QStringList({u"Aucune date n'est fixée !"_s}));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void timeDialog()
    {
        Practice p(u"100,1,0,0"_s);

        TimeAnswer first{u"103"_s};
        answerTimeDialog(first);
        p.save(u"12/03/2025"_s);
        QCOMPARE(first.listed, u"Aucun rendez-vous n'est pris pour cette journée."_s);
        QCOMPARE(p.w->view().agenda.LstRV->text(0), u"12/03/2025  (10H30)"_s);

        // A single digit: the incomplete time is said, the visit is saved
        // without a time.
        p.selectLabo(1);
        TimeAnswer second{u"9"_s};
        answerTimeDialog(second);
        script::push(QMessageBox::Ok);
        p.save(u"12/03/2025"_s);
        QCOMPARE(second.listed, u"12/03/2025\n1 laboratoire(s)\n\nALPHA  (10H30)\n"_s);
        QCOMPARE(script::texts(), QStringList({u"Heure incomplètement précisée !"_s}));
        QCOMPARE(p.w->view().agenda.LstRV->text(0), u"12/03/2025  (libre)"_s);

        // Hour only, left with the close box.
        TimeAnswer third{u"10"_s, true};
        answerTimeDialog(third);
        p.save(u"13/03/2025"_s);
        QCOMPARE(p.w->view().agenda.LstRV->text(0), u"13/03/2025  (10H00)"_s);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void lostRaceGetsTheRefusal()
    {
        // The other workstation saves the same appointment while this one is
        // still asking for the time.
        Practice p(u"100,1,0,0"_s);
        TimeAnswer answer{u"11"_s};
        answer.whileOpen = [&p] {
            auto other = p.env.openStore();
            other->visites().insert({0, u"DR A"_s, u"ALPHA"_s, u"12"_s, u"03"_s, u"2025"_s, u"09H00"_s});
        };
        answerTimeDialog(answer);
        script::push(QMessageBox::Ok);
        p.save(u"12/03/2025"_s);
        QVERIFY(answer.seen);
        QCOMPARE(script::texts(), QStringList({u"ALPHA a déjà un RV avec DR A le  12/03/2025"_s}));
        QCOMPARE(p.count(), 1);
        QCOMPARE(p.visites().forLaboMedecin(u"ALPHA"_s, u"DR A"_s).get().front().heure, u"09H00"_s);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void timeDialogTyping()
    {
        tvtest::TestEnv env;
        FrmHeure dialog(u"Aucun rendez-vous n'est pris pour cette journée."_s);
        QCOMPARE(dialog.windowTitle(), u"   Heure du rendez-vous "_s);
        QLineEdit *meb = dialog.MEB();
        QTest::keyClicks(meb, u"09"_s);
        QTest::keyClick(meb, Qt::Key_Backspace);
        QCOMPARE(meb->text(), u"09H"_s);
        QTest::keyClicks(meb, u"H3x"_s);
        QCOMPARE(meb->text(), u"09H3"_s);
        dialog.findChild<QPushButton *>(u"CmdOK"_s)->click();
        QCOMPARE(dialog.heure(), u"09H30"_s);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TstBookingWindow)
#include "tst_booking_window.moc"
