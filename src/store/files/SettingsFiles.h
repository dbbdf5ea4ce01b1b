#pragma once

#include "store/engine/Database.h"
#include "store/engine/ServerAddress.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace tv {

// Names of the files the program keeps besides the database.
namespace files {
inline const QString CheminBaseCfg = QStringLiteral("CheminBase.cfg");
inline const QString VsIni = QStringLiteral("Vs.ini");
inline const QString MedecinIni = QStringLiteral("Medecin.ini");
inline const QString TmpLaboIni = QStringLiteral("TmpLabo.ini");
inline const QString Database = QStringLiteral("Ferrune.mdb");
inline const QString ShippedDatabase = QStringLiteral("Copie de Ferrune.mdb");
inline const QString OldDatabase = QStringLiteral("Ancien_Ferrune.mdb");
inline const QString Medoc = QStringLiteral("Medoc.txt");
inline const QString MedocTmp = QStringLiteral("Medoc_tmp.txt");
inline const QString ServerCfg = QStringLiteral("Serveur.cfg");

QString join(const QString &folder, const QString &name);
// A path as the user's messages show it.
QString native(const QString &path);

// Where CheminBase.cfg, Vs.ini and the first database live: the program
// folder of a copied program, the user's ~/.config/Tallvane (created) for an
// installed one (shipped database in ../../share/tallvane, or a program
// folder that cannot be written to).
QString settingsFolder(const QString &programFolder);
// The shipped empty database: in the program folder, or for an installed
// program in ../../share/tallvane beside it.
QString shippedDatabase(const QString &programFolder);
// Puts the shipped database in place as the first database: renamed out
// of a program folder of its own, copied out of an installed one (which
// stays as it is). Throws StoreError.
void placeShippedDatabase(const QString &shipped, const QString &database, bool keepShipped);
} // namespace files

// CheminBase.cfg (program folder): the data folder on one line.
namespace cheminbase {
// nullopt when the file does not exist; throws StoreError when it exists but
// holds no usable folder.
std::optional<QString> read(const QString &programFolder);
// Throws StoreError for a folder that cannot be stored (a double quote).
void write(const QString &programFolder, const QString &dataFolder);
} // namespace cheminbase

// Serveur.cfg (data folder): when present, the practice's database is on
// the PostgreSQL server it names (one libpq connection string) instead of
// Ferrune.mdb. Written last and atomically when a practice moves there.
namespace serveurcfg {
// nullopt when the file does not exist; throws StoreError when it holds no
// usable connection string.
std::optional<ServerAddress> read(const QString &dataFolder);
void write(const QString &dataFolder, const ServerAddress &address);
// Where the database of the folder holding that Ferrune.mdb is: the file,
// or the server Serveur.cfg names beside it. Throws StoreError.
Location locate(const QString &databasePath);
} // namespace serveurcfg

// Vs.ini (program folder): the four settings of this workstation.
struct WorkstationSettings {
    std::uint8_t dernierMedecin = 100;
    std::uint8_t avecHeure = 0;
    std::uint8_t avecProduits = 0;
    std::uint8_t etatChkL = 0;

    friend bool operator==(const WorkstationSettings &, const WorkstationSettings &) = default;
};

namespace vsini {
QString line(const WorkstationSettings &settings); // "100,0,0,0"
// Reads into `settings` the values that can be read, in order, and stops
// at the first that cannot: the rest keep what they held. False when the
// file does not exist.
bool read(const QString &programFolder, WorkstationSettings &settings);
void write(const QString &programFolder, const WorkstationSettings &settings);
} // namespace vsini

// Medecin.ini (data folder): the doctors, one per line, as typed.
namespace doctorsfile {
std::optional<QStringList> read(const QString &dataFolder);
QStringList listEntries(const QStringList &lines); // "  " + upper case
void append(const QString &dataFolder, const QString &name);
// Removes every line naming the doctor, whatever its letter case, through
// TmpLabo.ini and a rename.
void remove(const QString &dataFolder, const QString &doctor);
} // namespace doctorsfile

} // namespace tv
