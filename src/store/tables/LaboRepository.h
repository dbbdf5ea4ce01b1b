#pragma once

#include "store/engine/Query.h"
#include "store/tables/Records.h"

#include <QList>
#include <optional>

namespace tv {
class Database;

// The Labo table: one row per laboratory.
class LaboRepository {
public:
    explicit LaboRepository(Database &db)
        : m_db(db)
    {
    }

    // Reads come with the next round trip (Later): asked for together, used
    // after.
    Later<QList<LaboEntry>> all() const; // table order
    Later<std::optional<LaboRecord>> findByLabo(const QString &labo) const;
    Later<std::optional<LaboRecord>> findByNumber(qint64 numLabo) const;
    Later<std::optional<LaboEntry>> findByNom(const QString &nom) const; // first in table order
    Later<bool> exists(const QString &labo) const;
    // Inserts Labo = upper(trim(name)) and Nom = "Nom_Labo_" + its counter,
    // unless that laboratory is there; what it gives comes with the commit
    // of the caller's transaction.
    Later<LaboEntry> insertNew(const QString &name);
    // Writes the panel's columns of the row numbered record.numLabo.
    void update(const LaboRecord &record);
    int removeLabo(const QString &labo);
    int renameLabo(const QString &from, const QString &to);
    // Writes, in the row numbered after.numLabo, only the panel's columns
    // whose value differs between the two records, so that a column another
    // workstation changed meanwhile is not overwritten with an old value.
    // Returns the number of rows written: 0 when nothing differs or the row
    // is gone.
    int updateChanged(const LaboRecord &before, const LaboRecord &after);

private:
    Database &m_db;
};

} // namespace tv
