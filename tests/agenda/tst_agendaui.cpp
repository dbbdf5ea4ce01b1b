// The agenda page driven through the real main window and the real FrmDate
// dialog, with scripted message and input boxes.
#include "support/TestEnv.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/ui/AgendaController.h"
#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/files/TextFile.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace Qt::StringLiterals;

using namespace tv;
namespace script = tv::dialogs::script;

namespace {

const QString kDoctor = u"  MARTIN"_s;

struct Started {
    std::unique_ptr<tvtest::TestEnv> env;
    std::unique_ptr<FrmLabo> frm;
};

// A window on a data folder with one doctor, selected at start-up, and the
// given agenda files, named after the list entry, blanks included.
Started start(const QByteArray &passages, const QByteArray &absences = {})
{
    Started s;
    s.env = std::make_unique<tvtest::TestEnv>();
    s.env->prepareData({u"Martin"_s}, u"0,0,0,0"_s);
    if (!passages.isNull())
        s.env->writeFile(s.env->dataFile(u"Passages  MARTIN.txt"_s), passages);
    if (!absences.isNull())
        s.env->writeFile(s.env->dataFile(u"Absences  MARTIN.txt"_s), absences);
    s.frm = s.env->startWindow();
    return s;
}

void addVisit(FrmLabo &frm, const char *labo, const char *jour, const char *mois, const char *heure = "")
{
    frm.store().visites().insert({0, u"MARTIN"_s, QString::fromLatin1(labo), QString::fromLatin1(jour),
                                  QString::fromLatin1(mois), u"2025"_s, QString::fromLatin1(heure)});
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
        if (!dialog || dialog->objectName() != u"FrmDate"_s || handled)
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

template<typename W>
W *child(QDialog &dialog, const char *name)
{
    return dialog.findChild<W *>(QString::fromLatin1(name));
}

} // namespace

class TstAgendaUi : public QObject {
    Q_OBJECT
private slots:
    void startUpShowsTodaysMonth();
    void monthButtonsAndYearChange();
    void dayClickListsAppointments();
    void bookingDayChecks();
    void maximaEditedThroughInputBoxes();
    void maximaCancelAndRefusals();
    void absenceDialogPeriodsAndDuplicates();
    void absenceDialogDeleting();
    void damagedFilesAndUnwritableFolder();
};

void TstAgendaUi::startUpShowsTodaysMonth()
{
    Started s = start(" 2  2  2  2  2  0  0 \r\n", "05/03/2025\r\n");
    addVisit(*s.frm, "ROCHE", "03", "03");
    addVisit(*s.frm, "SANOFI", "03", "03");
    s.frm->Remplir_Agenda();
    AgendaWidgets &a = s.frm->view().agenda;
    QCOMPARE(int(s.frm->state().MoisActif), 2);
    QCOMPARE(a.LblMois->text(), u"Mars"_s);
    QCOMPARE(a.EtMois[2]->palette().color(QPalette::Window), QColor(242, 213, 70));
    QCOMPARE(a.EtMois[3]->palette().color(QPalette::Window), QColor(255, 245, 179));

    QCOMPARE(cell(*s.frm, 2, 4)->text(), u"2    labo(s)"_s);
    QCOMPARE(cell(*s.frm, 2, 0)->background().color(), QColor(242, 213, 70));
    QCOMPARE(cell(*s.frm, 4, 0)->text(), u"  Abs - mercredi"_s);
    QCOMPARE(cell(*s.frm, 4, 0)->foreground().color(), QColor(255, 0, 76));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstAgendaUi::monthButtonsAndYearChange()
{
    Started s = start({});
    QCOMPARE(s.frm->agenda().maxJour(), MaxJourTable{}); // no file: no maximum
    AgendaWidgets &a = s.frm->view().agenda;
    QTest::mouseClick(a.EtMois[1], Qt::LeftButton);
    QCOMPARE(a.LblMois->text(), u"Février"_s);
    QVERIFY(cell(*s.frm, 28, 1)->text().isEmpty());

    a.PctRV->show();
    a.LblDateRV->setText(u"05/02/2025"_s);
    a.CboAn->setCurrentIndex(1);
    emit a.CboAn->activated(1);
    QCOMPARE(int(s.frm->state().MoisActif), SharedState::NoMonth);
    QVERIFY(cell(*s.frm, 0, 0)->text().isEmpty());
    QVERIFY(a.PctRV->isHidden());
    QVERIFY(a.LblDateRV->text().isEmpty());

    // With no month a day click does nothing; February 2028 has 29 days.
    s.frm->agenda().FG_Click(0);
    QTest::mouseClick(a.EtMois[1], Qt::LeftButton);
    QCOMPARE(a.CboAn->currentText(), u"2026"_s);
    a.CboAn->setCurrentIndex(3);
    emit a.CboAn->activated(3);
    QTest::mouseClick(a.EtMois[1], Qt::LeftButton);
    QCOMPARE(cell(*s.frm, 28, 0)->text(), u"mardi"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());

    // Without a doctor no month can be chosen.
    s.frm->view().labo.LstMed->setCurrentRow(-1);
    script::push(QMessageBox::Ok);
    s.frm->Choisir_Mois(4);
    QCOMPARE(script::texts().last(), u"Sélectionnez un médecin ! "_s);
}

void TstAgendaUi::dayClickListsAppointments()
{
    Started s = start(" 5  5  5  5  5  5  5 \r\n");
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(4);
    QCOMPARE(script::texts().last(), u"Pas de visiteur médical attendu le 05/03/2025.   "_s);

    addVisit(*s.frm, "ROCHE", "06", "03", "10:30");
    addVisit(*s.frm, "SANOFI", "06", "03");
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(5);
    QCOMPARE(script::texts().last(),
             u"06/03/2025"_s + QString(22, u' ') + u"\n2 laboratoire(s)\n\nROCHE  (10:30)\nSANOFI\n"_s);
    QCOMPARE(script::log().back().icon, QMessageBox::Information);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstAgendaUi::bookingDayChecks()
{
    Started s = start(" 1  1  1  1  1  1  1 \r\n", "26/12/2025\r\n");
    MainView &v = s.frm->view();
    v.agenda.PctRV->show();
    v.labo.LblPass->setText(u"0"_s);
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(5);
    QCOMPARE(script::log().back().title, u"Laboratoire refusé"_s);
    QVERIFY(script::texts().last().endsWith(u" est interdit de passage avec  MARTIN,\n"
                                            "le nombre de passage annuel étant fixé à 0."_s));
    QCOMPARE(v.TS->currentIndex(), 1);
    QVERIFY(v.agenda.LblDateRV->text().isEmpty());

    v.labo.LblPass->setText(u"3"_s);
    s.frm->showTab(1);
    s.frm->Choisir_Mois(11);
    addVisit(*s.frm, "ROCHE", "24", "12");
    s.frm->Remplir_Agenda();
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(23);
    QCOMPARE(script::texts().last(), u"Le nombre maximum de visiteurs est atteint pour cette journée !"_s);
    QCOMPARE(v.agenda.LblDateRV->text(), u"24/12/2025"_s);

    // Christmas: full (maximum 1 reached? no: no visit) but a holiday.
    script::push(QMessageBox::Ok);
    s.frm->agenda().FG_Click(24);
    QCOMPARE(script::texts().last(), u"Le 25/12/2025 est un jour férié !\nNoël"_s);
    QVERIFY(v.agenda.LblDateRV->text().isEmpty());
    QCOMPARE(cell(*s.frm, 24, 0)->toolTip(), u"Noël"_s);

    // A full day that is also an absence is not reported as full.
    addVisit(*s.frm, "ROCHE", "26", "12");
    s.frm->Remplir_Agenda();
    const int before = static_cast<int>(script::log().size());
    s.frm->agenda().FG_Click(25);
    QCOMPARE(static_cast<int>(script::log().size()), before);
    QCOMPARE(v.agenda.LblDateRV->text(), u"26/12/2025"_s);

    // Row past the end of a 30-day month: ignored.
    s.frm->Choisir_Mois(10);
    s.frm->agenda().FG_Click(30);
    QCOMPARE(static_cast<int>(script::log().size()), before);
    QCOMPARE(v.agenda.LblDateRV->text(), u"26/12/2025"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstAgendaUi::maximaEditedThroughInputBoxes()
{
    Started s = start({});
    pushMaximaIntro();
    script::pushInput(u"4 jours"_s);
    script::pushInput(u"abc"_s);
    script::pushInput(u"2,5"_s);
    script::pushInput(u"-1"_s);
    script::pushInput(u"40000"_s);
    script::push(QMessageBox::Ok); // out of range: asked again
    script::pushInput(u"7"_s);
    script::pushInput(u"3.5"_s);
    script::pushInput(u"&H2"_s);
    s.frm->view().menus.mnuMax->trigger();

    QCOMPARE(tvtest::TestEnv::readFile(agendafiles::passagesPath(s.env->dataFolder(), kDoctor)),
             QByteArray(" 4  0  2 -1  7  4  2 \r\n"));
    const auto &log = script::log();
    QCOMPARE(log.at(0).text, u"Ce menu vous permet de fixer le nombre maximum de VM reçus, pour chaque "
                             "jour de la semaine,\nafin de faciliter la prise des rendez-vous."_s);
    QCOMPARE(log.at(2).text, u"Choix pour   MARTIN"_s);
    QCOMPARE(log.at(3).text, u"Lundi"_s);
    QCOMPARE(log.at(3).title, u"Nombre de VM reçus ce jour"_s);
    QCOMPARE(log.at(8).text, u"Le nombre doit être compris entre -32768 et 32767."_s);
    QCOMPARE(log.size(), std::size_t(12));
    // The grid was filled again from the new file: Monday 3 March, 0 of 4.
    QCOMPARE(cell(*s.frm, 3, 1)->background().color(), QColor(242, 213, 70)); // Tuesday, maximum 0

    // The next run proposes the stored values.
    script::reset();
    pushMaximaIntro();
    script::pushInput(std::nullopt);
    s.frm->agenda().mnuMax_Click();
    QCOMPARE(script::log().at(3).defaultText, u"4"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstAgendaUi::maximaCancelAndRefusals()
{
    Started s = start(" 1  1  1  1  1  1  1 \r\n");
    const QString path = agendafiles::passagesPath(s.env->dataFolder(), kDoctor);
    pushMaximaIntro();
    script::pushInput(u"5"_s);
    script::pushInput(u"6"_s);
    script::pushInput(u""_s); // cleared: stops at Wednesday
    s.frm->agenda().mnuMax_Click();
    QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray(" 1  1  1  1  1  1  1 \r\n"));
    QCOMPARE(s.frm->agenda().maxJour(), (MaxJourTable{5, 6, 1, 1, 1, 1, 1}));
    s.frm->Remplir_Agenda();
    QCOMPARE(s.frm->agenda().maxJour(), (MaxJourTable{1, 1, 1, 1, 1, 1, 1}));

    // "No" at the question stops before any input box.
    script::reset();
    script::push(QMessageBox::Ok);
    script::push(QMessageBox::No);
    s.frm->agenda().mnuMax_Click();
    QCOMPARE(script::log().size(), std::size_t(2));

    // A data folder that cannot be written: a French message, old file kept.
    s.frm->state().CheminBase = s.env->dataFolder() + u"/absent"_s;
    script::reset();
    pushMaximaIntro();
    for (int i = 0; i < 7; ++i)
        script::pushInput(u"9"_s);
    script::push(QMessageBox::Ok);
    s.frm->agenda().mnuMax_Click();
    QVERIFY(script::texts().last().startsWith(u"Le nombre maximum de visiteurs n'a pas été enregistré."_s));
    QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray(" 1  1  1  1  1  1  1 \r\n"));

    // No doctor selected: neither agenda setting goes further.
    s.frm->view().labo.LstMed->setCurrentRow(-1);
    script::reset();
    script::push(QMessageBox::Ok);
    script::push(QMessageBox::Ok);
    s.frm->agenda().mnuMax_Click();
    s.frm->view().menus.mnuSansRV->trigger();
    QCOMPARE(script::texts(), QStringList({u"Sélectionnez un médecin."_s, u"Sélectionnez un médecin."_s}));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstAgendaUi::absenceDialogPeriodsAndDuplicates()
{
    Started s = start(" 5  5  5  5  5  5  5 \r\n");
    const QString path = agendafiles::absencesPath(s.env->dataFolder(), kDoctor);
    QString title;
    QString countText;
    int selected = -2;
    bool listShown = false;
    QString boxAfterRightClick = u"?"_s;
    QStringList listed;
    QString typed;

    script::push(QMessageBox::Ok); // "Date déjà enregistrée !"
    withAbsenceDialog(*s.frm, [&](QDialog &d) {
        title = d.windowTitle();
        auto *meb3 = child<QLineEdit>(d, "MEB3");
        auto *meb4 = child<QLineEdit>(d, "MEB4");
        // Typed in a short form, stored in full; a right click empties.
        QTest::keyClicks(meb3, u"30/12/2025"_s);
        QTest::keyClicks(meb4, u"9/9/2025"_s);
        QTest::mouseClick(meb4, Qt::RightButton);
        boxAfterRightClick = meb4->text();
        QTest::keyClicks(meb4, u"2/1/2026"_s);
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

    QCOMPARE(title, u"      Dates d'absences de MARTIN"_s);
    QVERIFY(boxAfterRightClick.isEmpty());
    QCOMPARE(typed, u"02/01/2026"_s);
    QCOMPARE(countText, u"4 jour(s) d'absence"_s);
    QCOMPARE(selected, 0);
    QVERIFY(listShown);
    QCOMPARE(listed, QStringList({u"30/12/2025   "_s, u"31/12/2025   "_s, u"01/01/2026   "_s, u"02/01/2026   "_s}));
    QCOMPARE(tvtest::TestEnv::readFile(path),
             QByteArray("30/12/2025\r\n31/12/2025\r\n01/01/2026\r\n02/01/2026\r\n29/12/2025\r\n"));
    QVERIFY(script::texts().contains(u"Date déjà enregistrée !"_s));

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
    QCOMPARE(listed,
             QStringList({u"29/12/2025"_s, u"30/12/2025"_s, u"31/12/2025"_s, u"01/01/2026"_s, u"02/01/2026"_s}));
    QCOMPARE(script::texts(), QStringList{u"Enregistrer les absences ?"_s});
    QVERIFY(tvtest::TestEnv::readFile(path).endsWith("01/12/2025\r\n02/12/2025\r\n"));
    // The grid follows.
    QCOMPARE(cell(*s.frm, 1, 0)->text(), u"Abs - mardi"_s);
    QCOMPARE(cell(*s.frm, 28, 0)->text(), u"Abs - lundi"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstAgendaUi::absenceDialogDeleting()
{
    Started s = start(" 5  5  5  5  5  5  5 \r\n", "06/03/2025\r\n05/03/2025\r\n06/03/2025\r\n");
    const QString path = agendafiles::absencesPath(s.env->dataFolder(), kDoctor);
    QStringList listed;
    QString count;
    QString wrongDates;
    QString afterEffacer;
    QByteArray afterDelete;

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
        afterDelete = tvtest::TestEnv::readFile(path);
        for (int i = 0; i < list->count(); ++i)
            listed.append(list->item(i)->text().trimmed());
        count = child<QLabel>(d, "LblAbsMed")->text();

        QTest::mouseClick(child<QPushButton>(d, "CmdAjout"), Qt::LeftButton);
        child<QLineEdit>(d, "MEB3")->setText(u"32/03/2025"_s);
        child<QLineEdit>(d, "MEB4")->setText(u"05/03/2025"_s);
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
    QCOMPARE(script::texts(), QStringList({u"Supprimer 06/03/2025 ?"_s, u"Les dates d'absence sont mal renseignées !"_s,
                                           u"Tout effacer ?"_s, u"Tout effacer ?"_s}));
    QCOMPARE(script::log().at(0).defaultButton, QMessageBox::No);
    // Both lines of the date left the file, only the selected entry the list.
    QCOMPARE(afterDelete, QByteArray("05/03/2025\r\n"));
    QCOMPARE(listed, QStringList({u"05/03/2025"_s, u"06/03/2025"_s}));
    QCOMPARE(count, u"2 jour(s) d'absence"_s);
    QCOMPARE(wrongDates, u"32/03/2025"_s);
    QCOMPARE(afterEffacer, u"0 jour(s) d'absence"_s);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(cell(*s.frm, 4, 0)->text(), u"  mercredi"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstAgendaUi::damagedFilesAndUnwritableFolder()
{
    Started s = start("3 x\r\n", "05/03/2025\r\n\r\nxx\r\n");
    const QString path = agendafiles::absencesPath(s.env->dataFolder(), kDoctor);
    // What can be read is used, the rest is 0; the program goes on quietly.
    QCOMPARE(s.frm->agenda().maxJour(), (MaxJourTable{3, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(cell(*s.frm, 4, 0)->text(), u"  Abs - mercredi"_s);
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

        s.frm->state().CheminBase = s.env->dataFolder() + u"/absent"_s;
        auto *mv = child<QCalendarWidget>(d, "MV");
        emit mv->clicked(QDate(2025, 3, 10));
        emit mv->clicked(QDate(2025, 3, 11));
        QTest::mouseClick(child<QPushButton>(d, "CmdOK"), Qt::LeftButton);
        boxAfterFailure = child<QLineEdit>(d, "MEB3")->text();
        QTest::mouseClick(child<QPushButton>(d, "CmdAnnule"), Qt::LeftButton);
    });
    QCOMPARE(listedBefore, 2);
    QCOMPARE(listedAfter, QStringList{u"05/03/2025"_s});
    QCOMPARE(tvtest::TestEnv::readFile(path), QByteArray("05/03/2025\r\n\r\n"));
    QVERIFY(script::texts().at(1).startsWith(u"Impossible d'écrire le fichier"_s));
    QCOMPARE(boxAfterFailure, u"10/03/2025"_s);
    QCOMPARE(script::texts().at(2), u"Enregistrer les absences ?"_s);

    // One of the two files unreadable: its message, and the other one read.
    s.frm->state().CheminBase = s.env->dataFolder();
    static bool absencesFail;
    for (const bool fail : {true, false}) {
        absencesFail = fail;
        textfile::setReadFault([](const QString &p) { return p.contains(u"/Absences"_s) == absencesFail; });
        script::reset();
        script::push(QMessageBox::Ok);
        s.frm->Remplir_Agenda();
        textfile::setReadFault(nullptr);
        QVERIFY(script::texts().value(0).startsWith(u"Impossible de lire le fichier"_s));
        const MaxJourTable expected = absencesFail ? MaxJourTable{3, 0, 0, 0, 0, 0, 0} : MaxJourTable{};
        QCOMPARE(s.frm->agenda().maxJour(), expected);
        QCOMPARE(cell(*s.frm, 4, 0)->text().contains(u"Abs"_s), !absencesFail);
    }
}

QTEST_MAIN(TstAgendaUi)
#include "tst_agendaui.moc"
