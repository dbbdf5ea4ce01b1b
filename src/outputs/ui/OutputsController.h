#pragma once

#include "outputs/core/OutputDocument.h"

#include <QObject>
#include <QPointer>
#include <optional>

namespace tv {
class MainWindow;
class QuotaChartWindow;

// Print, PDF, calendar export and the quota chart: what the visible page
// shows, turned into a document, a file or a chart.
class OutputsController : public QObject {
    Q_OBJECT
public:
    explicit OutputsController(MainWindow &main);
    ~OutputsController() override;

    void mnuImprimer_Click();
    void mnuPdf_Click();
    void mnuICal_Click();
    void mnuGraphique_Click();

    // The document of the visible page; nullopt after telling the user why
    // there is nothing to print.
    std::optional<outputs::OutputDocument> visibleDocument();
    QuotaChartWindow *chartWindow() const;

private:
    std::optional<outputs::OutputDocument> agendaDocument();
    std::optional<outputs::OutputDocument> historyDocument();
    std::optional<int> displayedYear();
    // The displayed year when a doctor is selected; else says what is missing.
    std::optional<int> doctorAndYear();

    MainWindow &m_main;
    QPointer<QuotaChartWindow> m_chart;
};

} // namespace tv
