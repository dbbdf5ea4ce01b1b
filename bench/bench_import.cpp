// The import of a large practice's Access database (300 laboratories,
// 30,000 appointments, 8,000 product records): libmdb's reading alone, then
// the whole import as start-up runs it (rows copied into a copy of the
// shipped database, files swapped).
#include "maintenance/core/DatabaseUpgrade.h"
#include "maintenance/core/JetReader.h"
#include "store/engine/Database.h"
#include "store/files/SettingsFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

QString largeFixture()
{
    const QString path = QStringLiteral(TALLVANE_JET_FIXTURES "/ferrune-v2000-large.mdb");
    if (!QFileInfo::exists(path)) {
        std::fprintf(stderr, "Access database missing: %s\n", qPrintable(path));
        std::exit(2);
    }
    return path;
}

void BM_AccessRead_Large(benchmark::State &state)
{
    const QString fixture = largeFixture();
    qint64 rows = 0;
    for (auto _ : state) {
        tv::JetReader reader(fixture);
        rows = 0;
        for (const QString &table : reader.tables())
            reader.readTable(
                table, [](const tv::JetReader::TableInfo &) {},
                [&](const QVariantList &values) {
                    benchmark::DoNotOptimize(values.constData());
                    ++rows;
                    return true;
                });
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_AccessImport_Large(benchmark::State &state)
{
    const QString fixture = largeFixture();
    QTemporaryDir program;
    QTemporaryDir data;
    const auto paths = tv::DatabaseUpgrade::paths(program.path(), data.path());
    const QString shipped = paths.shipped + QStringLiteral(".modele");
    tv::Database::create(shipped);
    for (auto _ : state) {
        state.PauseTiming();
        for (const QString &file : {paths.oldDatabase, paths.shipped, paths.backup})
            QFile::remove(file);
        QFile::copy(fixture, paths.oldDatabase);
        QFile::copy(shipped, paths.shipped);
        state.ResumeTiming();

        tv::DatabaseUpgrade upgrade(paths);
        upgrade.copyRows();
        upgrade.swapFiles();
    }
}

} // namespace

BENCHMARK(BM_AccessRead_Large)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_AccessImport_Large)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
