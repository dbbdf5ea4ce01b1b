#pragma once

#include <QString>
#include <optional>

namespace tv {
class Database;

// One laboratory's link to the online booking page. The token itself is
// never stored: only the seed it is derived from (useless without the
// practice's key, kept outside the database) and its SHA-256 digest, by
// which a request finds its laboratory.
struct LienRecord {
    QString labo;
    QString seed;    // 32 hex digits
    QString digest;  // 64 hex digits
    QString created; // ISO date and time
};

// The Lien table, one row per laboratory that has a link.
class LienRepository {
public:
    explicit LienRepository(Database &db)
        : m_db(db)
    {
    }

    std::optional<LienRecord> forLabo(const QString &labo) const;
    std::optional<LienRecord> forDigest(const QString &digest) const;
    // Replaces the laboratory's link, if any, in one transaction.
    void put(const LienRecord &record);
    int remove(const QString &labo);
    int renameLabo(const QString &from, const QString &to);

private:
    Database &m_db;
};

} // namespace tv
