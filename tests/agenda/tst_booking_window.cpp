// Booking from the main window: the panel, every check of a save in its
// order, the time dialog, and the refreshed list of the laboratory.
#include "support/TestEnv.h"

#include "agenda/ui/BookingController.h"
#include "agenda/ui/FrmHeure.h"
#include "app/ui/Dialogs.h"
#include "app/ui/FrmLabo.h"
#include "app/ui/Widgets.h"
#include "store/Store.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace tv;
namespace script = tv::dialogs::script;

namespace {

// A window on a data folder with two doctors and the laboratories ALPHA
// and BETA; DR A, ALPHA and March are selected.
struct Practice {
    explicit Practice(const QString &vsIni = QStringLiteral("100,0,0,0"))
    {
        env.prepareData({QStringLiteral("Dr A"), QStringLiteral("Dr B")}, vsIni);
        bool started = false;
        w = env.startWindow(&started);
        if (!started)
            qFatal("start-up failed");
        const QStringList doctors = {QStringLiteral("DR A"), QStringLiteral("DR B")};
        w->store().addLaboratory(QStringLiteral("ALPHA"), doctors);
        w->store().addLaboratory(QStringLiteral("BETA"), doctors);
        w->reloadLaboratoryLists();
        w->view().LstMed->setCurrentRow(0);
        selectLabo(0);
        w->state().MoisActif = 2;
    }
    void selectLabo(int row)
    {
        w->view().LstLabo->setCurrentRow(row);
        w->booking().Liste_RV_Labo_Medecin();
    }
    AgendaWidgets &a() { return w->view().agenda; }
    VisiteRepository &visites() { return w->store().visites(); }
    int count(const QString &labo = QStringLiteral("ALPHA"))
    {
        return visites().countForLaboYear(labo, QStringLiteral("2025"), QStringLiteral("DR A"));
    }
    void book(const QString &labo, const QString &jour, const QString &heure = QString())
    {
        visites().insert({0, QStringLiteral("DR A"), labo, jour, QStringLiteral("03"), QStringLiteral("2025"), heure});
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
            answer.listed = dialog->findChild<QLabel *>(QStringLiteral("LblHeure"))->text();
            QTest::keyClicks(dialog->MEB(), answer.keys);
            if (answer.whileOpen)
                answer.whileOpen();
            if (answer.closeBox)
                dialog->close();
            else
                dialog->findChild<QPushButton *>(QStringLiteral("CmdOK"))->click();
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
        p.w->view().LstLabo->setCurrentRow(-1);
        p.w->view().LstMed->setCurrentRow(-1);
        p.w->state().MoisActif = 13;
        QStringList asked;
        for (int step = 0; step < 3; ++step) {
            script::reset();
            script::push(QMessageBox::Ok);
            p.a().CmdRV->click();
            QCOMPARE(script::log().size(), size_t(1));
            QCOMPARE(script::log().front().icon, QMessageBox::Question);
            asked << script::log().front().text;
            QVERIFY(p.a().PctRV->isHidden());
            if (step == 0)
                p.w->view().LstLabo->setCurrentRow(0);
            else if (step == 1)
                p.w->view().LstMed->setCurrentRow(0);
            // Selecting a doctor selects today's month: undo it.
            p.w->state().MoisActif = 13;
        }
        QCOMPARE(asked, QStringList({QStringLiteral("Quel est le laboratoire concerné ?"),
                                     QStringLiteral("Quel est le médecin concerné ?"),
                                     QStringLiteral("Quel est le mois concerné ?")}));

        script::reset();
        p.w->state().MoisActif = 2;
        p.a().CmdRV->click();
        QCOMPARE(p.a().CmdRV->text(), QStringLiteral("Voir Rendez-vous"));
        QVERIFY(!p.a().PctRV->isHidden());
        QVERIFY(p.a().CmdConnaitre->isHidden());

        p.a().LblDateRV->setText(QStringLiteral("12/03/2025"));
        p.a().CmdAnn->click();
        QCOMPARE(p.a().LblDateRV->text(), QString());

        p.a().LblDateRV->setText(QStringLiteral("12/03/2025"));
        p.a().CmdRV->click();
        QCOMPARE(p.a().CmdRV->text(), QStringLiteral("Fixer Rendez-vous"));
        QVERIFY(p.a().PctRV->isHidden());
        QVERIFY(!p.a().CmdConnaitre->isHidden());
        QCOMPARE(p.a().LblDateRV->text(), QString());
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void saveWithoutDate()
    {
        Practice p;
        script::push(QMessageBox::Ok);
        p.save(QString());
        QCOMPARE(script::texts(), QStringList({QStringLiteral("Aucune date n'est fixée !")}));
        QCOMPARE(p.count(), 0);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void annualQuota_data()
    {
        QTest::addColumn<int>("booked");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("after");
        const QString reached = QStringLiteral("Les 3 visites accordées à ALPHA pour l'année 2025 ont été atteintes.");
        const QString exceeded =
            QStringLiteral("Les 3 visites accordées à ALPHA pour l'année 2025 sont déjà dépassées (déjà 4 ).");
        const QString confirm = QStringLiteral("Voulez-vous quand même enregistrer ce RV ?");
        QTest::newRow("3 of 3, No") << 3 << int(QMessageBox::No) << QStringList({reached, confirm}) << 3;
        QTest::newRow("3 of 3, Yes") << 3 << int(QMessageBox::Yes) << QStringList({reached, confirm}) << 4;
        QTest::newRow("4 of 3, No") << 4 << int(QMessageBox::No) << QStringList({exceeded, confirm}) << 4;
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
        p.w->store().passages().setQuota(QStringLiteral("ALPHA"), QStringLiteral("DR A"), 3);
        for (int i = 0; i < booked; ++i)
            p.book(QStringLiteral("ALPHA"), QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        // Last year's visits do not count.
        p.visites().insert({0, QStringLiteral("DR A"), QStringLiteral("ALPHA"), QStringLiteral("20"),
                            QStringLiteral("12"), QStringLiteral("2024"), QString()});
        if (!shown.isEmpty()) {
            script::push(QMessageBox::Ok);
            script::push(static_cast<QMessageBox::StandardButton>(answer));
        }
        p.save(QStringLiteral("20/03/2025"));
        QCOMPARE(script::texts(), shown);
        QCOMPARE(p.count(), after);
        QCOMPARE(p.w->state().QuotaRespecte, true);
        // Refused: the date stays for another try; saved: it is cleared.
        QCOMPARE(p.a().LblDateRV->text().isEmpty(), after > booked);
        if (after > booked) {
            QCOMPARE(p.a().LstRV->count(), after + 1);
            QCOMPARE(p.a().LstRV->item(0)->text(), QStringLiteral("20/03/2025  (libre)"));
        }
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void sameDayRefusedOtherLaboratoryAccepted()
    {
        Practice p;
        p.save(QStringLiteral("12/03/2025"));
        QCOMPARE(p.count(), 1);
        QCOMPARE(p.a().LstRV->item(0)->text(), QStringLiteral("12/03/2025  (libre)"));

        script::push(QMessageBox::Ok);
        p.save(QStringLiteral("12/03/2025"));
        QCOMPARE(script::texts(), QStringList({QStringLiteral("ALPHA a déjà un RV avec DR A le  12/03/2025")}));
        QCOMPARE(script::log().back().icon, QMessageBox::Critical);
        QCOMPARE(p.count(), 1);

        p.selectLabo(1);
        p.save(QStringLiteral("12/03/2025"));
        QCOMPARE(p.count(QStringLiteral("BETA")), 1);
        // The same laboratory with another doctor on that day is allowed too.
        p.w->view().LstMed->setCurrentRow(1);
        p.selectLabo(0);
        p.w->state().MoisActif = 2;
        p.save(QStringLiteral("12/03/2025"));
        QCOMPARE(p.visites().countForLaboYear(QStringLiteral("ALPHA"), QStringLiteral("2025"), QStringLiteral("DR B")), 1);
        QCOMPARE(script::log().size(), size_t(1));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void pressedTwiceSavesOnce()
    {
        Practice p;
        script::push(QMessageBox::Ok);
        p.a().LblDateRV->setText(QStringLiteral("12/03/2025"));
        p.a().CmdEnr->click();
        p.a().CmdEnr->click();
        QCOMPARE(p.count(), 1);
        QCOMPARE(script::texts(), QStringList({QStringLiteral("Aucune date n'est fixée !")}));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void timeDialog()
    {
        Practice p(QStringLiteral("100,1,0,0"));
        QCOMPARE(p.w->state().AvecHeure, 1);

        TimeAnswer first{QStringLiteral("103")};
        answerTimeDialog(first);
        p.save(QStringLiteral("12/03/2025"));
        QVERIFY(first.seen);
        QCOMPARE(first.listed, QStringLiteral("Aucun rendez-vous n'est pris pour cette journée."));
        QCOMPARE(p.a().LstRV->item(0)->text(), QStringLiteral("12/03/2025  (10H30)"));

        // A single digit: the incomplete time is said, the visit is saved
        // without a time.
        p.selectLabo(1);
        TimeAnswer second{QStringLiteral("9")};
        answerTimeDialog(second);
        script::push(QMessageBox::Ok);
        p.save(QStringLiteral("12/03/2025"));
        QCOMPARE(second.listed, QStringLiteral("12/03/2025\n1 laboratoire(s)\n\nALPHA  (10H30)\n"));
        QCOMPARE(script::texts(), QStringList({QStringLiteral("Heure incomplètement précisée !")}));
        QCOMPARE(p.a().LstRV->item(0)->text(), QStringLiteral("12/03/2025  (libre)"));

        // Hour only, left with the close box.
        TimeAnswer third{QStringLiteral("10"), true};
        answerTimeDialog(third);
        p.save(QStringLiteral("13/03/2025"));
        QCOMPARE(p.a().LstRV->item(0)->text(), QStringLiteral("13/03/2025  (10H00)"));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void lostRaceGetsTheRefusal()
    {
        // The other workstation saves the same appointment while this one is
        // still asking for the time.
        Practice p(QStringLiteral("100,1,0,0"));
        TimeAnswer answer{QStringLiteral("11")};
        answer.whileOpen = [&p] {
            auto other = p.env.openStore();
            other->visites().insert({0, QStringLiteral("DR A"), QStringLiteral("ALPHA"), QStringLiteral("12"),
                                     QStringLiteral("03"), QStringLiteral("2025"), QStringLiteral("09H00")});
        };
        answerTimeDialog(answer);
        script::push(QMessageBox::Ok);
        p.save(QStringLiteral("12/03/2025"));
        QVERIFY(answer.seen);
        QCOMPARE(script::texts(), QStringList({QStringLiteral("ALPHA a déjà un RV avec DR A le  12/03/2025")}));
        QCOMPARE(p.count(), 1);
        QCOMPARE(p.visites().forLaboMedecin(QStringLiteral("ALPHA"), QStringLiteral("DR A")).front().heure,
                 QStringLiteral("09H00"));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void timeDialogTyping()
    {
        tvtest::TestEnv env;
        FrmHeure dialog(QStringLiteral("Aucun rendez-vous n'est pris pour cette journée."));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("   Heure du rendez-vous "));
        QLineEdit *meb = dialog.MEB();
        QTest::keyClicks(meb, QStringLiteral("09"));
        QCOMPARE(meb->text(), QStringLiteral("09H"));
        QTest::keyClick(meb, Qt::Key_Backspace);
        QCOMPARE(meb->text(), QStringLiteral("09H"));
        QTest::keyClicks(meb, QStringLiteral("H3x"));
        QCOMPARE(meb->text(), QStringLiteral("09H3"));
        dialog.findChild<QPushButton *>(QStringLiteral("CmdOK"))->click();
        QCOMPARE(dialog.heure(), QStringLiteral("09H30"));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TstBookingWindow)
#include "tst_booking_window.moc"
