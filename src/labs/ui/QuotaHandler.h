#pragma once

namespace tv {
class MainWindow;
struct LaboWidgets;

// The annual number of visits of the selected laboratory with the selected
// doctor (LblPass and CmdPassage).
class QuotaHandler {
public:
    QuotaHandler(MainWindow &main, LaboWidgets &w);

    // LblPass from the pair's Passage row; an unset quota reads 0.
    void loadQuota();
    void CmdPassage_Click();

private:
    MainWindow &m_main;
    LaboWidgets &m_w;
};

} // namespace tv
