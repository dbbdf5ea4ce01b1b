// Adding, renaming and deleting laboratories from the real window.
#include "LabsFixture.h"

#include "labs/ui/LabsController.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>

using namespace labstest;
using tvtest::TestEnv;

class TestLabsEditing : public QObject {
    Q_OBJECT
private slots:
    void addStoresTrimmedCapitalsAndOneQuotaRowPerDoctor();
    void addRefusesDuplicatesAndBlanks();
    void addWithoutDoctorsMakesNoQuotaRow();
    void renameAfterEachWayOfSelecting();
    void renameTouchesLaboVisiteAndPassageOnly();
    void renameRefusals();
    void deleteRemovesExactlyTheLaboratorysRows();
    void deleteAnsweredNoChangesNothing();
    void renameAndDeleteAreAllOrNothing();
};

namespace {

// Four laboratories (ALPHA, BETA, GAMMA, DELTA), two doctors, appointments
// and products for ALPHA and BETA.
void fillLaboratories(const TestEnv &env, tv::FrmLabo &w)
{
    for (const char *name : {"alpha", "beta", "gamma", "delta"})
        addLab(w, QString::fromLatin1(name));
    exec(env, QStringLiteral("INSERT INTO Visite (Medecin, Labo, Jour, Mois, An) VALUES "
                             "('DR A', 'ALPHA', '05', '03', '2025'), ('DR A', 'BETA', '06', '03', '2025'), "
                             "('DR B', 'BETA', '07', '03', '2025')"));
    exec(env, QStringLiteral("INSERT INTO Produit (Medecin, Labo, Delegue, Date, Produit) VALUES "
                             "('DR A', 'BETA', 'Nom_Labo_2', '2025-03-05', 'ADVIL\n'), "
                             "('DR A', 'ALPHA', 'Nom_Labo_1', '2025-03-05', 'DOLIPRANE\n')"));
}

// Added as ALPHA, BETA, GAMMA, DELTA; the lists keep alphabetical order.
const QStringList kFour = {QStringLiteral("  ALPHA"), QStringLiteral("  BETA"), QStringLiteral("  DELTA"),
                           QStringLiteral("  GAMMA")};

} // namespace

void TestLabsEditing::addStoresTrimmedCapitalsAndOneQuotaRowPerDoctor()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A"), QStringLiteral("Dr b")});
    auto w = showWindow(env);
    tv::MainView &v = w->view();

    addLab(*w, QStringLiteral("  roché l'\"ami\"  "));

    const QString name = QStringLiteral("ROCHÉ L'\"AMI\"");
    checkListsInStep(*w, {QStringLiteral("  ") + name});
    const QStringList labo = rows(env, QStringLiteral("SELECT NumLabo, Labo, Nom FROM Labo"));
    QCOMPARE(labo.size(), 1);
    const QString id = labo.first().section(u'|', 0, 0);
    QCOMPARE(labo.first(), id + u'|' + name + QStringLiteral("|Nom_Labo_") + id);
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo, Medecin, Passage FROM Passage ORDER BY NumPassage")),
             QStringList({name + QStringLiteral("|DR A|"), name + QStringLiteral("|DR B|")}));
    QCOMPARE(items(v.products.CboDs), QStringList(QStringLiteral("  Nom_Labo_") + id));
    QCOMPARE(items(v.products.CboDh), QStringList(QStringLiteral("  Nom_Labo_") + id));

    // Selected, its record shown and the delegate ready to be typed over.
    QCOMPARE(v.LstLabo->currentRow(), 0);
    QCOMPARE(v.TS->currentIndex(), 1);
    QCOMPARE(v.labo.LBlLabo->text(), name);
    QCOMPARE(v.labo.TextVM[0]->text(), QStringLiteral("Nom_Labo_") + id);
    QCOMPARE(v.labo.TextVM[0]->selectedText(), v.labo.TextVM[0]->text());
    if (w->isActiveWindow())
        QCOMPARE(QApplication::focusWidget(), v.labo.TextVM[0]);
    QCOMPARE(v.labo.LblLaboratoire->text(), QStringLiteral("Notes pour le laboratoire\n") + name);
    QCOMPARE(script::log().front().title, QStringLiteral("Ajouter laboratoire"));
    QCOMPARE(script::log().front().text, QStringLiteral("Inscrire le nom du laboratoire ."));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::addRefusesDuplicatesAndBlanks()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")});
    auto w = showWindow(env);
    addLab(*w, QStringLiteral("Élan"));
    addLab(*w, QStringLiteral("Alpha"));
    script::reset();

    for (const char *typed : {" alpha ", "élan", "   "}) {
        script::pushInput(QString::fromUtf8(typed));
        script::push(QMessageBox::Ok);
        w->view().menu[1]->click();
    }
    addLab(*w, QString());
    addLab(*w, std::nullopt);

    const auto &log = script::log();
    QCOMPARE(log.size(), size_t(8));
    QCOMPARE(log[1].text, QStringLiteral("Nom déjà présent dans la liste !"));
    QCOMPARE(log[1].icon, QMessageBox::Critical);
    QCOMPARE(log[3].text, QStringLiteral("Nom déjà présent dans la liste !"));
    QCOMPARE(log[5].text, QStringLiteral("Le nom du laboratoire ne peut pas être vide."));
    QCOMPARE(log[6].kind, tv::dialogs::Kind::Input);
    QCOMPARE(log[7].kind, tv::dialogs::Kind::Input);
    checkListsInStep(*w, {QStringLiteral("  ALPHA"), QStringLiteral("  ÉLAN")});
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Labo ORDER BY NumLabo")),
             QStringList({QStringLiteral("ÉLAN"), QStringLiteral("ALPHA")}));
    QCOMPARE(rows(env, QStringLiteral("SELECT COUNT(*) FROM Passage")), QStringList(QStringLiteral("2")));
    // A refused or cancelled addition leaves no laboratory selected.
    QCOMPARE(w->view().LstLabo->currentRow(), -1);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::addWithoutDoctorsMakesNoQuotaRow()
{
    TestEnv env;
    env.prepareData({});
    script::push(QMessageBox::Ok); // no doctors' list yet
    auto w = showWindow(env);
    script::pushInput(QStringLiteral("alpha"));
    script::push(QMessageBox::Ok);
    w->view().menu[1]->click();

    QCOMPARE(script::texts().last(),
             QStringLiteral("Veuillez d'abord inscrire le nom du ou des médecins concernés par ce programme."));
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Labo")), QStringList(QStringLiteral("ALPHA")));
    QCOMPARE(rows(env, QStringLiteral("SELECT COUNT(*) FROM Passage")), QStringList(QStringLiteral("0")));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::renameAfterEachWayOfSelecting()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);
    QStringList expected = kFour;

    auto rename = [&](const QString &to) {
        script::pushInput(to);
        v.menus.mnurenomlabo->trigger();
    };

    // Mouse: GAMMA.
    clickRow(v.LstLabo, 3);
    QCOMPARE(v.LstLabo->currentRow(), 3);
    QCOMPARE(v.products.CboLs->currentIndex(), 3);
    rename(QStringLiteral("gamma 2"));
    expected[3] = QStringLiteral("  GAMMA 2");
    checkListsInStep(*w, expected);
    QCOMPARE(v.LstLabo->currentRow(), 3);
    QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("GAMMA 2"));

    // Keyboard: from GAMMA 2 up to BETA.
    v.LstLabo->setFocus();
    QTest::keyClick(v.LstLabo, Qt::Key_Up);
    QTest::keyClick(v.LstLabo, Qt::Key_Up);
    QCOMPARE(v.LstLabo->currentRow(), 1);
    QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("BETA"));
    rename(QStringLiteral("Bêta"));
    expected[1] = QStringLiteral("  BÊTA");
    checkListsInStep(*w, expected);

    // Quick search: DELTA.
    script::pushInput(QStringLiteral("de"));
    v.CmdRR->click();
    QCOMPARE(v.LstLabo->currentRow(), 2);
    QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("DELTA"));
    rename(QStringLiteral("delta plus"));
    expected[2] = QStringLiteral("  DELTA PLUS");
    checkListsInStep(*w, expected);

    // A new name that sorts elsewhere moves in the three lists together,
    // and the selection follows it.
    v.LstLabo->setCurrentRow(0);
    rename(QStringLiteral("zulu"));
    expected = QStringList({QStringLiteral("  BÊTA"), QStringLiteral("  DELTA PLUS"), QStringLiteral("  GAMMA 2"),
                            QStringLiteral("  ZULU")});
    checkListsInStep(*w, expected);
    QCOMPARE(v.LstLabo->currentRow(), 3);
    QCOMPARE(v.products.CboLs->currentIndex(), 3);

    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Labo ORDER BY NumLabo")),
             QStringList({QStringLiteral("ZULU"), QStringLiteral("BÊTA"), QStringLiteral("GAMMA 2"),
                          QStringLiteral("DELTA PLUS")}));
    // Each index still designates one laboratory in the three lists.
    for (int i = 0; i < v.LstLabo->count(); ++i) {
        v.LstLabo->setCurrentRow(i);
        QCOMPARE(v.products.CboLs->currentText(), v.LstLabo->text());
        QCOMPARE(v.labo.LBlLabo->text(), v.LstLabo->text().trimmed());
    }
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::renameTouchesLaboVisiteAndPassageOnly()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A"), QStringLiteral("Dr B")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);

    clickRow(v.LstLabo, 1);
    script::pushInput(QStringLiteral("  nouveau nom  "));
    v.menus.mnurenomlabo->trigger();

    QCOMPARE(script::log().back().title, QStringLiteral("Renommer"));
    QCOMPARE(script::log().back().text, QStringLiteral("Inscrire le nouveau nom"));
    QCOMPARE(script::log().back().defaultText, QStringLiteral("BETA"));
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Labo ORDER BY NumLabo")),
             QStringList({QStringLiteral("ALPHA"), QStringLiteral("NOUVEAU NOM"), QStringLiteral("GAMMA"),
                          QStringLiteral("DELTA")}));
    QCOMPARE(rows(env, QStringLiteral("SELECT Medecin, Labo, Jour FROM Visite ORDER BY NumVisite")),
             QStringList({QStringLiteral("DR A|ALPHA|05"), QStringLiteral("DR A|NOUVEAU NOM|06"),
                          QStringLiteral("DR B|NOUVEAU NOM|07")}));
    QCOMPARE(rows(env, QStringLiteral("SELECT Medecin FROM Passage WHERE Labo = 'NOUVEAU NOM' ORDER BY Medecin")),
             QStringList({QStringLiteral("DR A"), QStringLiteral("DR B")}));
    QCOMPARE(rows(env, QStringLiteral("SELECT COUNT(*) FROM Passage WHERE Labo = 'BETA'")),
             QStringList(QStringLiteral("0")));
    // The products keep the name they were recorded under.
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Produit ORDER BY NumProduit")),
             QStringList({QStringLiteral("BETA"), QStringLiteral("ALPHA")}));
    QCOMPARE(v.labo.LblLaboratoire->text(), QStringLiteral("Notes pour le laboratoire\nNOUVEAU NOM"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::renameRefusals()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")});
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    addLab(*w, QStringLiteral("beta"));
    v.LstLabo->setCurrentRow(-1);
    script::reset();

    script::push(QMessageBox::Ok);
    v.menus.mnurenomlabo->trigger();
    QCOMPARE(script::log().back().text, QStringLiteral("Quel est le laboratoire à renommer ?"));
    QCOMPARE(script::log().back().icon, QMessageBox::Question);

    v.LstLabo->setCurrentRow(1);
    for (const auto &answer : {std::optional<QString>(), std::optional<QString>(QString()),
                               std::optional<QString>(QStringLiteral("  ")), std::optional<QString>(QStringLiteral("Alpha"))}) {
        script::pushInput(answer);
        if (answer && !answer->isEmpty())
            script::push(QMessageBox::Ok);
        v.menus.mnurenomlabo->trigger();
    }
    QCOMPARE(script::texts().mid(4),
             QStringList({QStringLiteral("Le nom du laboratoire ne peut pas être vide."), QStringLiteral("Inscrire le nouveau nom"),
                          QStringLiteral("Nom déjà présent dans la liste !")}));
    // Its own name in other letters is no duplicate.
    script::pushInput(QStringLiteral("Beta"));
    v.menus.mnurenomlabo->trigger();

    checkListsInStep(*w, {QStringLiteral("  ALPHA"), QStringLiteral("  BETA")});
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Labo ORDER BY NumLabo")),
             QStringList({QStringLiteral("ALPHA"), QStringLiteral("BETA")}));

    script::push(QMessageBox::Ok);
    v.menus.mnuSuplabo->trigger();
    QCOMPARE(script::texts().last(), QStringLiteral("Faites un double click sur le laboratoire à supprimer."));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::deleteRemovesExactlyTheLaboratorysRows()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A"), QStringLiteral("Dr B")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);
    v.products.CboLh->setCurrentIndex(1);

    // A double click on an entry not selected before selects it, then deletes it.
    v.LstLabo->setCurrentRow(-1);
    script::push(QMessageBox::Yes);
    doubleClickRow(v.LstLabo, 1);

    const tv::dialogs::Shown &question = script::log().back();
    QCOMPARE(question.text, QStringLiteral("Supprimer de la liste BETA, et supprimer tous ses rendez vous ?"));
    QCOMPARE(question.icon, QMessageBox::Question);
    QCOMPARE(question.defaultButton, QMessageBox::No);

    checkListsInStep(*w, {QStringLiteral("  ALPHA"), QStringLiteral("  DELTA"), QStringLiteral("  GAMMA")});
    QCOMPARE(v.LstLabo->currentRow(), -1);
    QCOMPARE(v.products.CboLh->currentIndex(), -1);
    QCOMPARE(v.products.CboDs->currentIndex(), -1);
    QCOMPARE(v.labo.LblLaboratoire->text(), QStringLiteral("Notes pour le laboratoire\n"));
    QCOMPARE(v.agenda.LblDateRV->text(), QString());
    QVERIFY(!v.labo.TextVM[0]->isEnabled());
    QVERIFY(v.labo.LblPass->isHidden());
    // The delegate's entries stay.
    QCOMPARE(v.products.CboDs->count(), 4);

    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Labo ORDER BY NumLabo")),
             QStringList({QStringLiteral("ALPHA"), QStringLiteral("GAMMA"), QStringLiteral("DELTA")}));
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Visite")), QStringList(QStringLiteral("ALPHA")));
    QCOMPARE(rows(env, QStringLiteral("SELECT DISTINCT Labo FROM Passage ORDER BY NumPassage")),
             QStringList({QStringLiteral("ALPHA"), QStringLiteral("GAMMA"), QStringLiteral("DELTA")}));
    QCOMPARE(rows(env, QStringLiteral("SELECT COUNT(*) FROM Passage")), QStringList(QStringLiteral("6")));
    QCOMPARE(rows(env, QStringLiteral("SELECT Labo FROM Produit ORDER BY NumProduit")),
             QStringList({QStringLiteral("BETA"), QStringLiteral("ALPHA")}));

    // The remaining ones are still found at their index.
    clickRow(v.LstLabo, 1);
    QCOMPARE(v.labo.LBlLabo->text(), QStringLiteral("DELTA"));
    QCOMPARE(v.products.CboLs->currentText(), QStringLiteral("  DELTA"));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::deleteAnsweredNoChangesNothing()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")});
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    addLab(*w, QStringLiteral("alpha"));
    addLab(*w, QStringLiteral("beta"));

    script::push(QMessageBox::No);
    doubleClickRow(v.LstLabo, 0);
    checkListsInStep(*w, {QStringLiteral("  ALPHA"), QStringLiteral("  BETA")});
    QCOMPARE(v.LstLabo->currentRow(), 0);
    QCOMPARE(rows(env, QStringLiteral("SELECT COUNT(*) FROM Labo")), QStringList(QStringLiteral("2")));

    // Nothing selected: no question.
    v.LstLabo->setCurrentRow(-1);
    const int shown = static_cast<int>(script::log().size());
    w->labs().LstLabo_DblClick();
    QCOMPARE(static_cast<int>(script::log().size()), shown);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TestLabsEditing::renameAndDeleteAreAllOrNothing()
{
    TestEnv env;
    env.prepareData({QStringLiteral("Dr A")}, QStringLiteral("0,0,0,0"));
    auto w = showWindow(env);
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);
    // The last table of each change fails: the tables before it must not
    // keep their part.
    exec(env, QStringLiteral("CREATE TRIGGER NoPassageRename BEFORE UPDATE OF Labo ON Passage "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    exec(env, QStringLiteral("CREATE TRIGGER NoPassageDelete BEFORE DELETE ON Passage "
                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const QStringList labos = rows(env, QStringLiteral("SELECT * FROM Labo ORDER BY NumLabo"));
    const QStringList visites = rows(env, QStringLiteral("SELECT * FROM Visite ORDER BY NumVisite"));
    const QStringList passages = rows(env, QStringLiteral("SELECT * FROM Passage ORDER BY NumPassage"));

    clickRow(v.LstLabo, 1);
    script::reset();
    script::pushInput(QStringLiteral("autre"));
    script::push(QMessageBox::Ok);
    v.menus.mnurenomlabo->trigger();
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);

    script::push(QMessageBox::Yes);
    script::push(QMessageBox::Ok);
    doubleClickRow(v.LstLabo, 1);
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);

    QCOMPARE(rows(env, QStringLiteral("SELECT * FROM Labo ORDER BY NumLabo")), labos);
    QCOMPARE(rows(env, QStringLiteral("SELECT * FROM Visite ORDER BY NumVisite")), visites);
    QCOMPARE(rows(env, QStringLiteral("SELECT * FROM Passage ORDER BY NumPassage")), passages);
    checkListsInStep(*w, kFour);
    QCOMPARE(v.LstLabo->currentRow(), 1);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

QTEST_MAIN(TestLabsEditing)
#include "tst_labsediting.moc"
