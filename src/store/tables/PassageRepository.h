#pragma once

#include "store/engine/Query.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace tv {
class Database;

// The Passage table: the annual number of visits allowed to a laboratory
// with a doctor, one row per pair.
class PassageRepository {
public:
    explicit PassageRepository(Database &db)
        : m_db(db)
    {
    }

    // nullopt when the pair has no row; "" when its quota was never set.
    Later<std::optional<QString>> quota(const QString &labo, const QString &medecin) const;
    // Every quota text of the doctor by laboratory, unset ones as "".
    Later<QHash<QString, QString>> quotasForMedecin(const QString &medecin) const;
    // Every quota text of the laboratory by doctor, unset ones as "".
    Later<QHash<QString, QString>> quotasForLabo(const QString &labo) const;
    // Sets the quota of the pair's rows; adds the row when the pair has none.
    void setQuota(const QString &labo, const QString &medecin, int value);
    // The pair's row, quota unset, unless it has one.
    void insertRow(const QString &labo, const QString &medecin, const QVariant &value = {});
    void removeForLabo(const QString &labo);
    void removeForMedecin(const QString &medecin);
    void renameLabo(const QString &from, const QString &to);

private:
    Database &m_db;
};

} // namespace tv
