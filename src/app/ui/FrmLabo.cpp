#include "app/ui/FrmLabo.h"

#include "about/ui/AboutController.h"
#include "agenda/ui/AgendaController.h"
#include "agenda/ui/BookingController.h"
#include "app/ui/LiveView.h"
#include "app/ui/Menus.h"
#include "app/ui/Tooltips.h"
#include "backups/ui/BackupsController.h"
#include "common/core/Version.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Icons.h"
#include "common/ui/Widgets.h"
#include "labs/core/LabRules.h"
#include "labs/ui/DoctorsController.h"
#include "labs/ui/LabsController.h"
#include "maintenance/ui/MaintenanceController.h"
#include "online/ui/OnlineController.h"
#include "outputs/ui/OutputsController.h"
#include "products/ui/ProductsController.h"
#include "server/ui/ServerController.h"
#include "store/files/SettingsFiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tv {

FrmLabo::FrmLabo(const QString &programFolder, QWidget *parent)
    : QWidget(parent)
{
    m_ctx.programFolder = programFolder;
    m_ctx.settingsFolder = programFolder;
    setObjectName(QStringLiteral("FrmLabo"));
    setWindowTitle(QStringLiteral("    Gestion de la visite médicale"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    loadIcons();
    buildWidgets();
    m_agenda = std::make_unique<AgendaController>(*this, m_view.agenda);
    m_booking = std::make_unique<BookingController>(*this, m_view.agenda);
    m_labs = std::make_unique<LabsController>(*this, m_view.labo);
    m_doctors = std::make_unique<DoctorsController>(*this, m_view.labo, *m_labs);
    m_products = std::make_unique<ProductsController>(*this, m_view.products);
    m_maintenance = std::make_unique<MaintenanceController>(*this);
    m_about = std::make_unique<AboutController>(*this);
    m_backups = std::make_unique<BackupsController>(*this);
    m_outputs = std::make_unique<OutputsController>(*this);
    m_server = std::make_unique<ServerController>(*this);
    m_live = std::make_unique<LiveView>(*this);
    m_online = std::make_unique<OnlineController>(*this, labrules::isMailAddress);
    connectSignals();
}

FrmLabo::~FrmLabo() = default;

void FrmLabo::buildWidgets()
{
    MainView &v = m_view;
    buildMenus(v.menus, this);
    // The entries whose caption or check mark a subsystem sets.
    v.agenda.mnuparaAG = v.menus.mnuparaAG;
    v.agenda.mnuVoirRV = v.menus.mnuVoirRV;
    v.agenda.mnuHeure = v.menus.mnuHeure;
    v.products.mnuProduits = v.menus.mnuProduits;

    v.TS = named<QTabBar>(QStringLiteral("TS"), this);
    v.TS->addTab(QStringLiteral("Agenda"));
    v.TS->addTab(QStringLiteral("Laboratoire"));
    v.TS->addTab(QStringLiteral("Produits présentés"));
    v.TS->setExpanding(false);

    v.pages = named<QStackedWidget>(QStringLiteral("PctTabs"), this);
    v.PctTab[0] = buildAgendaPage(v.agenda, v.pages);
    v.PctTab[1] = buildLaboPage(v.labo, v.pages, &v.agenda.LstRV);
    v.PctTab[2] = buildProductsPage(v.products, v.pages);
    for (QWidget *page : v.PctTab)
        v.pages->addWidget(page);
    v.menu[6] = v.labo.menu6;
    v.menu[7] = v.labo.menu7;
    v.menu[8] = v.products.menu8;
    v.menu[9] = v.products.menu9;

    auto *right = new QVBoxLayout;
    right->addWidget(v.TS);
    right->addWidget(v.pages, 1);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buildSidePanel());
    layout->addLayout(right, 1);
}

QWidget *FrmLabo::buildSidePanel()
{
    MainView &v = m_view;
    auto *side = new QWidget(this);
    side->setMaximumWidth(300);

    v.PctMenu = named<QWidget>(QStringLiteral("PctMenu"), side);
    auto *bar = new QHBoxLayout(v.PctMenu);
    bar->setContentsMargins(0, 0, 0, 0);
    static const char *const icons[] = {"doctor-add", "labo-add", "agenda", "quit", "options", "about"};
    for (int i = 0; i < 6; ++i) {
        v.menu[i] = pictureButton(QStringLiteral("menu_%1").arg(i),
                                  QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(icons[i])), v.PctMenu);
        bar->addWidget(v.menu[i]);
    }
    v.menuPlus = pictureButton(QStringLiteral("menuPlus"), QStringLiteral(":/icons/plus.svg"), v.PctMenu);
    v.menuPlus->setToolTip(QStringLiteral("Imprimer, exporter, sauvegardes, serveur"));
    bar->addWidget(v.menuPlus);
    bar->addStretch(1);

    LaboWidgets &l = v.labo;
    l.LblMed = named<QLabel>(QStringLiteral("LblMed"), side, QStringLiteral("Sélectionnez un médecin"));
    QFont bold = l.LblMed->font();
    bold.setBold(true);
    l.LblMed->setFont(bold);
    l.LstMed = named<ListBox>(QStringLiteral("LstMed"), side);
    l.LstLabo = named<ListBox>(QStringLiteral("LstLabo"), side);
    l.CmdRR = pictureButton(QStringLiteral("CmdRR"), QStringLiteral(":/icons/search.svg"), side);
    l.CmdRL_VM = pictureButton(QStringLiteral("CmdRL_VM"), QStringLiteral(":/icons/delegate.svg"), side);
    v.Lblversion = named<QLabel>(QStringLiteral("Lblversion"), side);
    v.Lblversion->setWordWrap(true);
    v.cmdFoc = named<QPushButton>(QStringLiteral("cmdFoc"), side);
    v.cmdFoc->setFixedSize(0, 0);
    v.cmdFoc->setFlat(true);

    auto *searchRow = new QHBoxLayout;
    searchRow->addStretch(1);
    searchRow->addWidget(l.CmdRR);
    searchRow->addWidget(l.CmdRL_VM);

    auto *layout = new QVBoxLayout(side);
    layout->addWidget(v.PctMenu);
    layout->addWidget(l.LstMed, 1);
    layout->addLayout(searchRow);
    layout->addWidget(l.LstLabo, 3);
    layout->addWidget(l.LblMed);
    layout->addWidget(v.Lblversion);
    layout->addWidget(v.cmdFoc);
    return side;
}

void FrmLabo::connectSignals()
{
    MainView &v = m_view;
    for (int i = 0; i < 10; ++i)
        connect(v.menu[i], &QToolButton::clicked, this, [this, i] { menu_Click(i); });
    connect(v.menuPlus, &QToolButton::clicked, this, [this] {
        Form_Activate(*this);
        m_view.menus.mnuPlus->popup(QCursor::pos());
    });
    // The mouse, the wheel and the keyboard all change the tab: each change
    // runs the handler; a click on the tab already shown runs it too.
    connect(v.TS, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            TS_Click(index);
    });
    connect(v.TS, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0 && index == m_view.TS->currentIndex())
            TS_Click(index);
    });
    m_agenda->connectSignals();
    m_booking->connectSignals();
    m_labs->connectSignals();
    m_doctors->connectSignals();
    m_products->connectSignals();
    connectMenus();
}

Store &FrmLabo::store()
{
    if (!m_ctx.store)
        throw StoreError(QStringLiteral("La base de données n'est pas ouverte."));
    return *m_ctx.store;
}

void FrmLabo::openStore(const QString &databasePath)
{
    m_live->detach();
    m_ctx.store.reset();
    m_ctx.store = Store::open(databasePath);
    m_live->attach();
}

void FrmLabo::closeStore()
{
    m_live->detach();
    m_ctx.store.reset();
}

void FrmLabo::menu_Click(int index)
{
    Form_Activate(*this);
    if (index < 0 || index > 9)
        return;
    MenuActions &m = m_view.menus;
    switch (index) {
    case 0: m_doctors->addDoctor(); break;
    case 1: m_labs->addLaboratory(); break;
    case 2: m.mnupara->popup(QCursor::pos()); break;
    case 3: close(); break;
    case 4: m.mnuoptions->popup(QCursor::pos()); break;
    case 5: m.mnuAPropos->popup(QCursor::pos()); break;
    case 6: m_labs->openSite(); break;
    case 7: m_labs->writeMail(); break;
    case 8: m_products->Ajouter_Medicament(); break;
    case 9: m_products->Supprimer_Medicament(); break;
    }
}

int FrmLabo::tabCount() const
{
    return m_view.TS->count();
}

int FrmLabo::currentTab() const
{
    return m_view.TS->currentIndex() + 1;
}

void FrmLabo::showTab(int number)
{
    if (number < 1 || number > tabCount())
        return;
    if (m_view.TS->currentIndex() == number - 1)
        TS_Click(number - 1);
    else
        m_view.TS->setCurrentIndex(number - 1); // runs TS_Click
}

void FrmLabo::showProductsTab(bool shown)
{
    QTabBar *tabs = m_view.TS;
    const int current = currentTab();
    if (!shown) {
        if (tabs->count() == 3) {
            const QSignalBlocker blocker(tabs);
            tabs->removeTab(2);
        }
        showTab(current == 3 ? 1 : current);
    } else if (tabs->count() == 2) {
        const QSignalBlocker blocker(tabs);
        tabs->insertTab(2, QStringLiteral("Produits présentés"));
        tabs->setCurrentIndex(current - 1);
    }
}

void FrmLabo::TS_Click(int index)
{
    m_view.pages->setCurrentIndex(index);
    m_live->pageShown();
    if (tabCount() == 3) {
        m_products->resetVisitDate();
        if (index == 2)
            guarded(this, [&] { m_labs->savePanel(); });
    }
    focusCmdFoc();
}

void FrmLabo::focusCmdFoc()
{
    m_view.cmdFoc->setFocus(Qt::OtherFocusReason);
}

void FrmLabo::saveWorkstationSettings()
{
    const SharedState &s = state();
    vsini::write(settingsFolder(), {s.DernierMedecin, s.AvecHeure, s.AvecProduits, s.EtatChkL});
}

void FrmLabo::reloadLaboratoryLists()
{
    m_labs->reloadList();
}

void FrmLabo::reloadAllViews()
{
    reloadLaboratoryLists();
    Liste_RV_Labo_Medecin();
    Remplir_Agenda();
    Liste_RV_Medecin();
    Remplir_Historique();
}

void FrmLabo::closeEvent(QCloseEvent *event)
{
    // The panel's pending edits go to the database before it closes.
    if (m_ctx.store)
        guarded(this, [&] { m_labs->savePanel(); });
    closeStore();
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible())
            w->close();
    }
    event->accept();
}

} // namespace tv
