#pragma once

#include <QString>
#include <array>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QWidget;

namespace tv {
class ClickLabel;
class LineView;
class ListBox;
class VisitHistoryModel;

// The widgets of the agenda subsystem: the "Agenda" page (month buttons,
// year, month grid, booking panel, appointment lists, the month list panel),
// the list of a laboratory's appointments that the "Laboratoire" page shows,
// and the menu entries whose caption or check mark the agenda sets.
struct AgendaWidgets {
    QWidget *page = nullptr;
    std::array<ClickLabel *, 12> EtMois{};
    QLabel *LblMois = nullptr;
    QComboBox *CboAn = nullptr;
    QTableWidget *FG = nullptr;
    QPushButton *CmdRV = nullptr;
    QPushButton *CmdConnaitre = nullptr;
    // Booking panel
    QFrame *PctRV = nullptr;
    QLabel *LblMedRV = nullptr;
    QLabel *LblDateRV = nullptr;
    QPushButton *CmdEnr = nullptr;
    QPushButton *CmdAnn = nullptr;
    // Day list and past appointments
    QLabel *LblRVJ = nullptr;
    ListBox *LstRVJour = nullptr;
    LineView *LstHist = nullptr;
    VisitHistoryModel *historyModel = nullptr; // LstHist's rows
    // Month list, shown instead of the grid
    QFrame *PctListe = nullptr;
    QLabel *LblMedListe = nullptr;
    QLabel *LblListe = nullptr;
    LineView *LstListe = nullptr;
    QPushButton *CmdListeQuitte = nullptr;
    // The selected laboratory's appointments with the selected doctor; a
    // double click deletes one. Shown on the laboratory page.
    LineView *LstRV = nullptr;
    // Menu entries, made with the menus.
    QMenu *mnuparaAG = nullptr;
    QAction *mnuVoirRV = nullptr;
    QAction *mnuHeure = nullptr;
};

QWidget *buildAgendaPage(AgendaWidgets &w, QWidget *parent);

} // namespace tv
