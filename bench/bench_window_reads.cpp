// The window benchmark's reads: start-up, the selections, the grid, the
// appointment lists, the quota check, the products history and the chart.
#include "WindowBench.h"

#include "agenda/ui/BookingController.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "outputs/ui/OutputsController.h"
#include "outputs/ui/QuotaChartWindow.h"
#include "store/engine/StoreError.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QSignalBlocker>
#include <QThread>

namespace tvbench::windowbench {

namespace {

// Chooses the next entry of a history filter combo, as a click in its list.
double historyFilter(QComboBox *combo, int step)
{
    ensureDoctorAndLabo();
    const int row = (g_turn * step) % combo->count();
    {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(-1);
    }
    return timed([&] { combo->setCurrentIndex(row); });
}

} // namespace

double startUp()
{
    // The previous window is gone before the next start, as with a new
    // program; its destruction is not measured.
    env->window.reset();
    // Its link's last words reach the proxy, and its backend ends, before
    // the next start: neither is counted in it nor competes with it.
    QThread::msleep(50);
    std::unique_ptr<tv::FrmLabo> window;
    const double ms = timed([&] { window = startWindow(); });
    benchmark::DoNotOptimize(window->view().labo.LstLabo->count());
    env->window = std::move(window);
    return ms;
}

double doctorSelection()
{
    const int row = doctorRow();
    prepareSelection(view().labo.LstMed, row);
    return timed([&] { view().labo.LstMed->setCurrentRow(row); });
}

double laboratorySelection()
{
    const int row = laboRow();
    prepareSelection(view().labo.LstLabo, row);
    return timed([&] { view().labo.LstLabo->setCurrentRow(row); });
}

double remplirAgenda()
{
    ensureDoctorAndLabo();
    return timed([&] { env->window->Remplir_Agenda(); });
}

double listeRvMedecin()
{
    ensureDoctorAndLabo();
    return timed([&] { env->window->Liste_RV_Medecin(); });
}

double listeRvLaboMedecin()
{
    ensureDoctorAndLabo();
    return timed([&] { env->window->Liste_RV_Labo_Medecin(); });
}

double quotaCheck()
{
    ensureDoctorAndLabo();
    tv::dialogs::script::reset();
    tv::dialogs::script::setStrict(true);
    // A quota exceeded says so in a box; the scripted box costs nothing.
    const double ms = timed([&] { env->window->booking().Verifier_Quota_Annuel(); });
    tv::dialogs::script::reset();
    return ms;
}

double historyAll()
{
    ensureDoctorAndLabo();
    return timed([&] { env->window->Remplir_Historique(); });
}

double historyDelegate()
{
    return historyFilter(view().products.CboDh, 37);
}
double historyLaboratory()
{
    return historyFilter(view().products.CboLh, 37);
}
double historyMedicine()
{
    return historyFilter(view().products.CboPrPr, 11);
}

// The quota chart of the selected doctor's displayed year: every
// laboratory's quota and the year's visits read, the bars built, the window
// shown and painted once.
double quotaChart()
{
    ensureDoctorAndLabo();
    tv::dialogs::script::reset();
    tv::dialogs::script::setStrict(true);
    const double ms = timed([&] {
        view().menus.mnuGraphique->trigger();
        QCoreApplication::processEvents();
    });
    const int unexpected = tv::dialogs::script::unexpected();
    tv::dialogs::script::reset();
    tv::QuotaChartWindow *chart = env->window->outputs().chartWindow();
    if (unexpected != 0 || !chart || chart->shownBars().isEmpty())
        throw tv::StoreError(QStringLiteral("Le graphique ne s'est pas ouvert"));
    chart->hide();
    return ms;
}

} // namespace tvbench::windowbench
