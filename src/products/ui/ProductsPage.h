#pragma once

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QListView;
class QPushButton;
class QToolButton;
class QWidget;

namespace tv {
class LineView;
class ListBox;
class ProductHistoryModel;

// The widgets of the "Produits présentés" page: entry of the products of a
// visit and the history.
struct ProductsWidgets {
    QWidget *page = nullptr;
    // Entry
    QLabel *LblS = nullptr;
    QDateEdit *DTP = nullptr;
    QComboBox *CboLs = nullptr;
    QComboBox *CboDs = nullptr;
    QComboBox *CboPr = nullptr;
    // The list part of the medicine box, always shown under its edit field.
    QListView *CboPrList = nullptr;
    QToolButton *menu8 = nullptr;
    QToolButton *menu9 = nullptr;
    ListBox *LstPr = nullptr;
    QPushButton *CmdAjoutePr = nullptr;
    QPushButton *CmdRetirePr = nullptr;
    QPushButton *CmdEnrPr = nullptr;
    // History
    QLabel *LblH = nullptr;
    QComboBox *CboDh = nullptr;
    QComboBox *CboLh = nullptr;
    QComboBox *CboPrPr = nullptr;
    QCheckBox *ChkL = nullptr;
    QPushButton *CmdTH = nullptr;
    LineView *LstHistPr = nullptr;
    ProductHistoryModel *historyModel = nullptr; // LstHistPr's rows
    // The option that shows the page, made with the menus.
    QAction *mnuProduits = nullptr;
};

QWidget *buildProductsPage(ProductsWidgets &w, QWidget *parent);

} // namespace tv
