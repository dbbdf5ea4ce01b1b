// The About window, its links and the two menu links.
#include "support/TestEnv.h"

#include "about/core/Links.h"
#include "about/ui/FrmApropos.h"
#include "app/ui/FrmLabo.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

using namespace tv;

namespace {

void moveOver(QWidget *w)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

void clickOn(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
}

} // namespace

class TstAbout : public QObject {
    Q_OBJECT

    QList<QUrl> opened;

private slots:
    void init()
    {
        opened.clear();
        FrmApropos::setOpener([this](const QUrl &url) { opened.append(url); });
    }
    void cleanup() { FrmApropos::setOpener({}); }

    void linksAndVersion()
    {
        QCOMPARE(links::versionCaption(2, 4, 0), u"[Version 2.4.0]"_s);
        QCOMPARE(links::mailFromMenu().toString(QUrl::FullyDecoded),
                 u"mailto:"_s + links::AuthorMail + u"?Subject=A propos de Tallvane  "_s);
        QCOMPARE(links::mailFromAbout().toString(QUrl::FullyDecoded),
                 u"mailto:"_s + links::AuthorMail + u" "_s);
        QCOMPARE(links::site().scheme(), u"https"_s);
    }

    void windowShowsItsLabels()
    {
        FrmApropos about;
        QCOMPARE(about.objectName(), u"FrmApropos"_s);
        QCOMPARE(about.Label4->text(), u"Tallvane"_s);
        QCOMPARE(about.Lblversion->text(), links::versionCaption(TALLVANE_VERSION_MAJOR, TALLVANE_VERSION_MINOR,
                                                                 TALLVANE_VERSION_PATCH));
        QCOMPARE(about.Label3->text(), u"Mars 2014"_s);
        QCOMPARE(about.Label1->text(), links::WebSite);
        QCOMPARE(about.Label2->text(), links::AuthorMail);
        for (const char *name : {"Image1", "Image2", "Image3", "cmdf", "CmdFermer", "Panel"})
            QVERIFY2(about.findChild<QWidget *>(QString::fromLatin1(name)), name);
    }

    void linksUnderlineOneAtATimeAndOpenOnClick()
    {
        FrmApropos about;
        about.show();
        moveOver(about.Label1);
        QVERIFY(about.hovered(1));
        QVERIFY(about.Label1->font().underline());
        QCOMPARE(about.Label1->cursor().shape(), Qt::PointingHandCursor);
        moveOver(about.Label2);
        QVERIFY(about.Label2->font().underline());
        QVERIFY(!about.Label1->font().underline());
        QVERIFY(about.hovered(2) && !about.hovered(1));
        moveOver(about.Panel);
        QVERIFY(!about.Label1->font().underline() && !about.Label2->font().underline());
        moveOver(about.Label2);
        QVERIFY(about.Label2->font().underline());

        clickOn(about.Label1);
        clickOn(about.Label2);
        QCOMPARE(opened, QList<QUrl>({links::site(), links::mailFromAbout()}));
        about.CmdFermer->click();
        QVERIFY(!about.isVisible());
    }

    void menuEntries()
    {
        tvtest::TestEnv env;
        env.prepareData({}, u"100,0,0,0"_s);
        auto window = env.startWindow();
        window->show();
        window->view().menus.mnuSite->trigger();
        window->view().menus.mnuEcrire->trigger();
        QCOMPARE(opened, QList<QUrl>({links::site(), links::mailFromMenu()}));

        QString shown;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                shown = modal->objectName();
                poll.stop();
                QTimer::singleShot(0, modal, [modal] { modal->findChild<QToolButton *>(u"CmdFermer"_s)->click(); });
            }
        });
        poll.start(20);
        window->view().menus.mnuAP->trigger();
        QCOMPARE(shown, u"FrmApropos"_s);
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
