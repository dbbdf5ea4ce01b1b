// The store-level work behind each operation a user waits for, at the size
// of a large practice, each next to the way the old platform did it: no
// index, whole-table scans, one query per grid day, filtering after loading
// the whole table. The ratio naive/indexed of the medians is printed.
//
//   tallvane_bench [--benchmark_filter=...]
// TALLVANE_BENCH_DATA=<folder> keeps the generated data there between runs.
// TALLVANE_BENCH_SERVER=<libpq connection string> measures the store on that
// PostgreSQL database instead: the practice is moved there by the program's
// own transfer when the database is empty, used as it is otherwise; the
// store then talks to it over TCP through a proxy of ours that delays every
// packet by half of TALLVANE_BENCH_RTT_MS each way (0 by default) and
// counts the round trips each operation costs.
#include "StoreBench.h"

#include "server/core/ServerTransfer.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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
#include <string>
#include <vector>

using namespace tvbench::storebench;

namespace {

// ---- measuring

struct Operation {
    std::string name;
    std::function<int()> fast;
    std::function<int()> naive;
    double targetMs;
};

struct Result {
    double fastMs = -1;
    double naiveMs = -1;
    double fastCpuMs = -1;
    double naiveCpuMs = -1;
    double roundTrips = -1;
};
std::map<std::string, Result> g_results;
std::vector<Operation> g_operations;

double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

double cpuNowMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Wall time is what the user waits for; the processor time beside it tells
// a busy machine (or a disk sync) from slow code.
void run(benchmark::State &state, const Operation &op, bool naive)
{
    std::vector<double> samples;
    std::vector<double> cpuSamples;
    std::vector<double> trips;
    for (auto _ : state) {
        const double cpuStart = cpuNowMs();
        const long long tripsBefore = env->proxy ? env->proxy->roundTrips() : 0;
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(naive ? op.naive() : op.fast());
        samples.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        cpuSamples.push_back(cpuNowMs() - cpuStart);
        if (env->proxy)
            trips.push_back(static_cast<double>(env->proxy->roundTrips() - tripsBefore));
        nextTurn();
    }
    const double m = median(samples);
    state.counters["median_ms"] = m;
    state.counters["cpu_median_ms"] = median(cpuSamples);
    Result &r = g_results[op.name];
    if (!naive && env->proxy) {
        r.roundTrips = median(trips);
        state.counters["round_trips"] = r.roundTrips;
    }
    (naive ? r.naiveMs : r.fastMs) = m;
    (naive ? r.naiveCpuMs : r.fastCpuMs) = median(cpuSamples);
    if (!naive && r.naiveMs > 0 && m > 0) {
        state.counters["naive_median_ms"] = r.naiveMs;
        state.counters["ratio"] = r.naiveMs / m;
    }
}

void registerOperations()
{
    g_operations = {
        {"StartUp_OpenAndLists", fastStartUp, naiveStartUp, 300},
        {"DoctorSelection", fastDoctorSelection, naiveDoctorSelection, 5},
        {"LaboratorySelection", fastLaboSelection, naiveLaboSelection, 5},
        {"Remplir_Agenda", fastGrid, naiveGrid, 5},
        {"Liste_RV_Medecin", fastDoctorList, naiveDoctorList, 5},
        {"Liste_RV_Labo_Medecin", fastLaboList, naiveLaboList, 5},
        {"Verifier_Quota_Annuel", fastQuota, naiveQuota, 5},
        {"Booking_InsertDelete", fastBooking, naiveBooking, 5},
        {"History_Doctor", fastHistoryDoctor, naiveHistoryDoctor, 5},
        {"History_Delegate", fastHistoryDelegue, naiveHistoryDelegue, 5},
        {"History_Laboratory", fastHistoryLabo, naiveHistoryLabo, 5},
        {"History_MedicineContains", fastHistoryMedicine, naiveHistoryMedicine, 5},
        {"PurgeYear_RolledBack", fastPurge, naivePurge, 5},
    };
    // A server's copies are the server's business: no file to copy there.
    if (qEnvironmentVariable("TALLVANE_BENCH_SERVER").isEmpty())
        g_operations.push_back({"Backup_BeforeCommand", fastBackup, naiveBackup, 2000});
    // The naive run comes first so the indexed one can print the ratio.
    for (const Operation &op : g_operations) {
        benchmark::RegisterBenchmark((op.name + "/naive").c_str(), [&op](benchmark::State &s) { run(s, op, true); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
        benchmark::RegisterBenchmark((op.name + "/indexed").c_str(), [&op](benchmark::State &s) { run(s, op, false); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(0.5);
    }
}

// The naive medians, one "name ms" line each, for tallvane_bench_window to
// print its ratios against (TALLVANE_BENCH_NAIVE_OUT=<file>).
void writeNaiveFigures()
{
    const QString path = qEnvironmentVariable("TALLVANE_BENCH_NAIVE_OUT");
    if (path.isEmpty())
        return;
    QStringList lines;
    for (const auto &[name, result] : g_results)
        if (result.naiveMs > 0)
            lines.append(QStringLiteral("%1 %2").arg(QString::fromStdString(name)).arg(result.naiveMs, 0, 'f', 4));
    tv::textfile::writeLines(path, lines);
}

void printSummary(const QString &rss)
{
    std::printf("\n%-26s %10s %10s %8s %10s %10s %8s %8s %6s\n", "operation", "median ms", "naive ms", "ratio",
                "cpu ms", "naive cpu", "cpu rat.", "target", "trips");
    for (const Operation &op : g_operations) {
        const auto it = g_results.find(op.name);
        if (it == g_results.end() || it->second.fastMs < 0)
            continue;
        const Result &r = it->second;
        const QString ratio = r.naiveMs > 0 ? QString::number(r.naiveMs / r.fastMs, 'f', 1) : QStringLiteral("-");
        const QString cpuRatio = r.naiveCpuMs > 0 && r.fastCpuMs > 0
                                     ? QString::number(r.naiveCpuMs / r.fastCpuMs, 'f', 1)
                                     : QStringLiteral("-");
        std::printf("%-26s %10.3f %10.3f %8s %10.3f %10.3f %8s %8.0f %6.0f\n", op.name.c_str(), r.fastMs, r.naiveMs,
                    qPrintable(ratio), r.fastCpuMs, r.naiveCpuMs, qPrintable(cpuRatio), op.targetMs, r.roundTrips);
    }
    std::printf("\n%s\n", qPrintable(rss));
    writeNaiveFigures();
    if (env->generationMs >= 0)
        std::printf("data generated in %lld ms\n", env->generationMs);
}

// ---- peak memory of opening the store and loading what the window shows

int rssProbe(const QString &folder)
{
    const long before = tvbench::peakRssKb();
    const tvbench::Practice practice = tvbench::describeLargePractice(folder);
    auto store = tv::Store::open(tv::files::join(folder, tv::files::Database));
    const QList<tv::LaboEntry> labos = store->labos().all().get();
    const QStringList doctors = tv::doctorsfile::listEntries(tv::doctorsfile::read(folder).value_or(QStringList{}));
    const QStringList medicines =
        tv::textfile::readLines(tv::files::join(folder, tv::files::Medoc)).value_or(QStringList{});
    // A day's work: every doctor selected once, with his list, a month and
    // his whole products history.
    qsizetype rows = labos.size() + doctors.size() + medicines.size();
    for (const QString &doctor : practice.doctors) {
        rows += store->visites().forMedecin(doctor).get().size();
        rows += store->visites().forMonth(doctor, kYear, QStringLiteral("03")).get().size();
        rows += store->produits().forMedecin(doctor).get().size();
    }
    std::printf("%ld %ld %lld\n", before, tvbench::peakRssKb(), static_cast<long long>(rows));
    return 0;
}

QString measureRss(const QString &folder)
{
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rss-probe"), folder});
    if (!probe.waitForFinished(120000) || probe.exitCode() != 0)
        return QStringLiteral("peak RSS: probe failed");
    const QStringList parts = QString::fromUtf8(probe.readAllStandardOutput()).split(u' ', Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return QStringLiteral("peak RSS: probe failed");
    return QStringLiteral("peak RSS opening the store, loading the lists and every doctor's lists and history: %1 MB "
                          "(%2 MB before opening; target 100 MB)")
        .arg(parts.at(1).toDouble() / 1024, 0, 'f', 1)
        .arg(parts.at(0).toDouble() / 1024, 0, 'f', 1);
}

// A folder holding only Serveur.cfg: the store opens on the server there,
// through the proxy.
QString moveToServer(const tv::ServerAddress &address, const QString &file)
{
    env->proxy = tvbench::proxyFor(address.conninfo);
    const QString folder = env->scratch.filePath(QStringLiteral("serveur"));
    QDir().mkpath(folder);
    bool filled = false;
    {
        auto target = tv::Database::connectServer(address);
        filled = target->hasTable(QStringLiteral("Visite"));
    }
    if (!filled) {
        QElapsedTimer timer;
        timer.start();
        auto source = tv::Store::open(file);
        tv::ServerTransfer::run(source->db(), address, folder);
        std::fprintf(stderr, "transfer to the server: %lld ms\n", static_cast<long long>(timer.elapsed()));
    }
    tv::serveurcfg::write(folder, tv::ServerAddress::parse(env->proxy->conninfo(address.conninfo)));
    return tv::files::join(folder, tv::files::Database);
}

void prepare()
{
    env = new Environment;
    QString folder = qEnvironmentVariable("TALLVANE_BENCH_DATA");
    if (folder.isEmpty())
        folder = env->scratch.filePath(QStringLiteral("donnees"));
    env->dbPath = tv::files::join(folder, tv::files::Database);
    if (QFileInfo::exists(env->dbPath)) {
        env->practice = tvbench::describeLargePractice(folder);
    } else {
        QElapsedTimer timer;
        timer.start();
        env->practice = tvbench::generateLargePractice(folder);
        env->generationMs = timer.elapsed();
    }
    env->naivePath = env->scratch.filePath(QStringLiteral("naive.mdb"));
    makeNaiveCopy(env->dbPath, env->naivePath);
    const QString server = qEnvironmentVariable("TALLVANE_BENCH_SERVER");
    if (!server.isEmpty())
        env->dbPath = moveToServer(tv::ServerAddress::parse(server), env->dbPath);
    env->store = tv::Store::open(env->dbPath);
    env->naive = openNaive(env->naivePath);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--rss-probe")
        return rssProbe(QString::fromLocal8Bit(argv[2]));

    benchmark::Initialize(&argc, argv);
    try {
        prepare();
    } catch (const tv::StoreError &e) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(e.message()), qPrintable(e.detail()));
        return 1;
    }
    const QString rss = measureRss(env->practice.folder);
    registerOperations();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary(rss);

    env->store.reset();
    env->naive.reset();
    delete env;
    return 0;
}
