#include "agenda/ui/BookingController.h"

#include "agenda/core/AppointmentLists.h"
#include "agenda/core/Booking.h"
#include "agenda/ui/AgendaController.h"
#include "agenda/ui/FrmHeure.h"
#include "agenda/ui/VisitHistoryModel.h"
#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "labs/ui/LabsController.h"
#include "store/tables/Store.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>

namespace tv {

namespace {

const QString kFixer = QStringLiteral("Fixer Rendez-vous");
const QString kVoir = QStringLiteral("Voir Rendez-vous");
const QString kVoirListe = QStringLiteral("Voir les RV d'un mois pour un médecin");
const QString kRevenir = QStringLiteral("Revenir à l'agenda");

// A day as the Visite table writes it.
booking::DayKey keyOf(const QDate &day)
{
    const auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return {twoDigits(day.day()), twoDigits(day.month()), QString::number(day.year())};
}

} // namespace

BookingController::BookingController(FrmLabo &frm)
    : m_frm(frm)
{
}

void BookingController::connectSignals()
{
    MainView &v = m_frm.view();
    AgendaWidgets &a = v.agenda;
    connect(a.CmdRV, &QPushButton::clicked, this, [this] { CmdRV_Click(); });
    connect(a.CmdAnn, &QPushButton::clicked, this, [this] { CmdAnn_Click(); });
    connect(a.CmdEnr, &QPushButton::clicked, this, [this] { CmdEnr_Click(); });
    connect(v.labo.LstRV, &LineView::doubleClicked, this, [this] { LstRV_DblClick(); });
    // Only a click of the user: the laboratory selection also moves the
    // day's list, and must not come back here.
    connect(a.LstRVJour, &QListWidget::itemClicked, this, [this] { LstRVJour_Click(); });
    connect(v.menus.mnuVoirRV, &QAction::triggered, this, [this] { mnuVoirRV_Click(); });
    connect(v.menus.mnusupRV, &QAction::triggered, this, [this] { mnusupRV_Click(); });
}

bool BookingController::selectionComplete()
{
    QString missing;
    if (!m_frm.hasLabo())
        missing = QStringLiteral("Quel est le laboratoire concerné ?");
    else if (!m_frm.hasDoctor())
        missing = QStringLiteral("Quel est le médecin concerné ?");
    else if (m_frm.state().MoisActif == SharedState::NoMonth)
        missing = QStringLiteral("Quel est le mois concerné ?");
    if (missing.isEmpty())
        return true;
    dialogs::message(&m_frm, missing, QMessageBox::Question);
    return false;
}

void BookingController::CmdRV_Click()
{
    AgendaWidgets &a = m_frm.view().agenda;
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
    m_frm.focusCmdFoc();
}

void BookingController::CmdAnn_Click()
{
    m_frm.view().agenda.LblDateRV->setText(QString());
    m_frm.focusCmdFoc();
}

void BookingController::CmdEnr_Click()
{
    // A second press while the first is still asking something (quota,
    // time) must not start another save.
    if (m_saving)
        return;
    m_saving = true;
    guarded(&m_frm, [&] { saveAppointment(); });
    m_saving = false;
    m_frm.focusCmdFoc();
}

void BookingController::saveAppointment()
{
    SharedState &s = m_frm.state();
    QLabel *lblDate = m_frm.view().agenda.LblDateRV;
    const QString date = lblDate->text();
    const auto day = booking::parseDateJMA(date);
    if (!day) {
        dialogs::information(&m_frm, booking::noDateMessage());
        return;
    }
    if (!m_frm.hasLabo() || !m_frm.hasDoctor()) {
        selectionComplete();
        return;
    }
    const QString labo = m_frm.currentLabo();
    const QString medecin = m_frm.currentDoctor();
    // The checks' reads go together to a server, and the lists shown after
    // the save go with its commit: two round trips.
    Store &store = m_frm.store();
    const ReadAhead ahead(store.db(), [&] {
        store.visites().countForLaboYear(labo, m_frm.view().agenda.CboAn->currentText(), medecin);
        store.passages().quota(labo, medecin);
        store.visites().forLaboMedecin(labo, medecin);
        if (s.AvecHeure == 1)
            store.visites().forDay(medecin, day->jour, day->mois, day->an);
    });

    s.HeureRV.clear();
    Verifier_Quota_Annuel();
    if (!s.QuotaRespecte) {
        s.QuotaRespecte = true;
        if (!dialogs::askYesNo(&m_frm, booking::confirmQuestion()))
            return;
    }

    // Checked before the time is asked so the user is not asked for nothing;
    // the insert checks again, in one transaction with it.
    const QString refusal = booking::duplicateMessage(labo, medecin, date);
    for (const VisiteRecord &v : m_frm.store().visites().forLaboMedecin(labo, medecin).get()) {
        if (rvlists::dateJMA(v) == date) {
            dialogs::critical(&m_frm, refusal);
            return;
        }
    }

    if (s.AvecHeure == 1)
        s.HeureRV = askTime(date);

    // The date is taken whole from the chosen day, so that a month button
    // clicked after the day cannot move the appointment.
    const VisiteRecord visite{0, medecin, labo, day->jour, day->mois, day->an, s.HeureRV};
    if (store.visites().insertUnlessDuplicate(visite, [&] { askAfterChange(visite); })
        == VisiteRepository::InsertResult::Duplicate) {
        // Another workstation saved the same appointment meanwhile.
        dialogs::critical(&m_frm, refusal);
        return;
    }

    appointmentChanged(visite, Change::Added);
    lblDate->setText(QString());
}

QString BookingController::askTime(const QString &dateJMA)
{
    const auto day = booking::parseDateJMA(dateJMA);
    const QList<VisiteRecord> sameDay =
        m_frm.store().visites().forDay(m_frm.currentDoctor(), day->jour, day->mois, day->an).get();
    FrmHeure dialog(rvlists::dayAppointmentsText(sameDay, dateJMA), &m_frm);
    dialog.exec();
    return dialog.heure();
}

void BookingController::Verifier_Quota_Annuel()
{
    SharedState &s = m_frm.state();
    const QString labo = m_frm.currentLabo();
    const QString medecin = m_frm.currentDoctor();
    const QString year = m_frm.view().agenda.CboAn->currentText();
    Store &store = m_frm.store();
    const int booked = store.visites().countForLaboYear(labo, year, medecin).get();
    const booking::QuotaCheck check =
        booking::checkAnnualQuota(store.passages().quota(labo, medecin).get(), booked, labo, year);
    if (!check.respected) {
        dialogs::information(&m_frm, check.message);
        s.QuotaRespecte = false;
    }
}

void BookingController::Liste_RV_Labo_Medecin()
{
    LineView *list = m_frm.view().labo.LstRV;
    if (!m_frm.hasLabo() || !m_frm.hasDoctor()) {
        list->clear();
        return;
    }
    // A pair's appointments are a few rows: read again whole.
    list->setLines(rvlists::laboDoctorLines(
        m_frm.store().visites().forLaboMedecin(m_frm.currentLabo(), m_frm.currentDoctor()).get()));
}

void BookingController::askDoctorLists()
{
    Store &store = m_frm.store();
    const QString doctor = m_frm.currentDoctor();
    const booking::DayKey day = keyOf(Clock::today());
    store.visites().forDay(doctor, day.jour, day.mois, day.an);
    store.visites().pastForMedecin(doctor, day.an, day.mois, day.jour, 0, VisitHistoryModel::FirstPage);
    if (m_frm.hasLabo())
        store.visites().forLaboMedecin(m_frm.currentLabo(), doctor);
}

void BookingController::Liste_RV_Medecin()
{
    if (!m_frm.hasDoctor())
        return;
    fillToday();
    const QDate today = Clock::today();
    const booking::DayKey day = keyOf(today);
    const QString doctor = m_frm.currentDoctor();
    // Pages read while scrolling; a failure or a closed database ends the
    // list where it is.
    m_frm.view().agenda.historyModel->show(doctor, today, [this, doctor, day](int offset, int limit) {
        QList<VisiteRecord> rows;
        if (m_frm.hasStore())
            guarded(&m_frm, [&] {
                rows = m_frm.store().visites().pastForMedecin(doctor, day.an, day.mois, day.jour, offset, limit).get();
            });
        return rows;
    });
}

void BookingController::fillToday()
{
    ListBox *list = m_frm.view().agenda.LstRVJour;
    list->clear();
    const QDate today = Clock::today();
    const booking::DayKey day = keyOf(today);
    const QList<VisiteRecord> visites =
        m_frm.store().visites().forDay(m_frm.currentDoctor(), day.jour, day.mois, day.an).get();
    for (const QString &line : rvlists::todayLines(visites, today)) {
        auto *item = new QListWidgetItem(line, list);
        item->setToolTip(rvlists::todayTooltip(line));
    }
}

bool BookingController::gridShows(const QString &an, const QString &mois) const
{
    const SharedState &s = m_frm.state();
    return s.MoisActif >= 0 && s.MoisActif <= 11 && mois == rvlists::twoDigitMonth(s.MoisActif)
           && an == m_frm.view().agenda.CboAn->currentText();
}

void BookingController::askAfterChange(const VisiteRecord &visite)
{
    Store &store = m_frm.store();
    store.visites().forLaboMedecin(m_frm.currentLabo(), m_frm.currentDoctor());
    if (gridShows(visite.an, visite.mois))
        m_frm.agenda().askMonth(m_frm.state().MoisActif);
    const booking::DayKey today = keyOf(Clock::today());
    if (rvlists::dayOf(visite) == Clock::today())
        store.visites().forDay(m_frm.currentDoctor(), today.jour, today.mois, today.an);
}

void BookingController::appointmentChanged(const VisiteRecord &visite, Change change)
{
    Liste_RV_Labo_Medecin();
    if (gridShows(visite.an, visite.mois))
        m_frm.Remplir_Agenda();
    if (!m_frm.hasDoctor())
        return;
    if (rvlists::dayOf(visite) == Clock::today())
        fillToday();
    VisitHistoryModel *history = m_frm.view().agenda.historyModel;
    if (change == Change::Added)
        history->added(visite);
    else
        history->removed(visite);
}

void BookingController::yearPurged(const QString &an)
{
    if (m_frm.hasDoctor()) {
        if (an == QString::number(Clock::today().year()))
            fillToday();
        m_frm.view().agenda.historyModel->removedYear(an);
    }
    if (an == m_frm.view().agenda.CboAn->currentText())
        m_frm.Remplir_Agenda();
    Liste_RV_Labo_Medecin();
}

void BookingController::LstRVJour_Click()
{
    MainView &v = m_frm.view();
    if (v.agenda.LstRVJour->currentRow() < 0)
        return;
    v.products.DTP->setDate(Clock::today());
    const QString labo = rvlists::laboOfTodayLine(v.agenda.LstRVJour->text());
    const int inCombo = v.products.CboLs->findText(QStringLiteral("  ") + labo, Qt::MatchFixedString);
    if (inCombo >= 0)
        v.products.CboLs->setCurrentIndex(inCombo);

    guarded(&m_frm, [&] {
        const auto record = m_frm.store().labos().findByLabo(labo).get();
        if (record) {
            const QString name = record->labo.trimmed();
            for (int i = 0; i < v.LstLabo->count(); ++i) {
                if (v.LstLabo->item(i)->text().trimmed().compare(name, Qt::CaseInsensitive) != 0)
                    continue;
                {
                    // The selection handler runs once, whatever the list's
                    // own signals are connected to.
                    const QSignalBlocker blocker(v.LstLabo);
                    v.LstLabo->setCurrentRow(i);
                }
                m_frm.labs().LstLabo_Click();
                if (v.TS->currentIndex() == 0)
                    m_frm.showTab(2);
                break;
            }
        }
        v.products.LstPr->clear();
        m_frm.Charger_Produits_Visite();
    });
}

void BookingController::LstRV_DblClick()
{
    LineView *list = m_frm.view().labo.LstRV;
    const QString line = list->text();
    const auto day = booking::parseDateJMA(line.left(10));
    if (list->currentRow() < 0 || !day || !m_frm.hasLabo() || !m_frm.hasDoctor())
        return;
    const QString medecin = m_frm.currentDoctor();
    if (!dialogs::askYesNo(&m_frm, rvlists::deleteQuestion(line, medecin), true))
        return;
    guarded(&m_frm, [&] {
        const QString labo = m_frm.currentLabo();
        const int removed =
            m_frm.store().visites().removeFirstAppointment(day->jour, day->mois, day->an, labo, medecin);
        if (removed > 0)
            appointmentChanged({0, medecin, labo, day->jour, day->mois, day->an, QString()}, Change::Removed);
    });
}

void BookingController::mnusupRV_Click()
{
    dialogs::information(&m_frm, QStringLiteral("Faites un double click sur le rendez-vous à supprimer."));
    m_frm.showTab(2);
    m_frm.view().labo.CmdPassage->setFocus(Qt::OtherFocusReason);
}

void BookingController::mnuVoirRV_Click()
{
    MainView &v = m_frm.view();
    AgendaWidgets &a = v.agenda;
    SharedState &s = m_frm.state();
    if (!m_frm.hasDoctor()) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un médecin."));
        return;
    }
    if (s.MoisActif < 0 || s.MoisActif > 11) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un mois."));
        return;
    }
    if (v.menus.mnuVoirRV->text() == kRevenir && s.RelanceListeRV != 1) {
        m_frm.labs().CmdListeQuitte_Click();
        s.RelanceListeRV = 0;
        return;
    }

    v.menus.mnuVoirRV->setText(kRevenir);
    s.ModeListeRV = 1;
    a.FG->hide();
    a.PctListe->show();
    a.CmdRV->hide();
    a.CmdConnaitre->hide();
    a.PctRV->hide();
    m_frm.showTab(1);

    s.RelanceListeRV = 0;
    a.LstListe->clear();
    a.LblListe->setText(QString());
    const QString year = a.CboAn->currentText();
    guarded(&m_frm, [&] {
        const QList<VisiteRecord> visites =
            m_frm.store().visites().forMonth(m_frm.currentDoctor(), year, rvlists::twoDigitMonth(s.MoisActif)).get();
        const rvlists::MonthList list = rvlists::monthList(visites, s.MoisActif, year);
        a.LstListe->setLines(list.lines);
        a.LblListe->setText(list.heading);
    });
}

} // namespace tv
