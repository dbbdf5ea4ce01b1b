#pragma once

#include <QString>
#include <QStringList>

namespace tvbench {

// The size of a large practice: the data a busy group practice gathers in
// ten years.
struct PracticeSize {
    int doctors = 20;
    int laboratories = 2000;
    int appointments = 250000;
    int products = 100000;
    int medicines = 3000;
    int firstYear = 2016;
    int years = 10;
};

// What the generated folder holds, for the benchmarks to pick their keys.
struct Practice {
    QString folder;
    QStringList doctorLines; // Medecin.ini lines, as typed
    QStringList doctors;     // the Visite/Passage key: trimmed upper-case list entry
    QStringList labos;       // Labo keys, table order
    QStringList delegues;    // Nom of each laboratory, table order
    QStringList medicines;   // Medoc.txt lines
};

// Writes a data folder in the program's own formats: Ferrune.mdb,
// Medecin.ini, Medoc.txt and each doctor's Passages and Absences files.
// Deterministic: the same size gives the same bytes. Throws tv::StoreError.
Practice generateLargePractice(const QString &folder, const PracticeSize &size = {});

// The description of a folder already generated with the same size.
Practice describeLargePractice(const QString &folder, const PracticeSize &size = {});

// The high-water mark of this process's memory in KiB. VmHWM starts afresh
// at exec, where getrusage's ru_maxrss may keep the parent's peak.
long peakRssKb();

} // namespace tvbench
