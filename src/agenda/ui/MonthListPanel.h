#pragma once

#include "common/ui/MainWindow.h"

#include <optional>

namespace tv {
struct AgendaWidgets;

// The list of a doctor's appointments of one month, shown in the grid's
// place (mnuVoirRV). It alone knows whether it is shown; the agenda asks it.
class MonthListPanel {
public:
    MonthListPanel(MainWindow &main, AgendaWidgets &w);

    bool isShown() const { return m_shown; }
    // The menu command: the list of the chosen month, or back to the grid
    // when the list is shown.
    void mnuVoirRV_Click();
    // The month or the doctor changed while the list is shown: it is read
    // again in place.
    void refresh();
    // Its lines and heading read again where they are, when it is shown.
    void reload();
    // Back to the grid (CmdListeQuitte).
    void CmdListeQuitte_Click();
    // Its heading and every line, when it is shown.
    std::optional<ShownList> shown() const;

private:
    // False, after saying which, when the doctor or the month is missing.
    bool canShow();
    void show();
    void fill();

    MainWindow &m_main;
    AgendaWidgets &m_w;
    bool m_shown = false;
};

} // namespace tv
