// The agenda page driven through the real main window and the real FrmDate
// dialog, with scripted message and input boxes.
#include "support/TestEnv.h"

#include "agenda/ui/AgendaController.h"
#include "app/core/SharedState.h"
#include "app/ui/Dialogs.h"
#include "app/ui/FrmLabo.h"
#include "app/ui/Widgets.h"
#include "store/AgendaFiles.h"
#include "store/Store.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace tv;
namespace script = tv::dialogs::script;

namespace {

const QString kDoctor = QStringLiteral("  MARTIN");

struct Started {
    std::unique_ptr<tvtest::TestEnv> env;
    std::unique_ptr<FrmLabo> frm;
};

// A window on a data folder with one doctor, selected at start-up, and the
// given agenda files.
Started start(const QByteArray &passages, const QByteArray &absences = {})
{
    Started s;
    s.env = std::make_unique<tvtest::TestEnv>();
    s.env->prepareData({QStringLiteral("Martin")}, QStringLiteral("0,0,0,0"));
    if (!passages.isNull())
        s.env->writeFile(agendafiles::passagesPath(s.env->dataFolder(), kDoctor), passages);
    if (!absences.isNull())
        s.env->writeFile(agendafiles::absencesPath(s.env->dataFolder(), kDoctor), absences);
    bool ok = false;
    s.frm = s.env->startWindow(&ok);
    if (!ok)
        qFatal("start-up failed");
    return s;
}

void addVisit(FrmLabo &frm, const char *labo, const char *jour, const char *mois, const char *heure = "")
{
    frm.store().visites().insert({0, QStringLiteral("MARTIN"), QString::fromLatin1(labo), QString::fromLatin1(jour),
                                  QString::fromLatin1(mois), QStringLiteral("2025"), QString::fromLatin1(heure)});
}

QTableWidgetItem *cell(FrmLabo &frm, int row, int column)
{
    return frm.view().agenda.FG->item(row, column);
}

// Runs `drive` on the FrmDate dialog once it is shown modally, then returns
// when the dialog has closed.
void withAbsenceDialog(FrmLabo &frm, const std::function<void(QDialog &)> &drive)
{
    bool handled = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QStringLiteral("FrmDate") || handled)
            return;
        handled = true;
        poll.stop();
        QTimer::singleShot(0, dialog, [dialog, &drive] { drive(*dialog); });
    });
    poll.start();
    frm.view().menus.mnuSansRV->trigger();
    QVERIFY(handled);
}

// The three boxes before the weekday maxima's input boxes: what the command
// does, "Continuez ?" answered Yes, and the doctor's name.
void pushMaximaIntro()
{
    script::push(QMessageBox::Ok);
    script::push(QMessageBox::Yes);
    script::push(QMessageBox::Ok);
}

template <typename W>
W *child(QDialog &dialog, const char *name)
{
    return dialog.findChild<W *>(QString::fromLatin1(name));
}

} // namespace

class TestAgendaUi : public QObject {
    Q_OBJECT
private slots:
    void startUpShowsTodaysMonth();
    void monthButtonsAndYearChange();
    void dayClickListsAppointments();
    void bookingDayChecks();
    void maximaEditedThroughInputBoxes();
    void maximaCancelAndRefusals();
    void timeOptionToggles();
    void absenceDialogPeriodsAndDuplicates();
    void absenceDialogDeleting();
    void damagedFilesAndUnwritableFolder();
};

void TestAgendaUi::startUpShowsTodaysMonth()
{
    Started s = start(" 2  2  2  2  2  0  0 \r\n", "05/03/2025\r\n");
    addVisit(*s.frm, "ROCHE", "03", "03");
    addVisit(*s.frm, "SANOFI", "03", "03");
    s.frm->Remplir_Agenda();
    AgendaWidgets &a = s.frm->view().agenda;
    QCOMPARE(int(s.frm->state().MoisActif), 2);
    QCOMPARE(a.LblMois->text(), QStringLiteral("Mars"));
    QCOMPARE(a.EtMois[2]->text(), QStringLiteral("Mars"));
    QCOMPARE(a.EtMois[7]->text(), QStringLiteral("Août"));
    QCOMPARE(a.EtMois[2]->palette().color(QPalette::Window), QColor(242, 213, 70));
    QCOMPARE(a.EtMois[3]->palette().color(QPalette::Window), QColor(255, 245, 179));

    QCOMPARE(cell(*s.frm, 2, 4)->text(), QStringLiteral("2    labo(s)"));
    QCOMPARE(cell(*s.frm, 2, 0)->background().color(), QColor(242, 213, 70));
    QCOMPARE(cell(*s.frm, 2, 4)->foreground().color(), QColor(48, 126, 173));
    QCOMPARE(cell(*s.frm, 4, 0)->text(), QStringLiteral("  Abs - mercredi"));
    QCOMPARE(cell(*s.frm, 4, 0)->background().color(), QColor(238, 241, 252));
    QCOMPARE(cell(*s.frm, 4, 0)->foreground().color(), QColor(255, 0, 76));
    QCOMPARE(cell(*s.frm, 4, 4)->background().color(), QColor(1, 1, 1));
    QVERIFY(cell(*s.frm, 4, 0)->font().bold());
    QVERIFY(!cell(*s.frm, 4, 2)->font().bold());
    QCOMPARE(cell(*s.frm, 5, 1)->background().color(), QColor(Qt::white));
    QCOMPARE(a.FG->palette().color(QPalette::Base), QColor(238, 241, 252));
    QCOMPARE(s.frm->state().MaxJour, (MaxJourTable{2, 2, 2, 2, 2, 0, 0}));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestAgendaUi::monthButtonsAndYearChange()
{
    Started s = start({});
    AgendaWidgets &a = s.frm->view().agenda;
    QTest::mouseClick(a.EtMois[1], Qt::LeftButton);
    QCOMPARE(a.LblMois->text(), QStringLiteral("Février"));
    QCOMPARE(cell(*s.frm, 27, 1)->text(), QStringLiteral("28"));
    QVERIFY(cell(*s.frm, 28, 1)->text().isEmpty());
    // No Passages file: every day is full.
    QCOMPARE(cell(*s.frm, 10, 1)->background().color(), QColor(242, 213, 70));

    a.PctRV->show();
    a.LblDateRV->setText(QStringLiteral("05/02/2025"));
    a.CmdRV->setText(QStringLiteral("autre"));
    a.LstListe->addItem(QStringLiteral("x"));
    a.CboAn->setCurrentIndex(1);
    emit a.CboAn->activated(1);
    QCOMPARE(int(s.frm->state().MoisActif), SharedState::NoMonth);
    QVERIFY(a.LblMois->text().isEmpty());
    QVERIFY(cell(*s.frm, 0, 0)->text().isEmpty());
    QVERIFY(a.PctRV->isHidden());
    QVERIFY(a.LblDateRV->text().isEmpty());
    QCOMPARE(a.CmdRV->text(), QStringLiteral("Fixer Rendez-vous"));
    QCOMPARE(a.LstListe->count(), 0);
    QCOMPARE(a.EtMois[1]->palette().color(QPalette::Window), QColor(255, 245, 179));

    // With no month a day click does nothing; February 2028 has 29 days.
    s.frm->agenda().FG_Click(0);
    QTest::mouseClick(a.EtMois[1], Qt::LeftButton);
    QCOMPARE(a.CboAn->currentText(), QStringLiteral("2026"));
    a.CboAn->setCurrentIndex(3);
    emit a.CboAn->activated(3);
    QTest::mouseClick(a.EtMois[1], Qt::LeftButton);
    QCOMPARE(cell(*s.frm, 28, 0)->text(), QStringLiteral("mardi"));
    QVERIFY(tvtest::noUnexpectedDialogs());

    // Without a doctor no month can be chosen.
    s.frm->view().LstMed->setCurrentRow(-1);
    script::push(QMessageBox::Ok);
    s.frm->Choisir_Mois(4);
    QCOMPARE(script::texts().last(), QStringLiteral("Sélectionnez un médecin ! "));
}

void TestAgendaUi::dayClickListsAppointments()
{
    Started s = start(" 5  5  5  5  5  5  5 \r\n");
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(4);
    QCOMPARE(script::texts().last(), QStringLiteral("Pas de visiteur médical attendu le 05/03/2025.   "));

    addVisit(*s.frm, "ROCHE", "06", "03", "10:30");
    addVisit(*s.frm, "SANOFI", "06", "03");
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(5);
    QCOMPARE(script::texts().last(), QStringLiteral("06/03/2025") + QString(22, u' ')
                                         + QStringLiteral("\n2 laboratoire(s)\n\nROCHE  (10:30)\nSANOFI\n"));
    QCOMPARE(script::log().back().icon, QMessageBox::Information);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestAgendaUi::bookingDayChecks()
{
    Started s = start(" 1  1  1  1  1  1  1 \r\n", "26/12/2025\r\n");
    MainView &v = s.frm->view();
    v.agenda.PctRV->show();
    v.labo.LblPass->setText(QStringLiteral("0"));
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(5);
    QCOMPARE(script::log().back().title, QStringLiteral("Laboratoire refusé"));
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);
    QVERIFY(script::texts().last().endsWith(QStringLiteral(" est interdit de passage avec  MARTIN,\n"
                                                           "le nombre de passage annuel étant fixé à 0.")));
    QCOMPARE(v.TS->currentIndex(), 1);
    QVERIFY(v.agenda.LblDateRV->text().isEmpty());

    v.labo.LblPass->setText(QStringLiteral("3"));
    s.frm->showTab(1);
    s.frm->Choisir_Mois(11);
    addVisit(*s.frm, "ROCHE", "24", "12");
    s.frm->Remplir_Agenda();
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(23);
    QCOMPARE(script::texts().last(), QStringLiteral("Le nombre maximum de visiteurs est atteint pour cette journée !"));
    QCOMPARE(v.agenda.LblDateRV->text(), QStringLiteral("24/12/2025"));

    // Christmas: full (maximum 1 reached? no: no visit) but a holiday.
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(24);
    QCOMPARE(script::texts().last(), QStringLiteral("Le 25/12/2025 est un jour férié !\nNoël"));
    QVERIFY(v.agenda.LblDateRV->text().isEmpty());
    QCOMPARE(cell(*s.frm, 24, 0)->toolTip(), QStringLiteral("Noël"));

    // A full day that is also an absence is not reported as full.
    addVisit(*s.frm, "ROCHE", "26", "12");
    s.frm->Remplir_Agenda();
    const int before = static_cast<int>(script::log().size());
    s.frm->agenda().FG_Click(25);
    QCOMPARE(static_cast<int>(script::log().size()), before);
    QCOMPARE(v.agenda.LblDateRV->text(), QStringLiteral("26/12/2025"));

    // Row past the end of a 30-day month: ignored.
    s.frm->Choisir_Mois(10);
    s.frm->agenda().FG_Click(30);
    QCOMPARE(static_cast<int>(script::log().size()), before);
    QCOMPARE(v.agenda.LblDateRV->text(), QStringLiteral("26/12/2025"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestAgendaUi::maximaEditedThroughInputBoxes()
{
    Started s = start({});
    pushMaximaIntro();
    script::pushInput(QStringLiteral("4 jours"));
    script::pushInput(QStringLiteral("abc"));
    script::pushInput(QStringLiteral("2,5"));
    script::pushInput(QStringLiteral("-1"));
    script::pushInput(QStringLiteral("40000"));
    script::push(QMessageBox::Ok); // out of range: asked again
    script::pushInput(QStringLiteral("7"));
    script::pushInput(QStringLiteral("3.5"));
    script::pushInput(QStringLiteral("&H2"));
    s.frm->view().menus.mnuMax->trigger();

    QCOMPARE(tvtest::TestEnv::readFile(agendafiles::passagesPath(s.env->dataFolder(), kDoctor)),
             QByteArray(" 4  0  2 -1  7  4  2 \r\n"));
    const auto &log = script::log();
    QCOMPARE(log.at(0).text, QStringLiteral("Ce menu vous permet de fixer le nombre maximum de VM reçus, pour chaque "
                                            "jour de la semaine,\nafin de faciliter la prise des rendez-vous."));
    QCOMPARE(log.at(2).text, QStringLiteral("Choix pour   MARTIN"));
    QCOMPARE(log.at(3).text, QStringLiteral("Lundi"));
    QCOMPARE(log.at(3).title, QStringLiteral("Nombre de VM reçus ce jour"));
    QCOMPARE(log.at(3).defaultText, QStringLiteral("0"));
    QCOMPARE(log.at(8).text, QStringLiteral("Le nombre doit être compris entre -32768 et 32767."));
    QCOMPARE(log.at(9).text, QStringLiteral("Vendredi"));
    QCOMPARE(log.at(11).text, QStringLiteral("Dimanche"));
    QCOMPARE(log.size(), std::size_t(12));
    // The grid was filled again from the new file: Monday 3 March, 0 of 4.
    QCOMPARE(cell(*s.frm, 2, 1)->background().color(), QColor(Qt::white));
    QCOMPARE(cell(*s.frm, 3, 1)->background().color(), QColor(242, 213, 70)); // Tuesday, maximum 0

    // The next run proposes the stored values.
    script::reset();
    pushMaximaIntro();
    script::pushInput(std::nullopt);
    s.frm->agenda().mnuMax_Click();
    QCOMPARE(script::log().at(3).defaultText, QStringLiteral("4"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestAgendaUi::maximaCancelAndRefusals()
{
    Started s = start(" 1  1  1  1  1  1  1 \r\n");
    const QString path = agendafiles::passagesPath(s.env->dataFolder(), kDoctor);
    pushMaximaIntro();
    script::pushInput(QStringLiteral("5"));
    script::pushInput(QStringLiteral("6"));
    script::pushInput(QStringLiteral("")); // cleared: stops at Wednesday
    s.frm->agenda().mnuMax_Click();
    QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray(" 1  1  1  1  1  1  1 \r\n"));
    QCOMPARE(s.frm->state().MaxJour, (MaxJourTable{5, 6, 1, 1, 1, 1, 1}));
    s.frm->Remplir_Agenda();
    QCOMPARE(s.frm->state().MaxJour, (MaxJourTable{1, 1, 1, 1, 1, 1, 1}));

    // "No" at the question stops before any input box.
    script::reset();
    script::push(QMessageBox::Ok);
    script::push(QMessageBox::No);
    s.frm->agenda().mnuMax_Click();
    QCOMPARE(script::log().size(), std::size_t(2));

    // A data folder that cannot be written: a French message, old file kept.
    s.frm->state().CheminBase = s.env->dataFolder() + QStringLiteral("/absent");
    script::reset();
    pushMaximaIntro();
    for (int i = 0; i < 7; ++i)
        script::pushInput(QStringLiteral("9"));
    script::push(QMessageBox::Ok);
    s.frm->agenda().mnuMax_Click();
    QVERIFY(script::texts().last().startsWith(QStringLiteral("Le nombre maximum de visiteurs n'a pas été enregistré.")));
    QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray(" 1  1  1  1  1  1  1 \r\n"));

    // No doctor selected.
    s.frm->view().LstMed->setCurrentRow(-1);
    script::reset();
    script::push(QMessageBox::Ok);
    s.frm->agenda().mnuMax_Click();
    QCOMPARE(script::texts(), QStringList{QStringLiteral("Sélectionnez un médecin.")});
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestAgendaUi::timeOptionToggles()
{
    Started s = start({});
    QAction *action = s.frm->view().menus.mnuHeure;
    QVERIFY(!action->isChecked());
    action->trigger();
    QVERIFY(action->isChecked());
    QCOMPARE(int(s.frm->state().AvecHeure), 1);
    QCOMPARE(tvtest::TestEnv::readFile(s.env->programFile(QStringLiteral("Vs.ini"))), QByteArray("0,1,0,0\r\n"));
    action->trigger();
    QVERIFY(!action->isChecked());
    QCOMPARE(int(s.frm->state().AvecHeure), 0);
    QCOMPARE(tvtest::TestEnv::readFile(s.env->programFile(QStringLiteral("Vs.ini"))), QByteArray("0,0,0,0\r\n"));
}

void TestAgendaUi::absenceDialogPeriodsAndDuplicates()
{
    Started s = start(" 5  5  5  5  5  5  5 \r\n");
    const QString path = agendafiles::absencesPath(s.env->dataFolder(), kDoctor);
    QString title;
    QString countText;
    QString emptyCount;
    int selected = -2;
    bool listShown = false;
    QString boxAfterRightClick = QStringLiteral("?");
    QStringList listed;
    QString typed;

    script::push(QMessageBox::Ok); // "Date déjà enregistrée !"
    withAbsenceDialog(*s.frm, [&](QDialog &d) {
        title = d.windowTitle();
        emptyCount = child<QLabel>(d, "LblAbsMed")->text();
        auto *meb3 = child<QLineEdit>(d, "MEB3");
        auto *meb4 = child<QLineEdit>(d, "MEB4");
        // Typed in a short form, stored in full; a right click empties.
        QTest::keyClicks(meb3, QStringLiteral("30/12/2025"));
        QTest::keyClicks(meb4, QStringLiteral("9/9/2025"));
        QTest::mouseClick(meb4, Qt::RightButton);
        boxAfterRightClick = meb4->text();
        QTest::keyClicks(meb4, QStringLiteral("2/1/2026"));
        QTest::keyClick(meb4, Qt::Key_Return);
        typed = meb4->text();
        QTest::mouseClick(child<QPushButton>(d, "CmdOK"), Qt::LeftButton);
        countText = child<QLabel>(d, "LblAbsMed")->text();

        // 29/12 is new, 30/12 is already there.
        auto *mv = child<QCalendarWidget>(d, "MV");
        emit mv->clicked(QDate(2025, 12, 29));
        emit mv->clicked(QDate(2025, 12, 31));
        QTest::mouseClick(child<QPushButton>(d, "CmdOK"), Qt::LeftButton);
        selected = child<ListBox>(d, "LstDateAbs")->currentRow();
        listShown = child<QFrame>(d, "Frame0")->isVisibleTo(&d);
        for (int i = 0; i < child<ListBox>(d, "LstDateAbs")->count(); ++i)
            listed.append(child<ListBox>(d, "LstDateAbs")->item(i)->text());
        QTest::mouseClick(child<QPushButton>(d, "CmdQuitte"), Qt::LeftButton);
    });

    QCOMPARE(title, QStringLiteral("      Dates d'absences de MARTIN"));
    QCOMPARE(emptyCount, QStringLiteral("0 jour(s) d'absence"));
    QVERIFY(boxAfterRightClick.isEmpty());
    QCOMPARE(typed, QStringLiteral("02/01/2026"));
    QCOMPARE(countText, QStringLiteral("4 jour(s) d'absence"));
    QCOMPARE(selected, 0);
    QVERIFY(listShown);
    QCOMPARE(listed, QStringList({QStringLiteral("30/12/2025   "), QStringLiteral("31/12/2025   "),
                                  QStringLiteral("01/01/2026   "), QStringLiteral("02/01/2026   ")}));
    QCOMPARE(tvtest::TestEnv::readFile(path),
             QByteArray("30/12/2025\r\n31/12/2025\r\n01/01/2026\r\n02/01/2026\r\n29/12/2025\r\n"));
    QVERIFY(script::texts().contains(QStringLiteral("Date déjà enregistrée !")));

    // The next opening lists the file in date order; leaving with both
    // boxes filled asks to save them.
    s.frm->Choisir_Mois(11);
    listed.clear();
    script::reset();
    script::push(QMessageBox::Yes); // Enregistrer les absences ?
    withAbsenceDialog(*s.frm, [&](QDialog &d) {
        for (int i = 0; i < child<ListBox>(d, "LstDateAbs")->count(); ++i)
            listed.append(child<ListBox>(d, "LstDateAbs")->item(i)->text().trimmed());
        auto *mv = child<QCalendarWidget>(d, "MV");
        emit mv->clicked(QDate(2025, 12, 1));
        emit mv->clicked(QDate(2025, 12, 2));
        QTest::mouseClick(child<QPushButton>(d, "CmdAnnule"), Qt::LeftButton);
    });
    QCOMPARE(listed, QStringList({QStringLiteral("29/12/2025"), QStringLiteral("30/12/2025"), QStringLiteral("31/12/2025"),
                                  QStringLiteral("01/01/2026"), QStringLiteral("02/01/2026")}));
    QCOMPARE(script::texts(), QStringList{QStringLiteral("Enregistrer les absences ?")});
    QVERIFY(tvtest::TestEnv::readFile(path).endsWith("01/12/2025\r\n02/12/2025\r\n"));
    // The grid follows.
    QCOMPARE(cell(*s.frm, 1, 0)->text(), QStringLiteral("Abs - mardi"));
    QCOMPARE(cell(*s.frm, 28, 0)->text(), QStringLiteral("Abs - lundi"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestAgendaUi::absenceDialogDeleting()
{
    Started s = start(" 5  5  5  5  5  5  5 \r\n", "06/03/2025\r\n05/03/2025\r\n06/03/2025\r\n");
    const QString path = agendafiles::absencesPath(s.env->dataFolder(), kDoctor);
    QStringList listed;
    QString count;
    QString wrongDates;
    QString afterEffacer;

    script::push(QMessageBox::Yes); // Supprimer 06/03/2025 ?
    script::push(QMessageBox::Ok);  // mal renseignées
    script::push(QMessageBox::No);  // Tout effacer ? (kept)
    script::push(QMessageBox::Yes); // Tout effacer ?
    withAbsenceDialog(*s.frm, [&](QDialog &d) {
        QTest::mouseClick(child<QPushButton>(d, "CmdSupprime"), Qt::LeftButton);
        auto *list = child<ListBox>(d, "LstDateAbs");
        // Nothing selected: nothing happens.
        list->setCurrentRow(-1);
        emit list->doubleClicked();
        list->setCurrentRow(2);
        emit list->doubleClicked();
        for (int i = 0; i < list->count(); ++i)
            listed.append(list->item(i)->text().trimmed());
        count = child<QLabel>(d, "LblAbsMed")->text();

        QTest::mouseClick(child<QPushButton>(d, "CmdAjout"), Qt::LeftButton);
        child<QLineEdit>(d, "MEB3")->setText(QStringLiteral("32/03/2025"));
        child<QLineEdit>(d, "MEB4")->setText(QStringLiteral("05/03/2025"));
        QTest::mouseClick(child<QPushButton>(d, "CmdOK"), Qt::LeftButton);
        wrongDates = child<QLineEdit>(d, "MEB3")->text();
        child<QLineEdit>(d, "MEB3")->clear();
        child<QLineEdit>(d, "MEB4")->clear();

        QTest::mouseClick(child<QPushButton>(d, "CmdSupprime"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(d, "CmdEfface"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(d, "CmdEfface"), Qt::LeftButton);
        afterEffacer = child<QLabel>(d, "LblAbsMed")->text();
        QTest::mouseClick(child<QPushButton>(d, "CmdQuitte"), Qt::LeftButton);
    });
    QCOMPARE(script::texts(), QStringList({QStringLiteral("Supprimer 06/03/2025 ?"),
                                           QStringLiteral("Les dates d'absence sont mal renseignées !"),
                                           QStringLiteral("Tout effacer ?"), QStringLiteral("Tout effacer ?")}));
    QCOMPARE(script::log().at(0).defaultButton, QMessageBox::No);
    QCOMPARE(script::log().at(1).icon, QMessageBox::Warning);
    // Both lines of the date left the file, only the selected entry the list.
    QCOMPARE(listed, QStringList({QStringLiteral("05/03/2025"), QStringLiteral("06/03/2025")}));
    QCOMPARE(count, QStringLiteral("2 jour(s) d'absence"));
    QCOMPARE(wrongDates, QStringLiteral("32/03/2025"));
    QCOMPARE(afterEffacer, QStringLiteral("0 jour(s) d'absence"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(cell(*s.frm, 4, 0)->text(), QStringLiteral("  mercredi"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestAgendaUi::damagedFilesAndUnwritableFolder()
{
    Started s = start("3 x\r\n", "05/03/2025\r\n\r\nxx\r\n");
    const QString path = agendafiles::absencesPath(s.env->dataFolder(), kDoctor);
    // What can be read is used, the rest is 0; the program goes on quietly.
    QCOMPARE(s.frm->state().MaxJour, (MaxJourTable{3, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(cell(*s.frm, 4, 0)->text(), QStringLiteral("  Abs - mercredi"));
    QVERIFY(tvtest::noUnexpectedDialogs());

    int listedBefore = -1;
    QStringList listedAfter;
    QString boxAfterFailure;
    script::push(QMessageBox::Yes); // Supprimer the damaged line
    script::push(QMessageBox::Ok);  // the write error
    script::push(QMessageBox::No);  // Enregistrer les absences ?
    withAbsenceDialog(*s.frm, [&](QDialog &d) {
        auto *list = child<ListBox>(d, "LstDateAbs");
        listedBefore = list->count();
        list->setCurrentRow(1);
        emit list->doubleClicked();
        for (int i = 0; i < list->count(); ++i)
            listedAfter.append(list->item(i)->text().trimmed());

        s.frm->state().CheminBase = s.env->dataFolder() + QStringLiteral("/absent");
        auto *mv = child<QCalendarWidget>(d, "MV");
        emit mv->clicked(QDate(2025, 3, 10));
        emit mv->clicked(QDate(2025, 3, 11));
        QTest::mouseClick(child<QPushButton>(d, "CmdOK"), Qt::LeftButton);
        boxAfterFailure = child<QLineEdit>(d, "MEB3")->text();
        QTest::mouseClick(child<QPushButton>(d, "CmdAnnule"), Qt::LeftButton);
    });
    QCOMPARE(listedBefore, 2);
    QCOMPARE(listedAfter, QStringList{QStringLiteral("05/03/2025")});
    QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray("05/03/2025\r\n\r\n"));
    QVERIFY(script::texts().at(1).startsWith(QStringLiteral("Impossible d'écrire le fichier")));
    QCOMPARE(script::log().at(1).icon, QMessageBox::NoIcon);
    QCOMPARE(boxAfterFailure, QStringLiteral("10/03/2025"));
    QCOMPARE(script::texts().at(2), QStringLiteral("Enregistrer les absences ?"));
}

QTEST_MAIN(TestAgendaUi)
#include "tst_agendaui.moc"
