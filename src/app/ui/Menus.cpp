#include "app/ui/Menus.h"

#include "app/ui/MainView.h"

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

} // namespace tv
