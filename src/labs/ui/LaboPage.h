#pragma once

#include <array>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class QWidget;

namespace tv {
class LineView;
class ListBox;

// The widgets of the labs subsystem: the doctors' and laboratories' lists
// beside the pages, and the "Laboratoire" page (the record of the selected
// laboratory and its annual quota with the selected doctor).
struct LaboWidgets {
    // Beside the pages
    QLabel *LblMed = nullptr;
    ListBox *LstMed = nullptr;
    ListBox *LstLabo = nullptr;
    QToolButton *CmdRR = nullptr;
    QToolButton *CmdRL_VM = nullptr;
    // The page
    QWidget *page = nullptr;
    QLabel *LblNomLabo = nullptr;
    QLabel *LBlLabo = nullptr;
    QLabel *LblVM = nullptr;
    QLabel *LblUrl = nullptr;
    QLabel *LblTel = nullptr;
    QLabel *LblLaboratoire = nullptr;
    std::array<QLineEdit *, 5> TextVM{}; // Nom, Url, Budget, Mdp, Email
    QLineEdit *TxtTel_1 = nullptr;       // Tel
    QLineEdit *TxtTel_2 = nullptr;       // TelP
    QLineEdit *Text4 = nullptr;          // Adresse
    QLineEdit *TxtCommune = nullptr;     // CommuneVM
    QPlainTextEdit *Text5 = nullptr;     // Laboratoire (notes)
    QLabel *LblPassTitre = nullptr;
    QLabel *LblPass = nullptr;
    QToolButton *CmdPassage = nullptr;
    QToolButton *menu6 = nullptr;
    QToolButton *menu7 = nullptr;
};

// The page also shows the agenda's list of the laboratory's appointments
// with the doctor: it is made here, in its place, and handed out through
// `appointments`.
QWidget *buildLaboPage(LaboWidgets &w, QWidget *parent, LineView **appointments);

} // namespace tv
