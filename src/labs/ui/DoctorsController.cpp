#include "labs/ui/DoctorsController.h"

#include "agenda/ui/AgendaController.h"
#include "agenda/ui/BookingController.h"
#include "app/ui/FrmLabo.h"
#include "backups/ui/BackupsController.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "labs/ui/LabsController.h"
#include "products/ui/ProductsController.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <optional>

namespace tv {

DoctorsController::DoctorsController(FrmLabo &frm)
    : m_frm(frm)
{
}

void DoctorsController::connectSignals()
{
    MainView &v = m_frm.view();
    connect(v.LstMed, &QListWidget::currentRowChanged, this, [this] { LstMed_Click(); });
    connect(v.LstMed, &ListBox::reselected, this, [this] { LstMed_Click(); });
    connect(v.LstMed, &ListBox::doubleClicked, this, [this] { LstMed_DblClick(); });
    connect(v.menus.mnuSupMed, &QAction::triggered, this, [this] { mnuSupMed_Click(); });
    connect(v.menus.mnuSelMed, &QAction::triggered, this, [this] { mnuSelMed_Click(); });
}

bool DoctorsController::loadDoctors()
{
    ListBox *list = m_frm.view().LstMed;
    const QSignalBlocker blocker(list);
    list->clear();
    const auto lines = doctorsfile::read(m_frm.state().CheminBase);
    if (!lines)
        return false;
    list->addItems(doctorsfile::listEntries(*lines));
    return true;
}

void DoctorsController::addDoctor()
{
    const auto answer =
        dialogs::input(&m_frm, QStringLiteral("Inscrire le nom du médecin ."), QStringLiteral("Ajouter un médecin"));
    m_frm.state().Reponse = answer.value_or(QString());
    const QString name = m_frm.state().Reponse;
    if (name.isEmpty())
        return;
    // Blanks only would make an entry nobody can select by name.
    if (name.trimmed().isEmpty()) {
        dialogs::information(&m_frm, QStringLiteral("Le nom du médecin ne peut pas être vide."));
        return;
    }

    QStringList labos;
    ListBox *labList = m_frm.view().LstLabo;
    for (int i = 0; i < labList->count(); ++i)
        labos.append(labList->item(i)->text().trimmed());

    const bool saved = guarded(&m_frm, [&] {
        doctorsfile::append(m_frm.state().CheminBase, name);
        m_frm.store().addDoctorRows(name.toUpper(), labos);
    });
    if (!saved)
        return;

    ListBox *list = m_frm.view().LstMed;
    {
        const QSignalBlocker blocker(list);
        list->addItem(QStringLiteral("  ") + name.toUpper());
    }
    list->setCurrentRow(list->count() - 1);
    dialogs::information(&m_frm, QStringLiteral("Pensez à remplir les paramètres de l'agenda pour ce nouveau médecin\n"
                                                "(3ème icône de la barre de menu)"));
}

void DoctorsController::LstMed_Click()
{
    MainView &v = m_frm.view();
    SharedState &s = m_frm.state();
    if (v.LstMed->count() == 0 || v.LstMed->currentRow() < 0) {
        s.ModeSelMedecin = 0;
        return;
    }
    const QString doctor = m_frm.currentDoctor();
    // What the selection reads, through every page, asked for together:
    // one round trip to a server.
    std::optional<ReadAhead> ahead;
    if (m_frm.hasStore())
        ahead.emplace(m_frm.store().db(), [&] { m_frm.askDoctorSelection(); });

    v.products.LblH->setText(QStringLiteral("  HISTORIQUE des produits présentés   ___     ") + doctor);
    v.products.LblS->setText(QStringLiteral("   Saisie des produits présentés   ___   ") + doctor);
    m_frm.Remplir_Historique();
    v.products.CmdTH->setText(QStringLiteral("Supprimer tout l'historique"));
    v.products.LstPr->clear();
    v.products.CboPrPr->setCurrentIndex(-1);
    v.products.CboLh->setCurrentIndex(-1);
    v.products.CboDh->setCurrentIndex(-1);

    if (s.ModeSelMedecin == 1)
        askStartUpDoctor();

    v.agenda.LblDateRV->setText(QString());
    if (m_frm.hasLabo())
        v.labo.LblPass->setVisible(true);

    v.LblMed->setText(doctor);
    v.agenda.LblMedListe->setText(doctor);
    v.agenda.LblMedRV->setVisible(true);
    v.agenda.LblMedRV->setText(v.LstMed->text() + QStringLiteral("  "));
    v.menus.mnuparaAG->setTitle(QStringLiteral("Paramètres agenda pour ") + doctor);

    guarded(&m_frm, [&] {
        if (m_frm.hasLabo())
            m_frm.labs().loadQuota();

        if (s.ModeListeRV == 0) {
            m_frm.Choisir_Mois(s.MoisCourant);
        } else {
            s.RelanceListeRV = 1;
            m_frm.booking().mnuVoirRV_Click();
        }

        v.products.LstPr->clear();
        m_frm.Charger_Produits_Visite();

        // Choisir_Mois has just filled the grid; the month list leaves it
        // to be filled here.
        if (s.ModeListeRV != 0)
            m_frm.Remplir_Agenda();
        m_frm.Liste_RV_Medecin();
        m_frm.Liste_RV_Labo_Medecin();
    });
}

void DoctorsController::askStartUpDoctor()
{
    SharedState &s = m_frm.state();
    const QString question =
        QStringLiteral("Sélectionner ") + m_frm.currentDoctor() + QStringLiteral(" au lancement de Tallvane ?");
    if (dialogs::askYesNo(&m_frm, question)) {
        s.DernierMedecin = static_cast<std::uint8_t>(m_frm.view().LstMed->currentRow());
        guarded(&m_frm, [&] { m_frm.saveWorkstationSettings(); });
    }
    s.ModeSelMedecin = 0;
}

void DoctorsController::LstMed_DblClick()
{
    MainView &v = m_frm.view();
    if (v.LstMed->count() == 0 || v.LstMed->currentRow() < 0)
        return;
    const QString doctor = m_frm.currentDoctor();
    if (!dialogs::askYesNo(&m_frm, QStringLiteral("Supprimer de la liste ") + doctor + QStringLiteral(" ?"), true))
        return;
    if (!m_frm.backups().before(QStringLiteral("la suppression du médecin")))
        return;

    const bool removed = guarded(&m_frm, [&] {
        m_frm.store().deleteDoctorRows(doctor);
        doctorsfile::remove(m_frm.state().CheminBase, doctor);
    });
    if (!removed)
        return;

    guarded(&m_frm, [&] { loadDoctors(); });
    v.LstMed->setCurrentRow(-1);
    v.LblMed->setText(QStringLiteral("Sélectionnez un médecin"));
    m_frm.CboAn_Click();
    v.agenda.LblMedRV->setVisible(false);
    v.agenda.LstHist->clear();
    guarded(&m_frm, [&] {
        m_frm.Liste_RV_Medecin();
        m_frm.Liste_RV_Labo_Medecin();
        m_frm.Remplir_Agenda();
    });
}

void DoctorsController::mnuSupMed_Click()
{
    dialogs::information(&m_frm, QStringLiteral("Faites un double click sur le médecin à supprimer."));
}

void DoctorsController::mnuSelMed_Click()
{
    SharedState &s = m_frm.state();
    s.ModeSelMedecin = 1;
    const auto answer =
        dialogs::message(&m_frm,
                         QStringLiteral("Si vous répondez NON :\n\no Aucun médecin ne sera sélectionné.\n"
                                        "o Un médecin préalablement sélectionné sera désélectionné."),
                         QMessageBox::Information, QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        dialogs::information(&m_frm, QStringLiteral("Clickez, dans la liste des médecins, sur celui à sélectionner au "
                                                    "lancement du programme ."));
        return;
    }
    s.DernierMedecin = SharedState::NoDoctor;
    s.ModeSelMedecin = 0;
    guarded(&m_frm, [&] { m_frm.saveWorkstationSettings(); });
}

} // namespace tv
