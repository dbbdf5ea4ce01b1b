// The record panel, the quota, the searches and the small commands of the
// laboratory list, on the real window.
#include "support/LabsFixture.h"

#include "labs/ui/FrmDM.h"
#include "labs/ui/LabsController.h"
#include "store/files/SettingsFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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

class TstLabsPanel : public QObject {
    Q_OBJECT
private slots:
    void editsSurviveSwitchingAndClosing();
    void onlyChangedColumnsAreWritten();
    void fieldsWrittenOnLeavingAndTelephones();
    void webAddressAndMail();
    void delegateRenameFollowsInCombos_data();
    void delegateRenameFollowsInCombos();
    void quota();
    void failureKeepsListAndPanelTogether_data();
    void failureKeepsListAndPanelTogether();
    void searchByDelegate();
    void historyFilterFollowsList();
};

namespace {

void leave(tv::FrmLabo &w)
{
    w.view().labo.LstLabo->setFocus(Qt::TabFocusReason);
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

void TstLabsPanel::editsSurviveSwitchingAndClosing()
{
    TestEnv env;
    {
        auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
        tv::MainView &v = w->view();

        clickRow(v.labo.LstLabo, 0);
        // Changed without the field ever losing the focus, then another
        // laboratory chosen with the keyboard.
        v.labo.TextVM[4]->setText(u"a@b.fr"_s);
        v.labo.Text4->setText(u"12, rue de l'Église \"B\""_s);
        v.labo.LstLabo->setFocus();
        QTest::keyClick(v.labo.LstLabo, Qt::Key_Down);
        QCOMPARE(v.labo.TextVM[4]->text(), QString());

        v.labo.Text5->setPlainText(u"Ligne 1\nLigne 2"_s);
        w->close();
    }
    QCOMPARE(column(env, u"Email"_s, u"ALPHA"_s), u"a@b.fr"_s);
    QCOMPARE(column(env, u"Adresse"_s, u"ALPHA"_s), u"12, rue de l'Église \"B\""_s);
    QCOMPARE(column(env, u"Laboratoire"_s, u"BETA"_s), u"Ligne 1\nLigne 2"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::onlyChangedColumnsAreWritten()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
    tv::MainView &v = w->view();
    exec(env, u"UPDATE Labo SET Laboratoire = 'a\r\nb' WHERE Labo = 'ALPHA'"_s);
    clickRow(v.labo.LstLabo, 0);

    // Another workstation changes the row meanwhile.
    exec(env, u"UPDATE Labo SET Tel = '99', Nom = 'Autre' WHERE Labo = 'ALPHA'"_s);
    v.labo.TxtCommune->setText(u"Lyon"_s);
    clickRow(v.labo.LstLabo, 1);
    QCOMPARE(rows(env, u"SELECT Tel, Nom, CommuneVM, Laboratoire FROM Labo WHERE Labo = 'ALPHA'"_s),
             QStringList(u"99|Autre|Lyon|a\r\nb"_s));

    // Nothing typed: nothing written.
    exec(env, u"UPDATE Labo SET Nom = 'Encore' WHERE Labo = 'BETA'"_s);
    clickRow(v.labo.LstLabo, 0);
    QCOMPARE(column(env, u"Nom"_s, u"BETA"_s), u"Encore"_s);

    // Notes written on the old platform keep their CR LF when edited.
    v.labo.Text5->setPlainText(u"a\nb\nc"_s);
    clickRow(v.labo.LstLabo, 1);
    QCOMPARE(column(env, u"Laboratoire"_s, u"ALPHA"_s), u"a\r\nb\r\nc"_s);

    // The row renamed (or deleted) elsewhere: nothing is written into it,
    // the user is told, the panel takes no more typing.
    exec(env, u"UPDATE Labo SET Labo = 'OMEGA' WHERE Labo = 'BETA'"_s);
    v.labo.Text4->setText(u"perdu"_s);
    script::push(QMessageBox::Ok);
    clickRow(v.labo.LstLabo, 0);
    QVERIFY(script::texts().last().startsWith(u"Le laboratoire BETA a été supprimé ou renommé sur un autre poste"_s));
    QCOMPARE(column(env, u"Adresse"_s, u"OMEGA"_s), QString());
    QCOMPARE(v.labo.LBlLabo->text(), u"ALPHA"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::fieldsWrittenOnLeavingAndTelephones()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s});
    tv::MainView &v = w->view();

    // The focus moving to a message box is not leaving the field.
    typeInto(v.labo.Text4, u"rue"_s);
    QFocusEvent toBox(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(v.labo.Text4, &toBox);
    QCOMPARE(column(env, u"Adresse"_s, u"ALPHA"_s), u"rue"_s);

    typeInto(v.labo.TxtTel_1, u"01-23-45-67-89"_s);
    typeInto(v.labo.TxtTel_2, u"33123456789"_s);
    leave(*w);
    QCOMPARE(v.labo.TxtTel_2->text(), u"3 31 23 45 67 89"_s);
    QCOMPARE(rows(env, u"SELECT Tel, TelP FROM Labo"_s), QStringList(u"01 23 45 67 89|3 31 23 45 67 89"_s));

    // Letters: kept as typed, and said once.
    script::push(QMessageBox::Ok);
    typeInto(v.labo.TxtTel_2, u"abcdef"_s);
    leave(*w);
    QCOMPARE(script::texts().last(),
             u"Le numéro de téléphone contient des lettres : il est enregistré tel qu'il a été tapé."_s);
    QCOMPARE(column(env, u"TelP"_s, u"ALPHA"_s), u"abcdef"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::webAddressAndMail()
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
    QTest::keyClicks(url, u"labo.fr"_s);
    leave(*w);
    QCOMPARE(column(env, u"Url"_s, u"ALPHA"_s), u"http://www.labo.fr"_s);

    url->setText(u"www.labo.fr"_s);
    script::push(QMessageBox::Ok);
    v.menu[6]->click();
    QCOMPARE(script::log().back().text, u"L'adresse indiquée n'est pas une URL !"_s);

    url->setText(u"HTTP://www.labo.fr "_s);
    script::push(QMessageBox::No);
    v.menu[6]->click();
    QCOMPARE(script::log().back().text, u"Etes vous prêt à vous connecter à HTTP://www.labo.fr  ?"_s);
    script::push(QMessageBox::Yes);
    v.menu[6]->click();
    QCOMPARE(recorder.opened, QList<QUrl>({QUrl(u"http://www.labo.fr"_s)}));

    v.labo.TextVM[4]->setText(u"delegue.labo.fr"_s);
    script::push(QMessageBox::Ok);
    v.menu[7]->click();
    QCOMPARE(script::log().back().text, u"Aucune adresse valide n'est inscrite !"_s);
    v.labo.TextVM[4]->setText(u" delegue@labo.fr "_s);
    script::push(QMessageBox::Yes);
    v.menu[7]->click();
    QCOMPARE(script::log().back().text, u"Etes vous prêt à adresser un courrier à ALPHA ?"_s);
    QCOMPARE(recorder.opened.last(), QUrl(u"mailto:delegue@labo.fr"_s));

    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"mailto"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::delegateRenameFollowsInCombos_data()
{
    QTest::addColumn<int>("end"); // what ends the edit
    int end = 0;
    for (const char *way : {"leaving the field", "quick search", "adding a laboratory", "search by delegate"})
        QTest::newRow(way) << end++;
}

void TstLabsPanel::delegateRenameFollowsInCombos()
{
    QFETCH(int, end);
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
    tv::MainView &v = w->view();
    clickRow(v.labo.LstLabo, 0);
    w->store().produits().insert({0, u"DR A"_s, u"ALPHA"_s, u"Nom_Labo_1"_s, u"2025-03-01"_s, u"ADVIL\n"_s});
    v.products.CboDh->setCurrentIndex(1);
    v.labo.TextVM[0]->setFocus(Qt::TabFocusReason);
    v.labo.TextVM[0]->setText(u"Hélène d'Arc"_s);
    if (end == 0)
        leave(*w);
    if (end == 1)
        script::pushInput(u"be"_s), v.labo.CmdRR->click();
    if (end == 2)
        addLab(*w, u"gamma"_s);
    if (end == 3) {
        QTimer::singleShot(0, this, [] {
            auto *dialog = qobject_cast<tv::FrmDM *>(QApplication::activeModalWidget());
            dialog->LstDM->setCurrentRow(1), dialog->CmdQuit->click();
        });
        v.labo.CmdRL_VM->click();
    }
    const QString renamed = u"  Hélène d'Arc"_s;
    QVERIFY(items(v.products.CboDh).contains(renamed) && !items(v.products.CboDh).contains(u"  Nom_Labo_1"_s));
    QCOMPARE(v.products.CboDh->currentIndex(), -1);
    // The old name ran the history's filter: the visits recorded under it.
    QCOMPARE(items(v.products.LstHistPr), QStringList{u"  01/03/2025  [ALPHA]   ADVIL "_s});
    QCOMPARE(v.products.CmdTH->text(), u"Montrer tout l'historique"_s);
    QCOMPARE(w->shownHistory().heading, u"délégué Nom_Labo_1"_s);
    v.products.CboLs->setCurrentIndex(1);
    v.products.CboLs->setCurrentIndex(0);
    QCOMPARE(v.products.CboDs->currentText(), renamed);
    // A delegate the combo does not know (renamed elsewhere) leaves it empty.
    exec(env, u"UPDATE Labo SET Nom = 'Inconnu' WHERE Labo = 'BETA'"_s);
    v.products.CboLs->setCurrentIndex(1);
    QCOMPARE(v.products.CboDs->currentIndex(), -1);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::quota()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s}, {u"Dr A"_s, u"Dr B"_s}, u"100,0,0,0"_s);
    tv::MainView &v = w->view();

    QVERIFY(v.labo.LblPass->isHidden());
    script::push(QMessageBox::Ok);
    v.labo.CmdPassage->click();
    QCOMPARE(script::log().back().text, u"Un médecin et un laboratoire doivent être renseignés !"_s);

    v.labo.LstMed->setCurrentRow(0);
    QCOMPARE(v.labo.LblPass->text(), u"0"_s);

    script::reset();
    script::pushInput(u"abc"_s);
    script::push(QMessageBox::Ok);
    script::pushInput(u"-3"_s);
    script::push(QMessageBox::Ok);
    script::pushInput(u" 12 "_s);
    v.labo.CmdPassage->click();
    const auto &log = script::log();
    QCOMPARE(log.size(), size_t(5));
    QCOMPARE(log[0].text, u"Nombre de passages annuels autorisés ?"_s);
    QCOMPARE(log[1].icon, QMessageBox::Critical);
    QCOMPARE(log[2].defaultText, u"abc"_s);
    QCOMPARE(v.labo.LblPass->text(), u"12"_s);
    QCOMPARE(rows(env, u"SELECT Medecin, Passage FROM Passage ORDER BY Medecin"_s),
             QStringList({u"DR A|12"_s, u"DR B|"_s}));

    // Cancel stores 0: the laboratory is then refused for the doctor.
    script::pushInput(std::nullopt);
    v.labo.CmdPassage->click();
    QCOMPARE(script::log().back().defaultText, u"12"_s);
    QCOMPARE(v.labo.LblPass->text(), u"0"_s);
    QCOMPARE(rows(env, u"SELECT Passage FROM Passage WHERE Medecin = 'DR A'"_s), QStringList(u"0"_s));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::failureKeepsListAndPanelTogether_data()
{
    QTest::addColumn<QString>("breaking");
    QTest::addColumn<bool>("writing");
    // Every later write of a Labo row refused, on either engine.
    const QString refuseWrites =
        TestEnv::onServer()
            ? u"ALTER TABLE Labo ADD CONSTRAINT no_write CHECK (false) NOT VALID"_s
            : u"CREATE TRIGGER no_write BEFORE UPDATE ON Labo BEGIN SELECT RAISE(ABORT, 'disque plein'); END"_s;
    QTest::newRow("writing the edits") << refuseWrites << true;
    QTest::newRow("reading the record") << u"ALTER TABLE Labo RENAME TO Labo_ailleurs"_s << false;
    QTest::newRow("reading the quota") << u"ALTER TABLE Passage RENAME TO Passage_ailleurs"_s << false;
}

// Whatever fails while another laboratory is selected, the list, the panel,
// the quota and the products' laboratory stay on the one shown before.
void TstLabsPanel::failureKeepsListAndPanelTogether()
{
    QFETCH(QString, breaking);
    QFETCH(bool, writing);
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
    tv::MainView &v = w->view();
    exec(env, u"UPDATE Passage SET Passage = '5' WHERE Labo = 'ALPHA'"_s);
    clickRow(v.labo.LstLabo, 0);
    v.labo.TextVM[2]->setText(u"pending"_s);
    if (!writing)
        leave(*w);
    exec(env, breaking);
    script::push(QMessageBox::Ok);
    clickRow(v.labo.LstLabo, 1);
    QCOMPARE(QStringList({v.labo.LstLabo->currentItem()->text(), v.labo.LBlLabo->text(), v.labo.LblPass->text(),
                          v.products.CboLs->currentText(), v.labo.LblLaboratoire->text()}),
             QStringList({u"  ALPHA"_s, u"ALPHA"_s, u"5"_s, u"  ALPHA"_s, u"Notes pour le laboratoire\nALPHA"_s}));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::searchByDelegate()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s, u"gamma"_s});
    tv::MainView &v = w->view();
    exec(env, u"UPDATE Labo SET Nom = 'Durand' WHERE Labo IN ('ALPHA', 'GAMMA')"_s);
    v.labo.LstLabo->setCurrentRow(-1);
    w->showTab(1);

    // Drives the modal window once it is up; `act` runs inside it.
    QStringList listed;
    auto whileOpen = [&](std::function<void(tv::FrmDM *)> act) {
        QTimer::singleShot(0, this, [&, act] {
            auto *dialog = qobject_cast<tv::FrmDM *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            listed = items(dialog->LstDM);
            act(dialog);
        });
        v.labo.CmdRL_VM->click();
    };

    QString found;
    whileOpen([&](tv::FrmDM *d) {
        QTest::keySequence(d->LstDM, QKeySequence(Qt::Key_Down, Qt::Key_Down));
        found = d->LblLabo->text();
        d->CmdQuit->click();
    });
    QCOMPARE(listed, QStringList({u"  Durand"_s, u"  Nom_Labo_2"_s, u"  Durand"_s}));
    QCOMPARE(found, u"BETA"_s);
    QCOMPARE(v.labo.LstLabo->currentRow(), 1);
    QCOMPARE(v.TS->currentIndex(), 1);
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
    QCOMPARE(v.labo.LstLabo->currentRow(), 0);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsPanel::historyFilterFollowsList()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s});
    tv::MainView &v = w->view();

    v.products.ChkL->click();
    QVERIFY(!v.products.CboLh->isEnabled());
    QCOMPARE(env.readFile(env.programFile(tv::files::VsIni)).trimmed(), QByteArray("0,0,0,1"));
    clickRow(v.labo.LstLabo, 1);
    QCOMPARE(v.products.CboLh->currentText(), u"  BETA"_s);

    v.products.ChkL->click();
    QVERIFY(v.products.CboLh->isEnabled());
    clickRow(v.labo.LstLabo, 0);
    QCOMPARE(v.products.CboLh->currentText(), u"  BETA"_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

QTEST_MAIN(TstLabsPanel)
#include "tst_labspanel.moc"
