#include "labs/ui/DoctorsController.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "labs/ui/LaboPage.h"
#include "labs/ui/LabsController.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"

#include <QLabel>

#include <optional>

namespace tv {

DoctorsController::DoctorsController(MainWindow &main, LaboWidgets &w, LabsController &labs)
    : m_main(main)
    , m_w(w)
    , m_labs(labs)
{
    connect(&labs, &LabsController::laboratoryClicked, this, [this] { m_choosingStartUpDoctor = false; });
}

void DoctorsController::connectSignals()
{
    connect(m_w.LstMed, &QListWidget::currentRowChanged, this, [this] { LstMed_Click(); });
    connect(m_w.LstMed, &ListBox::reselected, this, [this] { LstMed_Click(); });
    connect(m_w.LstMed, &ListBox::doubleClicked, this, [this] { LstMed_DblClick(); });
}

bool DoctorsController::loadDoctors()
{
    ListBox *list = m_w.LstMed;
    const QSignalBlocker blocker(list);
    list->clear();
    const auto lines = doctorsfile::read(m_main.state().CheminBase);
    if (!lines)
        return false;
    list->addItems(doctorsfile::listEntries(*lines));
    return true;
}

void DoctorsController::addDoctor()
{
    const QString name = dialogs::input(m_main.widget(), QStringLiteral("Inscrire le nom du médecin ."),
                                        QStringLiteral("Ajouter un médecin"))
                             .value_or(QString());
    if (name.isEmpty())
        return;
    // Blanks only would make an entry nobody can select by name.
    if (name.trimmed().isEmpty()) {
        dialogs::information(m_main.widget(), QStringLiteral("Le nom du médecin ne peut pas être vide."));
        return;
    }

    QStringList labos;
    ListBox *labList = m_w.LstLabo;
    for (int i = 0; i < labList->count(); ++i)
        labos.append(labList->item(i)->text().trimmed());

    const bool saved = guarded(m_main.widget(), [&] {
        doctorsfile::append(m_main.state().CheminBase, name);
        m_main.store().addDoctorRows(name.toUpper(), labos);
    });
    if (!saved)
        return;

    ListBox *list = m_w.LstMed;
    {
        const QSignalBlocker blocker(list);
        list->addItem(QStringLiteral("  ") + name.toUpper());
    }
    list->setCurrentRow(list->count() - 1);
    dialogs::information(m_main.widget(),
                         QStringLiteral("Pensez à remplir les paramètres de l'agenda pour ce nouveau médecin\n"
                                        "(3ème icône de la barre de menu)"));
}

void DoctorsController::LstMed_Click()
{
    if (m_w.LstMed->count() == 0 || m_w.LstMed->currentRow() < 0) {
        m_choosingStartUpDoctor = false;
        return;
    }
    const QString doctor = m_main.currentDoctor();
    // What the selection reads, through every page, asked for together:
    // one round trip to a server.
    std::optional<ReadAhead> ahead;
    if (m_main.hasStore())
        ahead.emplace(m_main.store().db(), [&] { m_main.askDoctorSelection(); });

    m_main.productsFollowDoctor(doctor);
    if (m_choosingStartUpDoctor)
        askStartUpDoctor();
    if (m_main.hasLabo())
        m_w.LblPass->setVisible(true);
    m_w.LblMed->setText(doctor);
    m_main.agendaFollowsDoctor();

    guarded(m_main.widget(), [&] {
        if (m_main.hasLabo())
            m_labs.loadQuota();
        m_main.showDoctorMonth();
        m_main.Charger_Produits_Visite();
        m_main.Liste_RV_Medecin();
        m_main.Liste_RV_Labo_Medecin();
    });
}

void DoctorsController::selectRememberedDoctor()
{
    const SharedState &s = m_main.state();
    if (s.DernierMedecin != SharedState::NoDoctor && s.DernierMedecin < m_w.LstMed->count())
        m_w.LstMed->setCurrentRow(s.DernierMedecin);
}

void DoctorsController::askStartUpDoctor()
{
    SharedState &s = m_main.state();
    const QString question =
        QStringLiteral("Sélectionner ") + m_main.currentDoctor() + QStringLiteral(" au lancement de Tallvane ?");
    if (dialogs::askYesNo(m_main.widget(), question)) {
        s.DernierMedecin = static_cast<std::uint8_t>(m_w.LstMed->currentRow());
        guarded(m_main.widget(), [&] { m_main.saveWorkstationSettings(); });
    }
    m_choosingStartUpDoctor = false;
}

void DoctorsController::LstMed_DblClick()
{
    if (m_w.LstMed->count() == 0 || m_w.LstMed->currentRow() < 0)
        return;
    const QString doctor = m_main.currentDoctor();
    if (!dialogs::askYesNo(m_main.widget(), QStringLiteral("Supprimer de la liste ") + doctor + QStringLiteral(" ?"),
                           true))
        return;
    if (!m_main.backupBefore(QStringLiteral("la suppression du médecin")))
        return;

    const bool removed = guarded(m_main.widget(), [&] {
        m_main.store().deleteDoctorRows(doctor);
        doctorsfile::remove(m_main.state().CheminBase, doctor);
    });
    if (!removed)
        return;

    guarded(m_main.widget(), [&] { loadDoctors(); });
    m_w.LstMed->setCurrentRow(-1);
    noDoctorShown();
}

void DoctorsController::noDoctorShown()
{
    m_w.LblMed->setText(QStringLiteral("Sélectionnez un médecin"));
    m_main.CboAn_Click();
    m_main.agendaFollowsDoctor();
    guarded(m_main.widget(), [&] {
        m_main.Liste_RV_Medecin();
        m_main.Liste_RV_Labo_Medecin();
        m_main.Remplir_Agenda();
    });
}

void DoctorsController::followFile()
{
    const auto lines = doctorsfile::read(m_main.state().CheminBase);
    if (!lines)
        return;
    const bool selected = m_main.hasDoctor();
    syncEntries(m_w.LstMed, doctorsfile::listEntries(*lines));
    if (selected && !m_main.hasDoctor())
        noDoctorShown();
}

void DoctorsController::mnuSupMed_Click()
{
    dialogs::information(m_main.widget(), QStringLiteral("Faites un double click sur le médecin à supprimer."));
}

void DoctorsController::mnuSelMed_Click()
{
    SharedState &s = m_main.state();
    m_choosingStartUpDoctor = true;
    const auto answer =
        dialogs::message(m_main.widget(),
                         QStringLiteral("Si vous répondez NON :\n\no Aucun médecin ne sera sélectionné.\n"
                                        "o Un médecin préalablement sélectionné sera désélectionné."),
                         QMessageBox::Information, QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        dialogs::information(m_main.widget(), QStringLiteral("Clickez, dans la liste des médecins, sur celui à "
                                                             "sélectionner au lancement du programme ."));
        return;
    }
    s.DernierMedecin = SharedState::NoDoctor;
    m_choosingStartUpDoctor = false;
    guarded(m_main.widget(), [&] { m_main.saveWorkstationSettings(); });
}

} // namespace tv
