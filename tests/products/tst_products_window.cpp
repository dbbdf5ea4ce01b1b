// The products page driven through the real main window: catalogue,
// recording a visit, the history and switching the feature.
#include "support/TestEnv.h"

#include "app/ui/Dialogs.h"
#include "app/ui/FrmLabo.h"
#include "app/ui/Widgets.h"
#include "store/SettingsFiles.h"
#include "store/Store.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

using namespace tv;
using tvtest::TestEnv;

namespace {

struct Lab {
    QString labo;
    QString nom;
};

// A data folder with the doctors, laboratories, visits and catalogue given,
// and the main window started on it with the products feature on.
std::unique_ptr<FrmLabo> startOn(const TestEnv &env, const QList<Lab> &labs, const QList<ProduitRecord> &visits,
                                 const QByteArray &medoc = QByteArray())
{
    env.prepareData({QStringLiteral("Dr A"), QStringLiteral("Dr B"), QStringLiteral("Dr C")},
                    QStringLiteral("100,0,1,0"));
    if (!medoc.isNull())
        env.writeFile(env.dataFile(files::Medoc), medoc);
    {
        auto store = env.openStore();
        for (const Lab &lab : labs) {
            store->addLaboratory(lab.labo, {QStringLiteral("DR A"), QStringLiteral("DR B"), QStringLiteral("DR C")});
            LaboRecord record = *store->labos().findByLabo(lab.labo);
            record.nom = lab.nom;
            store->labos().update(record);
        }
        for (const ProduitRecord &visit : visits)
            store->produits().insert(visit);
    }
    bool started = false;
    auto window = env.startWindow(&started);
    if (!started)
        qFatal("start-up failed");
    return window;
}

// Selects a doctor the way the products routines read him, without running
// the other subsystems' doctor handler.
void selectDoctor(FrmLabo &w, int row)
{
    const QSignalBlocker blocker(w.view().LstMed);
    w.view().LstMed->setCurrentRow(row);
}

QStringList items(const QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.append(combo->itemText(i));
    return texts;
}

QStringList items(const ListBox *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QString lastText()
{
    const auto &log = dialogs::script::log();
    return log.empty() ? QString() : log.back().text;
}

void giveFocus(QWidget *widget)
{
    QFocusEvent event(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(widget, &event);
}

ProduitRecord visit(const QString &medecin, const QString &date, const QString &labo, const QString &delegue,
                    const QString &produit)
{
    return ProduitRecord{0, medecin, labo, delegue, date, produit};
}

} // namespace

class TestProductsWindow : public QObject {
    Q_OBJECT
private slots:
    void catalogueAddAndDeleteWithHandEditedFile()
    {
        TestEnv env;
        auto w = startOn(env, {}, {}, QByteArray("doliprane\r\nadvil  \r\n\xC9lixir\r\n"));
        ProductsWidgets &p = w->view().products;
        const QString medoc = env.dataFile(files::Medoc);

        const QStringList loaded{QStringLiteral("  ADVIL  "), QStringLiteral("  DOLIPRANE"), QStringLiteral("  ÉLIXIR")};
        QCOMPARE(items(p.CboPr), loaded);
        QCOMPARE(items(p.CboPrPr), loaded);
        QCOMPARE(p.CboPr->currentText(), QStringLiteral("  "));

        // Typed into the empty box, the name follows the two blanks.
        QTest::keyClicks(p.CboPr->lineEdit(), QStringLiteral("aspirine"));
        QCOMPARE(p.CboPr->currentText(), QStringLiteral("  aspirine"));
        w->view().menu[8]->click();
        QCOMPARE(items(p.CboPr).at(1), QStringLiteral("  ASPIRINE"));
        QCOMPARE(items(p.CboPrPr).at(1), QStringLiteral("  ASPIRINE"));
        QCOMPARE(p.CboPr->currentText(), QStringLiteral("  ASPIRINE"));
        QCOMPARE(TestEnv::readFile(medoc), QStringLiteral("doliprane\r\nadvil  \r\nÉlixir\r\naspirine\r\n").toUtf8());

        // Already listed, blanks and case aside: refused, nothing written.
        p.CboPr->setEditText(QStringLiteral("  Doliprane   "));
        dialogs::script::push(QMessageBox::Ok);
        w->view().menu[8]->click();
        QCOMPARE(lastText(), QStringLiteral("Produit déjà enregistré !"));
        QCOMPARE(p.CboPr->count(), 4);
        QCOMPARE(p.CboPr->currentText(), QStringLiteral("  "));

        // Blanks only: nothing happens.
        p.CboPr->setEditText(QStringLiteral("      "));
        w->view().menu[8]->click();
        QCOMPARE(p.CboPr->count(), 4);
        QCOMPARE(TestEnv::readFile(medoc), QStringLiteral("doliprane\r\nadvil  \r\nÉlixir\r\naspirine\r\n").toUtf8());

        // A typed text is no selection.
        p.CboPr->setEditText(QStringLiteral("  zzz"));
        dialogs::script::push(QMessageBox::Ok);
        w->view().menu[9]->click();
        QCOMPARE(lastText(), QStringLiteral("Quel médicament faut-il suuprimer de la liste ?"));

        // No keeps the name; the question defaults to No.
        p.CboPr->setCurrentIndex(0);
        dialogs::script::push(QMessageBox::No);
        w->view().menu[9]->click();
        QCOMPARE(lastText(), QStringLiteral("Supprimer   ADVIL   ?"));
        QCOMPARE(dialogs::script::log().back().defaultButton, QMessageBox::No);
        QCOMPARE(p.CboPr->count(), 4);

        // The hand-typed line keeps its blanks in the comparison: it stays,
        // trimmed like every kept line.
        dialogs::script::push(QMessageBox::Yes);
        w->view().menu[9]->click();
        QCOMPARE(TestEnv::readFile(medoc), QByteArray("doliprane\r\nadvil\r\n\xC3\x89lixir\r\naspirine\r\n"));
        QCOMPARE(items(p.CboPr).at(0), QStringLiteral("  ADVIL"));

        p.CboPr->setCurrentIndex(p.CboPr->findText(QStringLiteral("  DOLIPRANE")));
        dialogs::script::push(QMessageBox::Yes);
        w->view().menu[9]->click();
        const QStringList left{QStringLiteral("  ADVIL"), QStringLiteral("  ASPIRINE"), QStringLiteral("  ÉLIXIR")};
        QCOMPARE(items(p.CboPr), left);
        QCOMPARE(items(p.CboPrPr), left);
        QCOMPARE(TestEnv::readFile(medoc), QByteArray("advil\r\n\xC3\x89lixir\r\naspirine\r\n"));
        QVERIFY(!QFile::exists(env.dataFile(files::MedocTmp)));

        // Accents and quotes are a name like any other.
        p.CboPr->setEditText(QStringLiteral("  éfferalgan \"500\" d'été "));
        w->view().menu[8]->click();
        QCOMPARE(p.CboPr->currentText(), QStringLiteral("  ÉFFERALGAN \"500\" D'ÉTÉ"));
        QVERIFY(TestEnv::readFile(medoc).endsWith(QStringLiteral("aspirine\r\néfferalgan \"500\" d'été\r\n").toUtf8()));
        QVERIFY(items(p.CboPrPr).contains(QStringLiteral("  ÉFFERALGAN \"500\" D'ÉTÉ")));
        p.CboPr->setEditText(QStringLiteral("ÉFFERALGAN \"500\" D'ÉTÉ"));
        dialogs::script::push(QMessageBox::Ok);
        w->view().menu[8]->click();
        QCOMPARE(lastText(), QStringLiteral("Produit déjà enregistré !"));
        p.CboPr->setCurrentIndex(p.CboPr->findText(QStringLiteral("  ÉFFERALGAN \"500\" D'ÉTÉ")));
        dialogs::script::push(QMessageBox::Yes);
        w->view().menu[9]->click();
        QCOMPARE(items(p.CboPr), left);

        // The file is read again by the next start-up.
        w.reset();
        auto again = env.startWindow();
        QCOMPARE(items(again->view().products.CboPr), left);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void medicineBoxKeepsItsPrefix()
    {
        TestEnv env;
        auto w = startOn(env, {}, {});
        QComboBox *box = w->view().products.CboPr;
        box->setEditText(QStringLiteral("d"));
        QCOMPARE(box->currentText(), QStringLiteral("  d"));
        QCOMPARE(box->lineEdit()->cursorPosition(), 3);
        box->setEditText(QString());
        QCOMPARE(box->currentText(), QStringLiteral("  "));
        box->setEditText(QStringLiteral("doliprane"));
        QCOMPARE(box->currentText(), QStringLiteral("doliprane"));
        // Longer blank texts are left to the focus to put right.
        box->setEditText(QStringLiteral("     "));
        QCOMPARE(box->currentText(), QStringLiteral("     "));
        giveFocus(box);
        QCOMPARE(box->currentText(), QStringLiteral("  "));
    }

    void recordReloadReplaceAndDeleteAVisit()
    {
        TestEnv env;
        auto w = startOn(env, {{QStringLiteral("BAYER"), QStringLiteral("Martin")}, {QStringLiteral("MERCK"), QStringLiteral("Dupont")}},
                         {visit(QStringLiteral("DR A"), QStringLiteral("2025-03-05"), QStringLiteral("MERCK"),
                                QStringLiteral("Dupont"), QStringLiteral("ZYRTEC\nASPIRINE\n"))},
                         QByteArray("doliprane\r\nadvil\r\n"));
        ProductsWidgets &p = w->view().products;
        ProduitRepository &produits = w->store().produits();
        selectDoctor(*w, 0);
        w->showTab(3);
        QCOMPARE(p.DTP->date(), QDate(2025, 3, 5));

        // Choosing a laboratory selects its delegate.
        p.CboLs->setCurrentText(QStringLiteral("  BAYER"));
        QCOMPARE(p.CboDs->currentText(), QStringLiteral("  Martin"));
        QCOMPARE(p.LstPr->count(), 0);

        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), QStringLiteral("Aucun produit n'est sélectionné !"));
        QCOMPARE(dialogs::script::log().back().icon, QMessageBox::Warning);

        p.CboPr->setCurrentIndex(p.CboPr->findText(QStringLiteral("  DOLIPRANE")));
        p.CmdAjoutePr->click();
        p.CboPr->setCurrentIndex(p.CboPr->findText(QStringLiteral("  ADVIL")));
        QTest::mouseDClick(p.CboPr->lineEdit(), Qt::LeftButton);
        emit p.CboPrList->doubleClicked(p.CboPr->model()->index(0, 0));
        QCOMPARE(items(p.LstPr), QStringList({QStringLiteral("  ADVIL"), QStringLiteral("  ADVIL"), QStringLiteral("  DOLIPRANE")}));

        p.CboPr->setEditText(QString());
        dialogs::script::push(QMessageBox::Ok);
        p.CmdAjoutePr->click();
        QCOMPARE(lastText(), QStringLiteral("Sélectionnez un produit !"));

        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), QStringLiteral("Données enregistrées !"));
        auto stored = produits.find(QStringLiteral("BAYER"), QStringLiteral("DR A"), QStringLiteral("2025-03-05"));
        QVERIFY(stored);
        QCOMPARE(stored->produit, QStringLiteral("ADVIL\nADVIL\nDOLIPRANE\n"));
        QCOMPARE(stored->delegue, QStringLiteral("Martin"));

        // Another date shows another visit; coming back reloads this one.
        p.DTP->setDate(QDate(2025, 3, 6));
        QCOMPARE(p.LstPr->count(), 0);
        p.DTP->setDate(QDate(2025, 3, 5));
        QCOMPARE(items(p.LstPr), QStringList({QStringLiteral("  "), QStringLiteral("  ADVIL"), QStringLiteral("  ADVIL"),
                                              QStringLiteral("  DOLIPRANE")}));

        // Stored in any order, shown in alphabetical order.
        p.CboLs->setCurrentText(QStringLiteral("  MERCK"));
        QCOMPARE(p.CboDs->currentText(), QStringLiteral("  Dupont"));
        QCOMPARE(items(p.LstPr), QStringList({QStringLiteral("  "), QStringLiteral("  ASPIRINE"), QStringLiteral("  ZYRTEC")}));

        // Replacing: one product less and another delegate, same record.
        p.CboLs->setCurrentText(QStringLiteral("  BAYER"));
        p.LstPr->setCurrentRow(1);
        p.CmdRetirePr->click();
        p.CboDs->setCurrentText(QStringLiteral("  Dupont"));
        QCOMPARE(p.CboLs->currentText(), QStringLiteral("  BAYER"));
        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), QStringLiteral("Données enregistrées !"));
        stored = produits.find(QStringLiteral("BAYER"), QStringLiteral("DR A"), QStringLiteral("2025-03-05"));
        QCOMPARE(stored->produit, QStringLiteral("ADVIL\nDOLIPRANE\n"));
        QCOMPARE(stored->delegue, QStringLiteral("Dupont"));
        QCOMPARE(produits.forMedecin(QStringLiteral("DR A")).size(), 2);

        p.LstPr->clearSelection();
        p.LstPr->setCurrentRow(-1);
        dialogs::script::push(QMessageBox::Ok);
        p.CmdRetirePr->click();
        QCOMPARE(lastText(), QStringLiteral("Quel produit faut il retirer !"));

        // Emptied and recorded: the visit goes.
        while (p.LstPr->count() > 1) {
            p.LstPr->setCurrentRow(p.LstPr->count() - 1);
            p.CmdRetirePr->click();
        }
        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), QStringLiteral("Suppression des données enregistrées !"));
        QVERIFY(!produits.find(QStringLiteral("BAYER"), QStringLiteral("DR A"), QStringLiteral("2025-03-05")));
        QCOMPARE(produits.forMedecin(QStringLiteral("DR A")).size(), 1);

        // No laboratory: nothing written.
        p.CboLs->setCurrentIndex(-1);
        p.CboPr->setCurrentIndex(0);
        p.CmdAjoutePr->click();
        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), QStringLiteral("Une donnée n'est pas renseignée !"));
        QCOMPARE(produits.forMedecin(QStringLiteral("DR A")).size(), 1);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void delegateChoiceFollowsItsLaboratory()
    {
        TestEnv env;
        auto w = startOn(env, {{QStringLiteral("BAYER"), QStringLiteral("Martin")}, {QStringLiteral("MERCK"), QStringLiteral("Dupont")}},
                         {visit(QStringLiteral("DR A"), QStringLiteral("2025-03-05"), QStringLiteral("MERCK"),
                                QStringLiteral("Dupont"), QStringLiteral("ADVIL\n"))});
        ProductsWidgets &p = w->view().products;
        selectDoctor(*w, 0);
        w->showTab(3);

        giveFocus(p.CboDs);
        p.CboDs->setCurrentText(QStringLiteral("  Dupont"));
        QCOMPARE(p.CboLs->currentText(), QStringLiteral("  MERCK"));
        QCOMPARE(items(p.LstPr), QStringList({QStringLiteral("  "), QStringLiteral("  ADVIL")}));
        // The laboratory choice ends the delegate's turn.
        QVERIFY(!w->state().ClicDelegue);

        // A selection the program makes does not chain back.
        p.CboDs->setCurrentText(QStringLiteral("  Martin"));
        QCOMPARE(p.CboLs->currentText(), QStringLiteral("  MERCK"));

        // BAYER's delegate renamed elsewhere: the old name finds nothing.
        LaboRecord bayer = *w->store().labos().findByLabo(QStringLiteral("BAYER"));
        bayer.nom = QStringLiteral("Durand");
        w->store().labos().update(bayer);
        p.CboDs->setCurrentText(QStringLiteral("  Dupont"));
        giveFocus(p.CboDs);
        dialogs::script::push(QMessageBox::Ok);
        p.CboDs->setCurrentText(QStringLiteral("  Martin"));
        QCOMPARE(lastText(), QStringLiteral("Laboratoire correspondant effacé ou renommé !"));
        QCOMPARE(p.CboDs->currentIndex(), -1);
        QCOMPARE(p.CboLs->currentIndex(), -1);
        QCOMPARE(p.LstPr->count(), 0);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void historyWholeAndFiltered()
    {
        TestEnv env;
        const QString drA = QStringLiteral("DR A");
        auto w = startOn(env, {{QStringLiteral("BAYER"), QStringLiteral("Martin")}, {QStringLiteral("MERCK"), QStringLiteral("Dupont")}},
                         {visit(drA, QStringLiteral("2024-12-31"), QStringLiteral("BAYER"), QStringLiteral("Martin"),
                                QStringLiteral("PARASPIRINE 500\n")),
                          visit(drA, QStringLiteral("2025-01-02"), QStringLiteral("BAYER"), QStringLiteral("Martin"),
                                QStringLiteral("ASPIRINE\n")),
                          visit(drA, QStringLiteral("2025-01-02"), QStringLiteral("MERCK"), QStringLiteral("Dupont"),
                                QStringLiteral("ADVIL\néphédrine\n")),
                          visit(drA, QStringLiteral("2023-06-15"), QStringLiteral("MERCK"), QStringLiteral("Dupont"),
                                QStringLiteral("DOLIPRANE\n")),
                          visit(QStringLiteral("DR B"), QStringLiteral("2025-02-01"), QStringLiteral("BAYER"),
                                QStringLiteral("Martin"), QStringLiteral("ASPIRINE\n"))},
                         QByteArray("aspi\r\n\xC9PH\xC9" "DRINE\r\n"));
        ProductsWidgets &p = w->view().products;
        selectDoctor(*w, 0);
        w->Remplir_Historique();

        const QStringList whole{QStringLiteral("  02/01/2025  MERCK  [Dupont]   ADVIL / éphédrine "),
                                QStringLiteral("  02/01/2025  BAYER  [Martin]   ASPIRINE "),
                                QStringLiteral("  31/12/2024  BAYER  [Martin]   PARASPIRINE 500 "),
                                QStringLiteral("  15/06/2023  MERCK  [Dupont]   DOLIPRANE ")};
        QCOMPARE(items(p.LstHistPr), whole);

        // A part of a longer name matches, any case.
        p.CboPrPr->setCurrentText(QStringLiteral("  ASPI"));
        QCOMPARE(items(p.LstHistPr), QStringList({QStringLiteral("  02/01/2025    [Martin]     BAYER"),
                                                  QStringLiteral("  31/12/2024    [Martin]     BAYER")}));
        QCOMPARE(p.CmdTH->text(), QStringLiteral("Montrer tout l'historique"));
        p.CboPrPr->setCurrentText(QStringLiteral("  ÉPHÉDRINE"));
        QCOMPARE(items(p.LstHistPr), QStringList{QStringLiteral("  02/01/2025    [Dupont]     MERCK")});

        // Another filter clears the others and builds the list once.
        QSignalSpy resets(p.LstHistPr->model(), &QAbstractItemModel::modelReset);
        p.CboDh->setCurrentText(QStringLiteral("  Dupont"));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(p.CboPrPr->currentIndex(), -1);
        QCOMPARE(items(p.LstHistPr), QStringList({QStringLiteral("  02/01/2025  [MERCK]   ADVIL / éphédrine "),
                                                  QStringLiteral("  15/06/2023  [MERCK]   DOLIPRANE ")}));
        p.CboLh->setCurrentText(QStringLiteral("  BAYER"));
        QCOMPARE(p.CboDh->currentIndex(), -1);
        QCOMPARE(items(p.LstHistPr), QStringList({QStringLiteral("  02/01/2025  [Martin]   ASPIRINE "),
                                                  QStringLiteral("  31/12/2024  [Martin]   PARASPIRINE 500 ")}));

        // The button shows everything again, then empties the display only.
        p.CmdTH->click();
        QCOMPARE(p.CmdTH->text(), QStringLiteral("Supprimer tout l'historique"));
        QCOMPARE(p.CboLh->currentIndex(), -1);
        QCOMPARE(items(p.LstHistPr), whole);
        p.CmdTH->click();
        QCOMPARE(p.CmdTH->text(), QStringLiteral("Montrer tout l'historique"));
        QCOMPARE(p.LstHistPr->count(), 0);
        QCOMPARE(w->store().produits().forMedecin(drA).size(), 4);

        // A doctor without visits: empty, filtered or not.
        selectDoctor(*w, 2);
        w->Remplir_Historique();
        QCOMPARE(p.LstHistPr->count(), 0);
        p.CboLh->setCurrentText(QStringLiteral("  BAYER"));
        QCOMPARE(p.LstHistPr->count(), 0);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void historyTooltipShowsTheLineUnderThePointer()
    {
        TestEnv env;
        auto w = startOn(env, {{QStringLiteral("BAYER"), QStringLiteral("Martin")}},
                         {visit(QStringLiteral("DR A"), QStringLiteral("2025-01-02"), QStringLiteral("BAYER"),
                                QStringLiteral("Martin"), QStringLiteral("ASPIRINE\nADVIL\n")),
                          visit(QStringLiteral("DR A"), QStringLiteral("2025-01-03"), QStringLiteral("BAYER"),
                                QStringLiteral("Martin"), QStringLiteral("DOLIPRANE\n"))});
        ProductsWidgets &p = w->view().products;
        selectDoctor(*w, 0);
        w->showTab(3);
        w->resize(1200, 800);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->Remplir_Historique();
        QCOMPARE(p.LstHistPr->count(), 2);

        auto move = [&](const QPoint &pos, Qt::MouseButtons buttons) {
            QMouseEvent event(QEvent::MouseMove, pos, p.LstHistPr->viewport()->mapToGlobal(pos), Qt::NoButton,
                              buttons, Qt::NoModifier);
            QApplication::sendEvent(p.LstHistPr->viewport(), &event);
        };
        move(p.LstHistPr->visualItemRect(p.LstHistPr->item(1)).center(), Qt::NoButton);
        QCOMPARE(p.LstHistPr->toolTip(), p.LstHistPr->item(1)->text());
        // While a button is held the tooltip stays.
        move(p.LstHistPr->visualItemRect(p.LstHistPr->item(0)).center(), Qt::LeftButton);
        QCOMPARE(p.LstHistPr->toolTip(), p.LstHistPr->item(1)->text());
        move(QPoint(5, p.LstHistPr->viewport()->height() - 3), Qt::NoButton);
        QCOMPARE(p.LstHistPr->toolTip(), QString());
    }

    void switchingTheFeatureOffAndOn()
    {
        TestEnv env;
        auto w = startOn(env, {{QStringLiteral("BAYER"), QStringLiteral("Martin")}},
                         {visit(QStringLiteral("DR A"), QStringLiteral("2025-01-02"), QStringLiteral("BAYER"),
                                QStringLiteral("Martin"), QStringLiteral("ASPIRINE\n"))});
        MainView &v = w->view();
        QAction *option = v.menus.mnuProduits;
        QCOMPARE(v.TS->count(), 3);
        QVERIFY(option->isChecked());
        selectDoctor(*w, 0);

        // Off while the products tab is shown: the first tab comes back.
        w->showTab(3);
        option->trigger();
        QCOMPARE(v.TS->count(), 2);
        QCOMPARE(v.TS->currentIndex(), 0);
        QCOMPARE(v.pages->currentIndex(), 0);
        QVERIFY(!option->isChecked());
        QCOMPARE(w->state().AvecProduits, 0);
        QCOMPARE(TestEnv::readFile(env.programFile(files::VsIni)), QByteArray("100,0,0,0\r\n"));

        // On: the tab comes back unselected and the history is filled.
        w->showTab(2);
        v.products.LstHistPr->clear();
        option->trigger();
        QCOMPARE(v.TS->count(), 3);
        QCOMPARE(v.TS->tabText(2), QStringLiteral("Produits présentés"));
        QCOMPARE(v.TS->currentIndex(), 1);
        QVERIFY(option->isChecked());
        QCOMPARE(w->state().AvecProduits, 1);
        QCOMPARE(v.products.LstHistPr->count(), 1);
        QCOMPARE(TestEnv::readFile(env.programFile(files::VsIni)), QByteArray("100,0,1,0\r\n"));

        // Off while another tab is shown: that tab stays.
        option->trigger();
        QCOMPARE(v.TS->currentIndex(), 1);
        QCOMPARE(v.pages->currentIndex(), 1);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TestProductsWindow)
#include "tst_products_window.moc"
