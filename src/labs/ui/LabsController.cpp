#include "labs/ui/LabsController.h"

#include "app/ui/FrmLabo.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "labs/core/LabRules.h"
#include "labs/ui/FrmDM.h"
#include "labs/ui/LabEditing.h"
#include "labs/ui/LabLists.h"
#include "labs/ui/LabPanel.h"
#include "labs/ui/QuotaHandler.h"
#include "store/tables/Store.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include <optional>

namespace tv {

LabsController::LabsController(FrmLabo &frm)
    : m_frm(frm)
    , m_panel(std::make_unique<LabPanel>(frm))
    , m_quota(std::make_unique<QuotaHandler>(frm))
    , m_editing(std::make_unique<LabEditing>(frm, *m_panel))
{
}

LabsController::~LabsController() = default;

void LabsController::connectSignals()
{
    MainView &v = m_frm.view();
    connect(v.LstLabo, &QListWidget::currentRowChanged, this, [this] { LstLabo_Click(); });
    connect(v.LstLabo, &ListBox::reselected, this, [this] { LstLabo_Click(); });
    connect(v.LstLabo, &ListBox::doubleClicked, this, [this] { LstLabo_DblClick(); });
    connect(v.LstLabo, &ListBox::pressed, this,
            [this] { m_frm.state().IndexLabo = m_frm.view().LstLabo->currentRow(); });
    v.LstLabo->viewport()->setMouseTracking(true);
    v.LstLabo->viewport()->installEventFilter(this);

    m_panel->connectSignals();
    connect(v.CmdRR, &QToolButton::clicked, this, [this] { CmdRR_Click(); });
    connect(v.CmdRL_VM, &QToolButton::clicked, this, [this] { CmdRL_VM_Click(); });
    connect(v.products.ChkL, &QCheckBox::toggled, this, [this] { ChkL_Click(); });
    connect(v.labo.CmdPassage, &QToolButton::clicked, this, [this] { CmdPassage_Click(); });
    connect(v.agenda.CmdConnaitre, &QPushButton::clicked, this, [this] { CmdConnaitre_Click(); });
    connect(v.agenda.CmdListeQuitte, &QPushButton::clicked, this, [this] { CmdListeQuitte_Click(); });
    connect(v.menus.mnurenomlabo, &QAction::triggered, this, [this] { mnurenomlabo_Click(); });
    connect(v.menus.mnuSuplabo, &QAction::triggered, this, [this] { mnuSuplabo_Click(); });
}

void LabsController::LstLabo_Click()
{
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    s.ModeSelMedecin = 0;
    // Edits of the laboratory shown until now go to its row before anything
    // else is read; when they cannot, the panel keeps them on screen.
    if (!guarded(&m_frm, [&] { m_panel->save(); }) && m_panel->isBound()) {
        backToPanel();
        return;
    }
    if (v.LstLabo->count() == 0 || v.LstLabo->currentRow() < 0)
        return;
    const QString labo = m_frm.currentLabo();
    // What the selection reads, through every page, asked for together:
    // one round trip to a server.
    std::optional<ReadAhead> ahead;
    if (m_frm.hasStore())
        ahead.emplace(m_frm.store().db(), [&] {
            Store &store = m_frm.store();
            store.labos().findByLabo(labo);
            if (m_frm.hasDoctor()) {
                store.passages().quota(labo, m_frm.currentDoctor());
                store.visites().forLaboMedecin(labo, m_frm.currentDoctor());
            }
            m_frm.askVisitProducts(labo);
        });
    // Everything read before anything is shown: a failure leaves the list,
    // the panel, the quota and the products' laboratory on one laboratory.
    if (v.LstMed->count() != 0) {
        const QString quotaBefore = v.labo.LblPass->text();
        if (!guarded(&m_frm, [&] {
                if (m_frm.hasDoctor())
                    loadQuota();
                m_panel->load(labo);
            })) {
            v.labo.LblPass->setText(quotaBefore);
            backToPanel();
            return;
        }
    }
    s.IndexLabo = v.LstLabo->currentRow();

    v.labo.LblLaboratoire->setText(QStringLiteral("Notes pour le laboratoire\n") + labo);
    v.agenda.LblDateRV->setText(QString());
    if (m_frm.hasDoctor())
        v.labo.LblPass->setVisible(true);
    showDayAppointment();

    if (v.LstMed->count() == 0) {
        dialogs::information(&m_frm, QStringLiteral("Veuillez d'abord inscrire le nom du ou des médecins concernés "
                                                    "par ce programme."));
        return;
    }

    // The lists are in step: the same index is the same laboratory.
    v.products.CboLs->setCurrentIndex(v.LstLabo->currentRow());
    v.products.CmdEnrPr->setEnabled(true);

    guarded(&m_frm, [&] {
        m_frm.Liste_RV_Labo_Medecin();
        showProductsOfTheDay();
    });

    if (s.EtatChkL == 1)
        v.products.CboLh->setCurrentIndex(v.LstLabo->currentRow());
}

// The list goes back to the laboratory the panel shows (none when it shows
// none), without running the selection again.
void LabsController::backToPanel()
{
    ListBox *list = m_frm.view().LstLabo;
    const QString shown = m_panel->labo();
    int row = -1;
    for (int i = 0; !shown.isEmpty() && i < list->count() && row < 0; ++i)
        if (list->item(i)->text().trimmed().compare(shown, Qt::CaseInsensitive) == 0)
            row = i;
    const QSignalBlocker blocker(list);
    list->setCurrentRow(row);
}

// The laboratory's appointment of the day is highlighted, none when it has
// none. Highlighting is not a click on the appointment: its own handler
// does not run.
void LabsController::showDayAppointment()
{
    MainView &v = m_frm.view();
    ListBox *day = v.agenda.LstRVJour;
    QStringList entries;
    for (int i = 0; i < day->count(); ++i)
        entries.append(day->item(i)->text());
    const QSignalBlocker blocker(day);
    day->setCurrentRow(labrules::dayListIndex(entries, m_frm.currentLabo()));
}

void LabsController::showProductsOfTheDay()
{
    m_frm.view().products.LstPr->clear();
    m_frm.Charger_Produits_Visite();
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
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    const auto answer = dialogs::input(&m_frm, QStringLiteral("Inscrire les premières lettres \ndu nom du laboratoire"),
                                       QStringLiteral("Recherche rapide"));
    s.Reponse = answer.value_or(QString());
    if (s.Reponse.isEmpty())
        return;
    const int hit = labrules::quickSearch(lablists::entries(v), s.Reponse);
    if (hit < 0) {
        dialogs::information(&m_frm, QStringLiteral("Pas de nom de laboratoire ") + QStringLiteral("commençant par ")
                                         + s.Reponse.toUpper());
        return;
    }
    v.LstLabo->scrollToItem(v.LstLabo->item(hit), QAbstractItemView::PositionAtTop);
    v.LstLabo->setCurrentRow(hit);
}

void LabsController::CmdRL_VM_Click()
{
    FrmDM dialog(m_frm);
    if (!guarded(&m_frm, [&] { dialog.load(); }))
        return;
    dialog.exec();
}

void LabsController::ChkL_Click()
{
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    const bool ticked = v.products.ChkL->isChecked();
    v.products.CboLh->setEnabled(!ticked);
    s.EtatChkL = ticked ? 1 : 0;
    guarded(&m_frm, [&] { m_frm.saveWorkstationSettings(); });
    m_frm.focusCmdFoc();
}

void LabsController::openSite()
{
    const QString url = m_frm.view().labo.TextVM[1]->text();
    if (!labrules::isWebAddress(url)) {
        dialogs::critical(&m_frm, QStringLiteral("L'adresse indiquée n'est pas une URL !"));
        return;
    }
    if (!dialogs::askYesNo(&m_frm, QStringLiteral("Etes vous prêt à vous connecter à ") + url + QStringLiteral(" ?")))
        return;
    QDesktopServices::openUrl(QUrl(url.trimmed(), QUrl::TolerantMode));
}

void LabsController::writeMail()
{
    const QString email = m_frm.view().labo.TextVM[4]->text();
    if (!labrules::isMailAddress(email)) {
        dialogs::critical(&m_frm, QStringLiteral("Aucune adresse valide n'est inscrite !"));
        return;
    }
    if (!dialogs::askYesNo(&m_frm, QStringLiteral("Etes vous prêt à adresser un courrier à ") + m_frm.currentLabo()
                                       + QStringLiteral(" ?")))
        return;
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + email.trimmed(), QUrl::TolerantMode));
}

void LabsController::CmdConnaitre_Click()
{
    dialogs::information(&m_frm, QStringLiteral("Clickez sur la date choisie, dans le calendrier."));
    m_frm.focusCmdFoc();
}

void LabsController::CmdListeQuitte_Click()
{
    MainView &v = m_frm.view();
    m_frm.state().ModeListeRV = 0;
    v.agenda.LstListe->clear();
    v.agenda.LblListe->setText(QString());
    v.agenda.PctListe->setVisible(false);
    // The month list took the grid's place.
    v.agenda.FG->setVisible(true);
    v.agenda.CmdRV->setVisible(true);
    v.agenda.CmdConnaitre->setVisible(true);
    v.menus.mnuVoirRV->setVisible(true);
    v.agenda.CmdRV->setText(QStringLiteral("Fixer Rendez-vous"));
    v.menus.mnuVoirRV->setText(QStringLiteral("Voir les RV d'un mois pour un médecin"));
}

// The tooltip of the laboratory list names the entry under the pointer:
// the list is narrow and long names are cut.
bool LabsController::eventFilter(QObject *watched, QEvent *event)
{
    ListBox *list = m_frm.view().LstLabo;
    if (watched == list->viewport() && event->type() == QEvent::MouseMove) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex index = list->indexAt(mouse->position().toPoint());
        list->setToolTip(index.isValid() ? list->item(index.row())->text() + QStringLiteral("  ") : QString());
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tv
