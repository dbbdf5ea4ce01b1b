// The record panel, the quota, the searches and the small commands of the
// laboratory list, on the real window.
#include "LabsFixture.h"

#include "labs/ui/FrmDM.h"
#include "labs/ui/LabsController.h"
#include "store/SettingsFiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

using namespace Qt::StringLiterals;

using namespace labstest;
using tvtest::TestEnv;

// Receives what the program asks the desktop to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestLabsPanel : public QObject {
    Q_OBJECT
private slots:
    void editsSurviveSwitchingAndClosing();
    void onlyChangedColumnsAreWritten();
    void fieldWrittenWhenItLosesFocus();
    void telephoneFields();
    void webAddressAndMail();
    void rightClickCopies();
    void delegateRenameFollowsInCombos();
    void quota();
    void quickSearch();
    void searchByDelegate();
    void historyFilterFollowsList();
    void selectionShowsDayAppointmentAndTooltip();
    void agendaButtons();
};

namespace {

void leave(tv::FrmLabo &w)
{
    w.view().LstLabo->setFocus(Qt::TabFocusReason);
}

void typeInto(QWidget *field, const QString &text)
{
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(field, text);
}

QString column(const TestEnv &env, const QString &col, const QString &labo)
{
    const QStringList found = rows(env, u"SELECT %1 FROM Labo WHERE Labo = '%2'"_s.arg(col, labo));
    return found.value(0);
}

} // namespace

void TestLabsPanel::editsSurviveSwitchingAndClosing()
{
    TestEnv env;
    {
        auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
        tv::MainView &v = w->view();

        clickRow(v.LstLabo, 0);
        QCOMPARE(v.labo.LBlLabo->text(), u"ALPHA"_s);
        // Changed without the field ever losing the focus, then another
        // laboratory chosen with the keyboard.
        v.labo.TextVM[4]->setText(u"a@b.fr"_s);
        v.labo.Text4->setText(u"12, rue de l'Église \"B\""_s);
        v.LstLabo->setFocus();
        QTest::keyClick(v.LstLabo, Qt::Key_Down);
        QCOMPARE(v.labo.LBlLabo->text(), u"BETA"_s);
        QCOMPARE(v.labo.TextVM[4]->text(), QString());

        v.labo.Text5->setPlainText(u"Ligne 1\nLigne 2"_s);
        w->close();
    }
    QCOMPARE(column(env, u"Email"_s, u"ALPHA"_s), u"a@b.fr"_s);
    QCOMPARE(column(env, u"Adresse"_s, u"ALPHA"_s), u"12, rue de l'Église \"B\""_s);
    QCOMPARE(column(env, u"Laboratoire"_s, u"BETA"_s), u"Ligne 1\nLigne 2"_s);

    // A second start shows them.
    auto w = showWindow(env);
    clickRow(w->view().LstLabo, 0);
    QCOMPARE(w->view().labo.TextVM[4]->text(), u"a@b.fr"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::onlyChangedColumnsAreWritten()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
    tv::MainView &v = w->view();
    exec(env, u"UPDATE Labo SET Laboratoire = 'a' || char(13) || char(10) || 'b' WHERE Labo = 'ALPHA'"_s);
    clickRow(v.LstLabo, 0);

    // Another workstation changes the row meanwhile.
    exec(env, u"UPDATE Labo SET Tel = '99', Nom = 'Autre' WHERE Labo = 'ALPHA'"_s);
    v.labo.TxtCommune->setText(u"Lyon"_s);
    clickRow(v.LstLabo, 1);
    QCOMPARE(rows(env, u"SELECT Tel, Nom, CommuneVM, Laboratoire FROM Labo WHERE Labo = 'ALPHA'"_s),
             QStringList(u"99|Autre|Lyon|a\r\nb"_s));

    // Nothing typed: nothing written.
    exec(env, u"UPDATE Labo SET Nom = 'Encore' WHERE Labo = 'BETA'"_s);
    clickRow(v.LstLabo, 0);
    QCOMPARE(column(env, u"Nom"_s, u"BETA"_s), u"Encore"_s);

    // Notes written on the old platform keep their CR LF when edited.
    v.labo.Text5->setPlainText(u"a\nb\nc"_s);
    clickRow(v.LstLabo, 1);
    QCOMPARE(column(env, u"Laboratoire"_s, u"ALPHA"_s), u"a\r\nb\r\nc"_s);

    // The row deleted elsewhere: the user is told, the panel takes no more typing.
    exec(env, u"DELETE FROM Labo WHERE Labo = 'BETA'"_s);
    v.labo.Text4->setText(u"perdu"_s);
    script::push(QMessageBox::Ok);
    clickRow(v.LstLabo, 0);
    QVERIFY(script::texts().last().startsWith(u"Le laboratoire BETA n'existe plus"_s));
    QCOMPARE(v.labo.LBlLabo->text(), u"ALPHA"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::fieldWrittenWhenItLosesFocus()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s});
    QVERIFY(w->isActiveWindow());
    tv::MainView &v = w->view();

    typeInto(v.labo.TxtCommune, u"Lyon"_s);
    QCOMPARE(column(env, u"CommuneVM"_s, u"ALPHA"_s), QString());
    leave(*w);
    QCOMPARE(column(env, u"CommuneVM"_s, u"ALPHA"_s), u"Lyon"_s);

    // The focus moving to a message box is not leaving the field.
    typeInto(v.labo.Text4, u"rue"_s);
    QFocusEvent toBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(v.labo.Text4, &toBox);
    QCOMPARE(column(env, u"Adresse"_s, u"ALPHA"_s), u"rue"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::telephoneFields()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s});
    tv::MainView &v = w->view();

    typeInto(v.labo.TxtTel_1, u"01-23-45-67-89"_s);
    typeInto(v.labo.TxtTel_2, u"33123456789"_s);
    QCOMPARE(v.labo.TxtTel_1->text(), u"01 23 45 67 89"_s);
    leave(*w);
    QCOMPARE(v.labo.TxtTel_2->text(), u"3 31 23 45 67 89"_s);
    QCOMPARE(rows(env, u"SELECT Tel, TelP FROM Labo"_s), QStringList(u"01 23 45 67 89|3 31 23 45 67 89"_s));

    // Emptied: stays empty.
    v.labo.TxtTel_2->setFocus();
    v.labo.TxtTel_2->clear();
    leave(*w);
    QCOMPARE(v.labo.TxtTel_2->text(), QString());
    QCOMPARE(column(env, u"TelP"_s, u"ALPHA"_s), QString());

    // Letters: kept as typed, and said once.
    script::push(QMessageBox::Ok);
    typeInto(v.labo.TxtTel_2, u"abcdef"_s);
    leave(*w);
    QCOMPARE(script::texts().last(),
             u"Le numéro de téléphone contient des lettres : il est enregistré tel qu'il a été tapé."_s);
    QCOMPARE(v.labo.TxtTel_2->text(), u"abcdef"_s);
    QCOMPARE(column(env, u"TelP"_s, u"ALPHA"_s), u"abcdef"_s);
    v.labo.TxtTel_2->setFocus();
    leave(*w);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::webAddressAndMail()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s});
    tv::MainView &v = w->view();
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(u"http"_s, &recorder, "open");
    QDesktopServices::setUrlHandler(u"mailto"_s, &recorder, "open");

    QLineEdit *url = v.labo.TextVM[1];
    QTest::mouseClick(url, Qt::LeftButton);
    QCOMPARE(url->text(), u"http://www."_s);
    QCOMPARE(url->cursorPosition(), 11);
    leave(*w);
    QCOMPARE(url->text(), QString());

    QTest::mouseClick(url, Qt::LeftButton);
    QTest::keyClicks(url, u"labo.fr"_s);
    leave(*w);
    QCOMPARE(column(env, u"Url"_s, u"ALPHA"_s), u"http://www.labo.fr"_s);

    url->setText(u"www.labo.fr"_s);
    script::push(QMessageBox::Ok);
    v.menu[6]->click();
    QCOMPARE(script::log().back().text, u"L'adresse indiquée n'est pas une URL !"_s);
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);

    url->setText(u"HTTP://www.labo.fr "_s);
    script::push(QMessageBox::No);
    v.menu[6]->click();
    QCOMPARE(script::log().back().text, u"Etes vous prêt à vous connecter à HTTP://www.labo.fr  ?"_s);
    QVERIFY(recorder.opened.isEmpty());
    script::push(QMessageBox::Yes);
    v.menu[6]->click();
    QCOMPARE(recorder.opened, QList<QUrl>({QUrl(u"http://www.labo.fr"_s)}));

    v.labo.TextVM[4]->setText(u"delegue.labo.fr"_s);
    script::push(QMessageBox::Ok);
    v.menu[7]->click();
    QCOMPARE(script::log().back().text, u"Aucune adresse valide n'est inscrite !"_s);
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);
    v.labo.TextVM[4]->setText(u" delegue@labo.fr "_s);
    script::push(QMessageBox::Yes);
    v.menu[7]->click();
    QCOMPARE(script::log().back().text, u"Etes vous prêt à adresser un courrier à ALPHA ?"_s);
    QCOMPARE(recorder.opened.last(), QUrl(u"mailto:delegue@labo.fr"_s));

    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"mailto"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::rightClickCopies()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s});
    tv::MainView &v = w->view();
    QApplication::clipboard()->setText(u"avant"_s);

    v.labo.TextVM[2]->setText(u" id42 "_s);
    script::push(QMessageBox::Ok);
    QTest::mouseClick(v.labo.TextVM[2], Qt::RightButton);
    QCOMPARE(QApplication::clipboard()->text(), u"id42"_s);
    QCOMPARE(script::log().back().text, u"\"id42\" copié dans le presse papiers !"_s);
    QCOMPARE(script::log().back().icon, QMessageBox::Information);

    const auto shown = script::log().size();
    QTest::mouseClick(v.labo.TextVM[3], Qt::RightButton); // empty password
    QTest::mouseClick(v.labo.TextVM[2], Qt::LeftButton);
    QCOMPARE(script::log().size(), shown);
    QCOMPARE(QApplication::clipboard()->text(), u"id42"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::delegateRenameFollowsInCombos()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
    tv::MainView &v = w->view();
    clickRow(v.LstLabo, 0);
    v.products.CboDh->setCurrentIndex(1);

    QLineEdit *name = v.labo.TextVM[0];
    name->setFocus(Qt::TabFocusReason);
    name->setText(u"Hélène d'Arc"_s);
    leave(*w);

    const QStringList expected = {u"  Hélène d'Arc"_s, u"  Nom_Labo_2"_s};
    QCOMPARE(items(v.products.CboDs), expected);
    QCOMPARE(items(v.products.CboDh), expected);
    QCOMPARE(v.products.CboDh->currentIndex(), -1);
    QCOMPARE(v.products.CboDs->currentIndex(), 0);
    QCOMPARE(column(env, u"Nom"_s, u"ALPHA"_s), u"Hélène d'Arc"_s);

    // Entered and left unchanged: nothing moves.
    v.products.CboDs->setCurrentIndex(1);
    name->setFocus(Qt::TabFocusReason);
    leave(*w);
    QCOMPARE(items(v.products.CboDs), expected);
    QCOMPARE(v.products.CboDs->currentIndex(), 1);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::quota()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s}, {u"Dr A"_s, u"Dr B"_s}, u"100,0,0,0"_s);
    tv::MainView &v = w->view();
    QCOMPARE(v.labo.LblPassTitre->text(), u"Nombre de visites annuelles autorisées"_s);

    QVERIFY(v.labo.LblPass->isHidden());
    script::push(QMessageBox::Ok);
    v.labo.CmdPassage->click();
    QCOMPARE(script::log().back().text, u"Un médecin et un laboratoire doivent être renseignés !"_s);

    v.LstMed->setCurrentRow(0);
    QCOMPARE(v.labo.LblPass->text(), u"0"_s);
    QVERIFY(!v.labo.LblPass->isHidden());

    script::reset();
    script::pushInput(u"abc"_s);
    script::push(QMessageBox::Ok);
    script::pushInput(u"-3"_s);
    script::push(QMessageBox::Ok);
    script::pushInput(u" 12 "_s);
    v.labo.CmdPassage->click();
    const auto &log = script::log();
    QCOMPARE(log.size(), size_t(5));
    QCOMPARE(log[0].title, u"  ALPHA"_s);
    QCOMPARE(log[0].text, u"Nombre de passages annuels autorisés ?"_s);
    QCOMPARE(log[0].defaultText, u"0"_s);
    QCOMPARE(log[1].icon, QMessageBox::Critical);
    QCOMPARE(log[2].defaultText, u"abc"_s);
    QCOMPARE(v.labo.LblPass->text(), u"12"_s);
    QCOMPARE(rows(env, u"SELECT Medecin, Passage FROM Passage ORDER BY Medecin"_s),
             QStringList({u"DR A|12"_s, u"DR B|"_s}));

    // The other doctor's quota is his own; back to the first one.
    v.LstMed->setCurrentRow(1);
    QCOMPARE(v.labo.LblPass->text(), u"0"_s);
    v.LstMed->setCurrentRow(0);
    QCOMPARE(v.labo.LblPass->text(), u"12"_s);

    // Cancel stores 0: the laboratory is then refused for the doctor.
    script::pushInput(std::nullopt);
    v.labo.CmdPassage->click();
    QCOMPARE(script::log().back().defaultText, u"12"_s);
    QCOMPARE(v.labo.LblPass->text(), u"0"_s);
    QCOMPARE(rows(env, u"SELECT Passage FROM Passage WHERE Medecin = 'DR A'"_s), QStringList(u"0"_s));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::quickSearch()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"roche"_s, u"roussel"_s, u"beta"_s}, {u"Dr A"_s}, u"100,0,0,0"_s);
    tv::MainView &v = w->view();
    v.LstLabo->setCurrentRow(0);
    script::reset();

    script::pushInput(u"ro"_s);
    v.CmdRR->click();
    QCOMPARE(script::log().back().title, u"Recherche rapide"_s);
    QCOMPARE(script::log().back().text, u"Inscrire les premières lettres \ndu nom du laboratoire"_s);
    QCOMPARE(v.LstLabo->currentRow(), 2); // ALPHA, BETA, ROCHE, ROUSSEL
    QCOMPARE(v.labo.LBlLabo->text(), u"ROCHE"_s);
    QCOMPARE(v.products.CboLs->currentIndex(), 2);

    script::pushInput(u"zz"_s);
    script::push(QMessageBox::Ok);
    v.CmdRR->click();
    QCOMPARE(script::log().back().text, u"Pas de nom de laboratoire commençant par ZZ"_s);
    QCOMPARE(v.LstLabo->currentRow(), 2);

    script::pushInput(QString());
    v.CmdRR->click();
    QCOMPARE(v.LstLabo->currentRow(), 2);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::searchByDelegate()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s, u"gamma"_s});
    tv::MainView &v = w->view();
    exec(env, u"UPDATE Labo SET Nom = 'Durand' WHERE Labo IN ('ALPHA', 'GAMMA')"_s);
    v.LstLabo->setCurrentRow(-1);
    w->showTab(1);

    // Drives the modal window once it is up; `act` runs inside it.
    QStringList listed;
    QString label1;
    auto whileOpen = [&](std::function<void(tv::FrmDM *)> act) {
        QTimer::singleShot(0, this, [&, act] {
            auto *dialog = qobject_cast<tv::FrmDM *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            listed = items(dialog->LstDM);
            label1 = dialog->Label1->text();
            act(dialog);
        });
        v.CmdRL_VM->click();
    };

    QString found;
    whileOpen([&](tv::FrmDM *d) {
        d->LstDM->setCurrentRow(1);
        found = d->LblLabo->text();
        d->CmdQuit->click();
    });
    QCOMPARE(listed, QStringList({u"  Durand"_s, u"  Nom_Labo_2"_s, u"  Durand"_s}));
    listed.clear();
    QCOMPARE(label1, u"Retrouvez le Laboratoire à partir du Délégué Médical"_s);
    QCOMPARE(found, u"BETA"_s);
    QCOMPARE(v.LstLabo->currentRow(), 1);
    QCOMPARE(v.TS->currentIndex(), 1);
    QCOMPARE(v.labo.LBlLabo->text(), u"BETA"_s);
    // Found this way, it is the one deleted, in the three lists alike.
    script::push(QMessageBox::Yes);
    w->labs().LstLabo_DblClick();
    checkListsInStep(*w, {u"  ALPHA"_s, u"  GAMMA"_s});
    QCOMPARE(rows(env, u"SELECT Labo FROM Labo ORDER BY NumLabo"_s), QStringList({u"ALPHA"_s, u"GAMMA"_s}));

    // Two delegates of one name: the first laboratory; a double click selects.
    whileOpen([&](tv::FrmDM *d) {
        d->LstDM->setCurrentRow(1);
        found = d->LblLabo->text();
        const QRect rect = d->LstDM->visualItemRect(d->LstDM->item(1));
        QTest::mouseDClick(d->LstDM->viewport(), Qt::LeftButton, {}, rect.center());
    });
    QCOMPARE(listed, QStringList({u"  Durand"_s, u"  Durand"_s}));
    QCOMPARE(found, u"ALPHA"_s);
    QCOMPARE(v.LstLabo->currentRow(), 0);

    // Quitter before any name: the selection stays, the record shows.
    w->showTab(1);
    whileOpen([&](tv::FrmDM *d) { d->CmdQuit->click(); });
    QCOMPARE(v.LstLabo->currentRow(), 0);
    QCOMPARE(v.TS->currentIndex(), 1);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::historyFilterFollowsList()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
    tv::MainView &v = w->view();

    v.products.ChkL->click();
    QVERIFY(!v.products.CboLh->isEnabled());
    QCOMPARE(env.readFile(env.programFile(tv::files::VsIni)).trimmed(), QByteArray("0,0,0,1"));
    clickRow(v.LstLabo, 1);
    QCOMPARE(v.products.CboLh->currentText(), u"  BETA"_s);

    v.products.ChkL->click();
    QVERIFY(v.products.CboLh->isEnabled());
    QCOMPARE(env.readFile(env.programFile(tv::files::VsIni)).trimmed(), QByteArray("0,0,0,0"));
    clickRow(v.LstLabo, 0);
    QCOMPARE(v.products.CboLh->currentText(), u"  BETA"_s);

    // Ticked at the last run: the filter starts disabled.
    env.writeFile(env.programFile(tv::files::VsIni), "0,0,0,1\r\n");
    auto again = showWindow(env);
    QVERIFY(again->view().products.ChkL->isChecked());
    QVERIFY(!again->view().products.CboLh->isEnabled());
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::selectionShowsDayAppointmentAndTooltip()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s, u"gamma"_s});
    tv::MainView &v = w->view();
    v.agenda.LstRVJour->clear();
    v.agenda.LstRVJour->addItems({u" ALPHA"_s, u" BETA  [_ 10H30 _]"_s});
    v.agenda.LblDateRV->setText(u"05/03/2025"_s);

    clickRow(v.LstLabo, 1);
    QCOMPARE(v.agenda.LstRVJour->currentRow(), 1);
    QCOMPARE(v.agenda.LblDateRV->text(), QString());
    QCOMPARE(v.labo.LblLaboratoire->text(), u"Notes pour le laboratoire\nBETA"_s);
    clickRow(v.LstLabo, 2);
    QCOMPARE(v.agenda.LstRVJour->currentRow(), -1);

    auto moveTo = [&](const QPoint &at) {
        QMouseEvent move(QEvent::MouseMove, at, v.LstLabo->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(v.LstLabo->viewport(), &move);
    };
    moveTo(v.LstLabo->visualItemRect(v.LstLabo->item(1)).center());
    QCOMPARE(v.LstLabo->toolTip(), u"  BETA  "_s);
    moveTo(QPoint(5, v.LstLabo->viewport()->height() - 2));
    QCOMPARE(v.LstLabo->toolTip(), QString());
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::agendaButtons()
{
    TestEnv env;
    auto w = windowWithLabs(env, {}, {u"Dr A"_s}, u"100,0,0,0"_s);
    tv::MainView &v = w->view();

    script::push(QMessageBox::Ok);
    v.agenda.CmdConnaitre->click();
    QCOMPARE(script::log().back().text, u"Clickez sur la date choisie, dans le calendrier."_s);

    // The month list as its command leaves it.
    w->state().ModeListeRV = 1;
    v.agenda.PctListe->show();
    v.agenda.LstListe->addItems({u"  "_s, u"  03    ALPHA"_s});
    v.agenda.LblListe->setText(u"mars 2025 :  1  Laboratoire(s)"_s);
    v.agenda.CmdRV->hide();
    v.agenda.CmdConnaitre->hide();
    v.menus.mnuVoirRV->setText(u"Revenir à l'agenda"_s);

    v.agenda.CmdListeQuitte->click();
    QCOMPARE(w->state().ModeListeRV, 0);
    QCOMPARE(v.agenda.LstListe->count(), 0);
    QCOMPARE(v.agenda.LblListe->text(), QString());
    QVERIFY(v.agenda.PctListe->isHidden());
    QVERIFY(!v.agenda.CmdRV->isHidden());
    QVERIFY(!v.agenda.CmdConnaitre->isHidden());
    QCOMPARE(v.agenda.CmdRV->text(), u"Fixer Rendez-vous"_s);
    QCOMPARE(v.menus.mnuVoirRV->text(), u"Voir les RV d'un mois pour un médecin"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

QTEST_MAIN(TestLabsPanel)
#include "tst_labspanel.moc"
