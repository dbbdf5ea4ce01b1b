#pragma once

#include <QStringList>

namespace tv {
class Database;

// The four tables, their columns in order, and the indexes the program's
// queries rely on. The one source of the layout: the shipped database is
// made from it at build time.
namespace schema {
QStringList tableNames();                  // Labo, Passage, Visite, Produit (upgrade order)
QStringList addedTableNames();             // Lien
QStringList columns(const QString &table); // column 0 first (added tables too)
void create(Database &db);                 // in a transaction of its own
void createTables(Database &db);           // inside the caller's transaction
void ensureIndexes(Database &db);
// What tells the other workstations of each change (the engine's own way,
// nothing on a file): made inside the caller's transaction, or added to a
// database made by an older release when it is missing.
void addChangeNotices(Database &db);
void ensureChangeNotices(Database &db);
// The tables added beside the four (the online links), created when
// missing; the four are not touched. upgrade() tests first and never throws.
void addTables(Database &db);
void upgrade(Database &db);
} // namespace schema

} // namespace tv
