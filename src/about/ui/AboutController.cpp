#include "about/ui/AboutController.h"

#include "about/core/Links.h"
#include "about/ui/FrmApropos.h"
#include "common/ui/MainWindow.h"

namespace tv {

AboutController::AboutController(MainWindow &main)
    : m_main(main)
{
}

void AboutController::mnuAP_Click()
{
    FrmApropos about(m_main.widget());
    about.exec();
}

void AboutController::mnuSite_Click()
{
    FrmApropos::openLink(links::site());
}

void AboutController::mnuEcrire_Click()
{
    FrmApropos::openLink(links::mailFromMenu());
}

} // namespace tv
