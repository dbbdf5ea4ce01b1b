// The icon bar and its three pop-up menus, from the real window.
#include "support/TestEnv.h"

#include "app/ui/FrmLabo.h"
#include "app/ui/Tooltips.h"
#include "common/ui/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

using namespace tv;
using tvtest::TestEnv;

namespace {

// Each entry as "name|caption", a separator as "name|-", a submenu's
// entries indented by ">".
QStringList tree(const QMenu *menu, const QString &indent = QString())
{
    QStringList lines;
    for (const QAction *action : menu->actions()) {
        lines.append(indent + action->objectName() + u"|"_s + (action->isSeparator() ? u"-"_s : action->text()));
        if (action->menu())
            lines += tree(action->menu(), indent + u">"_s);
    }
    return lines;
}

} // namespace

class TstMenus : public QObject {
    Q_OBJECT

private slots:
    void menusMatchTheDocumentedTable()
    {
        tvtest::TestEnv env;
        env.prepareData({}, u"100,0,0,0"_s);
        auto window = env.startWindow();
        const MenuActions &m = window->view().menus;
        QCOMPARE(m.mnupara->title(), u"Parametres"_s);
        QCOMPARE(tree(m.mnupara), QStringList({
                                      "mnuparaAG|Paramètres Agenda",
                                      ">mnuSansRV|Jours sans RV pour congés, absence...",
                                      ">mnuMax|Nombre maximum de labos reçus par jour",
                                      "mnuVoirRV|Voir les RV d'un mois pour un médecin",
                                  }));
        QCOMPARE(m.mnuoptions->title(), u"Options"_s);
        QCOMPARE(tree(m.mnuoptions), QStringList({
                                         "mnuSelMed|Sélectionner un Médecin à l'ouverture du programme",
                                         "mnuHeure|Enregistrer l'heure des RV",
                                         "mnusep4|-",
                                         "mnuProduits|Gèrer les produits présentés",
                                         "mnusep5|-",
                                         "mnuDeplaceBDD|Copier et déplacer des fichiers de données",
                                         "mnuCheminBDD|Changer le chemin de la base de données",
                                         "mnusep0|-",
                                         "mnurenomlabo|Renommer un labo",
                                         "mnuSuplabo|Supprimer un labo",
                                         "mnusep1|-",
                                         "mnuSupMed|Supprimer un médecin",
                                         "mnusep2|-",
                                         "mnusupRV|Supprimer un Rendez-vous",
                                         "mnuPurger|Purger les Rendez-vous",
                                         "mnusep3|-",
                                         "mnuRepare|Réparer et compacter la base de données",
                                     }));
        QCOMPARE(m.mnuAPropos->title(), u"A propos"_s);
        QCOMPARE(tree(m.mnuAPropos),
                 QStringList({"mnuEcrire|M'écrire ...", "mnuSite|Mon site Ouaib ...", "mnuAP|A propos ..."}));
    }

    // The time option is switched from its menu entry and kept in Vs.ini.
    void timeOptionIsSaved()
    {
        tvtest::TestEnv env;
        env.prepareData({u"Dr A"_s}, u"100,0,1,0"_s);
        auto window = env.startWindow();
        window->view().menus.mnuHeure->trigger();
        QCOMPARE(window->state().AvecHeure, 1);
        QCOMPARE(TestEnv::readFile(env.programFile(u"Vs.ini"_s)), QByteArray("100,1,1,0\r\n"));
    }

    void buttonsOpenTheirMenus()
    {
        tvtest::TestEnv env;
        env.prepareData({}, u"100,0,0,0"_s);
        auto window = env.startWindow();
        window->show();
        const MenuActions &m = window->view().menus;
        const QList<QPair<int, QMenu *>> popups = {{2, m.mnupara}, {4, m.mnuoptions}, {5, m.mnuAPropos}};
        for (const auto &[index, menu] : popups) {
            window->view().menu[index]->click();
            QVERIFY2(menu->isVisible(), qPrintable(menu->objectName()));
            menu->hide();
        }
        window->menu_Click(-1);
        window->menu_Click(10);
        QVERIFY(window->isVisible());
        window->view().menu[3]->click();
        QVERIFY(!window->isVisible());
        QVERIFY(!window->hasStore());
    }

    void iconBarTooltipsAreMadeOnce()
    {
        tvtest::TestEnv env;
        env.prepareData({}, u"100,0,0,0"_s);
        auto window = env.startWindow();
        window->show();
        for (int i = 0; i < 3; ++i) {
            window->menu_Click(2);
            window->view().menus.mnupara->hide();
            Form_Activate(*window);
        }
        BalloonTips &tips = balloonTips(*window);
        QCOMPARE(tips.toolCount(), 6);
        QCOMPARE(window->findChildren<QLabel *>(u"BalloonTip"_s).size(), 1);
        const MainView &v = window->view();
        QCOMPARE(tips.textOf(v.menu[0]), u"Ajouter un\r\n médecin"_s);
        QVERIFY(tips.textOf(v.menu[5]).isEmpty());
    }

    // A box really shown (no test script) leaves no record behind.
    void shownBoxesAreNotRecorded()
    {
        dialogs::script::reset();
        dialogs::script::setStrict(false);
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        dialogs::information(nullptr, u"Données enregistrées !"_s);
        QVERIFY(dialogs::script::log().empty());
    }
};

QTEST_MAIN(TstMenus)
#include "tst_menus.moc"
