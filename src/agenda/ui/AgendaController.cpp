#include "agenda/ui/AgendaController.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/BookingSequence.h"
#include "agenda/core/Calendar.h"
#include "agenda/core/MonthGridModel.h"
#include "agenda/ui/AgendaPage.h"
#include "agenda/ui/FrmDate.h"
#include "agenda/ui/MonthListPanel.h"
#include "common/core/Clock.h"
#include "common/core/LayoutRules.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
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

AgendaController::AgendaController(MainWindow &main, AgendaWidgets &w)
    : m_main(main)
    , m_w(w)
    , m_monthList(std::make_unique<MonthListPanel>(main, w))
{
    setupMonthButtons();
    QTableWidget *fg = m_w.FG;
    QPalette palette = fg->palette();
    palette.setColor(QPalette::Base, toColor(gridcolours::Area));
    fg->setPalette(palette);
    clearGrid();
}

AgendaController::~AgendaController() = default;

void AgendaController::setupMonthButtons()
{
    AgendaWidgets &a = m_w;
    for (int i = 0; i < 12; ++i) {
        a.EtMois[static_cast<std::size_t>(i)]->setText(calendar::monthCaptions().at(i));
        a.EtMois[static_cast<std::size_t>(i)]->setTag(calendar::monthNames().at(i));
        a.EtMois[static_cast<std::size_t>(i)]->setBackground(toColor(gridcolours::MonthOther));
    }
}

void AgendaController::connectSignals()
{
    for (int i = 0; i < 12; ++i)
        connect(m_w.EtMois[static_cast<std::size_t>(i)], &ClickLabel::clicked, this, [this, i] { EtMois_Click(i); });
    // Only a choice of the user resets the agenda; start-up fills the combo itself.
    connect(m_w.CboAn, &QComboBox::activated, this, [this] { CboAn_Click(); });
    connect(m_w.FG, &QTableWidget::cellClicked, this, [this](int row, int) { FG_Click(row); });
    connect(m_w.CmdConnaitre, &QPushButton::clicked, this, [this] { CmdConnaitre_Click(); });
    connect(m_w.CmdListeQuitte, &QPushButton::clicked, this, [this] { m_monthList->CmdListeQuitte_Click(); });
}

void AgendaController::initialiseGrid(double horizontalFactor, double verticalFactor)
{
    QTableWidget *fg = m_w.FG;
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

void AgendaController::initialiseYears(const QDate &today)
{
    m_w.CboAn->clear();
    for (int i = 0; i < 4; ++i)
        m_w.CboAn->addItem(QString::number(today.year() + i));
    {
        const QSignalBlocker blocker(m_w.CboAn);
        m_w.CboAn->setCurrentIndex(0);
    }
    followToday(today);
}

void AgendaController::followToday(const QDate &today)
{
    m_w.LblRVJ->setText(QStringLiteral("Rendez-vous du jour : ")
                        + QLocale(QLocale::French).toString(today, QStringLiteral("dd/MM/yyyy")));
    m_main.state().MoisCourant = static_cast<std::int16_t>(today.month() - 1);
}

QString AgendaController::displayedYear() const
{
    return m_w.CboAn->currentText();
}

void AgendaController::clearGrid()
{
    QTableWidget *fg = m_w.FG;
    fg->clearContents();
    for (int r = 0; r < MonthGrid::Rows; ++r) {
        for (int c = 0; c < MonthGrid::Columns; ++c)
            fg->setItem(r, c, blankItem(c));
    }
}

void AgendaController::Remplir_Agenda()
{
    SharedState &s = m_main.state();
    if (s.MoisActif < 0 || s.MoisActif > 11)
        return;
    AgendaWidgets &a = m_w;
    QTableWidget *fg = a.FG;
    const QString doctor = m_main.doctorEntry();
    const QString monthTag = a.EtMois[static_cast<std::size_t>(s.MoisActif)]->tag();
    const QString yearText = a.CboAn->currentText();

    MonthGridInput input;
    input.yearText = yearText;
    input.month = s.MoisActif + 1;
    input.today = Clock::today();
    // Two files, read one independently of the other. Maxima that cannot be
    // read are all 0 (every day full) rather than another doctor's.
    guarded(m_main.widget(), [&] { input.absenceText = agendafiles::readAbsenceText(s.CheminBase, doctor); });
    m_maxJour = MaxJourTable{};
    guarded(m_main.widget(), [&] { m_maxJour = agendafiles::readMaxima(s.CheminBase, doctor); });
    input.maxJour = m_maxJour;
    try {
        m_joursFeries = Liste_Jours_Feries(yearText).split(u';');
    } catch (const CalendarOverflow &) {
        m_joursFeries.clear();
        dialogs::critical(m_main.widget(), QStringLiteral("L'année « %1 » n'est pas utilisable.").arg(yearText));
        return;
    }
    input.joursFeries = m_joursFeries;

    fg->setUpdatesEnabled(false);
    clearGrid();
    const bool loaded = guarded(m_main.widget(), [&] {
        input.appointmentsByDay = countAppointmentsByDay(
            m_main.store().visites().forMonth(doctor.trimmed(), yearText, Numero_Mois(monthTag).trimmed()).get());
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

void AgendaController::askDoctorMonth()
{
    // The month list and the grid behind it read the active month;
    // otherwise the grid turns to the current one.
    const SharedState &s = m_main.state();
    const int mois = m_monthList->isShown() ? s.MoisActif : s.MoisCourant;
    if (mois < 0 || mois > 11)
        return;
    m_main.store().visites().forMonth(m_main.doctorEntry().trimmed(), m_w.CboAn->currentText(),
                                      Numero_Mois(m_w.EtMois[static_cast<std::size_t>(mois)]->tag()).trimmed());
}

void AgendaController::Choisir_Mois(int mois)
{
    if (mois < 0 || mois > 11)
        return;
    if (!m_main.hasDoctor()) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un médecin ! "));
        return;
    }
    AgendaWidgets &a = m_w;
    for (int k = 0; k < 12; ++k)
        a.EtMois[static_cast<std::size_t>(k)]->setBackground(
            toColor(k == mois ? gridcolours::MonthSelected : gridcolours::MonthOther));
    a.LblMois->setText(a.EtMois[static_cast<std::size_t>(mois)]->tag());
    m_main.state().MoisActif = static_cast<std::int16_t>(mois);
    Remplir_Agenda();
}

void AgendaController::CboAn_Click()
{
    SharedState &s = m_main.state();
    AgendaWidgets &a = m_w;
    for (ClickLabel *button : a.EtMois)
        button->setBackground(toColor(gridcolours::MonthOther));
    s.MoisActif = SharedState::NoMonth;
    a.LblMois->setText(QString());
    clearGrid();
    a.LstListe->clear();
    a.LblListe->setText(QString());
    a.CmdRV->setText(QStringLiteral("Fixer Rendez-vous"));
    if (!m_monthList->isShown())
        a.CmdConnaitre->show();
    a.LblDateRV->setText(QString());
    a.PctRV->hide();
}

void AgendaController::EtMois_Click(int index)
{
    Choisir_Mois(index);
    if (m_monthList->isShown())
        m_monthList->refresh();
}

void AgendaController::FG_Click(int row)
{
    SharedState &s = m_main.state();
    if (s.MoisActif < 0 || s.MoisActif > 11 || row < 0 || row >= MonthGrid::Rows)
        return;
    AgendaWidgets &a = m_w;
    a.FG->setCurrentCell(row, 1);
    const QTableWidgetItem *dayCell = a.FG->item(row, 1);
    const QString dd = dayCell ? dayCell->text() : QString();
    // Rows past the month's last day hold no date.
    if (!dd.isEmpty()) {
        const QString month = Numero_Mois(a.EtMois[static_cast<std::size_t>(s.MoisActif)]->tag());
        const QString date = dd + u'/' + month + u'/' + a.CboAn->currentText();
        if (a.PctRV->isVisibleTo(m_main.widget())) {
            // A refused laboratory leaves the focus on its quota button.
            if (!chooseBookingDay(row, date))
                return;
        } else {
            showDayAppointments(dd, date);
        }
    }
    m_main.focusCmdFoc();
}

void AgendaController::showDayAppointments(const QString &dd, const QString &date)
{
    AgendaWidgets &a = m_w;
    const QString month = Numero_Mois(a.EtMois[static_cast<std::size_t>(m_main.state().MoisActif)]->tag());
    QList<VisiteRecord> visits;
    if (!guarded(m_main.widget(), [&] {
            visits = m_main.store().visites().forDay(m_main.currentDoctor(), dd, month, a.CboAn->currentText()).get();
        }))
        return;
    if (visits.isEmpty()) {
        dialogs::information(m_main.widget(),
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
    dialogs::information(m_main.widget(), text);
}

bool AgendaController::chooseBookingDay(int row, const QString &date)
{
    if (m_main.laboratoryRefused()) {
        dialogs::critical(m_main.widget(), booking::refusedLaboMessage(m_main.currentLabo(), m_main.currentDoctor()),
                          QStringLiteral("Laboratoire refusé"));
        m_main.showQuotaButton();
        return false;
    }
    // Only the full colour counts: a full day that is also an absence is
    // painted black and is not reported.
    const QTableWidgetItem *dayCell = m_w.FG->item(row, 1);
    if (dayCell && dayCell->background().color() == toColor(gridcolours::Full))
        dialogs::information(m_main.widget(), booking::fullDayMessage());
    m_w.LblDateRV->setText(date);
    if (const auto holiday = Jour_Ferie(m_joursFeries, date)) {
        dialogs::critical(m_main.widget(), booking::holidayMessage(date, *holiday));
        m_w.LblDateRV->setText(QString());
    }
    return true;
}

void AgendaController::mnuHeure_Click()
{
    SharedState &s = m_main.state();
    QAction *action = m_w.mnuHeure;
    if (!action->isChecked()) {
        s.AvecHeure = 1;
        action->setChecked(true);
    } else {
        s.AvecHeure = 0;
        action->setChecked(false);
    }
    guarded(m_main.widget(), [&] { m_main.saveWorkstationSettings(); });
}

void AgendaController::mnuSansRV_Click()
{
    if (!m_main.hasDoctor()) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un médecin."));
        return;
    }
    FrmDate dialog(m_main);
    dialog.exec();
}

void AgendaController::CmdConnaitre_Click()
{
    dialogs::information(m_main.widget(), QStringLiteral("Clickez sur la date choisie, dans le calendrier."));
    m_main.focusCmdFoc();
}

void AgendaController::followDoctor()
{
    if (!m_main.hasDoctor()) {
        m_w.LblMedRV->setVisible(false);
        m_w.LstHist->clear();
        return;
    }
    const QString doctor = m_main.currentDoctor();
    m_w.LblDateRV->setText(QString());
    m_w.LblMedListe->setText(doctor);
    m_w.LblMedRV->setVisible(true);
    m_w.LblMedRV->setText(m_main.doctorEntry() + QStringLiteral("  "));
    m_w.mnuparaAG->setTitle(QStringLiteral("Paramètres agenda pour ") + doctor);
}

void AgendaController::showDoctorMonth()
{
    if (m_monthList->isShown()) {
        m_monthList->refresh();
        // The grid behind the list follows the doctor too.
        Remplir_Agenda();
    } else {
        Choisir_Mois(m_main.state().MoisCourant);
    }
}

} // namespace tv
