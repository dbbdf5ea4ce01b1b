#pragma once

#include "store/engine/Query.h"

#include <QStringList>
#include <vector>

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
// Adds them when `inPlace`, the answer to the dialect's question, says no.
void completeChangeNotices(Database &db, bool inPlace);
// The tables added beside the four (the online links); the four are not
// touched.
void addTables(Database &db);

// What a database is checked for when opened: the tables' presence and the
// change notices. On a server they are asked for with its first round
// trip rather than in one of their own; on a file they run at once.
class OpeningChecks {
public:
    explicit OpeningChecks(Database &db);
    // False while the round trip that carried them has not answered them.
    bool answered() const;
    // The first of the four tables that is missing, "" when none is; the
    // added tables and the change notices are made when missing. Only once
    // answered.
    QString settle();

private:
    Database &m_db;
    std::vector<Query> m_tables; // the four, then the added ones
    std::vector<Query> m_notices;
};
} // namespace schema

} // namespace tv
