#include "app/ui/ScreenLayout.h"

#include "app/ui/FrmLabo.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QToolButton>

#include <cmath>

namespace tv {

namespace {

// Twips of the drawing, in pixels.
int px(int twips)
{
    return static_cast<int>(std::lround(twips / layout::TwipsPerPixel));
}

template<typename W = QWidget>
W *control(FrmLabo &frm, const QString &name)
{
    return frm.findChild<W *>(name);
}

void setPointSize(QWidget *w, double points)
{
    if (!w || points <= 0)
        return;
    QFont font = w->font();
    font.setPointSizeF(points);
    w->setFont(font);
}

void minimumHeight(FrmLabo &frm, const QStringList &names, int twips)
{
    for (const QString &name : names) {
        if (QWidget *w = control(frm, name))
            w->setMinimumHeight(px(twips));
    }
}

void handSetSizes(FrmLabo &frm, double fh)
{
    minimumHeight(
        frm, {"CmdRV", "CmdEnr", "CmdEnrPr", "CmdAjoutePr", "CmdRetirePr", "CmdAnn", "CmdListeQuitte", "CmdTH"}, 300);
    minimumHeight(frm, {"CmdConnaitre"}, 615);
    minimumHeight(frm, {"LblNomLabo", "LblVM", "LblH", "LblS"}, 300);
    minimumHeight(frm, {"LblMois"}, 260);
    minimumHeight(frm, {"LblPass", "LblDateRV", "LblListe"}, 255);
    if (QWidget *bar = control(frm, QStringLiteral("PctMenu")))
        bar->setFixedHeight(px(630));

    for (const char *name : {"CboLs", "CboLh", "CboDs", "CboDh", "CboPrPr"})
        setPointSize(control(frm, QString::fromLatin1(name)), 8);
    if (QWidget *med = control(frm, QStringLiteral("LblMed")))
        setPointSize(med, med->font().pointSizeF() * fh);
    setPointSize(control(frm, QStringLiteral("Lblversion")), 8);

    if (QWidget *dtp = control(frm, QStringLiteral("DTP"))) {
        dtp->setMinimumHeight(px(330));
        dtp->setMinimumWidth(px(1215));
    }
    for (int i = 0; i <= 6; ++i) {
        minimumHeight(frm, {QStringLiteral("TextVM_%1").arg(i), QStringLiteral("TxtTel_%1").arg(i)}, 260);
        minimumHeight(frm, {QStringLiteral("Shp_%1").arg(i)}, 295);
    }

    MainView &v = frm.view();
    for (int i = 0; i <= 7; ++i) {
        if (v.menu[i]) {
            v.menu[i]->setFixedSize(px(555), px(555));
            v.menu[i]->setIconSize(QSize(px(555) - 8, px(555) - 8));
        }
    }
    for (int i = 8; i <= 9; ++i) {
        if (v.menu[i]) {
            v.menu[i]->setFixedSize(px(435), px(435));
            v.menu[i]->setIconSize(QSize(px(435) - 6, px(435) - 6));
        }
    }
    if (QToolButton *search = v.labo.CmdRL_VM) {
        search->setFixedSize(px(500), px(500));
        search->setIconSize(QSize(px(500) - 6, px(500) - 6));
    }
}

} // namespace

QSize designedWindowSize()
{
    return {1180, 800};
}

void scaleFonts(QWidget *root, double fh, int screenWidth)
{
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    QList<double> sizes;
    sizes.reserve(widgets.size());
    for (QWidget *w : widgets)
        sizes.append(w->font().pointSizeF());
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        const double scaled = layout::scaledFontSize(sizes[i], fh, screenWidth);
        if (scaled != sizes[i])
            setPointSize(widgets[i], scaled);
    }
}

layout::Factors applyScreenLayout(FrmLabo &frm)
{
    QScreen *screen = frm.screen() ? frm.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect available = screen->availableGeometry();
    const layout::Factors factors = layout::windowFactors(designedWindowSize(), available.size());
    scaleFonts(&frm, factors.fh, screen->geometry().width());
    handSetSizes(frm, factors.fh);
    // The window is placed with the size its contents will give it, which
    // may exceed the proportional one on a small screen.
    if (frm.layout())
        frm.layout()->activate();
    frm.resize(factors.window.expandedTo(frm.minimumSizeHint()));
    frm.move(layout::windowPosition(available, frm.size()));
    return factors;
}

} // namespace tv
