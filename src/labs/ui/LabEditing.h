#pragma once

#include <QString>

namespace tv {
class MainWindow;
class LabPanel;
struct LaboWidgets;

// Adding, renaming and deleting a laboratory. Each change is written to the
// database first, as one transaction; the lists follow only when it
// succeeded.
class LabEditing {
public:
    LabEditing(MainWindow &main, LaboWidgets &w, LabPanel &panel);

    void addLaboratory();      // icon bar button 1
    void mnurenomlabo_Click(); // rename the selected laboratory
    void LstLabo_DblClick();   // delete the selected laboratory
    void mnuSuplabo_Click();

private:
    // False (and the reason shown) when the typed name cannot be used.
    bool acceptName(const QString &answer, int except);

    MainWindow &m_main;
    LaboWidgets &m_w;
    LabPanel &m_panel;
};

} // namespace tv
