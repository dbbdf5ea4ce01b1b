// Doctors through the real main window: add, select, delete, and the doctor
// chosen for start-up.
#include "TestEnv.h"

#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "labs/ui/DoctorsController.h"
#include "store/files/SettingsFiles.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv;
using tvtest::TestEnv;

using tvtest::count;

class TstDoctors : public QObject {
    Q_OBJECT

private slots:
    void addingADoctorWritesTheFileAndOneQuotaRowPerLaboratory()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha"});
        {
            auto store = env.openStore();
            for (const char *labo : {"L1", "L2", "L3"})
                store->addLaboratory(labo, {});
        }
        auto w = env.startWindow();
        dialogs::script::pushInput(u"Dr Hélène Durand"_s);
        dialogs::script::push(QMessageBox::Ok);
        w->menu_Click(0);
        QVERIFY(tvtest::noUnexpectedDialogs());

        QCOMPARE(dialogs::script::texts().last(),
                 u"Pensez à remplir les paramètres de l'agenda pour ce nouveau médecin\n"
                 "(3ème icône de la barre de menu)"_s);

        MainView &v = w->view();
        QCOMPARE(v.labo.LstMed->text(), u"  DR HÉLÈNE DURAND"_s);
        QCOMPARE(*doctorsfile::read(env.dataFolder()), QStringList({"Dr Alpha", "Dr Hélène Durand"}));

        auto store = env.openStore();
        QCOMPARE(count(*store, "SELECT COUNT(*) FROM Passage WHERE Medecin = 'DR HÉLÈNE DURAND'"), 3);
        QCOMPARE(count(*store, "SELECT COUNT(*) FROM Passage WHERE Labo = 'L2' AND Passage IS NULL"), 1);
    }

    void anEmptyOrCancelledNameOrTheDeleteEntryChangesNothing()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha"});
        auto w = env.startWindow();
        dialogs::script::pushInput(std::nullopt);
        w->menu_Click(0);
        dialogs::script::pushInput(QString());
        w->menu_Click(0);
        QVERIFY(tvtest::noUnexpectedDialogs());
        QCOMPARE(w->view().labo.LstMed->count(), 1);
        QCOMPARE(*doctorsfile::read(env.dataFolder()), QStringList({"Dr Alpha"}));

        // The delete entry of the menu only says how to delete.
        dialogs::script::push(QMessageBox::Ok);
        w->view().menus.mnuSupMed->trigger();
        QCOMPARE(dialogs::script::texts().back(), u"Faites un double click sur le médecin à supprimer."_s);
    }

    void deletingADoctorKeepsHisProducts()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha", "dr alpha", "Dr Beta", "DR ALPHA "});
        {
            auto store = env.openStore();
            store->addLaboratory("L1", {"DR ALPHA", "DR BETA"});
            store->visites().insert({0, "DR ALPHA", "L1", "05", "03", "2025", ""});
            store->visites().insert({0, "DR BETA", "L1", "05", "03", "2025", ""});
            store->produits().insert({0, "DR ALPHA", "L1", "Jean", "2025-03-05", "P\n"});
        }
        auto w = env.startWindow();
        MainView &v = w->view();
        v.labo.LstMed->setCurrentRow(0);

        dialogs::script::push(QMessageBox::No);
        w->doctors().LstMed_DblClick();
        QCOMPARE(v.labo.LstMed->count(), 4);
        const auto &question = dialogs::script::log().back();
        QCOMPARE(question.text, u"Supprimer de la liste DR ALPHA ?"_s);
        QCOMPARE(question.defaultButton, QMessageBox::No);

        dialogs::script::push(QMessageBox::Yes);
        w->doctors().LstMed_DblClick();
        QVERIFY(tvtest::noUnexpectedDialogs());
        // Every line naming him in any case goes; "DR ALPHA " differs by its blank.
        QCOMPARE(*doctorsfile::read(env.dataFolder()), QStringList({"Dr Beta", "DR ALPHA "}));
        QCOMPARE(v.labo.LblMed->text(), u"Sélectionnez un médecin"_s);

        auto store = env.openStore();
        QCOMPARE(count(*store, "SELECT COUNT(*) FROM Visite"), 1);
        QCOMPARE(count(*store, "SELECT COUNT(*) FROM Passage WHERE Medecin = 'DR ALPHA'"), 0);
        QCOMPARE(count(*store, "SELECT COUNT(*) FROM Produit"), 1);
    }

    void choosingTheStartUpDoctor()
    {
        TestEnv env;
        env.prepareData({"Dr Alpha", "Dr Beta"}, "100,1,0,1");
        auto w = env.startWindow();
        MainView &v = w->view();

        // Yes, then a click on the doctor asks the question.
        dialogs::script::push(QMessageBox::Yes);
        dialogs::script::push(QMessageBox::Ok);
        v.menus.mnuSelMed->trigger();
        dialogs::script::push(QMessageBox::Yes);
        v.labo.LstMed->setCurrentRow(1);
        QCOMPARE(dialogs::script::log().back().text, u"Sélectionner DR BETA au lancement de Tallvane ?"_s);
        QCOMPARE(TestEnv::readFile(env.programFile("Vs.ini")), QByteArray("1,1,0,1\r\n"));

        // No to "Si vous répondez NON" clears the start-up doctor.
        dialogs::script::push(QMessageBox::No);
        v.menus.mnuSelMed->trigger();
        QCOMPARE(TestEnv::readFile(env.programFile("Vs.ini")), QByteArray("100,1,0,1\r\n"));
        QVERIFY(tvtest::noUnexpectedDialogs());
    }
};

QTEST_MAIN(TstDoctors)
#include "tst_doctors.moc"
