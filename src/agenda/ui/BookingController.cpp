#include "agenda/ui/BookingController.h"

#include "agenda/core/AppointmentLists.h"
#include "agenda/core/Booking.h"
#include "agenda/core/BookingSequence.h"
#include "agenda/ui/AgendaPage.h"
#include "agenda/ui/FrmHeure.h"
#include "agenda/ui/VisitHistoryModel.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "store/tables/Store.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace tv {

namespace {

const QString kFixer = QStringLiteral("Fixer Rendez-vous");
const QString kVoir = QStringLiteral("Voir Rendez-vous");

// A day as the Visite table writes it.
booking::DayKey keyOf(const QDate &day)
{
    const auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return {twoDigits(day.day()), twoDigits(day.month()), QString::number(day.year())};
}

} // namespace

BookingController::BookingController(MainWindow &main, AgendaWidgets &w)
    : m_main(main)
    , m_w(w)
{
}

void BookingController::connectSignals()
{
    connect(m_w.CmdRV, &QPushButton::clicked, this, [this] { CmdRV_Click(); });
    connect(m_w.CmdAnn, &QPushButton::clicked, this, [this] { CmdAnn_Click(); });
    connect(m_w.CmdEnr, &QPushButton::clicked, this, [this] { CmdEnr_Click(); });
    connect(m_w.LstRV, &LineView::doubleClicked, this, [this] { LstRV_DblClick(); });
    // A line chosen with the mouse or the arrow keys, or clicked again. The
    // laboratory selection also moves the day's list, with its signals
    // blocked: that must not come back here.
    connect(m_w.LstRVJour, &QListWidget::itemSelectionChanged, this, [this] { LstRVJour_Click(); });
    connect(m_w.LstRVJour, &ListBox::reselected, this, [this] { LstRVJour_Click(); });
}

bool BookingController::selectionComplete()
{
    QString missing;
    if (!m_main.hasLabo())
        missing = QStringLiteral("Quel est le laboratoire concerné ?");
    else if (!m_main.hasDoctor())
        missing = QStringLiteral("Quel est le médecin concerné ?");
    else if (m_main.state().MoisActif == SharedState::NoMonth)
        missing = QStringLiteral("Quel est le mois concerné ?");
    if (missing.isEmpty())
        return true;
    dialogs::message(m_main.widget(), missing, QMessageBox::Question);
    return false;
}

void BookingController::CmdRV_Click()
{
    AgendaWidgets &a = m_w;
    if (a.CmdRV->text() == kFixer) {
        if (selectionComplete()) {
            a.CmdRV->setText(kVoir);
            a.CmdConnaitre->hide();
            a.PctRV->show();
        }
    } else {
        a.CmdRV->setText(kFixer);
        a.CmdConnaitre->show();
        a.LblDateRV->setText(QString());
        a.PctRV->hide();
    }
    m_main.focusCmdFoc();
}

void BookingController::CmdAnn_Click()
{
    m_w.LblDateRV->setText(QString());
    m_main.focusCmdFoc();
}

void BookingController::CmdEnr_Click()
{
    // A second press while the first is still asking something (quota,
    // time) must not start another save.
    if (m_saving)
        return;
    m_saving = true;
    guarded(m_main.widget(), [&] { saveAppointment(); });
    m_saving = false;
    m_main.focusCmdFoc();
}

void BookingController::saveAppointment()
{
    QLabel *lblDate = m_w.LblDateRV;
    const QString date = lblDate->text();
    const auto day = booking::parseDateJMA(date);
    if (!day) {
        dialogs::information(m_main.widget(), booking::noDateMessage());
        return;
    }
    if (!m_main.hasLabo() || !m_main.hasDoctor()) {
        selectionComplete();
        return;
    }
    const QString labo = m_main.currentLabo();
    const QString medecin = m_main.currentDoctor();
    // The checks' reads go together to a server, and the lists shown after
    // the save go with its commit: two round trips.
    Store &store = m_main.store();
    const ReadAhead ahead(store.db(), [&] {
        store.visites().countForLaboYear(labo, m_w.CboAn->currentText(), medecin);
        store.passages().quota(labo, medecin);
        store.visites().hasVisitOn({0, medecin, labo, day->jour, day->mois, day->an, {}});
        if (m_main.state().AvecHeure == 1)
            store.visites().forDay(medecin, day->jour, day->mois, day->an);
    });

    // Refused, the booking shows the agenda as it stands now: another
    // workstation may have taken the day or the quota meanwhile.
    if (!Verifier_Quota_Annuel() && !dialogs::askYesNo(m_main.widget(), booking::confirmQuestion())) {
        showCurrentAgenda();
        return;
    }

    // Checked before the time is asked so the user is not asked for nothing;
    // the insert checks again, in one statement with it.
    const VisiteRecord asked{0, medecin, labo, day->jour, day->mois, day->an, {}};
    if (store.visites().hasVisitOn(asked).get()) {
        dialogs::critical(m_main.widget(), booking::duplicateMessage(labo, medecin, date));
        showCurrentAgenda();
        return;
    }

    // The date is taken whole from the chosen day, so that a month button
    // clicked after the day cannot move the appointment.
    booking::Request request{medecin, labo, QDate(day->an.toInt(), day->mois.toInt(), day->jour.toInt()), {}};
    if (m_main.state().AvecHeure == 1)
        request.heure = askTime(date);

    // The same sequence as the online page's, with the desktop's policy.
    VisiteRecord visite = asked;
    visite.heure = request.heure;
    const booking::Result result = booking::book(store, m_main.state().CheminBase, request, booking::Policy::Desk,
                                                 [&] { askAfterChange(visite); });
    if (!result.done) {
        // Another workstation saved the same appointment meanwhile.
        dialogs::critical(m_main.widget(), result.message);
        showCurrentAgenda();
        return;
    }

    appointmentChanged(visite);
    lblDate->setText(QString());
}

QString BookingController::askTime(const QString &dateJMA)
{
    const auto day = booking::parseDateJMA(dateJMA);
    const QList<VisiteRecord> sameDay =
        m_main.store().visites().forDay(m_main.currentDoctor(), day->jour, day->mois, day->an).get();
    FrmHeure dialog(rvlists::dayAppointmentsText(sameDay, dateJMA), m_main.widget());
    dialog.exec();
    return dialog.heure();
}

bool BookingController::Verifier_Quota_Annuel()
{
    const QString labo = m_main.currentLabo();
    const QString medecin = m_main.currentDoctor();
    const QString year = m_w.CboAn->currentText();
    Store &store = m_main.store();
    // Both asked before either is used: one round trip to a server.
    auto booked = store.visites().countForLaboYear(labo, year, medecin);
    auto quota = store.passages().quota(labo, medecin);
    const booking::QuotaCheck check = booking::checkAnnualQuota(quota.get(), booked.get(), labo, year);
    if (!check.respected)
        dialogs::information(m_main.widget(), check.message);
    return check.respected;
}

void BookingController::Liste_RV_Labo_Medecin()
{
    LineView *list = m_w.LstRV;
    if (!m_main.hasLabo() || !m_main.hasDoctor()) {
        list->clear();
        return;
    }
    // A pair's appointments are a few rows: read again whole.
    list->setLines(rvlists::laboDoctorLines(
        m_main.store().visites().forLaboMedecin(m_main.currentLabo(), m_main.currentDoctor()).get()));
}

void BookingController::askDoctorLists()
{
    askToday();
    askPast();
    if (m_main.hasLabo())
        m_main.store().visites().forLaboMedecin(m_main.currentLabo(), m_main.currentDoctor());
}

void BookingController::askToday()
{
    const booking::DayKey day = keyOf(Clock::today());
    m_main.store().visites().forDay(m_main.currentDoctor(), day.jour, day.mois, day.an);
}

void BookingController::askPast()
{
    const QString past = Clock::today().toString(Qt::ISODate);
    m_main.store().visites().pastDays(m_main.currentDoctor(), past, {}, true, DayListModel::FirstPage);
    m_main.store().visites().countPast(m_main.currentDoctor(), past);
}

void BookingController::askHistory()
{
    if (m_main.hasDoctor())
        m_w.historyModel->askRefresh(historySource());
}

void BookingController::Liste_RV_Medecin()
{
    if (!m_main.hasDoctor())
        return;
    // The day's appointments, the past ones' first page and their count:
    // one round trip to a server.
    const ReadAhead ahead(m_main.store().db(), [&] {
        askToday();
        askPast();
    });
    fillToday();
    m_w.historyModel->show(historySource());
}

DayListModel::Source BookingController::historySource()
{
    const QString today = Clock::today().toString(Qt::ISODate);
    const QString doctor = m_main.currentDoctor();
    // Read while the list is shown: a failure or a closed database ends the
    // list where it is.
    DayListModel::Source source = VisitHistoryModel::source(
        [this, doctor, today] {
            int rows = 0;
            if (m_main.hasStore())
                guarded(m_main.widget(), [&] { rows = m_main.store().visites().countPast(doctor, today).get(); });
            return rows;
        },
        [this, doctor, today](const DayRange &range, bool newestFirst, int limit) {
            DayPage<VisiteRecord> page;
            if (m_main.hasStore())
                guarded(m_main.widget(), [&] {
                    page = m_main.store().visites().pastDays(doctor, today, range, newestFirst, limit).get();
                });
            return page;
        });
    source.askCount = [this, doctor, today] { m_main.store().visites().countPast(doctor, today); };
    source.ask = [this, doctor, today](const DayListModel::Span &span, bool newestFirst, int limit) {
        m_main.store().visites().pastDays(doctor, today, {span.newest, span.oldest, span.inclusive}, newestFirst,
                                          limit);
    };
    return source;
}

void BookingController::fillToday()
{
    ListBox *list = m_w.LstRVJour;
    list->clear();
    const QDate today = Clock::today();
    const booking::DayKey day = keyOf(today);
    const QList<VisiteRecord> visites =
        m_main.store().visites().forDay(m_main.currentDoctor(), day.jour, day.mois, day.an).get();
    for (const QString &line : rvlists::todayLines(visites, today)) {
        auto *item = new QListWidgetItem(line, list);
        item->setToolTip(rvlists::todayTooltip(line));
    }
}

void BookingController::showCurrentAgenda()
{
    // What the other workstation booked shows at once.
    m_main.Remplir_Agenda();
    Liste_RV_Labo_Medecin();
    refreshToday();
}

void BookingController::refreshToday()
{
    if (!m_main.hasDoctor())
        return;
    ListBox *list = m_w.LstRVJour;
    const QDate today = Clock::today();
    const booking::DayKey day = keyOf(today);
    const QStringList lines =
        rvlists::todayLines(m_main.store().visites().forDay(m_main.currentDoctor(), day.jour, day.mois, day.an), today);
    syncEntries(list, lines);
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setToolTip(rvlists::todayTooltip(list->item(i)->text()));
}

void BookingController::refreshHistory()
{
    if (m_main.hasDoctor())
        m_w.historyModel->refresh(historySource());
}

bool BookingController::gridShows(const QString &an, const QString &mois) const
{
    const SharedState &s = m_main.state();
    return s.MoisActif >= 0 && s.MoisActif <= 11 && mois == rvlists::twoDigitMonth(s.MoisActif)
           && an == m_w.CboAn->currentText();
}

void BookingController::askAfterChange(const VisiteRecord &visite)
{
    Store &store = m_main.store();
    const QString doctor = m_main.currentDoctor();
    store.visites().forLaboMedecin(m_main.currentLabo(), doctor);
    // The grid shows the visit's month: its read is that one.
    if (gridShows(visite.an, visite.mois))
        store.visites().forMonth(doctor, visite.an, visite.mois);
    const auto day = rvlists::dayOf(visite);
    if (day == Clock::today())
        askToday();
    else if (day && *day < Clock::today())
        askHistory();
}

void BookingController::appointmentChanged(const VisiteRecord &visite)
{
    Liste_RV_Labo_Medecin();
    if (gridShows(visite.an, visite.mois))
        m_main.Remplir_Agenda();
    if (!m_main.hasDoctor())
        return;
    const auto day = rvlists::dayOf(visite);
    if (day == Clock::today())
        fillToday();
    else if (day && *day < Clock::today())
        m_w.historyModel->refresh();
}

void BookingController::askAfterPurge(const QString &an)
{
    if (!m_main.hasDoctor())
        return;
    if (an == QString::number(Clock::today().year()))
        askToday();
    askHistory();
    if (m_main.hasLabo())
        m_main.store().visites().forLaboMedecin(m_main.currentLabo(), m_main.currentDoctor());
}

void BookingController::yearPurged(const QString &an)
{
    if (m_main.hasDoctor()) {
        if (an == QString::number(Clock::today().year()))
            fillToday();
        m_w.historyModel->refresh();
    }
    if (an == m_w.CboAn->currentText())
        m_main.Remplir_Agenda();
    Liste_RV_Labo_Medecin();
}

void BookingController::LstRVJour_Click()
{
    const QList<QListWidgetItem *> selected = m_w.LstRVJour->selectedItems();
    if (selected.isEmpty())
        return;
    const QString labo = rvlists::laboOfTodayLine(selected.first()->text());
    m_main.showVisitEntry(labo, Clock::today());

    guarded(m_main.widget(), [&] {
        const auto record = m_main.store().labos().findByLabo(labo).get();
        if (record && m_main.selectLaboratory(record->labo.trimmed()) && m_main.currentTab() == 1)
            m_main.showTab(2);
        m_main.Charger_Produits_Visite();
    });
}

void BookingController::LstRV_DblClick()
{
    LineView *list = m_w.LstRV;
    const QString line = list->text();
    const auto day = booking::parseDateJMA(line.left(10));
    if (list->currentRow() < 0 || !day || !m_main.hasLabo() || !m_main.hasDoctor())
        return;
    const QString medecin = m_main.currentDoctor();
    if (!dialogs::askYesNo(m_main.widget(), rvlists::deleteQuestion(line, medecin), true))
        return;
    guarded(m_main.widget(), [&] {
        const QDate chosen(day->an.toInt(), day->mois.toInt(), day->jour.toInt());
        const booking::Result result =
            booking::cancel(m_main.store(), {medecin, m_main.currentLabo(), chosen, {}}, booking::Policy::Desk);
        if (result.done)
            appointmentChanged(result.visite);
    });
}

void BookingController::mnusupRV_Click()
{
    dialogs::information(m_main.widget(), QStringLiteral("Faites un double click sur le rendez-vous à supprimer."));
    m_main.showQuotaButton();
}

void BookingController::forgetBookingDay()
{
    m_w.LblDateRV->setText(QString());
}

void BookingController::highlightTodayVisit(const QString &labo)
{
    ListBox *day = m_w.LstRVJour;
    QStringList entries;
    for (int i = 0; i < day->count(); ++i)
        entries.append(day->item(i)->text());
    const QSignalBlocker blocker(day);
    day->setCurrentRow(rvlists::todayIndexOf(entries, labo));
}

} // namespace tv
