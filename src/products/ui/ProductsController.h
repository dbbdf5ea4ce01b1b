#pragma once

#include "common/ui/MainWindow.h"

#include <QObject>
#include <memory>

namespace tv {
struct ProductsWidgets;
class HistoryView;
class MedicinesCatalogue;
class VisitEntry;

// Medicines catalogue, products of a visit and products history.
class ProductsController : public QObject {
    Q_OBJECT
public:
    ProductsController(MainWindow &main, ProductsWidgets &w);
    ~ProductsController() override;

    void connectSignals();

    // Fills CboPr and CboPrPr from Medoc.txt.
    void loadMedicines();
    void Remplir_Historique();
    // What another workstation may have changed: the history shown and the
    // medicines, what is chosen and typed kept.
    void refreshHistory();
    void followMedicines();
    void Charger_Produits_Visite();
    void Ajouter_Medicament();
    void Supprimer_Medicament();
    void mnuProduits_Click();
    void ChkL_Click();

    // What the other subsystems ask through the main window.
    void followDoctor(const QString &doctor);
    void followLaboratory(int row);
    void historyFollowsLaboratory(int row);
    void laboratoriesListed(const QStringList &labos, const QStringList &delegates, bool keepChoices);
    void laboratoryInserted(int row, const QString &entry, const QString &delegateEntry);
    void laboratoryMoved(int row, int to, const QString &entry);
    void laboratoryRemoved(int row);
    void delegateRenamed(const QString &from, const QString &to);
    void showVisitEntry(const QString &labo, const QDate &day);
    ShownList shownHistory();
    // The visit entry back on today (each time a page is shown).
    void resetVisitDate();
    // ChkL as the workstation's settings say, at start-up.
    void applyWorkstationSettings();

    MedicinesCatalogue &medicines() { return *m_catalogue; }
    VisitEntry &visit() { return *m_visit; }
    HistoryView &history() { return *m_history; }

protected:
    // Focus, double clicks and pointer moves the widgets do not signal.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MainWindow &m_main;
    ProductsWidgets &m_w;
    std::unique_ptr<MedicinesCatalogue> m_catalogue;
    std::unique_ptr<VisitEntry> m_visit;
    std::unique_ptr<HistoryView> m_history;
};

} // namespace tv
