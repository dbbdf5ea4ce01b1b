// The About window, its links and the two menu links.
#include "support/TestEnv.h"

#include "about/core/Links.h"
#include "about/ui/FrmApropos.h"
#include "app/ui/FrmLabo.h"

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

    void linksUnderlineOneAtATimeAndOpenOnClick()
    {
        FrmApropos about;
        about.show();
        moveOver(about.Label1);
        QVERIFY(about.Label1->font().underline());
        moveOver(about.Label2);
        QVERIFY(about.Label2->font().underline() && !about.Label1->font().underline());
        moveOver(about.Panel);
        QVERIFY(!about.Label1->font().underline() && !about.Label2->font().underline());

        clickOn(about.Label1);
        clickOn(about.Label2);
        QCOMPARE(opened, QList<QUrl>({links::site(), links::mailFromAbout()}));
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
        QCOMPARE(links::mailFromMenu().toString(QUrl::FullyDecoded),
                 u"mailto:"_s + links::AuthorMail + u"?Subject=A propos de Tallvane  "_s);

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
