#pragma once

#include <QString>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

namespace tv {
class ClickLabel;
class LineView;
class ListBox;
class VisitHistoryModel;

// The widgets of the "Agenda" page: month buttons, year, month grid,
// booking panel, appointment lists and the month list panel.
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
};

QWidget *buildAgendaPage(AgendaWidgets &w, QWidget *parent);

} // namespace tv
