// Window size and font rules, and the balloon tips' behaviour.
#include "app/ui/ScreenLayout.h"
#include "app/ui/Tooltips.h"
#include "common/core/LayoutRules.h"

#include <QEnterEvent>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

using namespace tv;

class TstLayout : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsItsProportions()
    {
        const QSize designed(1200, 800);
        const auto f = layout::windowFactors(designed, QSize(1920, 1040));
        QCOMPARE(f.window, QSize(1410, 940));
        QCOMPARE(f.fh, 940.0 / 800.0);

        // Exactly the designed height plus the margin: nothing moves.
        const auto same = layout::windowFactors(designed, QSize(1600, 900));
        QCOMPARE(same.window, designed);
        QCOMPARE(same.fl, 1.0);

        // A screen too narrow for the proportions caps the width.
        const auto narrow = layout::windowFactors(designed, QSize(900, 1200));
        QCOMPARE(narrow.window, QSize(900, 600));
        QCOMPARE(narrow.fl, narrow.fh);

        // Placed with the size its contents gave it, whole on the screen.
        QCOMPARE(layout::windowPosition(QRect(0, 0, 1600, 1000), QSize(1456, 900)), QPoint(72, 0));
        QCOMPARE(layout::windowPosition(QRect(100, 20, 1600, 1000), QSize(1328, 900)), QPoint(236, 20));
        QCOMPARE(layout::windowPosition(QRect(0, 0, 800, 560), QSize(1456, 900)), QPoint(0, 0));
    }

    void fontRules()
    {
        QCOMPARE(layout::scaledFontSize(8, 1.3, 800), 8.0); // not a wide screen
        QCOMPARE(layout::scaledFontSize(12, 1.3, 1920), 11.0);
        QCOMPARE(layout::scaledFontSize(8, 1.5, 1920), 11.0); // grown, then capped
        QCOMPARE(layout::scaledFontSize(10, 1.5, 1920), 10.0);
    }

    void inheritedFontsAreScaledOnce()
    {
        QWidget parent;
        QFont font = parent.font();
        font.setPointSizeF(8);
        parent.setFont(font);
        auto *child = new QLabel(u"x"_s, &parent);
        auto *big = new QLabel(u"y"_s, &parent);
        QFont large = big->font();
        large.setPointSizeF(14);
        big->setFont(large);
        scaleFonts(&parent, 1.25, 1920);
        QCOMPARE(parent.font().pointSizeF(), 10.0);
        QCOMPARE(child->font().pointSizeF(), 10.0);
        QCOMPARE(big->font().pointSizeF(), 11.0);
    }

    void balloonShowsAfterItsDelayAndHides()
    {
        QWidget owner;
        auto *layout = new QVBoxLayout(&owner);
        auto *button = new QToolButton(&owner);
        layout->addWidget(button);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        BalloonTips tips(&owner);
        BalloonStyle quick;
        quick.delayMs = 50;
        quick.durationMs = 150;
        tips.attach(button, u"Quitter\r\nle programme"_s, quick);

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QCoreApplication::sendEvent(button, &enter);
        QLabel *tip = tips.tipWindow();
        QVERIFY(!tip->isVisible());
        QTRY_VERIFY(tip->isVisible());
        QCOMPARE(tip->text(), u"Quitter\nle programme"_s);
        QTRY_VERIFY(!tip->isVisible()); // its display time is over

        QCoreApplication::sendEvent(button, &enter);
        QTRY_VERIFY(tip->isVisible());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        QVERIFY(!tip->isVisible());
    }
};

QTEST_MAIN(TstLayout)
#include "tst_layout.moc"
