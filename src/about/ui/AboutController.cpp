#include "about/ui/AboutController.h"

#include "about/core/Links.h"
#include "about/ui/FrmApropos.h"
#include "app/ui/FrmLabo.h"

#include <QAction>

namespace tv {

AboutController::AboutController(FrmLabo &frm)
    : m_frm(frm)
{
}

void AboutController::connectSignals()
{
    const MenuActions &m = m_frm.view().menus;
    connect(m.mnuAP, &QAction::triggered, this, &AboutController::mnuAP_Click);
    connect(m.mnuSite, &QAction::triggered, this, &AboutController::mnuSite_Click);
    connect(m.mnuEcrire, &QAction::triggered, this, &AboutController::mnuEcrire_Click);
}

void AboutController::mnuAP_Click()
{
    FrmApropos about(&m_frm);
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
