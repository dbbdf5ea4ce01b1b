#pragma once

// What the window benchmark's operations share: the environment the driver
// prepares, the window's start, the keys the operations rotate and the
// timing of the part measured.
#include "LargePractice.h"
#include "NetProxy.h"

#include "app/ui/FrmLabo.h"

#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>

namespace tv {
class ListBox;
} // namespace tv

namespace tvbench::windowbench {

using Clock = std::chrono::steady_clock;

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

extern Environment *env;

tv::MainView &view();

void prepareProgramFolder(const QString &program, const QString &data);
std::unique_ptr<tv::FrmLabo> startWindow();

// ---- keys, rotating so no single row stays hot

extern int g_turn;
void nextTurn();
int doctorRow();
int laboRow();
// Moves the selection to a row other than the wanted one without running
// the handlers, so the measured setCurrentRow really changes the row.
void prepareSelection(tv::ListBox *list, int wanted);
void ensureDoctorAndLabo();

// ---- the operations; each returns a number that depends on the result

using Operation = std::function<double()>; // returns the measured milliseconds

// The round trips of the last part timed: what an operation does untimed
// to keep the table's size is not counted either.
extern long long g_timedTrips;

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

// Reads (bench_window_reads.cpp).
double startUp();
double doctorSelection();
double laboratorySelection();
double remplirAgenda();
double listeRvMedecin();
double listeRvLaboMedecin();
double quotaCheck();
double historyAll();
double historyDelegate();
double historyLaboratory();
double historyMedicine();
double quotaChart();

// Writes (bench_window_writes.cpp).
double booking();
double purgeYear();

// The other workstations (bench_window_live.cpp).
double liveRefresh();
double liveCheck();
double liveDelay();

} // namespace tvbench::windowbench
