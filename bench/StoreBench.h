#pragma once

// What the store benchmark's operations share: the environment the driver
// prepares, the naive side's queries and the keys the operations rotate.
#include "LargePractice.h"
#include "NetProxy.h"

#include "store/engine/Database.h"
#include "store/tables/Store.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include <memory>

namespace tvbench::storebench {

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

extern Environment *env;

// ---- the naive side: a copy of the data without indexes, queried the old way

std::unique_ptr<tv::Database> openNaive(const QString &path);
tv::Query naiveExec(tv::Database &db, QString sql, const QVariantList &values = {});
Rows naiveRows(tv::Database &db, const QString &sql, const QVariantList &values = {});
void makeNaiveCopy(const QString &from, const QString &to);

// ---- keys the operations work on, rotating so no single row stays hot

extern int g_turn;
QString doctor();
QString labo();
QString delegue();
QString medicine();
QString month();
extern const QString kYear;
void nextTurn();

// ---- the operations, each the indexed way and the naive one

// Reads (bench_store_reads.cpp).
int fastGrid();
int naiveGrid();
int fastDoctorList();
int naiveDoctorList();
int fastLaboList();
int naiveLaboList();
int fastQuota();
int naiveQuota();
int fastDoctorSelection();
int naiveDoctorSelection();
int fastLaboSelection();
int naiveLaboSelection();
int fastHistoryDoctor();
int naiveHistoryDoctor();
int fastHistoryDelegue();
int naiveHistoryDelegue();
int fastHistoryLabo();
int naiveHistoryLabo();
int fastHistoryMedicine();
int naiveHistoryMedicine();
int fastStartUp();
int naiveStartUp();

// Writes (bench_store_writes.cpp).
int fastBooking();
int naiveBooking();
int fastPurge();
int naivePurge();
int fastBackup();
int naiveBackup();

} // namespace tvbench::storebench
