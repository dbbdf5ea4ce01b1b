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
#include "LargePractice.h"
#include "NetProxy.h"

#include "agenda/core/BookingSequence.h"
#include "backups/core/Backups.h"
#include "server/core/ServerTransfer.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Rows = QList<QStringList>;

struct Environment {
    QTemporaryDir scratch;
    tvbench::Practice practice;
    QString dbPath;
    QString naivePath;
    std::unique_ptr<tv::Store> store;
    std::unique_ptr<tv::Database> naive;
    std::unique_ptr<tvbench::NetProxy> proxy;
    long long generationMs = -1;
};

Environment *env = nullptr;

// ---- the naive side: a copy of the data without indexes, queried the old way

std::unique_ptr<tv::Database> openNaive(const QString &path)
{
    return tv::Database::openFile(path);
}

// The old platform's "?" marks, bound in order.
tv::Query naiveExec(tv::Database &db, QString sql, const QVariantList &values = {})
{
    for (int i = 0; i < values.size(); ++i)
        sql.replace(sql.indexOf(u'?'), 1, QStringLiteral(":v%1").arg(i));
    tv::Query q(db, sql);
    for (int i = 0; i < values.size(); ++i)
        q.bind(QStringLiteral(":v%1").arg(i), values.at(i));
    q.exec();
    return q;
}

// Every column of every row, as the old platform's recordsets gave them.
Rows naiveRows(tv::Database &db, const QString &sql, const QVariantList &values = {})
{
    tv::Query q = naiveExec(db, sql, values);
    Rows rows;
    const int columns = q.columnCount();
    while (q.next()) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(q.text(c));
        rows.append(row);
    }
    return rows;
}

void makeNaiveCopy(const QString &from, const QString &to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw tv::StoreError(QStringLiteral("Impossible de copier ") + from);
    auto db = openNaive(to);
    QStringList names;
    {
        tv::Query list =
            naiveExec(*db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"));
        while (list.next())
            names.append(list.text(0));
    }
    for (const QString &name : names)
        naiveExec(*db, QStringLiteral("DROP INDEX %1").arg(name));
}

// ---- keys the operations work on, rotating so no single row stays hot

int g_turn = 0;
QString doctor()
{
    return env->practice.doctors.at(g_turn % env->practice.doctors.size());
}
QString labo()
{
    return env->practice.labos.at((g_turn * 37) % env->practice.labos.size());
}
QString delegue()
{
    return env->practice.delegues.at((g_turn * 37) % env->practice.delegues.size());
}
QString medicine()
{
    return env->practice.medicines.at((g_turn * 11) % env->practice.medicines.size());
}
QString month()
{
    return QStringLiteral("%1").arg(g_turn % 12 + 1, 2, 10, QLatin1Char('0'));
}
const QString kYear = QStringLiteral("2024");
void nextTurn()
{
    ++g_turn;
}

QString doctorFile(const QString &kind)
{
    return tv::files::join(env->practice.folder, kind + QStringLiteral("  ") + doctor() + QStringLiteral(".txt"));
}

// The per-doctor files the grid fill reads; the same on both sides.
int readAgendaFiles()
{
    const QStringList maxima = tv::textfile::readLines(doctorFile(QStringLiteral("Passages"))).value_or(QStringList{});
    const QString absences =
        tv::textfile::readLines(doctorFile(QStringLiteral("Absences"))).value_or(QStringList{}).join(QString());
    return static_cast<int>(maxima.size() + absences.size());
}

// ---- the operations

int fastGrid()
{
    std::array<int, 32> perDay{};
    for (const tv::VisiteRecord &v : env->store->visites().forMonth(doctor(), kYear, month()).get())
        ++perDay[std::clamp(v.jour.toInt(), 0, 31)];
    benchmark::DoNotOptimize(perDay);
    return readAgendaFiles() + perDay[1];
}

int naiveGrid()
{
    const int days = QDate(kYear.toInt(), month().toInt(), 1).daysInMonth();
    int total = 0;
    for (int day = 1; day <= days; ++day)
        total += static_cast<int>(
            naiveRows(*env->naive,
                      QStringLiteral("select * from Visite where Medecin = ? and Jour = ? and Mois = ? and An = ?"),
                      {doctor(), QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0')), month(), kYear})
                .size());
    return readAgendaFiles() + total;
}

// What the window reads when it fills the doctor's lists: the day's
// appointments and the first page of the past ones (the rest comes as the
// list is scrolled). The pinned "today" of the window benchmark.
int fastDoctorList()
{
    tv::VisiteRepository &visites = env->store->visites();
    const QString today = QStringLiteral("2025-03-05");
    auto day = visites.forDay(doctor(), QStringLiteral("05"), QStringLiteral("03"), QStringLiteral("2025"));
    auto past = visites.pastDays(doctor(), today, {}, true, 100);
    auto count = visites.countPast(doctor(), today);
    return static_cast<int>(day.get().size() + past.get().rows.size()) + count.get();
}
int naiveDoctorList()
{
    return static_cast<int>(
        naiveRows(*env->naive, QStringLiteral("select * from Visite where Medecin = ?"), {doctor()}).size());
}

int fastLaboList()
{
    return static_cast<int>(env->store->visites().forLaboMedecin(labo(), doctor()).get().size());
}
int naiveLaboList()
{
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Visite where Labo = ? and Medecin = ?"),
                                      {labo(), doctor()})
                                .size());
}

int fastQuota()
{
    auto quota = env->store->passages().quota(labo(), doctor());
    auto count = env->store->visites().countForLaboYear(labo(), kYear, doctor());
    return count.get() + (quota.get() ? 1 : 0);
}
int naiveQuota()
{
    const Rows quota = naiveRows(*env->naive, QStringLiteral("select * from Passage where Labo = ? and Medecin = ?"),
                                 {labo(), doctor()});
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Visite where Labo = ? and An = ? and Medecin = ?"),
                                      {labo(), kYear, doctor()})
                                .size()
                            + quota.size());
}

// A selection asks for all it reads first: one round trip on a server.
int fastDoctorSelection()
{
    const tv::ReadAhead ahead(env->store->db(), [] {
        tv::VisiteRepository &visites = env->store->visites();
        visites.forDay(doctor(), QStringLiteral("05"), QStringLiteral("03"), QStringLiteral("2025"));
        visites.pastDays(doctor(), QStringLiteral("2025-03-05"), {}, true, 100);
        visites.countPast(doctor(), QStringLiteral("2025-03-05"));
        visites.forMonth(doctor(), kYear, month());
        env->store->passages().quota(labo(), doctor());
        visites.countForLaboYear(labo(), kYear, doctor());
    });
    return fastDoctorList() + fastGrid() + fastQuota();
}
int naiveDoctorSelection()
{
    return naiveDoctorList() + naiveGrid() + naiveQuota();
}

int fastLaboSelection()
{
    auto record = env->store->labos().findByLabo(labo());
    auto quota = env->store->passages().quota(labo(), doctor());
    auto count = env->store->visites().countForLaboYear(labo(), kYear, doctor());
    auto list = env->store->visites().forLaboMedecin(labo(), doctor());
    return (record.get() ? 1 : 0) + count.get() + (quota.get() ? 1 : 0) + static_cast<int>(list.get().size());
}
int naiveLaboSelection()
{
    const Rows record = naiveRows(*env->naive, QStringLiteral("select * from Labo where Labo = ?"), {labo()});
    return static_cast<int>(record.size()) + naiveQuota() + naiveLaboList();
}

// A booking in the year after the data, then its deletion, so the table
// keeps its size.
tv::VisiteRecord bookingRecord()
{
    return {0, doctor(), labo(), QStringLiteral("15"), month(), QStringLiteral("2026"), QStringLiteral("10:30")};
}

int fastBooking()
{
    const tv::VisiteRecord v = bookingRecord();
    const QDate day(v.an.toInt(), v.mois.toInt(), v.jour.toInt());
    const bool booked =
        tv::booking::book(*env->store, {}, {v.medecin, v.labo, day, v.heure}, tv::booking::Policy::Desk).done;
    const int removed = env->store->visites().removeFirstAppointment(v.jour, v.mois, v.an, v.labo, v.medecin);
    return (booked ? 1 : 0) + removed;
}

int naiveBooking()
{
    const tv::VisiteRecord v = bookingRecord();
    // The pair's appointments are loaded and searched for the same day.
    const Rows pair = naiveRows(*env->naive, QStringLiteral("select * from Visite where Labo = ? and Medecin = ?"),
                                {v.labo, v.medecin});
    const bool duplicate = std::any_of(pair.begin(), pair.end(), [&](const QStringList &row) {
        return row.at(3) == v.jour && row.at(4) == v.mois && row.at(5) == v.an;
    });
    if (!duplicate)
        naiveExec(*env->naive,
                  QStringLiteral("insert into Visite (Medecin, Labo, Jour, Mois, An, Heure) values (?, ?, ?, ?, ?, ?)"),
                  {v.medecin, v.labo, v.jour, v.mois, v.an, v.heure});
    const Rows found = naiveRows(
        *env->naive,
        QStringLiteral("select * from Visite where Jour = ? and Mois = ? and An = ? and Labo = ? and Medecin = ?"),
        {v.jour, v.mois, v.an, v.labo, v.medecin});
    for (const QStringList &row : found)
        naiveExec(*env->naive, QStringLiteral("delete from Visite where NumVisite = ?"), {row.at(0).toLongLong()});
    return static_cast<int>(found.size());
}

// The first page the history list reads and its length (the rest comes as
// it is scrolled).
int historyPage(tv::ProduitRepository::Filter filter, const QString &value)
{
    tv::ProduitRepository &produits = env->store->produits();
    auto page = produits.historyDays(filter, value, doctor(), {}, true, 100);
    auto count = produits.historyCount(filter, value, doctor());
    return static_cast<int>(page.get().rows.size()) + count.get();
}

int fastHistoryDoctor()
{
    return historyPage(tv::ProduitRepository::Filter::None, QString());
}
int naiveHistoryDoctor()
{
    return static_cast<int>(
        naiveRows(*env->naive, QStringLiteral("select * from Produit where Medecin = ?"), {doctor()}).size());
}
int fastHistoryDelegue()
{
    return historyPage(tv::ProduitRepository::Filter::Delegue, delegue());
}
int naiveHistoryDelegue()
{
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Produit where Delegue = ? and Medecin = ?"),
                                      {delegue(), doctor()})
                                .size());
}
int fastHistoryLabo()
{
    return historyPage(tv::ProduitRepository::Filter::Labo, labo());
}
int naiveHistoryLabo()
{
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Produit where Labo = ? and Medecin = ?"),
                                      {labo(), doctor()})
                                .size());
}
int fastHistoryMedicine()
{
    return historyPage(tv::ProduitRepository::Filter::Medicament, medicine());
}
int naiveHistoryMedicine()
{
    // The whole table comes back and the "contains, any case" test runs on
    // every row.
    const QString needle = tv::foldText(medicine());
    const QString key = tv::foldText(doctor());
    int found = 0;
    for (const QStringList &row : naiveRows(*env->naive, QStringLiteral("select * from Produit")))
        if (tv::foldText(row.at(1)) == key && tv::foldText(row.at(5)).contains(needle))
            ++found;
    return found;
}

// The purge is rolled back, so every iteration deletes the same year.
int fastPurge()
{
    tv::Transaction transaction(env->store->db());
    env->store->visites().removeYear(QStringLiteral("2019"));
    // Sent, not only waiting for a commit that never comes.
    env->store->db().flush();
    return 1;
}
int naivePurge()
{
    naiveExec(*env->naive, QStringLiteral("BEGIN"));
    // Every record of the year's source is deleted in turn.
    const Rows rows =
        naiveRows(*env->naive, QStringLiteral("select * from Visite where An = ?"), {QStringLiteral("2019")});
    for (const QStringList &row : rows)
        naiveExec(*env->naive, QStringLiteral("delete from Visite where NumVisite = ?"), {row.at(0).toLongLong()});
    naiveExec(*env->naive, QStringLiteral("ROLLBACK"));
    return static_cast<int>(rows.size());
}

// The copy taken before each destructive command (online backup, whole
// even while another workstation writes) beside a plain file copy, which
// is not. The copy is removed at once so the folder does not fill up.
int fastBackup()
{
    QFile::remove(tv::backups::take(QFileInfo(env->dbPath).absolutePath()));
    return 1;
}
int naiveBackup()
{
    const QString copy = env->scratch.filePath(QStringLiteral("copie.mdb"));
    const bool copied = QFile::copy(env->dbPath, copy);
    QFile::remove(copy);
    return copied ? 1 : 0;
}

int loadTextLists()
{
    const QStringList doctors =
        tv::doctorsfile::listEntries(tv::doctorsfile::read(env->practice.folder).value_or(QStringList{}));
    const QStringList medicines =
        tv::textfile::readLines(tv::files::join(env->practice.folder, tv::files::Medoc)).value_or(QStringList{});
    return static_cast<int>(doctors.size() + medicines.size());
}

int fastStartUp()
{
    auto store = tv::Store::open(env->dbPath);
    QStringList entries;
    for (const tv::LaboEntry &e : store->labos().all().get())
        entries.append(QStringLiteral("  ") + e.labo);
    return static_cast<int>(entries.size()) + loadTextLists();
}

int naiveStartUp()
{
    int count = 0;
    {
        auto db = openNaive(env->naivePath);
        QStringList entries;
        for (const QStringList &row : naiveRows(*db, QStringLiteral("select * from Labo")))
            entries.append(QStringLiteral("  ") + row.at(1));
        count = static_cast<int>(entries.size());
    }
    return count + loadTextLists();
}

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
