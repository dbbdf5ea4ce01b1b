#include "app/ui/Menus.h"

#include "about/ui/AboutController.h"
#include "agenda/ui/AgendaController.h"
#include "agenda/ui/BookingController.h"
#include "agenda/ui/MonthListPanel.h"
#include "app/ui/FrmLabo.h"
#include "backups/ui/BackupsController.h"
#include "labs/ui/DoctorsController.h"
#include "labs/ui/LabsController.h"
#include "maintenance/ui/MaintenanceController.h"
#include "online/ui/OnlineController.h"
#include "outputs/ui/OutputsController.h"
#include "products/ui/ProductsController.h"
#include "server/ui/ServerController.h"

#include <QAction>
#include <QMenu>

namespace tv {

namespace {

QAction *entry(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void separator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

QMenu *popup(const char *name, const QString &caption, QWidget *owner)
{
    auto *menu = new QMenu(caption, owner);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

void buildMenus(MenuActions &m, QWidget *owner)
{
    m.mnupara = popup("mnupara", QStringLiteral("Parametres"), owner);
    m.mnuparaAG = popup("mnuparaAG", QStringLiteral("Paramètres Agenda"), m.mnupara);
    m.mnupara->addMenu(m.mnuparaAG);
    m.mnuSansRV = entry(m.mnuparaAG, "mnuSansRV", QStringLiteral("Jours sans RV pour congés, absence..."));
    m.mnuMax = entry(m.mnuparaAG, "mnuMax", QStringLiteral("Nombre maximum de labos reçus par jour"));
    m.mnuVoirRV = entry(m.mnupara, "mnuVoirRV", QStringLiteral("Voir les RV d'un mois pour un médecin"));

    m.mnuoptions = popup("mnuoptions", QStringLiteral("Options"), owner);
    m.mnuSelMed =
        entry(m.mnuoptions, "mnuSelMed", QStringLiteral("Sélectionner un Médecin à l'ouverture du programme"));
    m.mnuHeure = entry(m.mnuoptions, "mnuHeure", QStringLiteral("Enregistrer l'heure des RV"));
    m.mnuHeure->setCheckable(true);
    separator(m.mnuoptions, "mnusep4");
    m.mnuProduits = entry(m.mnuoptions, "mnuProduits", QStringLiteral("Gèrer les produits présentés"));
    m.mnuProduits->setCheckable(true);
    separator(m.mnuoptions, "mnusep5");
    m.mnuDeplaceBDD =
        entry(m.mnuoptions, "mnuDeplaceBDD", QStringLiteral("Copier et déplacer des fichiers de données"));
    m.mnuCheminBDD = entry(m.mnuoptions, "mnuCheminBDD", QStringLiteral("Changer le chemin de la base de données"));
    separator(m.mnuoptions, "mnusep0");
    m.mnurenomlabo = entry(m.mnuoptions, "mnurenomlabo", QStringLiteral("Renommer un labo"));
    m.mnuSuplabo = entry(m.mnuoptions, "mnuSuplabo", QStringLiteral("Supprimer un labo"));
    separator(m.mnuoptions, "mnusep1");
    m.mnuSupMed = entry(m.mnuoptions, "mnuSupMed", QStringLiteral("Supprimer un médecin"));
    separator(m.mnuoptions, "mnusep2");
    m.mnusupRV = entry(m.mnuoptions, "mnusupRV", QStringLiteral("Supprimer un Rendez-vous"));
    m.mnuPurger = entry(m.mnuoptions, "mnuPurger", QStringLiteral("Purger les Rendez-vous"));
    separator(m.mnuoptions, "mnusep3");
    m.mnuRepare = entry(m.mnuoptions, "mnuRepare", QStringLiteral("Réparer et compacter la base de données"));

    m.mnuAPropos = popup("mnuAPropos", QStringLiteral("A propos"), owner);
    m.mnuEcrire = entry(m.mnuAPropos, "mnuEcrire", QStringLiteral("M'écrire ..."));
    m.mnuSite = entry(m.mnuAPropos, "mnuSite", QStringLiteral("Mon site Ouaib ..."));
    m.mnuAP = entry(m.mnuAPropos, "mnuAP", QStringLiteral("A propos ..."));

    m.mnuPlus = popup("mnuPlus", QStringLiteral("Plus"), owner);
    m.mnuImprimer = entry(m.mnuPlus, "mnuImprimer", QStringLiteral("Imprimer…"));
    m.mnuPdf = entry(m.mnuPlus, "mnuPdf", QStringLiteral("Enregistrer en PDF…"));
    m.mnuICal = entry(m.mnuPlus, "mnuICal", QStringLiteral("Exporter vers un agenda (iCalendar)…"));
    m.mnuGraphique = entry(m.mnuPlus, "mnuGraphique", QStringLiteral("Visites et quotas de l'année…"));
    separator(m.mnuPlus, "mnusepPlus0");
    m.mnuSauvegardes = entry(m.mnuPlus, "mnuSauvegardes", QStringLiteral("Sauvegardes…"));
    m.mnuServeur = entry(m.mnuPlus, "mnuServeur", QStringLiteral("Transférer la base sur un serveur PostgreSQL…"));
    m.mnuLien = entry(m.mnuPlus, "mnuLien", QStringLiteral("Lien de réservation en ligne…"));
}

// Each command to the controller of its subsystem.
void FrmLabo::connectMenus()
{
    const MenuActions &m = m_view.menus;
    const auto on = [this](QAction *action, auto handler) { connect(action, &QAction::triggered, this, handler); };
    on(m.mnuMax, [this] { m_agenda->mnuMax_Click(); });
    on(m.mnuSansRV, [this] { m_agenda->mnuSansRV_Click(); });
    on(m.mnuHeure, [this] {
        // The action has already flipped its check mark; the handler decides
        // from the state before the click, as the menu showed it.
        m_view.menus.mnuHeure->setChecked(!m_view.menus.mnuHeure->isChecked());
        m_agenda->mnuHeure_Click();
    });
    on(m.mnuVoirRV, [this] { m_agenda->monthList().mnuVoirRV_Click(); });
    on(m.mnusupRV, [this] { m_booking->mnusupRV_Click(); });
    on(m.mnurenomlabo, [this] { m_labs->mnurenomlabo_Click(); });
    on(m.mnuSuplabo, [this] { m_labs->mnuSuplabo_Click(); });
    on(m.mnuSupMed, [this] { m_doctors->mnuSupMed_Click(); });
    on(m.mnuSelMed, [this] { m_doctors->mnuSelMed_Click(); });
    on(m.mnuProduits, [this] { m_products->mnuProduits_Click(); });
    on(m.mnuCheminBDD, [this] { m_maintenance->mnuCheminBDD_Click(); });
    on(m.mnuDeplaceBDD, [this] { m_maintenance->mnuDeplaceBDD_Click(); });
    on(m.mnuPurger, [this] { m_maintenance->mnuPurger_Click(); });
    on(m.mnuRepare, [this] { m_maintenance->mnuRepare_Click(); });
    on(m.mnuAP, [this] { m_about->mnuAP_Click(); });
    on(m.mnuSite, [this] { m_about->mnuSite_Click(); });
    on(m.mnuEcrire, [this] { m_about->mnuEcrire_Click(); });
    on(m.mnuImprimer, [this] { m_outputs->mnuImprimer_Click(); });
    on(m.mnuPdf, [this] { m_outputs->mnuPdf_Click(); });
    on(m.mnuICal, [this] { m_outputs->mnuICal_Click(); });
    on(m.mnuGraphique, [this] { m_outputs->mnuGraphique_Click(); });
    on(m.mnuSauvegardes, [this] { m_backups->mnuSauvegardes_Click(); });
    on(m.mnuServeur, [this] { m_server->mnuServeur_Click(); });
    on(m.mnuLien, [this] { m_online->mnuLien_Click(); });
}

} // namespace tv
