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
#include "LiveBench.h"
#include "WindowBench.h"

#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "server/core/ServerTransfer.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

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

using namespace tvbench::windowbench;

namespace {

// The pinned "today": inside the generated years, so the grid, the day's
// list and the past appointments all have data.
const QDate kToday(2025, 3, 5);

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
