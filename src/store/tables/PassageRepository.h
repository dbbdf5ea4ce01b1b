#pragma once

#include <QHash>
#include <QStringList>
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
    std::optional<QString> quota(const QString &labo, const QString &medecin) const;
    // Sets the quota of the pair's rows; adds the row when the pair has none.
    // Every quota text of the doctor by laboratory, unset ones as "".
    QHash<QString, QString> quotasForMedecin(const QString &medecin) const;
    // Every quota text of the laboratory by doctor, unset ones as "".
    QHash<QString, QString> quotasForLabo(const QString &labo) const;
    void setQuota(const QString &labo, const QString &medecin, int value);
    void insertRow(const QString &labo, const QString &medecin);
    int removeForLabo(const QString &labo);
    int removeForMedecin(const QString &medecin);
    int renameLabo(const QString &from, const QString &to);

private:
    Database &m_db;
};

} // namespace tv
