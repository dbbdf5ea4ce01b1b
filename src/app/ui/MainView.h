#pragma once

#include "agenda/ui/AgendaPage.h"
#include "labs/ui/LaboPage.h"
#include "products/ui/ProductsPage.h"

#include <array>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QWidget;

namespace tv {

// The three pop-up menus of the icon bar and their entries.
struct MenuActions {
    QMenu *mnupara = nullptr;
    QMenu *mnuparaAG = nullptr;
    QAction *mnuSansRV = nullptr;
    QAction *mnuMax = nullptr;
    QAction *mnuVoirRV = nullptr;

    QMenu *mnuoptions = nullptr;
    QAction *mnuSelMed = nullptr;
    QAction *mnuHeure = nullptr;
    QAction *mnuProduits = nullptr;
    QAction *mnuDeplaceBDD = nullptr;
    QAction *mnuCheminBDD = nullptr;
    QAction *mnurenomlabo = nullptr;
    QAction *mnuSuplabo = nullptr;
    QAction *mnuSupMed = nullptr;
    QAction *mnusupRV = nullptr;
    QAction *mnuPurger = nullptr;
    QAction *mnuRepare = nullptr;

    QMenu *mnuAPropos = nullptr;
    QAction *mnuEcrire = nullptr;
    QAction *mnuSite = nullptr;
    QAction *mnuAP = nullptr;

    // Commands beyond the three original pop-ups, behind the icon bar's
    // last button.
    QMenu *mnuPlus = nullptr;
    QAction *mnuImprimer = nullptr;
    QAction *mnuPdf = nullptr;
    QAction *mnuICal = nullptr;
    QAction *mnuGraphique = nullptr;
    QAction *mnuSauvegardes = nullptr;
    QAction *mnuServeur = nullptr;
    QAction *mnuLien = nullptr;
};

// Every named widget of the main window: its own, and each subsystem's
// in that subsystem's struct (the doctors' and laboratories' lists beside
// the pages are the labs subsystem's).
struct MainView {
    QWidget *PctMenu = nullptr;
    std::array<QToolButton *, 10> menu{}; // 0..5 icon bar, 6..7 laboratory page, 8..9 products page
    QToolButton *menuPlus = nullptr;      // icon bar, after the original buttons: pops up mnuPlus
    QLabel *Lblversion = nullptr;
    QTabBar *TS = nullptr;
    QStackedWidget *pages = nullptr;
    std::array<QWidget *, 3> PctTab{};
    QPushButton *cmdFoc = nullptr;

    AgendaWidgets agenda;
    LaboWidgets labo;
    ProductsWidgets products;
    MenuActions menus;
};

} // namespace tv
