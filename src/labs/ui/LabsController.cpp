#include "labs/ui/LabsController.h"

#include "common/core/ListOrder.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "labs/core/LabRules.h"
#include "labs/ui/FrmDM.h"
#include "labs/ui/LabEditing.h"
#include "labs/ui/LabLists.h"
#include "labs/ui/LabPanel.h"
#include "labs/ui/LaboPage.h"
#include "labs/ui/QuotaHandler.h"
#include "store/tables/Store.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QUrl>

#include <optional>

namespace tv {

LabsController::LabsController(MainWindow &main, LaboWidgets &w)
    : m_main(main)
    , m_w(w)
    , m_panel(std::make_unique<LabPanel>(main, w))
    , m_quota(std::make_unique<QuotaHandler>(main, w))
    , m_editing(std::make_unique<LabEditing>(main, w, *m_panel))
{
}

LabsController::~LabsController() = default;

void LabsController::connectSignals()
{
    connect(m_w.LstLabo, &QListWidget::currentRowChanged, this, [this] { LstLabo_Click(); });
    connect(m_w.LstLabo, &ListBox::reselected, this, [this] { LstLabo_Click(); });
    connect(m_w.LstLabo, &ListBox::doubleClicked, this, [this] { LstLabo_DblClick(); });
    m_w.LstLabo->viewport()->setMouseTracking(true);
    m_w.LstLabo->viewport()->installEventFilter(this);

    m_panel->connectSignals();
    // A save that found its row gone elsewhere: the list shows what is left.
    connect(
        m_panel.get(), &LabPanel::vanished, this, [this] { guarded(m_main.widget(), [&] { followStore(); }); },
        Qt::QueuedConnection);
    connect(m_w.CmdRR, &QToolButton::clicked, this, [this] { CmdRR_Click(); });
    connect(m_w.CmdRL_VM, &QToolButton::clicked, this, [this] { CmdRL_VM_Click(); });
    connect(m_w.CmdPassage, &QToolButton::clicked, this, [this] { CmdPassage_Click(); });
}

void LabsController::LstLabo_Click()
{
    emit laboratoryClicked();
    // Edits of the laboratory shown until now go to its row before anything
    // else is read; when they cannot, the panel keeps them on screen.
    if (!guarded(m_main.widget(), [&] { m_panel->save(); }) && m_panel->isBound()) {
        backToPanel();
        return;
    }
    const int row = m_w.LstLabo->currentRow();
    if (m_w.LstLabo->count() == 0 || row < 0)
        return;
    const QString labo = m_main.currentLabo();
    // What the selection reads, through every page, asked for together:
    // one round trip to a server.
    std::optional<ReadAhead> ahead;
    if (m_main.hasStore())
        ahead.emplace(m_main.store().db(), [&] {
            Store &store = m_main.store();
            store.labos().findByLabo(labo);
            if (m_main.hasDoctor()) {
                store.passages().quota(labo, m_main.currentDoctor());
                store.visites().forLaboMedecin(labo, m_main.currentDoctor());
            }
            m_main.askVisitProducts(labo);
        });
    // Everything read before anything is shown: a failure leaves the list,
    // the panel, the quota and the products' laboratory on one laboratory.
    if (m_w.LstMed->count() != 0) {
        const QString quotaBefore = m_w.LblPass->text();
        if (!guarded(m_main.widget(), [&] {
                if (m_main.hasDoctor())
                    loadQuota();
                m_panel->load(labo);
            })) {
            m_w.LblPass->setText(quotaBefore);
            backToPanel();
            return;
        }
    }

    m_w.LblLaboratoire->setText(QStringLiteral("Notes pour le laboratoire\n") + labo);
    m_main.forgetBookingDay();
    if (m_main.hasDoctor())
        m_w.LblPass->setVisible(true);
    m_main.highlightTodayVisit(labo);

    if (m_w.LstMed->count() == 0) {
        dialogs::information(m_main.widget(),
                             QStringLiteral("Veuillez d'abord inscrire le nom du ou des médecins concernés "
                                            "par ce programme."));
        return;
    }

    m_main.productsFollowLaboratory(row);
    guarded(m_main.widget(), [&] {
        m_main.Liste_RV_Labo_Medecin();
        m_main.Charger_Produits_Visite();
    });
    m_main.historyFollowsLaboratory(row);
}

// The list goes back to the laboratory the panel shows (none when it shows
// none), without running the selection again.
void LabsController::backToPanel()
{
    ListBox *list = m_w.LstLabo;
    const QString shown = m_panel->labo();
    int row = -1;
    for (int i = 0; !shown.isEmpty() && i < list->count() && row < 0; ++i)
        if (list->item(i)->text().trimmed().compare(shown, Qt::CaseInsensitive) == 0)
            row = i;
    const QSignalBlocker blocker(list);
    list->setCurrentRow(row);
}

void LabsController::loadQuota()
{
    m_quota->loadQuota();
}

void LabsController::savePanel()
{
    m_panel->save();
}

void LabsController::addLaboratory()
{
    m_editing->addLaboratory();
}

void LabsController::mnurenomlabo_Click()
{
    m_editing->mnurenomlabo_Click();
}

void LabsController::mnuSuplabo_Click()
{
    m_editing->mnuSuplabo_Click();
}

void LabsController::LstLabo_DblClick()
{
    m_editing->LstLabo_DblClick();
}

void LabsController::CmdPassage_Click()
{
    m_quota->CmdPassage_Click();
}

void LabsController::CmdRR_Click()
{
    const QString answer =
        dialogs::input(m_main.widget(), QStringLiteral("Inscrire les premières lettres \ndu nom du laboratoire"),
                       QStringLiteral("Recherche rapide"))
            .value_or(QString());
    if (answer.isEmpty())
        return;
    const int hit = labrules::quickSearch(lablists::entries(m_w), answer);
    if (hit < 0) {
        dialogs::information(m_main.widget(), QStringLiteral("Pas de nom de laboratoire ")
                                                  + QStringLiteral("commençant par ") + answer.toUpper());
        return;
    }
    m_w.LstLabo->scrollToItem(m_w.LstLabo->item(hit), QAbstractItemView::PositionAtTop);
    m_w.LstLabo->setCurrentRow(hit);
}

void LabsController::CmdRL_VM_Click()
{
    FrmDM dialog(m_main, m_w);
    if (!guarded(m_main.widget(), [&] { dialog.load(); }))
        return;
    dialog.exec();
}

void LabsController::openSite()
{
    const QString url = m_w.TextVM[1]->text();
    if (!labrules::isWebAddress(url)) {
        dialogs::critical(m_main.widget(), QStringLiteral("L'adresse indiquée n'est pas une URL !"));
        return;
    }
    if (!dialogs::askYesNo(m_main.widget(),
                           QStringLiteral("Etes vous prêt à vous connecter à ") + url + QStringLiteral(" ?")))
        return;
    QDesktopServices::openUrl(QUrl(url.trimmed(), QUrl::TolerantMode));
}

void LabsController::writeMail()
{
    const QString email = m_w.TextVM[4]->text();
    if (!labrules::isMailAddress(email)) {
        dialogs::critical(m_main.widget(), QStringLiteral("Aucune adresse valide n'est inscrite !"));
        return;
    }
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Etes vous prêt à adresser un courrier à ")
                                                + m_main.currentLabo() + QStringLiteral(" ?")))
        return;
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + email.trimmed(), QUrl::TolerantMode));
}

namespace {

struct Entries {
    QStringList labos;
    QStringList delegates;
};

// The three laboratory lists share one order, the delegate combos too.
Entries entriesOf(const QList<LaboEntry> &rows)
{
    Entries e;
    e.labos.reserve(rows.size());
    e.delegates.reserve(rows.size());
    for (const LaboEntry &row : rows) {
        e.labos.append(QStringLiteral("  ") + row.labo.trimmed());
        e.delegates.append(QStringLiteral("  ") + row.nom.trimmed());
    }
    listorder::sort(e.labos);
    listorder::sort(e.delegates);
    return e;
}

} // namespace

void LabsController::reloadList()
{
    m_rows = m_main.store().labos().all();
    const Entries entries = entriesOf(m_rows);
    {
        const QSignalBlocker blocker(m_w.LstLabo);
        m_w.LstLabo->clear();
        m_w.LstLabo->addItems(entries.labos);
    }
    m_main.laboratoriesListed(entries.labos, entries.delegates, false);
}

void LabsController::followStore()
{
    const bool selected = m_main.hasLabo();
    // The panel first: its row gone, the selection moving must not write
    // the pending edits.
    const QString shown = m_panel->follow();
    const QList<LaboEntry> rows = m_main.store().labos().all();
    if (rows != m_rows) {
        m_rows = rows;
        const Entries entries = entriesOf(rows);
        syncEntries(m_w.LstLabo, entries.labos);
        m_main.laboratoriesListed(entries.labos, entries.delegates, true);
    }
    if (!selected || m_main.hasLabo())
        return;
    // Renamed: the selection follows the new name; deleted: none is left.
    if (shown.isEmpty() || !selectLaboratory(shown))
        laboratoryGone();
}

void LabsController::laboratoryGone()
{
    m_w.LblLaboratoire->setText(QStringLiteral("Notes pour le laboratoire\n"));
    m_w.LblPass->clear();
    m_w.LblPass->hide();
    m_main.forgetBookingDay();
    m_main.highlightTodayVisit(QString());
    m_main.Liste_RV_Labo_Medecin();
}

bool LabsController::laboratoryRefused() const
{
    return m_w.LblPass->text() == QStringLiteral("0");
}

void LabsController::showQuotaButton()
{
    m_main.showTab(2);
    m_w.CmdPassage->setFocus(Qt::OtherFocusReason);
}

bool LabsController::selectLaboratory(const QString &labo)
{
    for (int i = 0; i < m_w.LstLabo->count(); ++i) {
        if (m_w.LstLabo->item(i)->text().trimmed().compare(labo, Qt::CaseInsensitive) != 0)
            continue;
        {
            // The selection handler runs once, whatever the list's own
            // signals are connected to.
            const QSignalBlocker blocker(m_w.LstLabo);
            m_w.LstLabo->setCurrentRow(i);
        }
        LstLabo_Click();
        return true;
    }
    return false;
}

// The tooltip of the laboratory list names the entry under the pointer:
// the list is narrow and long names are cut.
bool LabsController::eventFilter(QObject *watched, QEvent *event)
{
    ListBox *list = m_w.LstLabo;
    if (watched == list->viewport() && event->type() == QEvent::MouseMove) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex index = list->indexAt(mouse->position().toPoint());
        list->setToolTip(index.isValid() ? list->item(index.row())->text() + QStringLiteral("  ") : QString());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tv
