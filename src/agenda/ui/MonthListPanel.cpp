#include "agenda/ui/MonthListPanel.h"

#include "agenda/core/AppointmentLists.h"
#include "agenda/ui/AgendaPage.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QTableWidget>

namespace tv {

MonthListPanel::MonthListPanel(MainWindow &main, AgendaWidgets &w)
    : m_main(main)
    , m_w(w)
{
}

bool MonthListPanel::canShow()
{
    if (!m_main.hasDoctor()) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un médecin."));
        return false;
    }
    const int month = m_main.state().MoisActif;
    if (month < 0 || month > 11) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un mois."));
        return false;
    }
    return true;
}

void MonthListPanel::mnuVoirRV_Click()
{
    if (!canShow())
        return;
    if (m_shown)
        CmdListeQuitte_Click();
    else
        show();
}

void MonthListPanel::refresh()
{
    if (canShow())
        show();
}

void MonthListPanel::show()
{
    m_w.mnuVoirRV->setText(QStringLiteral("Revenir à l'agenda"));
    m_shown = true;
    m_w.FG->hide();
    m_w.PctListe->show();
    m_w.CmdRV->hide();
    m_w.CmdConnaitre->hide();
    m_w.PctRV->hide();
    m_main.showTab(1);

    m_w.LstListe->clear();
    m_w.LblListe->setText(QString());
    fill();
}

void MonthListPanel::reload()
{
    const int month = m_main.state().MoisActif;
    if (m_shown && m_main.hasDoctor() && month >= 0 && month <= 11)
        fill();
}

void MonthListPanel::fill()
{
    const int month = m_main.state().MoisActif;
    const QString year = m_w.CboAn->currentText();
    guarded(m_main.widget(), [&] {
        const QList<VisiteRecord> visites =
            m_main.store().visites().forMonth(m_main.currentDoctor(), year, rvlists::twoDigitMonth(month)).get();
        const rvlists::MonthList list = rvlists::monthList(visites, month, year);
        m_w.LstListe->setLines(list.lines);
        m_w.LblListe->setText(list.heading);
    });
}

void MonthListPanel::CmdListeQuitte_Click()
{
    m_shown = false;
    m_w.LstListe->clear();
    m_w.LblListe->setText(QString());
    m_w.PctListe->setVisible(false);
    // The month list took the grid's place.
    m_w.FG->setVisible(true);
    m_w.CmdRV->setVisible(true);
    m_w.CmdConnaitre->setVisible(true);
    m_w.mnuVoirRV->setVisible(true);
    m_w.CmdRV->setText(QStringLiteral("Fixer Rendez-vous"));
    m_w.mnuVoirRV->setText(QStringLiteral("Voir les RV d'un mois pour un médecin"));
}

std::optional<ShownList> MonthListPanel::shown() const
{
    if (!m_shown)
        return std::nullopt;
    return ShownList{m_w.LblListe->text().trimmed(), m_w.LstListe->allLines()};
}

} // namespace tv
