#pragma once

#include "store/engine/Query.h"
#include "store/tables/Records.h"

#include <QList>
#include <optional>

namespace tv {
class Database;

// The Produit table: the products presented at one visit, one row per
// laboratory, doctor and date (yyyy-MM-dd).
class ProduitRepository {
public:
    explicit ProduitRepository(Database &db)
        : m_db(db)
    {
    }

    // Reads come with the next round trip (Later): asked for together, used
    // after.
    Later<std::optional<ProduitRecord>> find(const QString &labo, const QString &medecin, const QString &date) const;
    // The visit's record unless it has one (doctor, laboratory, date): its
    // number either way.
    qint64 insert(const ProduitRecord &record);
    void update(const ProduitRecord &record); // by numProduit
    void remove(qint64 numProduit);

    // History lists, newest date first.
    Later<QList<ProduitRecord>> forMedecin(const QString &medecin) const;
    Later<QList<ProduitRecord>> forDelegue(const QString &delegue, const QString &medecin) const;
    // Products text containing `text`, any case, accented letters included.
    Later<QList<ProduitRecord>> containing(const QString &text, const QString &medecin) const;

    // A history list, whole or filtered: how many rows, and whole days of
    // them within a range, newest day first or oldest first, at least
    // `limit` rows unless the range ends there.
    enum class Filter { None, Delegue, Labo, Medicament };
    Later<int> historyCount(Filter filter, const QString &value, const QString &medecin) const;
    Later<DayPage<ProduitRecord>> historyDays(Filter filter, const QString &value, const QString &medecin,
                                              const DayRange &range, bool newestFirst, int limit) const;

private:
    Later<QList<ProduitRecord>> select(const QString &where, const QList<std::pair<QString, QString>> &values) const;

    Database &m_db;
};

} // namespace tv
