// The operations a user waits for, measured through the real main window
// and its controllers at the size of a large practice (offscreen):
// start-up to a filled window, doctor and laboratory selection, the grid,
// the appointment lists, the quota check, a booking, each history mode and
// the purge of a year. Each line also shows the store-level naive figure of
// the same operation when one is given (TALLVANE_BENCH_NAIVE=<file> written
// by tallvane_bench with TALLVANE_BENCH_NAIVE_OUT), and the ratio.
//
//   QT_QPA_PLATFORM=offscreen tallvane_bench_window [--benchmark_filter=...]
// TALLVANE_BENCH_DATA=<folder> keeps the generated data there between runs.
// TALLVANE_BENCH_SERVER=<libpq connection string>: the window works on that
// PostgreSQL database (the practice moved there first when it is empty),
// through a proxy that delays each packet by half of TALLVANE_BENCH_RTT_MS
// each way and counts the round trips of each operation.
#include "LargePractice.h"
#include "LiveBench.h"
#include "NetProxy.h"

#include "agenda/ui/BookingController.h"
#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "maintenance/ui/MaintenanceController.h"
#include "outputs/ui/OutputsController.h"
#include "outputs/ui/QuotaChartWindow.h"
#include "server/core/ServerTransfer.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The pinned "today": inside the generated years, so the grid, the day's
// list and the past appointments all have data.
const QDate kToday(2025, 3, 5);
const QString kPurgedYear = QStringLiteral("2019");

struct Environment {
    QTemporaryDir scratch;
    tvbench::Practice practice;
    QString programFolder;
    QString databasePath; // the file, or beside the Serveur.cfg naming the server
    std::unique_ptr<tv::FrmLabo> window;
    std::unique_ptr<tvbench::NetProxy> proxy;
    QString server; // the direct connection string, "" on the file
    long long generationMs = -1;
};

Environment *env = nullptr;

tv::MainView &view()
{
    return env->window->view();
}

// ---- the program folder: CheminBase.cfg at the data, Vs.ini choosing the
// first doctor, no time asked, products on

void prepareProgramFolder(const QString &program, const QString &data)
{
    tv::cheminbase::write(program, data);
    tv::textfile::writeLines(tv::files::join(program, tv::files::VsIni), {QStringLiteral("0,0,1,0")});
}

std::unique_ptr<tv::FrmLabo> startWindow()
{
    auto window = std::make_unique<tv::FrmLabo>(env->programFolder);
    if (!window->startUp())
        throw tv::StoreError(QStringLiteral("Le démarrage de la fenêtre a échoué"),
                             tv::dialogs::script::texts().join(QStringLiteral("\n")));
    window->show();
    QCoreApplication::processEvents();
    return window;
}

// ---- keys, rotating so no single row stays hot

int g_turn = 0;
void nextTurn()
{
    ++g_turn;
}

int doctorRow()
{
    return g_turn % static_cast<int>(view().labo.LstMed->count());
}
int laboRow()
{
    return (g_turn * 37) % static_cast<int>(view().labo.LstLabo->count());
}

// Moves the selection to a row other than the wanted one without running
// the handlers, so the measured setCurrentRow really changes the row.
void prepareSelection(tv::ListBox *list, int wanted)
{
    const QSignalBlocker blocker(list);
    list->setCurrentRow(wanted == 0 ? 1 : 0);
}

void ensureDoctorAndLabo()
{
    if (!env->window->hasDoctor())
        view().labo.LstMed->setCurrentRow(0);
    if (!env->window->hasLabo())
        view().labo.LstLabo->setCurrentRow(0);
}

// ---- the operations; each returns a number that depends on the result

using Operation = std::function<double()>; // returns the measured milliseconds

// The round trips of the last part timed: what an operation does untimed
// to keep the table's size is not counted either.
long long g_timedTrips = 0;

template<typename F>
double timed(F &&f)
{
    const long long trips = env->proxy ? env->proxy->roundTrips() : 0;
    const auto start = Clock::now();
    f();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    g_timedTrips = env->proxy ? env->proxy->roundTrips() - trips : 0;
    return ms;
}

double startUp()
{
    // The previous window is gone before the next start, as with a new
    // program; its destruction is not measured.
    env->window.reset();
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

// A booking on a day of the following year, saved through the booking
// panel's button with its boxes scripted (the quota box and its question
// answered Yes when they come), then deleted outside the measure so the
// table keeps its size.
double booking()
{
    ensureDoctorAndLabo();
    const QString labo = env->window->currentLabo();
    const QString doctor = env->window->currentDoctor();
    const QString day = QStringLiteral("%1").arg(g_turn % 28 + 1, 2, 10, QLatin1Char('0'));
    view().agenda.LblDateRV->setText(day + QStringLiteral("/06/2026"));
    tv::dialogs::script::reset();
    tv::dialogs::script::setStrict(true);
    tv::dialogs::script::push(QMessageBox::Ok);
    tv::dialogs::script::push(QMessageBox::Yes);
    tv::Store &store = env->window->store();
    const int before = store.visites().forLaboMedecin(labo, doctor).get().size();
    const double ms = timed([&] { view().agenda.CmdEnr->click(); });
    tv::dialogs::script::reset();
    if (store.visites().forLaboMedecin(labo, doctor).get().size() != before + 1)
        throw tv::StoreError(QStringLiteral("Le rendez-vous n'a pas été enregistré"));
    store.visites().removeFirstAppointment(day, QStringLiteral("06"), QStringLiteral("2026"), labo, doctor);
    return ms;
}

double historyAll()
{
    ensureDoctorAndLabo();
    return timed([&] { env->window->Remplir_Historique(); });
}

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

// The purge of one year through its menu entry, both boxes scripted; the
// year's rows are put back afterwards, outside the measure, with their keys.
double purgeYear()
{
    ensureDoctorAndLabo();
    tv::Database &db = env->window->store().db();
    QList<tv::VisiteRecord> rows;
    {
        tv::Query q(
            db, QStringLiteral("SELECT NumVisite, Medecin, Labo, Jour, Mois, An, Heure FROM Visite WHERE An = :an"));
        q.bind(QStringLiteral(":an"), kPurgedYear);
        while (q.next())
            rows.append({q.integer(0), q.text(1), q.text(2), q.text(3), q.text(4), q.text(5), q.text(6)});
    }
    tv::dialogs::script::reset();
    tv::dialogs::script::setStrict(true);
    tv::dialogs::script::pushInput(kPurgedYear);
    tv::dialogs::script::push(QMessageBox::Yes);
    tv::dialogs::script::push(QMessageBox::Ok);
    const double ms = timed([&] { view().menus.mnuPurger->trigger(); });
    const int unexpected = tv::dialogs::script::unexpected();
    tv::dialogs::script::reset();
    if (unexpected != 0 || env->window->store().visites().countYear(kPurgedYear).get() != 0)
        throw tv::StoreError(QStringLiteral("La purge n'a pas eu lieu"));

    // Put back without the proxy: 25,000 rows, not measured.
    std::unique_ptr<tv::Database> direct;
    if (!env->server.isEmpty())
        direct = tv::Database::connectServer(tv::ServerAddress::parse(env->server));
    tv::Database &target = direct ? *direct : db;
    tv::Transaction transaction(target);
    const QString insert = QStringLiteral("INSERT INTO Visite (NumVisite, Medecin, Labo, Jour, Mois, An, Heure) "
                                          "VALUES (:id, :medecin, :labo, :jour, :mois, :an, :heure)");
    for (const tv::VisiteRecord &v : rows) {
        tv::Query(target, insert)
            .bind(QStringLiteral(":id"), v.numVisite)
            .bind(QStringLiteral(":medecin"), v.medecin)
            .bind(QStringLiteral(":labo"), v.labo)
            .bind(QStringLiteral(":jour"), v.jour)
            .bind(QStringLiteral(":mois"), v.mois)
            .bind(QStringLiteral(":an"), v.an)
            .bind(QStringLiteral(":heure"), v.heure)
            .exec();
    }
    transaction.commit();
    return ms;
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

// ---- the other workstations: the refresh, the look for their changes,
// and the delay until one of them shows, measured with a second process

double liveRefresh()
{
    ensureDoctorAndLabo();
    static std::unique_ptr<tv::Store> other;
    if (!other)
        other = tv::Store::open(env->databasePath);
    // Its own booking taken back each other time, whatever ran before.
    static bool booked = false;
    booked = !booked;
    return tvbench::live::refresh(*env->window, *other, booked);
}

double liveCheck()
{
    // A server tells of the changes: there is nothing to look at.
    if (!env->server.isEmpty())
        throw tv::StoreError(QStringLiteral("no look at a server"));
    return tvbench::live::check(*env->window);
}

double liveDelay()
{
    ensureDoctorAndLabo();
    static tvbench::live::Delay delay(QCoreApplication::applicationFilePath(), env->databasePath);
    const double ms = delay.next(*env->window);
    if (ms < 0)
        throw tv::StoreError(QStringLiteral("L'autre poste n'a pas été suivi"));
    return ms;
}

// ---- measuring

struct Case {
    std::string name;
    Operation run;
    std::string naiveName; // the store-level operation it is compared with
    double targetMs;
    double minTime = 0.5;
    // A fixed number of turns instead: the time measured is not the time
    // a turn takes.
    int iterations = 0;
};

std::vector<Case> g_cases;
std::map<std::string, double> g_medians;
std::map<std::string, double> g_trips;
std::map<std::string, double> g_naive;
std::map<std::string, double> g_worst;
std::set<std::string> g_failed; // stopped by an error: no figure

double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

void measure(benchmark::State &state, const Case &c)
{
    std::vector<double> samples;
    std::vector<double> trips;
    for (auto _ : state) {
        double ms = 0;
        try {
            ms = c.run();
        } catch (const tv::StoreError &e) {
            state.SkipWithError(qPrintable(e.fullText()));
            g_failed.insert(c.name);
            return;
        }
        samples.push_back(ms);
        if (env->proxy)
            trips.push_back(static_cast<double>(g_timedTrips));
        state.SetIterationTime(ms / 1000);
        nextTurn();
    }
    const double m = median(samples);
    state.counters["median_ms"] = m;
    if (!samples.empty()) {
        g_worst[c.name] = *std::max_element(samples.begin(), samples.end());
        state.counters["worst_ms"] = g_worst[c.name];
    }
    g_medians[c.name] = m;
    if (env->proxy) {
        g_trips[c.name] = median(trips);
        state.counters["round_trips"] = g_trips[c.name];
    }
    const auto naive = g_naive.find(c.naiveName);
    if (naive != g_naive.end() && m > 0) {
        state.counters["naive_median_ms"] = naive->second;
        state.counters["ratio"] = naive->second / m;
    }
}

void registerCases()
{
    g_cases = {
        // The store-level naive start-up covers only the store's part: no ratio.
        {"StartUp_FilledWindow", startUp, "", 100, 2.0},
        {"DoctorSelection", doctorSelection, "DoctorSelection", 5},
        {"LaboratorySelection", laboratorySelection, "LaboratorySelection", 5},
        {"Remplir_Agenda", remplirAgenda, "Remplir_Agenda", 5},
        {"Liste_RV_Medecin", listeRvMedecin, "Liste_RV_Medecin", 3},
        {"Liste_RV_Labo_Medecin", listeRvLaboMedecin, "Liste_RV_Labo_Medecin", 5},
        {"Verifier_Quota_Annuel", quotaCheck, "Verifier_Quota_Annuel", 5},
        {"Booking_CmdEnr", booking, "Booking_InsertDelete", 5},
        {"History_Remplir_Historique", historyAll, "History_Doctor", 3},
        {"History_Delegate_CboDh", historyDelegate, "History_Delegate", 5},
        {"History_Laboratory_CboLh", historyLaboratory, "History_Laboratory", 5},
        {"History_Medicine_CboPrPr", historyMedicine, "History_MedicineContains", 3},
        {"PurgeYear_mnuPurger", purgeYear, "PurgeYear_RolledBack", 300, 3.0},
        {"QuotaChart_mnuGraphique", quotaChart, "", 200},
        {"LiveView_Refresh", liveRefresh, "", 5},
        {"LiveView_CheckDataVersion", liveCheck, "", 0.1},
        // The file is looked at once a second: a median of about half of it.
        // Each turn waits up to a second first: 40 turns whatever the delay.
        {"LiveView_DelayFromOtherProcess", liveDelay, "", 1000, 0, 40},
    };
    for (const Case &c : g_cases) {
        benchmark::internal::Benchmark *b =
            benchmark::RegisterBenchmark(c.name.c_str(), [&c](benchmark::State &s) { measure(s, c); })
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime();
        if (c.iterations > 0)
            b->Iterations(c.iterations);
        else
            b->MinTime(c.minTime);
    }
}

void loadNaiveFigures()
{
    const QString path = qEnvironmentVariable("TALLVANE_BENCH_NAIVE");
    if (path.isEmpty())
        return;
    for (const QString &line : tv::textfile::readLines(path).value_or(QStringList{})) {
        const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
        if (parts.size() == 2)
            g_naive[parts.at(0).toStdString()] = parts.at(1).toDouble();
    }
}

void printSummary(const QString &rss)
{
    std::printf("\n%-30s %10s %10s %10s %8s %8s %6s %6s\n", "operation (window)", "median ms", "worst ms", "naive ms",
                "ratio", "target", "met", "trips");
    for (const Case &c : g_cases) {
        if (g_failed.count(c.name)) {
            std::printf("%-30s %10s %10s %10s %8s %8g %6s %6s\n", c.name.c_str(), "-", "-", "-", "-", c.targetMs,
                        "failed", "-");
            continue;
        }
        const auto it = g_medians.find(c.name);
        if (it == g_medians.end())
            continue;
        const auto naive = g_naive.find(c.naiveName);
        const bool hasNaive = naive != g_naive.end() && it->second > 0;
        const auto trips = g_trips.find(c.name);
        std::printf("%-30s %10.3f %10.3f %10s %8s %8g %6s %6s\n", c.name.c_str(), it->second, g_worst[c.name],
                    hasNaive ? qPrintable(QString::number(naive->second, 'f', 3)) : "-",
                    hasNaive ? qPrintable(QString::number(naive->second / it->second, 'f', 1)) : "-", c.targetMs,
                    it->second <= c.targetMs ? "yes" : "no",
                    trips != g_trips.end() ? qPrintable(QString::number(trips->second)) : "-");
    }
    std::printf("\n%s\n", qPrintable(rss));
    if (env->generationMs >= 0)
        std::printf("data generated in %lld ms\n", env->generationMs);
}

// ---- peak memory of the whole program

// A fresh process: the window started on the data, then every doctor
// selected once (grid, lists, products history).
int rssProbe(const QString &program)
{
    env->programFolder = program;
    const long before = tvbench::peakRssKb();
    env->window = startWindow();
    const long afterStart = tvbench::peakRssKb();
    for (int row = 0; row < view().labo.LstMed->count(); ++row) {
        view().labo.LstMed->setCurrentRow(row);
        QCoreApplication::processEvents();
    }
    std::printf("%ld %ld %ld\n", before, afterStart, tvbench::peakRssKb());
    env->window.reset();
    return 0;
}

QString measureRss(const QString &program)
{
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rss-probe"), program});
    if (!probe.waitForFinished(300000) || probe.exitCode() != 0)
        return QStringLiteral("peak RSS: probe failed");
    const QStringList parts = QString::fromUtf8(probe.readAllStandardOutput()).split(u' ', Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return QStringLiteral("peak RSS: probe failed");
    const auto mb = [&](int i) { return QString::number(parts.at(i).toDouble() / 1024, 'f', 1); };
    return QStringLiteral("peak RSS of the program: %1 MB after start-up, %2 MB after selecting every doctor once "
                          "(%3 MB before the window; target 70 MB after every doctor)")
        .arg(mb(1), mb(2), mb(0));
}

// The data folder's text files beside a Serveur.cfg naming the server
// through the proxy; the practice is moved there first when it is empty.
QString serverFolder(const QString &data)
{
    const tv::ServerAddress address = tv::ServerAddress::parse(env->server);
    if (!tv::Database::connectServer(address)->hasTable(QStringLiteral("Visite"))) {
        auto source = tv::Store::open(tv::files::join(data, tv::files::Database));
        const QString scratch = env->scratch.filePath(QStringLiteral("transfert"));
        QDir().mkpath(scratch);
        tv::ServerTransfer::run(source->db(), address, scratch);
    }
    const QString folder = env->scratch.filePath(QStringLiteral("serveur"));
    QDir().mkpath(folder);
    for (const QString &name : QDir(data).entryList({QStringLiteral("*.txt"), QStringLiteral("*.ini")}, QDir::Files))
        QFile::copy(tv::files::join(data, name), tv::files::join(folder, name));
    env->proxy = tvbench::proxyFor(env->server);
    tv::serveurcfg::write(folder, tv::ServerAddress::parse(env->proxy->conninfo(env->server)));
    return folder;
}

void prepare()
{
    QString folder = qEnvironmentVariable("TALLVANE_BENCH_DATA");
    if (folder.isEmpty())
        folder = env->scratch.filePath(QStringLiteral("donnees"));
    if (QFileInfo::exists(tv::files::join(folder, tv::files::Database))) {
        env->practice = tvbench::describeLargePractice(folder);
    } else {
        QElapsedTimer timer;
        timer.start();
        env->practice = tvbench::generateLargePractice(folder);
        env->generationMs = timer.elapsed();
    }
    env->programFolder = env->scratch.filePath(QStringLiteral("programme"));
    QDir().mkpath(env->programFolder);
    env->server = qEnvironmentVariable("TALLVANE_BENCH_SERVER");
    if (!env->server.isEmpty())
        folder = serverFolder(folder);
    env->databasePath = tv::files::join(folder, tv::files::Database);
    prepareProgramFolder(env->programFolder, folder);
}

} // namespace

// The offscreen platform says on every shown window that it cannot
// propagate size hints; that noise would bury the figures.
QtMessageHandler g_standardHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (g_standardHandler)
        g_standardHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char **argv)
{
    g_standardHandler = qInstallMessageHandler(quietHandler);
    QApplication app(argc, argv);
    tv::Clock::pin(kToday);
    tv::dialogs::script::setStrict(true);
    env = new Environment;
    int code = 0;
    try {
        if (argc == 3 && std::string(argv[1]) == "--rss-probe") {
            code = rssProbe(QString::fromLocal8Bit(argv[2]));
        } else if (argc == 3 && std::string(argv[1]) == "--live-writer") {
            code = tvbench::live::writer(QString::fromLocal8Bit(argv[2]));
        } else {
            benchmark::Initialize(&argc, argv);
            prepare();
            loadNaiveFigures();
            const QString rss = measureRss(env->programFolder);
            env->window = startWindow();
            registerCases();
            benchmark::RunSpecifiedBenchmarks();
            benchmark::Shutdown();
            printSummary(rss);
        }
    } catch (const tv::StoreError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.fullText()));
        code = 1;
    }
    env->window.reset();
    delete env;
    return code;
}
