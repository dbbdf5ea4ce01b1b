// The products page driven through the real main window: catalogue,
// recording a visit, the history and switching the feature.
#include "support/LabsFixture.h"

#include "products/core/HistoryLines.h"
#include "store/files/SettingsFiles.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>

using namespace Qt::StringLiterals;

using namespace tv;
using labstest::items;
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
    env.prepareData({u"Dr A"_s, u"Dr B"_s, u"Dr C"_s}, u"100,0,1,0"_s);
    if (!medoc.isNull())
        env.writeFile(env.dataFile(files::Medoc), medoc);
    {
        auto store = env.openStore();
        for (const Lab &lab : labs) {
            store->addLaboratory(lab.labo, {u"DR A"_s, u"DR B"_s, u"DR C"_s});
            LaboRecord record = *store->labos().findByLabo(lab.labo).get();
            record.nom = lab.nom;
            store->labos().update(record);
        }
        for (const ProduitRecord &visit : visits)
            store->produits().insert(visit);
    }
    return env.startWindow();
}

// Selects a doctor the way the products routines read him, without running
// the other subsystems' doctor handler.
void selectDoctor(FrmLabo &w, int row)
{
    const QSignalBlocker blocker(w.view().labo.LstMed);
    w.view().labo.LstMed->setCurrentRow(row);
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

class TstProductsWindow : public QObject {
    Q_OBJECT
private slots:
    void catalogueAddAndDeleteWithHandEditedFile()
    {
        TestEnv env;
        auto w = startOn(env, {}, {}, QByteArray("doliprane\r\nadvil  \r\n\xC9lixir\r\n"));
        ProductsWidgets &p = w->view().products;
        const QString medoc = env.dataFile(files::Medoc);

        QCOMPARE(items(p.CboPr), QStringList({u"  ADVIL  "_s, u"  DOLIPRANE"_s, u"  ÉLIXIR"_s}));

        // A blank erased from the empty box comes back; typed into it, the
        // name follows the two blanks.
        QTest::keyClick(p.CboPr->lineEdit(), Qt::Key_Backspace);
        QCOMPARE(p.CboPr->currentText(), u"  "_s);
        QTest::keyClicks(p.CboPr->lineEdit(), u"aspirine"_s);
        QCOMPARE(p.CboPr->currentText(), u"  aspirine"_s);
        w->view().menu[8]->click();
        QCOMPARE(TestEnv::readFile(medoc), QByteArray("doliprane\r\nadvil  \r\n\xC9lixir\r\naspirine\r\n"));

        // Already listed, blanks and case aside: refused, nothing written.
        p.CboPr->setEditText(u"  élixir   "_s);
        dialogs::script::push(QMessageBox::Ok);
        w->view().menu[8]->click();
        QCOMPARE(lastText(), u"Produit déjà enregistré !"_s);
        QCOMPARE(p.CboPr->count(), 4);

        // A typed text is no selection.
        p.CboPr->setEditText(u"  zzz"_s);
        dialogs::script::push(QMessageBox::Ok);
        w->view().menu[9]->click();
        QCOMPARE(lastText(), u"Quel médicament faut-il suuprimer de la liste ?"_s);

        // No keeps the name; the question defaults to No.
        p.CboPr->setCurrentIndex(0);
        dialogs::script::push(QMessageBox::No);
        w->view().menu[9]->click();
        QCOMPARE(lastText(), u"Supprimer   ADVIL   ?"_s);
        QCOMPARE(dialogs::script::log().back().defaultButton, QMessageBox::No);
        QCOMPARE(p.CboPr->count(), 4);

        // The hand-typed line keeps its blanks in the comparison: it stays,
        // trimmed like every kept line.
        dialogs::script::push(QMessageBox::Yes);
        w->view().menu[9]->click();
        QCOMPARE(TestEnv::readFile(medoc), QByteArray("doliprane\r\nadvil\r\n\xC3\x89lixir\r\naspirine\r\n"));
        QCOMPARE(items(p.CboPr).at(0), u"  ADVIL"_s);

        p.CboPr->setCurrentIndex(p.CboPr->findText(u"  DOLIPRANE"_s));
        dialogs::script::push(QMessageBox::Yes);
        w->view().menu[9]->click();
        const QStringList left{u"  ADVIL"_s, u"  ASPIRINE"_s, u"  ÉLIXIR"_s};
        QCOMPARE(items(p.CboPr), left);
        QCOMPARE(items(p.CboPrPr), left);
        QCOMPARE(TestEnv::readFile(medoc), QByteArray("advil\r\n\xC3\x89lixir\r\naspirine\r\n"));
        QVERIFY(!QFile::exists(env.dataFile(files::MedocTmp)));

        // The file is read again by the next start-up.
        w.reset();
        auto again = env.startWindow();
        QCOMPARE(items(again->view().products.CboPr), left);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void recordReloadReplaceAndDeleteAVisit()
    {
        TestEnv env;
        auto w = startOn(env, {{u"BAYER"_s, u"Martin"_s}, {u"MERCK"_s, u"Dupont"_s}},
                         {visit(u"DR A"_s, u"2025-03-05"_s, u"MERCK"_s, u"Dupont"_s, u"ÉLUDRIL\nASPIRINE\n"_s)},
                         QByteArray("doliprane\r\nzyrtec\r\nadvil\r\n\xC3\x89ludril\r\n"));
        ProductsWidgets &p = w->view().products;
        // French order, accents and case aside.
        const QStringList catalogue{u"  ADVIL"_s, u"  DOLIPRANE"_s, u"  ÉLUDRIL"_s, u"  ZYRTEC"_s};
        QCOMPARE(items(p.CboPr), catalogue);
        QCOMPARE(items(p.CboPrPr), catalogue);
        ProduitRepository &produits = w->store().produits();
        selectDoctor(*w, 0);
        w->showTab(3);

        // Choosing a laboratory selects its delegate.
        p.CboLs->setCurrentText(u"  BAYER"_s);
        QCOMPARE(p.CboDs->currentText(), u"  Martin"_s);

        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), u"Aucun produit n'est sélectionné !"_s);
        // The box's empty state adds a blank entry, and blank entries only
        // are still a visit to record.
        p.CmdAjoutePr->click();
        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), u"Données enregistrées !"_s);
        QVERIFY(produits.find(u"BAYER"_s, u"DR A"_s, u"2025-03-05"_s).get());

        p.CboPr->setCurrentIndex(p.CboPr->findText(u"  DOLIPRANE"_s));
        p.CmdAjoutePr->click();
        p.CboPr->setCurrentIndex(p.CboPr->findText(u"  ADVIL"_s));
        QTest::mouseDClick(p.CboPr->lineEdit(), Qt::LeftButton);
        emit p.CboPrList->doubleClicked(p.CboPr->model()->index(0, 0));
        QCOMPARE(items(p.LstPr), QStringList({u"  "_s, u"  ADVIL"_s, u"  ADVIL"_s, u"  DOLIPRANE"_s}));

        // Emptied past its handler, which never leaves it empty.
        QSignalBlocker(p.CboPr), p.CboPr->setEditText(QString());
        dialogs::script::push(QMessageBox::Ok);
        p.CmdAjoutePr->click();
        QCOMPARE(lastText(), u"Sélectionnez un produit !"_s);

        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), u"Données enregistrées !"_s);
        auto stored = produits.find(u"BAYER"_s, u"DR A"_s, u"2025-03-05"_s).get();
        QVERIFY(stored);
        QCOMPARE(stored->produit, u"ADVIL\nADVIL\nDOLIPRANE\n"_s);
        QCOMPARE(stored->delegue, u"Martin"_s);

        // Another date shows another visit; coming back reloads this one.
        p.DTP->setDate(QDate(2025, 3, 6));
        p.DTP->setDate(QDate(2025, 3, 5));
        QCOMPARE(items(p.LstPr), QStringList({u"  "_s, u"  ADVIL"_s, u"  ADVIL"_s, u"  DOLIPRANE"_s}));

        // Stored in any order, shown in alphabetical order.
        p.CboLs->setCurrentText(u"  MERCK"_s);
        QCOMPARE(items(p.LstPr), QStringList({u"  "_s, u"  ASPIRINE"_s, u"  ÉLUDRIL"_s}));
        p.CboPr->setCurrentIndex(3);
        p.CmdAjoutePr->click();
        QCOMPARE(items(p.LstPr), QStringList({u"  "_s, u"  ASPIRINE"_s, u"  ÉLUDRIL"_s, u"  ZYRTEC"_s}));

        // Replacing: one product less and another delegate, same record.
        p.CboLs->setCurrentText(u"  BAYER"_s);
        p.LstPr->setCurrentRow(1);
        p.CmdRetirePr->click();
        p.CboDs->setCurrentText(u"  Dupont"_s);
        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        stored = produits.find(u"BAYER"_s, u"DR A"_s, u"2025-03-05"_s).get();
        QCOMPARE(stored->produit, u"ADVIL\nDOLIPRANE\n"_s);
        QCOMPARE(stored->delegue, u"Dupont"_s);
        QCOMPARE(produits.forMedecin(u"DR A"_s).get().size(), 2);

        // Emptied and recorded: the visit goes.
        while (p.LstPr->count() > 1) {
            p.LstPr->setCurrentRow(p.LstPr->count() - 1);
            p.CmdRetirePr->click();
        }
        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), u"Suppression des données enregistrées !"_s);
        QVERIFY(!produits.find(u"BAYER"_s, u"DR A"_s, u"2025-03-05"_s).get());
        QCOMPARE(produits.forMedecin(u"DR A"_s).get().size(), 1);

        // No laboratory: nothing written.
        p.CboLs->setCurrentIndex(-1);
        p.CboPr->setCurrentIndex(0);
        p.CmdAjoutePr->click();
        dialogs::script::push(QMessageBox::Ok);
        p.CmdEnrPr->click();
        QCOMPARE(lastText(), u"Une donnée n'est pas renseignée !"_s);
        QCOMPARE(produits.forMedecin(u"DR A"_s).get().size(), 1);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void delegateChoiceFollowsItsLaboratory()
    {
        TestEnv env;
        auto w = startOn(env, {{u"BAYER"_s, u"Martin"_s}, {u"MERCK"_s, u"Dupont"_s}},
                         {visit(u"DR A"_s, u"2025-03-05"_s, u"MERCK"_s, u"Dupont"_s, u"ADVIL\n"_s)});
        ProductsWidgets &p = w->view().products;
        selectDoctor(*w, 0);
        w->showTab(3);

        giveFocus(p.CboDs);
        p.CboDs->setCurrentText(u"  Dupont"_s);
        QCOMPARE(p.CboLs->currentText(), u"  MERCK"_s);
        QCOMPARE(items(p.LstPr), QStringList({u"  "_s, u"  ADVIL"_s}));

        // BAYER's delegate renamed elsewhere: the old name finds nothing.
        LaboRecord bayer = *w->store().labos().findByLabo(u"BAYER"_s).get();
        bayer.nom = u"Durand"_s;
        w->store().labos().update(bayer);
        p.CboDs->setCurrentText(u"  Dupont"_s);
        giveFocus(p.CboDs);
        dialogs::script::push(QMessageBox::Ok);
        p.CboDs->setCurrentText(u"  Martin"_s);
        QCOMPARE(lastText(), u"Laboratoire correspondant effacé ou renommé !"_s);
        QCOMPARE(p.CboLs->currentIndex(), -1);
        QCOMPARE(p.LstPr->count(), 0);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    void historyWholeAndFiltered()
    {
        TestEnv env;
        const QString drA = u"DR A"_s;
        auto w = startOn(env, {{u"BAYER"_s, u"Martin"_s}, {u"MERCK"_s, u"Dupont"_s}},
                         {visit(drA, u"2024-12-31"_s, u"BAYER"_s, u"Martin"_s, u"PARASPIRINE 500\n"_s),
                          visit(drA, u"2025-01-02"_s, u"BAYER"_s, u"Martin"_s, u"ASPIRINE\n"_s),
                          visit(drA, u"2025-01-02"_s, u"MERCK"_s, u"Dupont"_s, u"ADVIL\néphédrine\n"_s),
                          visit(drA, u"2025-01-02"_s, u"ÉLAN"_s, u"dupont"_s, u"ASPIRINE\n"_s),
                          visit(drA, u"2023-06-15"_s, u"MERCK"_s, u"Dupont"_s, u"DOLIPRANE\n"_s),
                          visit(u"DR B"_s, u"2025-02-01"_s, u"BAYER"_s, u"Martin"_s, u"ASPIRINE\n"_s)},
                         QByteArray("aspi\r\n\xC9PH\xC9"
                                    "DRINE\r\n"));
        ProductsWidgets &p = w->view().products;
        selectDoctor(*w, 0);
        w->Remplir_Historique();

        // Within one day, French order from the end, case and accents aside.
        const QStringList whole{
            u"  02/01/2025  MERCK  [Dupont]   ADVIL / éphédrine "_s, u"  02/01/2025  ÉLAN  [dupont]   ASPIRINE "_s,
            u"  02/01/2025  BAYER  [Martin]   ASPIRINE "_s, u"  31/12/2024  BAYER  [Martin]   PARASPIRINE 500 "_s,
            u"  15/06/2023  MERCK  [Dupont]   DOLIPRANE "_s};
        QCOMPARE(items(p.LstHistPr), whole);

        // A part of a longer name matches, any case.
        p.CboPrPr->setCurrentText(u"  ASPI"_s);
        QCOMPARE(items(p.LstHistPr),
                 QStringList({u"  02/01/2025    [Martin]     BAYER"_s, u"  02/01/2025    [dupont]     ÉLAN"_s,
                              u"  31/12/2024    [Martin]     BAYER"_s}));
        p.CboPrPr->setCurrentText(u"  ÉPHÉDRINE"_s);
        QCOMPARE(items(p.LstHistPr), QStringList{u"  02/01/2025    [Dupont]     MERCK"_s});

        // Another filter clears the others and builds the list once.
        QSignalSpy resets(p.LstHistPr->model(), &QAbstractItemModel::modelReset);
        p.CboDh->setCurrentText(u"  Dupont"_s);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(p.CboPrPr->currentIndex(), -1);
        QCOMPARE(items(p.LstHistPr),
                 QStringList({u"  02/01/2025  [MERCK]   ADVIL / éphédrine "_s, u"  02/01/2025  [ÉLAN]   ASPIRINE "_s,
                              u"  15/06/2023  [MERCK]   DOLIPRANE "_s}));
        p.CboLh->setCurrentText(u"  BAYER"_s);
        QCOMPARE(p.CboDh->currentIndex(), -1);
        QCOMPARE(p.LstHistPr->count(), 2);

        // The button shows everything again, then empties the display only.
        p.CmdTH->click();
        QCOMPARE(items(p.LstHistPr), whole);
        p.CmdTH->click();
        QCOMPARE(p.CmdTH->text(), u"Montrer tout l'historique"_s);
        QCOMPARE(p.LstHistPr->count(), 0);
        QCOMPARE(w->store().produits().forMedecin(drA).get().size(), 5);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }

    // Three visits a day, so that a page would end inside a day: scrolled to
    // the end, the list reads as the whole history built at once.
    void longHistoryReadInPages()
    {
        TestEnv env;
        QList<ProduitRecord> visits;
        for (int i = 0; i < 160; ++i)
            visits.append(visit(u"DR A"_s, QDate(2025, 1, 1).addDays(-(i / 3)).toString(Qt::ISODate),
                                i % 2 ? u"BAYER"_s : u"MERCK"_s, i % 2 ? u"Martin"_s : u"Dupont"_s,
                                u"P%1\n"_s.arg(i % 7)));
        auto w = startOn(env, {{u"BAYER"_s, u"Martin"_s}, {u"MERCK"_s, u"Dupont"_s}}, visits);
        selectDoctor(*w, 0);
        w->Remplir_Historique();
        LineView *list = w->view().products.LstHistPr;
        w->view().pages->setCurrentWidget(w->view().products.page);
        w->show();
        const auto scrolled = [list] {
            for (int before = -1; before != list->count();) {
                before = list->count();
                list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
                QCoreApplication::processEvents();
            }
            return items(list);
        };
        const QStringList whole = history::lines(history::Mode::All, w->store().produits().forMedecin(u"DR A"_s).get());
        QCOMPARE(list->count(), whole.size());
        QCOMPARE(scrolled(), whole);
        QCOMPARE(list->model()->index(7, 0).data(Qt::ToolTipRole).toString(), list->text(7));

        w->view().products.CboDh->setCurrentText(u"  Martin"_s);
        QCOMPARE(scrolled(), history::lines(history::Mode::Delegue,
                                            w->store().produits().forDelegue(u"Martin"_s, u"DR A"_s).get()));
    }

    void switchingTheFeatureOffAndOn()
    {
        TestEnv env;
        auto w = startOn(env, {{u"BAYER"_s, u"Martin"_s}},
                         {visit(u"DR A"_s, u"2025-01-02"_s, u"BAYER"_s, u"Martin"_s, u"ASPIRINE\n"_s)});
        MainView &v = w->view();
        QAction *option = v.menus.mnuProduits;
        selectDoctor(*w, 0);

        // Off while the products tab is shown: the first tab comes back.
        w->showTab(3);
        option->trigger();
        QCOMPARE(v.TS->count(), 2);
        QCOMPARE(v.TS->currentIndex(), 0);
        QCOMPARE(v.pages->currentIndex(), 0);
        QCOMPARE(TestEnv::readFile(env.programFile(files::VsIni)), QByteArray("100,0,0,0\r\n"));

        // On: the tab comes back unselected and the history is filled.
        w->showTab(2);
        v.products.LstHistPr->clear();
        option->trigger();
        QCOMPARE(v.TS->count(), 3);
        QCOMPARE(v.TS->currentIndex(), 1);
        QCOMPARE(v.products.LstHistPr->count(), 1);
        QCOMPARE(TestEnv::readFile(env.programFile(files::VsIni)), QByteArray("100,0,1,0\r\n"));

        // Off while another tab is shown: that tab stays.
        option->trigger();
        QCOMPARE(v.pages->currentIndex(), 1);
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TstProductsWindow)
#include "tst_products_window.moc"
