#include "outputs/ui/OutputsController.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/AppointmentLists.h"
#include "common/core/Clock.h"
#include "common/ui/Busy.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "outputs/core/CalendarEvents.h"
#include "outputs/core/ICalendarFile.h"
#include "outputs/core/QuotaChartData.h"
#include "outputs/ui/DocumentRenderer.h"
#include "outputs/ui/FrmICal.h"
#include "outputs/ui/QuotaChartWindow.h"
#include "store/files/TextFile.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>

namespace tv {

namespace {

// A file name from a heading: no character a file system refuses.
QString fileStem(const QString &heading)
{
    QString stem = heading;
    for (QChar &c : stem)
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            c = u'-';
    return stem.simplified();
}

QString withSuffix(QString path, const QString &suffix)
{
    if (!path.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive))
        path += suffix;
    return path;
}

} // namespace

OutputsController::OutputsController(MainWindow &main)
    : m_main(main)
{
}

OutputsController::~OutputsController()
{
    delete m_chart;
}

QuotaChartWindow *OutputsController::chartWindow() const
{
    return m_chart;
}

std::optional<int> OutputsController::displayedYear()
{
    bool ok = false;
    const int year = m_main.displayedYear().trimmed().toInt(&ok);
    if (!ok || year < 1 || year > 9999) {
        dialogs::information(m_main.widget(), QStringLiteral("Choisissez une année dans l'agenda."));
        return std::nullopt;
    }
    return year;
}

std::optional<int> OutputsController::doctorAndYear()
{
    if (!m_main.hasDoctor()) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un médecin."));
        return std::nullopt;
    }
    return displayedYear();
}

std::optional<outputs::OutputDocument> OutputsController::visibleDocument()
{
    const int tab = m_main.currentTab();
    if (tab == 1)
        return agendaDocument();
    if (tab == 3)
        return historyDocument();
    dialogs::information(m_main.widget(), QStringLiteral("Il n'y a rien à imprimer sur cette page : affichez l'agenda "
                                                         "ou les produits présentés."));
    return std::nullopt;
}

std::optional<outputs::OutputDocument> OutputsController::agendaDocument()
{
    SharedState &s = m_main.state();
    if (!m_main.hasDoctor()) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un médecin."));
        return std::nullopt;
    }
    if (s.MoisActif < 0 || s.MoisActif > 11) {
        dialogs::information(m_main.widget(), QStringLiteral("Sélectionnez un mois."));
        return std::nullopt;
    }
    const QString doctor = m_main.currentDoctor();
    if (const std::optional<ShownList> list = m_main.shownMonthList()) {
        auto doc = outputs::listDocument(QStringLiteral("Rendez-vous du mois"), doctor, list->heading, list->lines,
                                         Clock::today());
        if (doc.isEmpty()) {
            dialogs::information(m_main.widget(), QStringLiteral("Aucun rendez-vous à imprimer pour ce mois."));
            return std::nullopt;
        }
        return doc;
    }
    const auto year = displayedYear();
    if (!year)
        return std::nullopt;
    outputs::MonthInput input;
    input.doctor = doctor;
    input.year = *year;
    const QString yearText = m_main.displayedYear();
    input.month = s.MoisActif + 1;
    input.printed = Clock::today();
    const bool read = guarded(m_main.widget(), [&] {
        const QString entry = m_main.doctorEntry();
        input.visits = m_main.store().visites().forMonth(doctor, yearText, rvlists::twoDigitMonth(s.MoisActif)).get();
        input.absenceText = agendafiles::readAbsenceText(s.CheminBase, entry);
        input.maxJour = agendafiles::readMaxima(s.CheminBase, entry);
    });
    if (!read)
        return std::nullopt;
    try {
        input.joursFeries = Liste_Jours_Feries(yearText).split(u';');
    } catch (const CalendarOverflow &) {
        input.joursFeries.clear();
    }
    return outputs::monthDocument(input);
}

std::optional<outputs::OutputDocument> OutputsController::historyDocument()
{
    const ShownList history = m_main.shownHistory();
    auto doc = outputs::listDocument(QStringLiteral("Produits présentés"), m_main.currentDoctor(), history.heading,
                                     history.lines, Clock::today());
    doc.landscape = true;
    if (doc.isEmpty()) {
        dialogs::information(m_main.widget(),
                             QStringLiteral("Il n'y a rien à imprimer : l'historique affiché est vide."));
        return std::nullopt;
    }
    return doc;
}

void OutputsController::mnuImprimer_Click()
{
    const auto doc = visibleDocument();
    if (!doc)
        return;
    dialogs::printPreview(m_main.widget(), doc->heading(), [&](QPrinter *printer) {
        BusyCursor busy;
        if (outputs::paintDocument(*doc, *printer) == 0)
            dialogs::critical(m_main.widget(), QStringLiteral("L'imprimante n'a pas pu être utilisée."));
    });
}

void OutputsController::mnuPdf_Click()
{
    const auto doc = visibleDocument();
    if (!doc)
        return;
    const QString path =
        withSuffix(dialogs::saveFile(m_main.widget(), QStringLiteral("Enregistrer en PDF"),
                                     QDir::home().filePath(fileStem(doc->heading()) + QStringLiteral(".pdf")),
                                     QStringLiteral("Documents PDF (*.pdf)")),
                   QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    BusyCursor busy;
    const QByteArray bytes = outputs::pdfBytes(*doc);
    if (bytes.isEmpty()) {
        dialogs::critical(m_main.widget(), QStringLiteral("Le document PDF n'a pas pu être produit."));
        return;
    }
    guarded(m_main.widget(), [&] { textfile::writeBytes(path, bytes); });
}

void OutputsController::mnuICal_Click()
{
    const auto year = doctorAndYear();
    if (!year)
        return;
    FrmICal period(QDate(*year, 1, 1), QDate(*year, 12, 31), m_main.widget());
    if (dialogs::exec(period, period.windowTitle()) != QDialog::Accepted)
        return;
    if (period.from() > period.to()) {
        dialogs::information(m_main.widget(), QStringLiteral("La date de début doit précéder la date de fin."));
        return;
    }
    const QString doctor = m_main.currentDoctor();
    const outputs::CalendarRequest request{doctor, period.from(), period.to(), period.withAbsences()};
    QList<outputs::CalendarEvent> events;
    const bool read = guarded(m_main.widget(), [&] {
        const QStringList absences =
            request.withAbsences
                ? agendafiles::readAbsences(m_main.state().CheminBase, m_main.doctorEntry()).value_or(QStringList())
                : QStringList();
        events = outputs::calendarEvents(request, m_main.store().visites().forMedecin(doctor).get(), absences);
    });
    if (!read)
        return;
    if (events.isEmpty()) {
        dialogs::information(m_main.widget(),
                             QStringLiteral("Aucun rendez-vous de %1 dans cette période.").arg(doctor));
        return;
    }
    const QString path = withSuffix(dialogs::saveFile(m_main.widget(), QStringLiteral("Exporter vers un agenda"),
                                                      QDir::home().filePath(fileStem(doctor) + QStringLiteral(".ics")),
                                                      QStringLiteral("Agendas iCalendar (*.ics)")),
                                    QStringLiteral(".ics"));
    if (path.isEmpty())
        return;
    BusyCursor busy;
    if (guarded(m_main.widget(), [&] { icalendarfile::write(path, events, Clock::now()); }))
        dialogs::information(m_main.widget(),
                             QStringLiteral("%1 événement(s) exporté(s) dans « %2 ».").arg(events.size()).arg(path));
}

void OutputsController::mnuGraphique_Click()
{
    const auto year = doctorAndYear();
    if (!year)
        return;
    const QString doctor = m_main.currentDoctor();
    BusyCursor busy;
    QList<outputs::QuotaBar> bars;
    if (!guarded(m_main.widget(), [&] {
            // The year's appointments and the quotas: one round trip to a server.
            auto visits = m_main.store().visites().forMedecinYear(doctor, QString::number(*year));
            auto quotas = m_main.store().passages().quotasForMedecin(doctor);
            bars = outputs::quotaBars(visits.get(), quotas.get(), *year, Clock::today());
        }))
        return;
    if (bars.isEmpty()) {
        dialogs::information(m_main.widget(),
                             QStringLiteral("Ni quota ni visite pour %1 en %2.").arg(doctor).arg(*year));
        return;
    }
    if (!m_chart)
        m_chart = new QuotaChartWindow(m_main.widget());
    m_chart->setData(doctor, *year, bars);
    m_chart->show();
    m_chart->raise();
}

} // namespace tv
