#include "products/ui/ProductsController.h"

#include "common/core/Clock.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "products/ui/HistoryView.h"
#include "products/ui/LaboratoryCombos.h"
#include "products/ui/MedicinesCatalogue.h"
#include "products/ui/ProductsPage.h"
#include "products/ui/VisitEntry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>

namespace tv {

ProductsController::ProductsController(MainWindow &main, ProductsWidgets &w)
    : m_main(main)
    , m_w(w)
    , m_catalogue(std::make_unique<MedicinesCatalogue>(main, w))
    , m_visit(std::make_unique<VisitEntry>(main, w))
    , m_history(std::make_unique<HistoryView>(main, w))
{
}

ProductsController::~ProductsController() = default;

void ProductsController::connectSignals()
{
    ProductsWidgets &w = m_w;
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

    connect(w.ChkL, &QCheckBox::toggled, this, [this] { ChkL_Click(); });
}

bool ProductsController::eventFilter(QObject *watched, QEvent *event)
{
    ProductsWidgets &w = m_w;
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

void ProductsController::refreshHistory()
{
    m_history->refresh();
}

void ProductsController::followMedicines()
{
    m_catalogue->followFile();
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
    SharedState &s = m_main.state();
    // The feature's state in memory decides: a triggered checkable action
    // has already flipped its own check mark.
    if (s.AvecProduits != 0) {
        m_w.mnuProduits->setChecked(false);
        m_main.showProductsTab(false);
        s.AvecProduits = 0;
    } else {
        m_w.mnuProduits->setChecked(true);
        m_main.showProductsTab(true);
        s.AvecProduits = 1;
        Remplir_Historique();
    }
    guarded(m_main.widget(), [&] { m_main.saveWorkstationSettings(); });
}

void ProductsController::ChkL_Click()
{
    const bool ticked = m_w.ChkL->isChecked();
    m_w.CboLh->setEnabled(!ticked);
    m_main.state().EtatChkL = ticked ? 1 : 0;
    guarded(m_main.widget(), [&] { m_main.saveWorkstationSettings(); });
    m_main.focusCmdFoc();
}

void ProductsController::applyWorkstationSettings()
{
    m_w.ChkL->setChecked(m_main.state().EtatChkL == 1);
}

void ProductsController::followDoctor(const QString &doctor)
{
    m_w.LblH->setText(QStringLiteral("  HISTORIQUE des produits présentés   ___     ") + doctor);
    m_w.LblS->setText(QStringLiteral("   Saisie des produits présentés   ___   ") + doctor);
    Remplir_Historique();
    m_w.CmdTH->setText(QStringLiteral("Supprimer tout l'historique"));
    m_w.LstPr->clear();
    m_w.CboPrPr->setCurrentIndex(-1);
    m_w.CboLh->setCurrentIndex(-1);
    m_w.CboDh->setCurrentIndex(-1);
}

void ProductsController::followLaboratory(int row)
{
    m_w.CboLs->setCurrentIndex(row);
    m_w.CmdEnrPr->setEnabled(true);
}

void ProductsController::historyFollowsLaboratory(int row)
{
    if (m_main.state().EtatChkL == 1)
        m_w.CboLh->setCurrentIndex(row);
}

void ProductsController::laboratoriesListed(const QStringList &labos, const QStringList &delegates, bool keepChoices)
{
    if (keepChoices)
        labcombos::follow(m_w, labos, delegates);
    else
        labcombos::reload(m_w, labos, delegates);
}

void ProductsController::laboratoryInserted(int row, const QString &entry, const QString &delegateEntry)
{
    labcombos::insert(m_w, row, entry, delegateEntry);
}

void ProductsController::laboratoryMoved(int row, int to, const QString &entry)
{
    labcombos::move(m_w, row, to, entry);
}

void ProductsController::laboratoryRemoved(int row)
{
    labcombos::remove(m_w, row);
}

void ProductsController::delegateRenamed(const QString &from, const QString &to)
{
    const QString before = QStringLiteral("  ") + from.trimmed();
    if (m_w.CboDs->findText(before) < 0)
        return;
    // The old name is chosen in the history's filter as a user would choose
    // it: the history then lists what the delegate presented under that
    // name, which the visits keep.
    const int inHistory = m_w.CboDh->findText(before);
    if (inHistory >= 0)
        m_w.CboDh->setCurrentIndex(inHistory);
    labcombos::renameDelegate(m_w, from, to);
    guarded(m_main.widget(), [&] { m_visit->chooseDelegateOfLaboratory(); });
}

void ProductsController::showVisitEntry(const QString &labo, const QDate &day)
{
    m_visit->show(labo, day);
}

ShownList ProductsController::shownHistory()
{
    return {m_history->shownFilter(), m_w.LstHistPr->allLines()};
}

void ProductsController::resetVisitDate()
{
    m_w.DTP->setDate(Clock::today());
}

} // namespace tv
