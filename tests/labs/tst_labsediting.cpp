// Adding, renaming and deleting laboratories from the real window.
#include "support/LabsFixture.h"

#include "labs/ui/LabsController.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

using namespace labstest;
using tvtest::TestEnv;

class TstLabsEditing : public QObject {
    Q_OBJECT
private slots:
    void addStoresTrimmedCapitalsAndOneQuotaRowPerDoctor();
    void addRefusesDuplicatesAndBlanks();
    void addWithoutDoctorsMakesNoQuotaRow();
    void renameAfterEachWayOfSelecting();
    void renameTouchesLaboVisiteAndPassageOnly();
    void renameAndDeleteRefusals();
    void deleteRemovesExactlyTheLaboratorysRows();
    void renameAndDeleteAreAllOrNothing();
};

namespace {

// Four laboratories (ALPHA, BETA, GAMMA, DELTA), two doctors, appointments
// and products for ALPHA and BETA.
void fillLaboratories(const TestEnv &env, tv::FrmLabo &w)
{
    for (const char *name : {"alpha", "beta", "gamma", "delta"})
        addLab(w, QString::fromLatin1(name));
    exec(env, u"INSERT INTO Visite (Medecin, Labo, Jour, Mois, An) VALUES "
              "('DR A', 'ALPHA', '05', '03', '2025'), ('DR A', 'BETA', '06', '03', '2025'), "
              "('DR B', 'BETA', '07', '03', '2025')"_s);
    exec(env, u"INSERT INTO Produit (Medecin, Labo, Delegue, Date, Produit) VALUES "
              "('DR A', 'BETA', 'Nom_Labo_2', '2025-03-05', 'ADVIL\n'), "
              "('DR A', 'ALPHA', 'Nom_Labo_1', '2025-03-05', 'DOLIPRANE\n')"_s);
}

// Added as ALPHA, BETA, GAMMA, DELTA; the lists keep alphabetical order.
const QStringList kFour = {u"  ALPHA"_s, u"  BETA"_s, u"  DELTA"_s, u"  GAMMA"_s};

} // namespace

void TstLabsEditing::addStoresTrimmedCapitalsAndOneQuotaRowPerDoctor()
{
    TestEnv env;
    auto w = windowWithLabs(env, {}, {u"Dr A"_s, u"Dr b"_s}, u"100,0,0,0"_s);
    tv::MainView &v = w->view();

    addLab(*w, u"  roché l'\"ami\"  "_s);

    const QString name = u"ROCHÉ L'\"AMI\""_s;
    checkListsInStep(*w, {u"  "_s + name});
    const QStringList labo = rows(env, u"SELECT NumLabo, Labo, Nom FROM Labo"_s);
    const QString id = labo.first().section(u'|', 0, 0);
    QCOMPARE(labo.first(), id + u'|' + name + u"|Nom_Labo_"_s + id);
    QCOMPARE(rows(env, u"SELECT Labo, Medecin, Passage FROM Passage ORDER BY NumPassage"_s),
             QStringList({name + u"|DR A|"_s, name + u"|DR B|"_s}));
    QCOMPARE(items(v.products.CboDs), QStringList(u"  Nom_Labo_"_s + id));

    // Selected, its record shown and the delegate ready to be typed over.
    QCOMPARE(v.labo.LBlLabo->text(), name);
    QCOMPARE(v.labo.TextVM[0]->selectedText(), v.labo.TextVM[0]->text());
    QCOMPARE(script::log().front().text, u"Inscrire le nom du laboratoire ."_s);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsEditing::addRefusesDuplicatesAndBlanks()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"Élan"_s, u"Alpha"_s}, {u"Dr A"_s}, u"100,0,0,0"_s);
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
    QCOMPARE(log[1].text, u"Nom déjà présent dans la liste !"_s);
    QCOMPARE(log[5].text, u"Le nom du laboratoire ne peut pas être vide."_s);
    checkListsInStep(*w, {u"  ALPHA"_s, u"  ÉLAN"_s});
    QCOMPARE(rows(env, u"SELECT Labo FROM Labo ORDER BY NumLabo"_s), QStringList({u"ÉLAN"_s, u"ALPHA"_s}));
    QCOMPARE(rows(env, u"SELECT COUNT(*) FROM Passage"_s), QStringList(u"2"_s));
    // A refused or cancelled addition leaves no laboratory selected.
    QCOMPARE(w->view().labo.LstLabo->currentRow(), -1);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsEditing::addWithoutDoctorsMakesNoQuotaRow()
{
    TestEnv env;
    env.prepareData({});
    script::push(QMessageBox::Ok); // no doctors' list yet
    auto w = showWindow(env);
    script::pushInput(u"alpha"_s);
    script::push(QMessageBox::Ok);
    w->view().menu[1]->click();

    QCOMPARE(script::texts().last(),
             u"Veuillez d'abord inscrire le nom du ou des médecins concernés par ce programme."_s);
    QCOMPARE(rows(env, u"SELECT Labo FROM Labo"_s), QStringList(u"ALPHA"_s));
    QCOMPARE(rows(env, u"SELECT COUNT(*) FROM Passage"_s), QStringList(u"0"_s));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsEditing::renameAfterEachWayOfSelecting()
{
    TestEnv env;
    auto w = windowWithLabs(env, {});
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);

    auto rename = [&](const QString &to) {
        script::pushInput(to);
        v.menus.mnurenomlabo->trigger();
    };

    // Mouse: GAMMA.
    clickRow(v.labo.LstLabo, 3);
    rename(u"gamma 2"_s);

    // Quick search, then the keyboard.
    script::pushInput(u"zz"_s);
    script::push(QMessageBox::Ok);
    v.labo.CmdRR->click();
    QCOMPARE(script::texts().last(), u"Pas de nom de laboratoire commençant par ZZ"_s);
    script::pushInput(u"de"_s);
    v.labo.CmdRR->click();
    rename(u"delta plus"_s);
    v.labo.LstLabo->setFocus();
    QTest::keyClick(v.labo.LstLabo, Qt::Key_Up);
    rename(u"Bêta"_s);

    // A new name that sorts elsewhere moves in the three lists together,
    // and the selection follows it.
    v.labo.LstLabo->setCurrentRow(0);
    rename(u"zulu"_s);
    checkListsInStep(*w, {u"  BÊTA"_s, u"  DELTA PLUS"_s, u"  GAMMA 2"_s, u"  ZULU"_s});

    QCOMPARE(rows(env, u"SELECT Labo FROM Labo ORDER BY NumLabo"_s),
             QStringList({u"ZULU"_s, u"BÊTA"_s, u"GAMMA 2"_s, u"DELTA PLUS"_s}));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsEditing::renameTouchesLaboVisiteAndPassageOnly()
{
    TestEnv env;
    auto w = windowWithLabs(env, {}, {u"Dr A"_s, u"Dr B"_s});
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);

    clickRow(v.labo.LstLabo, 1);
    script::pushInput(u"  nouveau nom  "_s);
    v.menus.mnurenomlabo->trigger();

    QCOMPARE(script::log().back().defaultText, u"BETA"_s);
    QCOMPARE(rows(env, u"SELECT Labo FROM Labo ORDER BY NumLabo"_s),
             QStringList({u"ALPHA"_s, u"NOUVEAU NOM"_s, u"GAMMA"_s, u"DELTA"_s}));
    QCOMPARE(rows(env, u"SELECT Medecin, Labo, Jour FROM Visite ORDER BY NumVisite"_s),
             QStringList({u"DR A|ALPHA|05"_s, u"DR A|NOUVEAU NOM|06"_s, u"DR B|NOUVEAU NOM|07"_s}));
    QCOMPARE(rows(env, u"SELECT Medecin FROM Passage WHERE Labo = 'NOUVEAU NOM' ORDER BY Medecin"_s),
             QStringList({u"DR A"_s, u"DR B"_s}));
    QCOMPARE(rows(env, u"SELECT COUNT(*) FROM Passage WHERE Labo = 'BETA'"_s), QStringList(u"0"_s));
    // The products keep the name they were recorded under.
    QCOMPARE(rows(env, u"SELECT Labo FROM Produit ORDER BY NumProduit"_s), QStringList({u"BETA"_s, u"ALPHA"_s}));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsEditing::renameAndDeleteRefusals()
{
    TestEnv env;
    auto w = windowWithLabs(env, {u"alpha"_s, u"beta"_s}, {u"Dr A"_s}, u"100,0,0,0"_s);
    tv::MainView &v = w->view();
    v.labo.LstLabo->setCurrentRow(-1);
    script::reset();

    script::push(QMessageBox::Ok);
    v.menus.mnurenomlabo->trigger();
    QCOMPARE(script::log().back().text, u"Quel est le laboratoire à renommer ?"_s);

    v.labo.LstLabo->setCurrentRow(1);
    for (const auto &answer : {std::optional<QString>(), std::optional<QString>(QString()),
                               std::optional<QString>(u"  "_s), std::optional<QString>(u"Alpha"_s)}) {
        script::pushInput(answer);
        if (answer && !answer->isEmpty())
            script::push(QMessageBox::Ok);
        v.menus.mnurenomlabo->trigger();
    }
    QCOMPARE(script::texts().mid(4),
             QStringList({u"Le nom du laboratoire ne peut pas être vide."_s, u"Inscrire le nouveau nom"_s,
                          u"Nom déjà présent dans la liste !"_s}));
    script::push(QMessageBox::Ok);
    v.menus.mnuSuplabo->trigger();
    QCOMPARE(script::texts().last(), u"Faites un double click sur le laboratoire à supprimer."_s);
    // Deletion answered No; then nothing selected: no question at all.
    script::push(QMessageBox::No);
    doubleClickRow(v.labo.LstLabo, 0);
    v.labo.LstLabo->setCurrentRow(-1);
    const auto shown = script::log().size();
    w->labs().LstLabo_DblClick();
    QCOMPARE(script::log().size(), shown);

    checkListsInStep(*w, {u"  ALPHA"_s, u"  BETA"_s});
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsEditing::deleteRemovesExactlyTheLaboratorysRows()
{
    TestEnv env;
    auto w = windowWithLabs(env, {}, {u"Dr A"_s, u"Dr B"_s});
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);
    v.products.CboLh->setCurrentIndex(1);

    // A double click on an entry not selected before selects it, then deletes it.
    v.labo.LstLabo->setCurrentRow(-1);
    script::push(QMessageBox::Yes);
    doubleClickRow(v.labo.LstLabo, 1);

    const tv::dialogs::Shown &question = script::log().back();
    QCOMPARE(question.text, u"Supprimer de la liste BETA, et supprimer tous ses rendez vous ?"_s);
    QCOMPARE(question.defaultButton, QMessageBox::No);

    checkListsInStep(*w, {u"  ALPHA"_s, u"  DELTA"_s, u"  GAMMA"_s});
    QCOMPARE(v.labo.LstLabo->currentRow(), -1);
    QCOMPARE(v.products.CboLh->currentIndex(), -1);

    QCOMPARE(rows(env, u"SELECT Labo FROM Labo ORDER BY NumLabo"_s), QStringList({u"ALPHA"_s, u"GAMMA"_s, u"DELTA"_s}));
    QCOMPARE(rows(env, u"SELECT Labo FROM Visite"_s), QStringList(u"ALPHA"_s));
    QCOMPARE(rows(env, u"SELECT DISTINCT Labo FROM Passage ORDER BY NumPassage"_s),
             QStringList({u"ALPHA"_s, u"GAMMA"_s, u"DELTA"_s}));
    QCOMPARE(rows(env, u"SELECT Labo FROM Produit ORDER BY NumProduit"_s), QStringList({u"BETA"_s, u"ALPHA"_s}));
    QVERIFY(tvtest::noUnexpectedDialogs());
}

void TstLabsEditing::renameAndDeleteAreAllOrNothing()
{
    TestEnv env;
    auto w = windowWithLabs(env, {});
    tv::MainView &v = w->view();
    fillLaboratories(env, *w);
    // The last table of each change fails: the tables before it must not
    // keep their part.
    exec(env, u"CREATE TRIGGER NoPassageRename BEFORE UPDATE OF Labo ON Passage "
              "BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    exec(env, u"CREATE TRIGGER NoPassageDelete BEFORE DELETE ON Passage "
              "BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    const QStringList labos = rows(env, u"SELECT * FROM Labo ORDER BY NumLabo"_s);
    const QStringList visites = rows(env, u"SELECT * FROM Visite ORDER BY NumVisite"_s);
    const QStringList passages = rows(env, u"SELECT * FROM Passage ORDER BY NumPassage"_s);

    clickRow(v.labo.LstLabo, 1);
    script::reset();
    script::pushInput(u"autre"_s);
    script::push(QMessageBox::Ok);
    v.menus.mnurenomlabo->trigger();
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);

    script::push(QMessageBox::Yes);
    script::push(QMessageBox::Ok);
    doubleClickRow(v.labo.LstLabo, 1);
    QCOMPARE(script::log().back().icon, QMessageBox::Critical);

    QCOMPARE(rows(env, u"SELECT * FROM Labo ORDER BY NumLabo"_s), labos);
    QCOMPARE(rows(env, u"SELECT * FROM Visite ORDER BY NumVisite"_s), visites);
    QCOMPARE(rows(env, u"SELECT * FROM Passage ORDER BY NumPassage"_s), passages);
    checkListsInStep(*w, kFour);
    QCOMPARE(v.labo.LstLabo->currentRow(), 1);
    QVERIFY(tvtest::noUnexpectedDialogs());
}

QTEST_MAIN(TstLabsEditing)
#include "tst_labsediting.moc"
