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
    const QStringList found =
        rows(env, QStringLiteral("SELECT %1 FROM Labo WHERE Labo = '%2'").arg(col, labo));
    return found.value(0);
}

} // namespace

void TestLabsPanel::editsSurviveSwitchingAndClosing()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    {
        auto w = showWindow(env);
        tv::MainView &v = w->view();
        addLab(*w, QStringLiteral("alpha"));
        addLab(*w, QStringLiteral("beta"));

        clickRow(v.LstLabo, 0);
        QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("ALPHA"));
        // Changed without the field ever losing the focus, then another
        // laboratory chosen with the keyboard.
        v.labo.TextVM[4]->setText(QStringLiteral("a@b.fr"));
        v.labo.Text4->setText(QStringLiteral("12, rue de l'Église \"B\""));
        v.LstLabo->setFocus();
        QTest::keyClick(v.LstLabo, Qt::Key_Down);
        QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("BETA"));
        QCOMPARE(v.labo.TextVM[4]->text(), QString());

        v.labo.Text5->setPlainText(QStringLiteral("Ligne 1\nLigne 2"));
        w->close();
    }
    QCOMPARE(column(env, QStringLiteral("Email"), QStringLiteral("ALPHA")), QStringLiteral("a@b.fr"));
    QCOMPARE(column(env, QStringLiteral("Adresse"), QStringLiteral("ALPHA")), QStringLiteral("12, rue de l'Église \"B\""));
    QCOMPARE(column(env, QStringLiteral("Laboratoire"), QStringLiteral("BETA")), QStringLiteral("Ligne 1\nLigne 2"));

    // A second start shows them.
    auto w = showWindow(env);
    clickRow(w->view().LstLabo, 0);
    QCOMPARE(w->view().labo.TextVM[4]->text(), QStringLiteral("a@b.fr"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::onlyChangedColumnsAreWritten()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    addLab(*w, QStringLiteral("beta"));
    exec(env, QStringLiteral("UPDATE Labo SET Laboratoire = 'a' || char(13) || char(10) || 'b' WHERE Labo = 'ALPHA'"));
    clickRow(v.LstLabo, 0);

    // Another workstation changes the row meanwhile.
    exec(env, QStringLiteral("UPDATE Labo SET Tel = '99', Nom = 'Autre' WHERE Labo = 'ALPHA'"));
    v.labo.TxtCommune->setText(QStringLiteral("Lyon"));
    clickRow(v.LstLabo, 1);
    QCOMPARE(rows(env, QStringLiteral("SELECT Tel, Nom, CommuneVM, Laboratoire FROM Labo WHERE Labo = 'ALPHA'")),
             QStringList(QStringLiteral("99|Autre|Lyon|a\r\nb")));

    // Nothing typed: nothing written.
    exec(env, QStringLiteral("UPDATE Labo SET Nom = 'Encore' WHERE Labo = 'BETA'"));
    clickRow(v.LstLabo, 0);
    QCOMPARE(column(env, QStringLiteral("Nom"), QStringLiteral("BETA")), QStringLiteral("Encore"));

    // Notes written on the old platform keep their CR LF when edited.
    v.labo.Text5->setPlainText(QStringLiteral("a\nb\nc"));
    clickRow(v.LstLabo, 1);
    QCOMPARE(column(env, QStringLiteral("Laboratoire"), QStringLiteral("ALPHA")), QStringLiteral("a\r\nb\r\nc"));

    // The row deleted elsewhere: the user is told, the panel takes no more typing.
    exec(env, QStringLiteral("DELETE FROM Labo WHERE Labo = 'BETA'"));
    v.labo.Text4->setText(QStringLiteral("perdu"));
    script::push(QMessageBox::Ok);
    clickRow(v.LstLabo, 0);
    QVERIFY(script::texts().last().startsWith(QStringLiteral("Le laboratoire BETA n'existe plus")));
    QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("ALPHA"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::fieldWrittenWhenItLosesFocus()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    QVERIFY(w->isActiveWindow());
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));

    typeInto(v.labo.TxtCommune, QStringLiteral("Lyon"));
    QCOMPARE(column(env, QStringLiteral("CommuneVM"), QStringLiteral("ALPHA")), QString());
    leave(*w);
    QCOMPARE(column(env, QStringLiteral("CommuneVM"), QStringLiteral("ALPHA")), QStringLiteral("Lyon"));

    // The focus moving to a message box is not leaving the field.
    typeInto(v.labo.Text4, QStringLiteral("rue"));
    QFocusEvent toBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(v.labo.Text4, &toBox);
    QCOMPARE(column(env, QStringLiteral("Adresse"), QStringLiteral("ALPHA")), QStringLiteral("rue"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::telephoneFields()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));

    typeInto(v.labo.TxtTel_1, QStringLiteral("01-23-45-67-89"));
    typeInto(v.labo.TxtTel_2, QStringLiteral("33123456789"));
    QCOMPARE(v.labo.TxtTel_1->text(), QStringLiteral("01 23 45 67 89"));
    leave(*w);
    QCOMPARE(v.labo.TxtTel_2->text(), QStringLiteral("3 31 23 45 67 89"));
    QCOMPARE(rows(env, QStringLiteral("SELECT Tel, TelP FROM Labo")),
             QStringList(QStringLiteral("01 23 45 67 89|3 31 23 45 67 89")));

    // Emptied: stays empty.
    v.labo.TxtTel_2->setFocus();
    v.labo.TxtTel_2->clear();
    leave(*w);
    QCOMPARE(v.labo.TxtTel_2->text(), QString());
    QCOMPARE(column(env, QStringLiteral("TelP"), QStringLiteral("ALPHA")), QString());

    // Letters: kept as typed, and said once.
    script::push(QMessageBox::Ok);
    typeInto(v.labo.TxtTel_2, QStringLiteral("abcdef"));
    leave(*w);
    QCOMPARE(script::texts().last(),
             QStringLiteral("Le numéro de téléphone contient des lettres : il est enregistré tel qu'il a été tapé."));
    QCOMPARE(v.labo.TxtTel_2->text(), QStringLiteral("abcdef"));
    QCOMPARE(column(env, QStringLiteral("TelP"), QStringLiteral("ALPHA")), QStringLiteral("abcdef"));
    v.labo.TxtTel_2->setFocus();
    leave(*w);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::webAddressAndMail()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "open");

    QLineEdit *url = v.labo.TextVM[1];
    QTest::mouseClick(url, Qt::LeftButton);
    QCOMPARE(url->text(), QStringLiteral("http://www."));
    QCOMPARE(url->cursorPosition(), 11);
    leave(*w);
    QCOMPARE(url->text(), QString());

    QTest::mouseClick(url, Qt::LeftButton);
    QTest::keyClicks(url, QStringLiteral("labo.fr"));
    leave(*w);
    QCOMPARE(column(env, QStringLiteral("Url"), QStringLiteral("ALPHA")), QStringLiteral("http://www.labo.fr"));

    url->setText(QStringLiteral("www.labo.fr"));
    script::push(QMessageBox::Ok);
    v.menu[6]->click();
    QCOMPARE(script::log().back().text, QStringLiteral("L'adresse indiquée n'est pas une URL !"));
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);

    url->setText(QStringLiteral("HTTP://www.labo.fr "));
    script::push(QMessageBox::No);
    v.menu[6]->click();
    QCOMPARE(script::log().back().text, QStringLiteral("Etes vous prêt à vous connecter à HTTP://www.labo.fr  ?"));
    QVERIFY(recorder.opened.isEmpty());
    script::push(QMessageBox::Yes);
    v.menu[6]->click();
    QCOMPARE(recorder.opened, QList<QUrl>({QUrl(QStringLiteral("http://www.labo.fr"))}));

    v.labo.TextVM[4]->setText(QStringLiteral("delegue.labo.fr"));
    script::push(QMessageBox::Ok);
    v.menu[7]->click();
    QCOMPARE(script::log().back().text, QStringLiteral("Aucune adresse valide n'est inscrite !"));
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);
    v.labo.TextVM[4]->setText(QStringLiteral(" delegue@labo.fr "));
    script::push(QMessageBox::Yes);
    v.menu[7]->click();
    QCOMPARE(script::log().back().text, QStringLiteral("Etes vous prêt à adresser un courrier à ALPHA ?"));
    QCOMPARE(recorder.opened.last(), QUrl(QStringLiteral("mailto:delegue@labo.fr")));

    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::rightClickCopies()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    QApplication::clipboard()->setText(QStringLiteral("avant"));

    v.labo.TextVM[2]->setText(QStringLiteral(" id42 "));
    script::push(QMessageBox::Ok);
    QTest::mouseClick(v.labo.TextVM[2], Qt::RightButton);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("id42"));
    QCOMPARE(script::log().back().text, QStringLiteral("\"id42\" copié dans le presse papiers !"));
    QCOMPARE(script::log().back().icon, QMessageBox::Information);

    const auto shown = script::log().size();
    QTest::mouseClick(v.labo.TextVM[3], Qt::RightButton); // empty password
    QTest::mouseClick(v.labo.TextVM[2], Qt::LeftButton);
    QCOMPARE(script::log().size(), shown);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("id42"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::delegateRenameFollowsInCombos()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    addLab(*w, QStringLiteral("beta"));
    clickRow(v.LstLabo, 0);
    v.products.CboDh->setCurrentIndex(1);

    QLineEdit *name = v.labo.TextVM[0];
    name->setFocus(Qt::TabFocusReason);
    name->setText(QStringLiteral("Hélène d'Arc"));
    leave(*w);

    const QStringList expected = {QStringLiteral("  Hélène d'Arc"), QStringLiteral("  Nom_Labo_2")};
    QCOMPARE(items(v.products.CboDs), expected);
    QCOMPARE(items(v.products.CboDh), expected);
    QCOMPARE(v.products.CboDh->currentIndex(), -1);
    QCOMPARE(v.products.CboDs->currentIndex(), 0);
    QCOMPARE(column(env, QStringLiteral("Nom"), QStringLiteral("ALPHA")), QStringLiteral("Hélène d'Arc"));

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
    env.prepareData({QStringLiteral("Dr A"), QStringLiteral("Dr B")});
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    QCOMPARE(v.labo.LblPassTitre->text(), QStringLiteral("Nombre de visites annuelles autorisées"));

    QVERIFY(v.labo.LblPass->isHidden());
    script::push(QMessageBox::Ok);
    v.labo.CmdPassage->click();
    QCOMPARE(script::log().back().text, QStringLiteral("Un médecin et un laboratoire doivent être renseignés !"));

    v.LstMed->setCurrentRow(0);
    QCOMPARE(v.labo.LblPass->text(), QStringLiteral("0"));
    QVERIFY(!v.labo.LblPass->isHidden());

    script::reset();
    script::pushInput(QStringLiteral("abc"));
    script::push(QMessageBox::Ok);
    script::pushInput(QStringLiteral("-3"));
    script::push(QMessageBox::Ok);
    script::pushInput(QStringLiteral(" 12 "));
    v.labo.CmdPassage->click();
    const auto &log = script::log();
    QCOMPARE(log.size(), size_t(5));
    QCOMPARE(log[0].title, QStringLiteral("  ALPHA"));
    QCOMPARE(log[0].text, QStringLiteral("Nombre de passages annuels autorisés ?"));
    QCOMPARE(log[0].defaultText, QStringLiteral("0"));
    QCOMPARE(log[1].icon, QMessageBox::Critical);
    QCOMPARE(log[2].defaultText, QStringLiteral("abc"));
    QCOMPARE(v.labo.LblPass->text(), QStringLiteral("12"));
    QCOMPARE(rows(env, QStringLiteral("SELECT Medecin, Passage FROM Passage ORDER BY Medecin")),
             QStringList({QStringLiteral("DR A|12"), QStringLiteral("DR B|")}));

    // The other doctor's quota is his own; back to the first one.
    v.LstMed->setCurrentRow(1);
    QCOMPARE(v.labo.LblPass->text(), QStringLiteral("0"));
    v.LstMed->setCurrentRow(0);
    QCOMPARE(v.labo.LblPass->text(), QStringLiteral("12"));

    // Cancel stores 0: the laboratory is then refused for the doctor.
    script::pushInput(std::nullopt);
    v.labo.CmdPassage->click();
    QCOMPARE(script::log().back().defaultText, QStringLiteral("12"));
    QCOMPARE(v.labo.LblPass->text(), QStringLiteral("0"));
    QCOMPARE(rows(env, QStringLiteral("SELECT Passage FROM Passage WHERE Medecin = 'DR A'")),
             QStringList(QStringLiteral("0")));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::quickSearch()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")});
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    for (const char *name : {"alpha", "roche", "roussel", "beta"})
        addLab(*w, QString::fromLatin1(name));
    v.LstLabo->setCurrentRow(0);
    script::reset();

    script::pushInput(QStringLiteral("ro"));
    v.CmdRR->click();
    QCOMPARE(script::log().back().title, QStringLiteral("Recherche rapide"));
    QCOMPARE(script::log().back().text, QStringLiteral("Inscrire les premières lettres \ndu nom du laboratoire"));
    QCOMPARE(v.LstLabo->currentRow(), 2); // ALPHA, BETA, ROCHE, ROUSSEL
    QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("ROCHE"));
    QCOMPARE(v.products.CboLs->currentIndex(), 2);

    script::pushInput(QStringLiteral("zz"));
    script::push(QMessageBox::Ok);
    v.CmdRR->click();
    QCOMPARE(script::log().back().text, QStringLiteral("Pas de nom de laboratoire commençant par ZZ"));
    QCOMPARE(v.LstLabo->currentRow(), 2);

    script::pushInput(QString());
    v.CmdRR->click();
    QCOMPARE(v.LstLabo->currentRow(), 2);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::searchByDelegate()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    for (const char *name : {"alpha", "beta", "gamma"})
        addLab(*w, QString::fromLatin1(name));
    exec(env, QStringLiteral("UPDATE Labo SET Nom = 'Durand' WHERE Labo IN ('ALPHA', 'GAMMA')"));
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
    QCOMPARE(listed, QStringList({QStringLiteral("  Durand"), QStringLiteral("  Nom_Labo_2"), QStringLiteral("  Durand")}));
    listed.clear();
    QCOMPARE(label1, QStringLiteral("Retrouvez le Laboratoire à partir du Délégué Médical"));
    QCOMPARE(found, QStringLiteral("BETA"));
    QCOMPARE(v.LstLabo->currentRow(), 1);
    QCOMPARE(v.TS->currentIndex(), 1);
    QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("BETA"));
    // Found this way, it is the one deleted, in the three lists alike.
    script::push(QMessageBox::Yes);
    w->labs().LstLabo_DblClick();
    checkListsInStep(*w, {QStringLiteral("  ALPHA"), QStringLiteral("  GAMMA")});
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Labo ORDER BY NumLabo")),
             QStringList({QStringLiteral("ALPHA"), QStringLiteral("GAMMA")}));

    // Two delegates of one name: the first laboratory; a double click selects.
    whileOpen([&](tv::FrmDM *d) {
        d->LstDM->setCurrentRow(1);
        found = d->LblLabo->text();
        const QRect rect = d->LstDM->visualItemRect(d->LstDM->item(1));
        QTest::mouseDClick(d->LstDM->viewport(), Qt::LeftButton, {}, rect.center());
    });
    QCOMPARE(listed, QStringList({QStringLiteral("  Durand"), QStringLiteral("  Durand")}));
    QCOMPARE(found, QStringLiteral("ALPHA"));
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
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    addLab(*w, QStringLiteral("beta"));

    v.products.ChkL->click();
    QVERIFY(!v.products.CboLh->isEnabled());
    QCOMPARE(env.readFile(env.programFile(tv::files::VsIni)).trimmed(), QByteArray("0,0,0,1"));
    clickRow(v.LstLabo, 1);
    QCOMPARE(v.products.CboLh->currentText(), QStringLiteral("  BETA"));

    v.products.ChkL->click();
    QVERIFY(v.products.CboLh->isEnabled());
    QCOMPARE(env.readFile(env.programFile(tv::files::VsIni)).trimmed(), QByteArray("0,0,0,0"));
    clickRow(v.LstLabo, 0);
    QCOMPARE(v.products.CboLh->currentText(), QStringLiteral("  BETA"));

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
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    for (const char *name : {"alpha", "beta", "gamma"})
        addLab(*w, QString::fromLatin1(name));
    v.agenda.LstRVJour->clear();
    v.agenda.LstRVJour->addItems({QStringLiteral(" ALPHA"), QStringLiteral(" BETA  [_ 10H30 _]")});
    v.agenda.LblDateRV->setText(QStringLiteral("05/03/2025"));

    clickRow(v.LstLabo, 1);
    QCOMPARE(v.agenda.LstRVJour->currentRow(), 1);
    QCOMPARE(v.agenda.LblDateRV->text(), QString());
    QCOMPARE(v.labo.LblLaboratoire->text(), QStringLiteral("Notes pour le laboratoire\nBETA"));
    clickRow(v.LstLabo, 2);
    QCOMPARE(v.agenda.LstRVJour->currentRow(), -1);

    auto moveTo = [&](const QPoint &at) {
        QMouseEvent move(QEvent::MouseMove, at, v.LstLabo->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(v.LstLabo->viewport(), &move);
    };
    moveTo(v.LstLabo->visualItemRect(v.LstLabo->item(1)).center());
    QCOMPARE(v.LstLabo->toolTip(), QStringLiteral("  BETA  "));
    moveTo(QPoint(5, v.LstLabo->viewport()->height() - 2));
    QCOMPARE(v.LstLabo->toolTip(), QString());
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsPanel::agendaButtons()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")});
    auto w = showWindow(env);
    tv::MainView &v = w->view();

    script::push(QMessageBox::Ok);
    v.agenda.CmdConnaitre->click();
    QCOMPARE(script::log().back().text, QStringLiteral("Clickez sur la date choisie, dans le calendrier."));

    // The month list as its command leaves it.
    w->state().ModeListeRV = 1;
    v.agenda.PctListe->show();
    v.agenda.LstListe->addItems({QStringLiteral("  "), QStringLiteral("  03    ALPHA")});
    v.agenda.LblListe->setText(QStringLiteral("mars 2025 :  1  Laboratoire(s)"));
    v.agenda.CmdRV->hide();
    v.agenda.CmdConnaitre->hide();
    v.menus.mnuVoirRV->setText(QStringLiteral("Revenir à l'agenda"));

    v.agenda.CmdListeQuitte->click();
    QCOMPARE(w->state().ModeListeRV, 0);
    QCOMPARE(v.agenda.LstListe->count(), 0);
    QCOMPARE(v.agenda.LblListe->text(), QString());
    QVERIFY(v.agenda.PctListe->isHidden());
    QVERIFY(!v.agenda.CmdRV->isHidden());
    QVERIFY(!v.agenda.CmdConnaitre->isHidden());
    QCOMPARE(v.agenda.CmdRV->text(), QStringLiteral("Fixer Rendez-vous"));
    QCOMPARE(v.menus.mnuVoirRV->text(), QStringLiteral("Voir les RV d'un mois pour un médecin"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

QTEST_MAIN(TestLabsPanel)
#include "tst_labspanel.moc"
