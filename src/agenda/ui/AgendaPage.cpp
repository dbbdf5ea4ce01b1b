#include "agenda/ui/AgendaPage.h"

#include "agenda/ui/VisitHistoryModel.h"
#include "common/ui/Widgets.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tv {

namespace {

QWidget *buildMonthBar(AgendaWidgets &w, QWidget *page)
{
    auto *bar = new QWidget(page);
    auto *grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    for (int i = 0; i < 12; ++i) {
        w.EtMois[i] = named<ClickLabel>(QStringLiteral("EtMois_%1").arg(i), bar);
        w.EtMois[i]->setMinimumHeight(22);
        grid->addWidget(w.EtMois[i], i / 6, i % 6);
    }
    return bar;
}

QFrame *buildBookingPanel(AgendaWidgets &w, QWidget *page)
{
    w.PctRV = named<QFrame>(QStringLiteral("PctRV"), page);
    w.PctRV->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(w.PctRV);
    w.LblMedRV = named<QLabel>(QStringLiteral("LblMedRV"), w.PctRV);
    w.LblDateRV = named<QLabel>(QStringLiteral("LblDateRV"), w.PctRV);
    w.LblDateRV->setAlignment(Qt::AlignCenter);
    w.LblDateRV->setMinimumHeight(20);
    auto *buttons = new QHBoxLayout;
    w.CmdEnr = named<QPushButton>(QStringLiteral("CmdEnr"), w.PctRV, QStringLiteral("Enregistrer"));
    w.CmdAnn = named<QPushButton>(QStringLiteral("CmdAnn"), w.PctRV, QStringLiteral("Annuler"));
    buttons->addWidget(w.CmdEnr);
    buttons->addWidget(w.CmdAnn);
    layout->addWidget(w.LblMedRV);
    layout->addWidget(new QLabel(QStringLiteral("Cliquez sur la date"), w.PctRV));
    layout->addWidget(w.LblDateRV);
    layout->addLayout(buttons);
    layout->addStretch(1);
    w.PctRV->hide();
    return w.PctRV;
}

QFrame *buildMonthList(AgendaWidgets &w, QWidget *page)
{
    w.PctListe = named<QFrame>(QStringLiteral("PctListe"), page);
    auto *layout = new QVBoxLayout(w.PctListe);
    w.LblMedListe = named<QLabel>(QStringLiteral("LblMedListe"), w.PctListe);
    w.LblListe = named<QLabel>(QStringLiteral("LblListe"), w.PctListe);
    w.LstListe = named<LineView>(QStringLiteral("LstListe"), w.PctListe);
    w.CmdListeQuitte = named<QPushButton>(QStringLiteral("CmdListeQuitte"), w.PctListe, QStringLiteral("Quitter"));
    layout->addWidget(w.LblMedListe);
    layout->addWidget(w.LblListe);
    layout->addWidget(w.LstListe, 1);
    layout->addWidget(w.CmdListeQuitte);
    w.PctListe->hide();
    return w.PctListe;
}

} // namespace

QWidget *buildAgendaPage(AgendaWidgets &w, QWidget *parent)
{
    w.page = named<QWidget>(QStringLiteral("PctTab_0"), parent);
    auto *page = w.page;

    w.LblMois = named<QLabel>(QStringLiteral("LblMois"), page);
    w.LblMois->setAlignment(Qt::AlignCenter);
    QFont big = w.LblMois->font();
    big.setBold(true);
    w.LblMois->setFont(big);
    w.CboAn = named<QComboBox>(QStringLiteral("CboAn"), page);

    w.FG = named<QTableWidget>(QStringLiteral("FG"), page, 31, 5);
    w.FG->horizontalHeader()->hide();
    w.FG->verticalHeader()->hide();
    w.FG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w.FG->setSelectionMode(QAbstractItemView::SingleSelection);
    w.FG->setShowGrid(true);

    w.CmdRV = named<QPushButton>(QStringLiteral("CmdRV"), page, QStringLiteral("Fixer Rendez-vous"));
    w.CmdConnaitre = named<QPushButton>(QStringLiteral("CmdConnaitre"), page, QStringLiteral("?"));

    w.LblRVJ = named<QLabel>(QStringLiteral("LblRVJ"), page);
    w.LstRVJour = named<ListBox>(QStringLiteral("LstRVJour"), page);
    w.LstHist = named<LineView>(QStringLiteral("LstHist"), page);
    w.historyModel = new VisitHistoryModel(w.LstHist);
    w.LstHist->setLineModel(w.historyModel);

    auto *top = new QHBoxLayout;
    top->addWidget(buildMonthBar(w, page), 1);
    auto *yearBox = new QVBoxLayout;
    yearBox->addWidget(w.LblMois);
    yearBox->addWidget(w.CboAn);
    top->addLayout(yearBox);

    auto *gridColumn = new QVBoxLayout;
    gridColumn->addWidget(w.FG, 1);
    gridColumn->addWidget(buildMonthList(w, page), 1);

    auto *side = new QVBoxLayout;
    auto *rvButtons = new QHBoxLayout;
    rvButtons->addWidget(w.CmdRV, 1);
    rvButtons->addWidget(w.CmdConnaitre);
    side->addLayout(rvButtons);
    side->addWidget(buildBookingPanel(w, page), 2);
    side->addWidget(w.LblRVJ);
    side->addWidget(w.LstRVJour, 1);
    side->addWidget(new QLabel(QStringLiteral("  Historique des rendez-vous"), page));
    side->addWidget(w.LstHist, 1);

    auto *body = new QHBoxLayout;
    body->addLayout(gridColumn, 3);
    body->addLayout(side, 2);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    return page;
}

} // namespace tv
