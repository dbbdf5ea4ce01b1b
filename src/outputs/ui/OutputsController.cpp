#include "outputs/ui/OutputsController.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/AppointmentLists.h"
#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/ui/Busy.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "common/ui/Widgets.h"
#include "outputs/core/CalendarEvents.h"
#include "outputs/core/ICalendarFile.h"
#include "outputs/core/QuotaChartData.h"
#include "outputs/ui/DocumentRenderer.h"
#include "outputs/ui/FrmICal.h"
#include "outputs/ui/QuotaChartWindow.h"
#include "store/files/TextFile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QTabBar>

namespace tv {

namespace {

// Every line of a long list, also those the view has not read yet.
QStringList listLines(LineView *list)
{
    list->fetchAll();
    QStringList lines;
    lines.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        lines.append(list->text(i));
    return lines;
}

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

OutputsController::OutputsController(FrmLabo &frm)
    : m_frm(frm)
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

void OutputsController::connectSignals()
{
    const MenuActions &m = m_frm.view().menus;
    connect(m.mnuImprimer, &QAction::triggered, this, &OutputsController::mnuImprimer_Click);
    connect(m.mnuPdf, &QAction::triggered, this, &OutputsController::mnuPdf_Click);
    connect(m.mnuICal, &QAction::triggered, this, &OutputsController::mnuICal_Click);
    connect(m.mnuGraphique, &QAction::triggered, this, &OutputsController::mnuGraphique_Click);
}

std::optional<int> OutputsController::displayedYear()
{
    bool ok = false;
    const int year = m_frm.view().agenda.CboAn->currentText().trimmed().toInt(&ok);
    if (!ok || year < 1 || year > 9999) {
        dialogs::information(&m_frm, QStringLiteral("Choisissez une année dans l'agenda."));
        return std::nullopt;
    }
    return year;
}

std::optional<int> OutputsController::doctorAndYear()
{
    if (!m_frm.hasDoctor()) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un médecin."));
        return std::nullopt;
    }
    return displayedYear();
}

std::optional<outputs::OutputDocument> OutputsController::visibleDocument()
{
    const int tab = m_frm.view().TS->currentIndex() + 1;
    if (tab == 1)
        return agendaDocument();
    if (tab == 3)
        return historyDocument();
    dialogs::information(&m_frm, QStringLiteral("Il n'y a rien à imprimer sur cette page : affichez l'agenda "
                                                "ou les produits présentés."));
    return std::nullopt;
}

std::optional<outputs::OutputDocument> OutputsController::agendaDocument()
{
    SharedState &s = m_frm.state();
    AgendaWidgets &a = m_frm.view().agenda;
    if (!m_frm.hasDoctor()) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un médecin."));
        return std::nullopt;
    }
    if (s.MoisActif < 0 || s.MoisActif > 11) {
        dialogs::information(&m_frm, QStringLiteral("Sélectionnez un mois."));
        return std::nullopt;
    }
    const QString doctor = m_frm.currentDoctor();
    if (s.ModeListeRV == 1) {
        const QStringList lines = listLines(a.LstListe);
        auto doc = outputs::listDocument(QStringLiteral("Rendez-vous du mois"), doctor, a.LblListe->text().trimmed(),
                                         lines, Clock::today());
        if (doc.isEmpty()) {
            dialogs::information(&m_frm, QStringLiteral("Aucun rendez-vous à imprimer pour ce mois."));
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
    input.month = s.MoisActif + 1;
    input.printed = Clock::today();
    const bool read = guarded(&m_frm, [&] {
        const QString entry = m_frm.view().LstMed->text();
        input.visits =
            m_frm.store().visites().forMonth(doctor, a.CboAn->currentText(), rvlists::twoDigitMonth(s.MoisActif)).get();
        input.absenceText = agendafiles::readAbsenceText(s.CheminBase, entry);
        input.maxJour = agendafiles::readMaxima(s.CheminBase, entry);
    });
    if (!read)
        return std::nullopt;
    try {
        input.joursFeries = Liste_Jours_Feries(a.CboAn->currentText()).split(u';');
    } catch (const CalendarOverflow &) {
        input.joursFeries.clear();
    }
    return outputs::monthDocument(input);
}

std::optional<outputs::OutputDocument> OutputsController::historyDocument()
{
    ProductsWidgets &w = m_frm.view().products;
    QString filter = QStringLiteral("tout l'historique");
    for (auto [combo, what] :
         {std::pair{w.CboDh, "délégué"}, std::pair{w.CboLh, "laboratoire"}, std::pair{w.CboPrPr, "médicament"}})
        if (combo->currentIndex() >= 0)
            filter = QString::fromUtf8(what) + QStringLiteral(" ") + combo->currentText().trimmed();
    auto doc = outputs::listDocument(QStringLiteral("Produits présentés"), m_frm.currentDoctor(), filter,
                                     listLines(w.LstHistPr), Clock::today());
    doc.landscape = true;
    if (doc.isEmpty()) {
        dialogs::information(&m_frm, QStringLiteral("Il n'y a rien à imprimer : l'historique affiché est vide."));
        return std::nullopt;
    }
    return doc;
}

void OutputsController::mnuImprimer_Click()
{
    const auto doc = visibleDocument();
    if (!doc)
        return;
    dialogs::printPreview(&m_frm, doc->heading(), [&](QPrinter *printer) {
        BusyCursor busy;
        if (outputs::paintDocument(*doc, *printer) == 0)
            dialogs::critical(&m_frm, QStringLiteral("L'imprimante n'a pas pu être utilisée."));
    });
}

void OutputsController::mnuPdf_Click()
{
    const auto doc = visibleDocument();
    if (!doc)
        return;
    const QString path =
        withSuffix(dialogs::saveFile(&m_frm, QStringLiteral("Enregistrer en PDF"),
                                     QDir::home().filePath(fileStem(doc->heading()) + QStringLiteral(".pdf")),
                                     QStringLiteral("Documents PDF (*.pdf)")),
                   QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    BusyCursor busy;
    const QByteArray bytes = outputs::pdfBytes(*doc);
    if (bytes.isEmpty()) {
        dialogs::critical(&m_frm, QStringLiteral("Le document PDF n'a pas pu être produit."));
        return;
    }
    guarded(&m_frm, [&] { textfile::writeBytes(path, bytes); });
}

void OutputsController::mnuICal_Click()
{
    const auto year = doctorAndYear();
    if (!year)
        return;
    FrmICal period(QDate(*year, 1, 1), QDate(*year, 12, 31), &m_frm);
    if (dialogs::exec(period, period.windowTitle()) != QDialog::Accepted)
        return;
    if (period.from() > period.to()) {
        dialogs::information(&m_frm, QStringLiteral("La date de début doit précéder la date de fin."));
        return;
    }
    const QString doctor = m_frm.currentDoctor();
    const outputs::CalendarRequest request{doctor, period.from(), period.to(), period.withAbsences()};
    QList<outputs::CalendarEvent> events;
    const bool read = guarded(&m_frm, [&] {
        const QStringList absences =
            request.withAbsences ? agendafiles::readAbsences(m_frm.state().CheminBase, m_frm.view().LstMed->text())
                                       .value_or(QStringList())
                                 : QStringList();
        events = outputs::calendarEvents(request, m_frm.store().visites().forMedecin(doctor).get(), absences);
    });
    if (!read)
        return;
    if (events.isEmpty()) {
        dialogs::information(&m_frm, QStringLiteral("Aucun rendez-vous de %1 dans cette période.").arg(doctor));
        return;
    }
    const QString path = withSuffix(dialogs::saveFile(&m_frm, QStringLiteral("Exporter vers un agenda"),
                                                      QDir::home().filePath(fileStem(doctor) + QStringLiteral(".ics")),
                                                      QStringLiteral("Agendas iCalendar (*.ics)")),
                                    QStringLiteral(".ics"));
    if (path.isEmpty())
        return;
    BusyCursor busy;
    if (guarded(&m_frm, [&] { icalendarfile::write(path, events, Clock::now()); }))
        dialogs::information(&m_frm,
                             QStringLiteral("%1 événement(s) exporté(s) dans « %2 ».").arg(events.size()).arg(path));
}

void OutputsController::mnuGraphique_Click()
{
    const auto year = doctorAndYear();
    if (!year)
        return;
    const QString doctor = m_frm.currentDoctor();
    BusyCursor busy;
    QList<outputs::QuotaBar> bars;
    if (!guarded(&m_frm, [&] {
            bars = outputs::quotaBars(m_frm.store().visites().forMedecin(doctor).get(),
                                      m_frm.store().passages().quotasForMedecin(doctor).get(), *year, Clock::today());
        }))
        return;
    if (bars.isEmpty()) {
        dialogs::information(&m_frm, QStringLiteral("Ni quota ni visite pour %1 en %2.").arg(doctor).arg(*year));
        return;
    }
    if (!m_chart)
        m_chart = new QuotaChartWindow(&m_frm);
    m_chart->setData(doctor, *year, bars);
    m_chart->show();
    m_chart->raise();
}

} // namespace tv
