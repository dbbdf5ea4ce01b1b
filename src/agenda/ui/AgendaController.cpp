#include "agenda/ui/AgendaController.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/Calendar.h"
#include "agenda/core/MonthGridModel.h"
#include "agenda/ui/BookingController.h"
#include "agenda/ui/FrmDate.h"
#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/core/LayoutRules.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace tv {

namespace {

QColor toColor(const Rgb &rgb)
{
    return QColor(rgb.r, rgb.g, rgb.b);
}

// An empty cell in the grid's default colours: white cells on the light
// blue area that surrounds them.
QTableWidgetItem *blankItem(int column)
{
    auto *item = new QTableWidgetItem;
    // The day's name reads from the left, the figures stand centred.
    item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    item->setBackground(Qt::white);
    item->setForeground(Qt::black);
    return item;
}

QTableWidgetItem *cellItem(const GridCell &cell, const QString &tooltip, int column)
{
    auto *item = blankItem(column);
    item->setText(cell.text);
    QFont font = item->font();
    font.setBold(cell.bold);
    item->setFont(font);
    if (cell.background)
        item->setBackground(toColor(*cell.background));
    if (cell.foreground)
        item->setForeground(toColor(*cell.foreground));
    if (!tooltip.isEmpty())
        item->setToolTip(tooltip);
    return item;
}

} // namespace

AgendaController::AgendaController(FrmLabo &frm)
    : m_frm(frm)
{
    setupMonthButtons();
    QTableWidget *fg = m_frm.view().agenda.FG;
    QPalette palette = fg->palette();
    palette.setColor(QPalette::Base, toColor(gridcolours::Area));
    fg->setPalette(palette);
    clearGrid();
}

void AgendaController::setupMonthButtons()
{
    AgendaWidgets &a = m_frm.view().agenda;
    for (int i = 0; i < 12; ++i) {
        a.EtMois[static_cast<std::size_t>(i)]->setText(calendar::monthCaptions().at(i));
        a.EtMois[static_cast<std::size_t>(i)]->setTag(calendar::monthNames().at(i));
        a.EtMois[static_cast<std::size_t>(i)]->setBackground(toColor(gridcolours::MonthOther));
    }
}

void AgendaController::connectSignals()
{
    MainView &v = m_frm.view();
    for (int i = 0; i < 12; ++i)
        connect(v.agenda.EtMois[static_cast<std::size_t>(i)], &ClickLabel::clicked, this,
                [this, i] { EtMois_Click(i); });
    // Only a choice of the user resets the agenda; start-up fills the combo itself.
    connect(v.agenda.CboAn, &QComboBox::activated, this, [this] { CboAn_Click(); });
    connect(v.agenda.FG, &QTableWidget::cellClicked, this, [this](int row, int) { FG_Click(row); });
    connect(v.menus.mnuMax, &QAction::triggered, this, [this] { mnuMax_Click(); });
    connect(v.menus.mnuSansRV, &QAction::triggered, this, [this] { mnuSansRV_Click(); });
    connect(v.menus.mnuHeure, &QAction::triggered, this, [this] {
        // The action has already flipped its check mark; the handler decides
        // from the state before the click, as the menu showed it.
        QAction *action = m_frm.view().menus.mnuHeure;
        action->setChecked(!action->isChecked());
        mnuHeure_Click();
    });
}

void AgendaController::initialiseGrid(double horizontalFactor, double verticalFactor)
{
    QTableWidget *fg = m_frm.view().agenda.FG;
    static const int widths[MonthGrid::Columns] = {150, 45, 70, 60, 140};
    // On a small screen the scaled widths must still show the longest texts
    // ("  Abs - mercredi", "99    labo(s)") whole.
    QFont bold = fg->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int padding = 2 * metrics.horizontalAdvance(QLatin1Char('M'));
    const int longest[MonthGrid::Columns] = {
        metrics.horizontalAdvance(QStringLiteral("  Abs - mercredi")),
        metrics.horizontalAdvance(QStringLiteral("31")),
        metrics.horizontalAdvance(QStringLiteral("sept.")),
        metrics.horizontalAdvance(QStringLiteral("2025")),
        metrics.horizontalAdvance(QStringLiteral("99    labo(s)")),
    };
    for (int c = 0; c < MonthGrid::Columns; ++c)
        fg->setColumnWidth(c, std::max(static_cast<int>(widths[c] * horizontalFactor), longest[c] + padding));
    for (int r = 0; r < MonthGrid::Rows; ++r)
        fg->setRowHeight(r, static_cast<int>(20 * std::min(verticalFactor, layout::GridRowCap)));
    clearGrid();
}

QString AgendaController::doctorEntry() const
{
    return m_frm.view().LstMed->text();
}

void AgendaController::clearGrid()
{
    QTableWidget *fg = m_frm.view().agenda.FG;
    fg->clearContents();
    for (int r = 0; r < MonthGrid::Rows; ++r) {
        for (int c = 0; c < MonthGrid::Columns; ++c)
            fg->setItem(r, c, blankItem(c));
    }
}

void AgendaController::Remplir_Agenda()
{
    SharedState &s = m_frm.state();
    if (s.MoisActif < 0 || s.MoisActif > 11)
        return;
    AgendaWidgets &a = m_frm.view().agenda;
    QTableWidget *fg = a.FG;
    const QString doctor = doctorEntry();
    const QString monthTag = a.EtMois[static_cast<std::size_t>(s.MoisActif)]->tag();
    const QString yearText = a.CboAn->currentText();

    MonthGridInput input;
    input.yearText = yearText;
    input.month = s.MoisActif + 1;
    input.today = Clock::today();
    // Two files, read one independently of the other. Maxima that cannot be
    // read are all 0 (every day full) rather than another doctor's.
    guarded(&m_frm, [&] { input.absenceText = agendafiles::readAbsenceText(s.CheminBase, doctor); });
    s.MaxJour = MaxJourTable{};
    guarded(&m_frm, [&] { s.MaxJour = agendafiles::readMaxima(s.CheminBase, doctor); });
    input.maxJour = s.MaxJour;
    try {
        s.JoursFeries = Liste_Jours_Feries(yearText).split(u';');
    } catch (const CalendarOverflow &) {
        s.JoursFeries.clear();
        dialogs::critical(&m_frm, QStringLiteral("L'année « %1 » n'est pas utilisable.").arg(yearText));
        return;
    }
    input.joursFeries = s.JoursFeries;

    fg->setUpdatesEnabled(false);
    clearGrid();
    const bool loaded = guarded(&m_frm, [&] {
        input.appointmentsByDay = countAppointmentsByDay(
            m_frm.store().visites().forMonth(doctor.trimmed(), yearText, Numero_Mois(monthTag).trimmed()).get());
    });
    if (loaded) {
        const MonthGrid grid = buildMonthGrid(input);
        for (int r = 0; r < grid.days; ++r) {
            const auto &row = grid.cells[static_cast<std::size_t>(r)];
            for (int c = 0; c < MonthGrid::Columns; ++c)
                fg->setItem(r, c,
                            cellItem(row[static_cast<std::size_t>(c)], grid.tooltips[static_cast<std::size_t>(r)], c));
        }
    }
    fg->setUpdatesEnabled(true);
}

void AgendaController::askMonth(int mois)
{
    if (mois < 0 || mois > 11)
        return;
    const AgendaWidgets &a = m_frm.view().agenda;
    m_frm.store().visites().forMonth(doctorEntry().trimmed(), a.CboAn->currentText(),
                                     Numero_Mois(a.EtMois[static_cast<std::size_t>(mois)]->tag()).trimmed());
}

void AgendaController::Choisir_Mois(int mois)
{
    if (mois < 0 || mois > 11)
        return;
    if (!m_frm.hasDoctor()) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un médecin ! "));
        return;
    }
    AgendaWidgets &a = m_frm.view().agenda;
    for (int k = 0; k < 12; ++k)
        a.EtMois[static_cast<std::size_t>(k)]->setBackground(
            toColor(k == mois ? gridcolours::MonthSelected : gridcolours::MonthOther));
    a.LblMois->setText(a.EtMois[static_cast<std::size_t>(mois)]->tag());
    m_frm.state().MoisActif = static_cast<std::int16_t>(mois);
    Remplir_Agenda();
}

void AgendaController::CboAn_Click()
{
    SharedState &s = m_frm.state();
    AgendaWidgets &a = m_frm.view().agenda;
    for (ClickLabel *button : a.EtMois)
        button->setBackground(toColor(gridcolours::MonthOther));
    s.MoisActif = SharedState::NoMonth;
    a.LblMois->setText(QString());
    clearGrid();
    a.LstListe->clear();
    a.LblListe->setText(QString());
    a.CmdRV->setText(QStringLiteral("Fixer Rendez-vous"));
    if (s.ModeListeRV == 0)
        a.CmdConnaitre->show();
    a.LblDateRV->setText(QString());
    a.PctRV->hide();
}

void AgendaController::EtMois_Click(int index)
{
    Choisir_Mois(index);
    SharedState &s = m_frm.state();
    if (s.ModeListeRV == 1) {
        s.RelanceListeRV = 1;
        m_frm.booking().mnuVoirRV_Click();
    }
}

void AgendaController::FG_Click(int row)
{
    SharedState &s = m_frm.state();
    if (s.MoisActif < 0 || s.MoisActif > 11 || row < 0 || row >= MonthGrid::Rows)
        return;
    AgendaWidgets &a = m_frm.view().agenda;
    a.FG->setCurrentCell(row, 1);
    const QTableWidgetItem *dayCell = a.FG->item(row, 1);
    const QString dd = dayCell ? dayCell->text() : QString();
    // Rows past the month's last day hold no date.
    if (!dd.isEmpty()) {
        const QString month = Numero_Mois(a.EtMois[static_cast<std::size_t>(s.MoisActif)]->tag());
        const QString date = dd + u'/' + month + u'/' + a.CboAn->currentText();
        if (a.PctRV->isVisibleTo(&m_frm)) {
            // A refused laboratory leaves the focus on its quota button.
            if (!chooseBookingDay(row, date))
                return;
        } else {
            showDayAppointments(dd, date);
        }
    }
    m_frm.focusCmdFoc();
}

void AgendaController::showDayAppointments(const QString &dd, const QString &date)
{
    AgendaWidgets &a = m_frm.view().agenda;
    const QString month = Numero_Mois(a.EtMois[static_cast<std::size_t>(m_frm.state().MoisActif)]->tag());
    QList<VisiteRecord> visits;
    if (!guarded(&m_frm, [&] {
            visits = m_frm.store().visites().forDay(doctorEntry().trimmed(), dd, month, a.CboAn->currentText()).get();
        }))
        return;
    if (visits.isEmpty()) {
        dialogs::information(&m_frm,
                             QStringLiteral("Pas de visiteur médical attendu le ") + date + QStringLiteral(".   "));
        return;
    }
    QString text = date + QString(22, u' ') + u'\n' + QString::number(visits.size()) + QStringLiteral(" laboratoire(s)")
                   + u'\n' + u'\n';
    for (const VisiteRecord &visit : visits) {
        text += visit.labo;
        if (!visit.heure.isEmpty())
            text += QStringLiteral("  (") + visit.heure + u')';
        text += u'\n';
    }
    dialogs::information(&m_frm, text);
}

bool AgendaController::chooseBookingDay(int row, const QString &date)
{
    MainView &v = m_frm.view();
    if (v.labo.LblPass->text() == QStringLiteral("0")) {
        dialogs::critical(&m_frm,
                          v.LstLabo->text().trimmed() + QStringLiteral(" est interdit de passage avec  ")
                              + v.LstMed->text().trimmed()
                              + QStringLiteral(",\nle nombre de passage annuel étant fixé à 0."),
                          QStringLiteral("Laboratoire refusé"));
        m_frm.showTab(2);
        v.labo.CmdPassage->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // Only the full colour counts: a full day that is also an absence is
    // painted black and is not reported.
    const QTableWidgetItem *dayCell = v.agenda.FG->item(row, 1);
    if (dayCell && dayCell->background().color() == toColor(gridcolours::Full))
        dialogs::information(&m_frm, QStringLiteral("Le nombre maximum de visiteurs est atteint pour cette journée !"));
    v.agenda.LblDateRV->setText(date);
    if (const auto holiday = Jour_Ferie(m_frm.state().JoursFeries, date)) {
        dialogs::critical(&m_frm, QStringLiteral("Le ") + date + QStringLiteral(" est un jour férié !\n") + *holiday);
        v.agenda.LblDateRV->setText(QString());
    }
    return true;
}

void AgendaController::mnuHeure_Click()
{
    SharedState &s = m_frm.state();
    QAction *action = m_frm.view().menus.mnuHeure;
    if (!action->isChecked()) {
        s.AvecHeure = 1;
        action->setChecked(true);
    } else {
        s.AvecHeure = 0;
        action->setChecked(false);
    }
    guarded(&m_frm, [&] { m_frm.saveWorkstationSettings(); });
}

void AgendaController::mnuSansRV_Click()
{
    if (!m_frm.hasDoctor()) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un médecin."));
        return;
    }
    FrmDate dialog(m_frm);
    dialog.exec();
}

} // namespace tv
