#include "products/ui/ProductsController.h"

#include "app/ui/FrmLabo.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "products/ui/HistoryView.h"
#include "products/ui/MedicinesCatalogue.h"
#include "products/ui/VisitEntry.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>

namespace tv {

ProductsController::ProductsController(FrmLabo &frm)
    : m_frm(frm)
    , m_catalogue(std::make_unique<MedicinesCatalogue>(frm))
    , m_visit(std::make_unique<VisitEntry>(frm))
    , m_history(std::make_unique<HistoryView>(frm))
{
}

ProductsController::~ProductsController() = default;

void ProductsController::connectSignals()
{
    MainView &v = m_frm.view();
    ProductsWidgets &w = v.products;
    constexpr auto indexChanged = qOverload<int>(&QComboBox::currentIndexChanged);

    connect(w.CboPr, &QComboBox::editTextChanged, this, [this] { m_catalogue->CboPr_Change(); });
    w.CboPr->installEventFilter(this);
    w.CboPr->lineEdit()->installEventFilter(this);
    // The always-shown list picks like the box's own list does.
    const auto pick = [&w](const QModelIndex &index) {
        w.CboPr->setCurrentIndex(index.row());
        w.CboPr->setEditText(w.CboPr->itemText(index.row()));
    };
    connect(w.CboPrList, &QListView::clicked, this, pick);
    connect(w.CboPrList, &QListView::doubleClicked, this, [this, pick](const QModelIndex &index) {
        pick(index);
        m_visit->CmdAjoutePr_Click();
    });
    connect(w.CboPr, indexChanged, this,
            [&w](int row) { w.CboPrList->setCurrentIndex(w.CboPr->model()->index(row, 0)); });

    connect(w.DTP, &QDateEdit::dateChanged, this, [this] { m_visit->DTP_Change(); });
    connect(w.CboLs, indexChanged, this, [this] { m_visit->CboLs_Click(); });
    connect(w.CboDs, indexChanged, this, [this] { m_visit->CboDs_Click(); });
    w.CboDs->installEventFilter(this);
    connect(w.CmdAjoutePr, &QPushButton::clicked, this, [this] { m_visit->CmdAjoutePr_Click(); });
    connect(w.CmdRetirePr, &QPushButton::clicked, this, [this] { m_visit->CmdRetirePr_Click(); });
    connect(w.LstPr, &ListBox::doubleClicked, this, [this] { m_visit->CmdRetirePr_Click(); });
    connect(w.CmdEnrPr, &QPushButton::clicked, this, [this] { m_visit->CmdEnrPr_Click(); });

    connect(w.CboDh, indexChanged, this, [this] { m_history->CboDh_Click(); });
    connect(w.CboLh, indexChanged, this, [this] { m_history->CboLh_Click(); });
    connect(w.CboPrPr, indexChanged, this, [this] { m_history->CboPrPr_Click(); });
    connect(w.CmdTH, &QPushButton::clicked, this, [this] { m_history->CmdTH_Click(); });
    w.LstHistPr->viewport()->installEventFilter(this);

    connect(v.menus.mnuProduits, &QAction::triggered, this, [this] { mnuProduits_Click(); });
}

bool ProductsController::eventFilter(QObject *watched, QEvent *event)
{
    ProductsWidgets &w = m_frm.view().products;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == w.CboPr || watched == w.CboPr->lineEdit())
            m_catalogue->CboPr_GotFocus();
        else if (watched == w.CboDs)
            m_visit->CboDs_GotFocus();
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == w.CboPr->lineEdit())
            m_visit->CmdAjoutePr_Click();
        break;
    case QEvent::MouseMove:
        if (watched == w.LstHistPr->viewport()) {
            const auto *move = static_cast<QMouseEvent *>(event);
            m_history->LstHistPr_MouseMove(move->buttons(), move->position().toPoint());
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void ProductsController::loadMedicines()
{
    m_catalogue->loadMedicines();
}

void ProductsController::Remplir_Historique()
{
    m_history->Remplir_Historique();
}

void ProductsController::Charger_Produits_Visite()
{
    m_visit->Charger_Produits_Visite();
}

void ProductsController::Ajouter_Medicament()
{
    m_catalogue->Ajouter_Medicament();
}

void ProductsController::Supprimer_Medicament()
{
    m_catalogue->Supprimer_Medicament();
}

void ProductsController::mnuProduits_Click()
{
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    const int shown = v.TS->currentIndex() + 1;
    // The feature's state in memory decides: a triggered checkable action
    // has already flipped its own check mark.
    if (s.AvecProduits != 0) {
        v.menus.mnuProduits->setChecked(false);
        if (v.TS->count() == 3) {
            const QSignalBlocker blocker(v.TS);
            v.TS->removeTab(2);
        }
        m_frm.showTab(shown == 3 ? 1 : shown);
        s.AvecProduits = 0;
    } else {
        v.menus.mnuProduits->setChecked(true);
        if (v.TS->count() == 2) {
            const QSignalBlocker blocker(v.TS);
            v.TS->insertTab(2, QStringLiteral("Produits présentés"));
            v.TS->setCurrentIndex(shown - 1);
        }
        s.AvecProduits = 1;
        Remplir_Historique();
    }
    guarded(&m_frm, [&] { m_frm.saveWorkstationSettings(); });
}

} // namespace tv
