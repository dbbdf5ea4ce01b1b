#pragma once

namespace tv {
class FrmLabo;

// The annual number of visits of the selected laboratory with the selected
// doctor (LblPass and CmdPassage).
class QuotaHandler {
public:
    explicit QuotaHandler(FrmLabo &frm);

    // LblPass from the pair's Passage row; an unset quota reads 0.
    void loadQuota();
    void CmdPassage_Click();

private:
    FrmLabo &m_frm;
};

} // namespace tv
