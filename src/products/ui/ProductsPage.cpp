#include "products/ui/ProductsPage.h"

#include "common/ui/Widgets.h"
#include "products/ui/ProductHistoryModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

namespace {

QLabel *caption(const char *name, const QString &text, QWidget *parent)
{
    return named<QLabel>(QString::fromLatin1(name), parent, text);
}

// A caption of several words may take two lines: the page, even hidden in
// the window's stack of pages, must not make the window wider than a
// 1600-pixel screen once its fonts are scaled up.
QLabel *wrappedCaption(const char *name, const QString &text, QWidget *parent)
{
    QLabel *label = caption(name, text, parent);
    label->setWordWrap(true);
    return label;
}

// A box of thousands of names (laboratories, delegates, medicines): its
// width comes from the layout, not from measuring every name, and its list
// lines are all of one height.
QComboBox *longCombo(const QString &name, QWidget *parent)
{
    auto *combo = named<QComboBox>(name, parent);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(16);
    // Thousands of names, given whole to a list model (setEntries).
    combo->setModel(new QStringListModel(combo));
    if (auto *list = qobject_cast<QListView *>(combo->view()))
        list->setUniformItemSizes(true);
    return combo;
}

QWidget *buildEntry(ProductsWidgets &w, QWidget *page)
{
    auto *box = new QWidget(page);
    w.LblS = named<QLabel>(QStringLiteral("LblS"), box);
    w.DTP = named<QDateEdit>(QStringLiteral("DTP"), box);
    w.DTP->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    w.DTP->setCalendarPopup(true);
    w.CboLs = longCombo(QStringLiteral("CboLs"), box);
    w.CboDs = longCombo(QStringLiteral("CboDs"), box);
    w.CboPr = longCombo(QStringLiteral("CboPr"), box);
    w.CboPr->setEditable(true);
    w.CboPr->setInsertPolicy(QComboBox::NoInsert);
    // The box completes nothing by itself: a typed name is only a name once
    // it is added to the catalogue.
    w.CboPr->setCompleter(nullptr);
    w.CboPr->setMaxVisibleItems(20);
    w.CboPrList = named<QListView>(QStringLiteral("CboPr_list"), box);
    w.CboPrList->setModel(w.CboPr->model());
    w.CboPrList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w.CboPrList->setFocusPolicy(Qt::NoFocus);
    w.CboPrList->setUniformItemSizes(true);
    w.menu8 = pictureButton(QStringLiteral("menu_8"), QStringLiteral(":/icons/medoc-add.svg"), box);
    w.menu9 = pictureButton(QStringLiteral("menu_9"), QStringLiteral(":/icons/medoc-remove.svg"), box);
    w.LstPr = named<ListBox>(QStringLiteral("LstPr"), box);
    // Kept in French order by the code that fills it.
    w.CmdAjoutePr = named<QPushButton>(QStringLiteral("CmdAjoutePr"), box, QStringLiteral("====>"));
    w.CmdRetirePr = named<QPushButton>(QStringLiteral("CmdRetirePr"), box, QStringLiteral("<===="));
    w.CmdEnrPr = named<QPushButton>(QStringLiteral("CmdEnrPr"), box, QStringLiteral("Enregistrer"));

    auto *grid = new QGridLayout(box);
    grid->addWidget(w.LblS, 0, 0, 1, 4);
    grid->addWidget(w.DTP, 1, 1);
    grid->addWidget(caption("Label19", QStringLiteral("Laboratoire"), box), 2, 0);
    grid->addWidget(w.CboLs, 2, 1, 1, 3);
    grid->addWidget(caption("Label20", QStringLiteral("Délégué médical"), box), 3, 0);
    grid->addWidget(w.CboDs, 3, 1, 1, 3);
    grid->addWidget(caption("Label21", QStringLiteral("Médicaments"), box), 4, 0);
    grid->addWidget(w.CboPr, 4, 1);
    grid->addWidget(w.CboPrList, 5, 1);
    auto *catalogue = new QGridLayout;
    catalogue->addWidget(w.menu8, 0, 0);
    catalogue->addWidget(wrappedCaption("LblN", QStringLiteral("Enregistrer nouveau médicament"), box), 0, 1);
    catalogue->addWidget(w.menu9, 1, 0);
    catalogue->addWidget(caption("LblSM", QStringLiteral("Supprimer "), box), 1, 1);
    catalogue->setRowStretch(2, 1);
    grid->addLayout(catalogue, 4, 2, 2, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(w.CmdAjoutePr);
    buttons->addWidget(w.CmdRetirePr);
    buttons->addStretch(1);
    grid->addLayout(buttons, 7, 0);
    grid->addWidget(caption("Label14", QStringLiteral("Produits présentés"), box), 6, 1);
    grid->addWidget(w.LstPr, 7, 1, 1, 3);
    grid->addWidget(w.CmdEnrPr, 8, 1);
    grid->addWidget(wrappedCaption("Label15", QStringLiteral("Pensez à enregistrer à la fin de la visite"), box), 9, 1,
                    1, 3);
    grid->setRowStretch(5, 1);
    grid->setRowStretch(7, 1);
    return box;
}

QWidget *buildHistory(ProductsWidgets &w, QWidget *page)
{
    auto *box = new QWidget(page);
    w.LblH = named<QLabel>(QStringLiteral("LblH"), box);
    w.CboDh = longCombo(QStringLiteral("CboDh"), box);
    w.CboLh = longCombo(QStringLiteral("CboLh"), box);
    w.CboPrPr = longCombo(QStringLiteral("CboPrPr"), box);
    w.ChkL = named<QCheckBox>(QStringLiteral("ChkL"), box, QStringLiteral("Ou click sur la liste des laboratoires"));
    w.CmdTH = named<QPushButton>(QStringLiteral("CmdTH"), box, QStringLiteral("Supprimer tout l'historique"));
    w.LstHistPr = named<LineView>(QStringLiteral("LstHistPr"), box);
    w.historyModel = new ProductHistoryModel(w.LstHistPr);
    w.LstHistPr->setLineModel(w.historyModel);

    auto *grid = new QGridLayout(box);
    grid->addWidget(w.LblH, 0, 0, 1, 3);
    grid->addWidget(caption("Label22", QStringLiteral("FILTRER"), box), 1, 0, 1, 3);
    grid->addWidget(wrappedCaption("Label18", QStringLiteral("Par délégué médical"), box), 2, 0);
    grid->addWidget(caption("Label17", QStringLiteral("Par laboratoire"), box), 2, 1);
    grid->addWidget(caption("Label16", QStringLiteral("Par médicament"), box), 2, 2);
    grid->addWidget(w.CboDh, 3, 0);
    grid->addWidget(w.CboLh, 3, 1);
    grid->addWidget(w.CboPrPr, 3, 2);
    grid->addWidget(w.ChkL, 4, 0, 1, 2);
    grid->addWidget(w.CmdTH, 4, 2);
    grid->addWidget(w.LstHistPr, 5, 0, 1, 3);
    grid->setRowStretch(5, 1);
    return box;
}

} // namespace

QWidget *buildProductsPage(ProductsWidgets &w, QWidget *parent)
{
    w.page = named<QWidget>(QStringLiteral("PctTab_2"), parent);
    auto *layout = new QHBoxLayout(w.page);
    layout->addWidget(buildEntry(w, w.page), 2);
    layout->addWidget(buildHistory(w, w.page), 3);
    return w.page;
}

} // namespace tv
