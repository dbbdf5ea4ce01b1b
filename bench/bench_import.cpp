// The import of a large practice's Access database (300 laboratories,
// 30,000 appointments, 8,000 product records), and the refusal of damaged
// ones. Reading alone, then the whole import as start-up runs it (rows
// copied into a copy of the shipped database, files swapped), each in two
// ways taken in turns: rows read in this process by libmdb directly, as the
// import did before the reader child, and rows read by the child. Each
// damaged fixture: the time to a verdict, and the peak memory of every
// reader child (getrusage of the children) and of this process.
#include "maintenance/core/AccessReading.h"
#include "maintenance/core/AccessReport.h"
#include "maintenance/core/DatabaseUpgrade.h"
#include "maintenance/core/JetReader.h"
#include "store/engine/Database.h"
#include "store/files/SettingsFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {

QString fixture(const QString &name)
{
    const QString path = QStringLiteral(TALLVANE_JET_FIXTURES "/") + name;
    if (!QFileInfo::exists(path)) {
        std::fprintf(stderr, "Access database missing: %s\n", qPrintable(path));
        std::exit(2);
    }
    return path;
}

QString largeFixture()
{
    return fixture(QStringLiteral("ferrune-v2000-large.mdb"));
}

double peakMegabytes(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Processor time of the children waited for so far, in milliseconds.
double childrenCpu()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval &t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The children's processor time per iteration (the CPU column is this
// process's only), and the peaks of memory.
void counters(benchmark::State &state, double childrenCpuBefore)
{
    state.counters["child_cpu_ms"] = (childrenCpu() - childrenCpuBefore) / static_cast<double>(state.iterations());
    state.counters["child_peak_MB"] = peakMegabytes(RUSAGE_CHILDREN);
    state.counters["self_peak_MB"] = peakMegabytes(RUSAGE_SELF);
}

// The rows as the import had them before: libmdb in this process.
tv::AccessContent readInProcess(const QString &path)
{
    tv::AccessContent content;
    content.path = path;
    content.catalogRead = true;
    tv::JetReader reader(path);
    content.format = reader.formatName();
    content.catalog = reader.tables();
    for (const QString &name : content.catalog) {
        tv::AccessTable table;
        table.name = name;
        table.begun = table.ended = true;
        reader.readTable(
            name,
            [&](const tv::JetReader::TableInfo &info) {
                table.declared = info.declaredRows;
                table.columns = info.columns;
            },
            [&](const std::vector<tv::accessstream::RawValue> &values) {
                QVariantList row;
                row.reserve(static_cast<qsizetype>(values.size()));
                for (const tv::accessstream::RawValue &value : values)
                    row.append(tv::accessstream::toVariant(value));
                table.rows.append(row);
                return true;
            });
        content.tables.append(table);
    }
    return content;
}

double processCpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The two ways side by side, in turns (which goes first alternates): the
// load of a shared machine changes over a run, and a ratio of two runs made
// minutes apart measures it more than the child. Each iteration's time is
// the child's; the counters give the medians of both, wall and processor
// (this process and its children), and the median of the paired ratios.
void paired(benchmark::State &state, const std::function<void(bool child)> &once)
{
    std::vector<double> wall[2], cpu[2], ratios;
    for (auto _ : state) {
        double took[2] = {0, 0};
        for (int turn = 0; turn < 2; ++turn) {
            const bool child = (turn + state.iterations()) % 2 == 0;
            const double cpuBefore = processCpu() + childrenCpu();
            const auto start = std::chrono::steady_clock::now();
            once(child);
            took[child] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            wall[child].push_back(took[child]);
            cpu[child].push_back(processCpu() + childrenCpu() - cpuBefore);
        }
        ratios.push_back(took[1] / took[0]);
        state.SetIterationTime(took[1] / 1e3);
    }
    state.counters["inprocess_ms"] = median(wall[0]);
    state.counters["child_ms"] = median(wall[1]);
    state.counters["inprocess_cpu_ms"] = median(cpu[0]);
    state.counters["child_cpu_ms"] = median(cpu[1]);
    state.counters["child_added_pct"] = (median(ratios) - 1) * 100;
    state.counters["child_peak_MB"] = peakMegabytes(RUSAGE_CHILDREN);
    state.counters["self_peak_MB"] = peakMegabytes(RUSAGE_SELF);
}

void BM_AccessRead_Large(benchmark::State &state)
{
    const QString path = largeFixture();
    paired(state, [&](bool child) {
        const tv::AccessContent content = child ? tv::accessreading::read(path) : readInProcess(path);
        if (tv::accessreport::summarize(content).verdict != tv::accessreport::Verdict::Whole)
            state.SkipWithError("the large fixture did not read whole");
    });
}

void BM_AccessImport_Large(benchmark::State &state)
{
    const QString path = largeFixture();
    QTemporaryDir program;
    QTemporaryDir data;
    const auto paths = tv::DatabaseUpgrade::paths(program.path(), data.path());
    const QString shipped = paths.shipped + QStringLiteral(".modele");
    tv::Database::create(shipped);
    paired(state, [&](bool child) {
        // Files put back untimed would need a pause per turn: a copy of two
        // files is timed with both ways alike.
        for (const QString &file : {paths.oldDatabase, paths.shipped, paths.backup})
            QFile::remove(file);
        QFile::copy(path, paths.oldDatabase);
        QFile::copy(shipped, paths.shipped);
        tv::DatabaseUpgrade upgrade(paths);
        if (!child)
            upgrade.setAccessContent(std::make_shared<tv::AccessContent>(readInProcess(paths.oldDatabase)));
        upgrade.copyRows();
        upgrade.swapFiles();
    });
}

// A damaged file, from the start of the reading to the verdict.
void BM_AccessDamaged(benchmark::State &state, const char *name)
{
    const QString path = fixture(QString::fromLatin1(name));
    int verdict = -1;
    const double before = childrenCpu();
    for (auto _ : state)
        verdict = static_cast<int>(tv::accessreport::summarize(tv::accessreading::read(path)).verdict);
    state.counters["verdict"] = verdict; // 1 partly readable, 2 unreadable
    counters(state, before);
}

} // namespace

BENCHMARK(BM_AccessRead_Large)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_AccessImport_Large)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK_CAPTURE(BM_AccessDamaged, crash_table_definition, "damaged/crash-table-definition.mdb")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AccessDamaged, memo_pages_cut, "damaged/memo-pages-cut.mdb")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AccessDamaged, table_name_damaged, "damaged/table-name-damaged.mdb")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AccessDamaged, truncated, "truncated.mdb")->Unit(benchmark::kMillisecond)->UseRealTime();
// Last: it takes the time limit, and the children's peak is the largest.
BENCHMARK_CAPTURE(BM_AccessDamaged, runaway_catalog, "damaged/runaway-catalog.mdb")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tv::accessreading::setReaderPath(QStringLiteral(TALLVANE_PROGRAM_DIR "/") + tv::accessreading::ReaderName);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
