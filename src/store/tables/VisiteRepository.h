#pragma once

#include "store/tables/Records.h"

#include <QList>

namespace tv {
class Database;

// The Visite table: one row per appointment. Day, month and year are the
// two-, two- and four-digit texts the agenda uses.
class VisiteRepository {
public:
    explicit VisiteRepository(Database &db)
        : m_db(db)
    {
    }

    // Latest first (year, month, day descending).
    QList<VisiteRecord> forLaboMedecin(const QString &labo, const QString &medecin) const;
    int countForLaboYear(const QString &labo, const QString &an, const QString &medecin) const;
    QList<VisiteRecord> forMedecin(const QString &medecin) const; // table order
    // One page of the doctor's appointments before a day (yyyy, mm, dd
    // texts): newest day first, then the laboratory in reverse order of
    // name, any case, then the newest row. The order of the history list,
    // read from the index a page at a time.
    QList<VisiteRecord> pastForMedecin(const QString &medecin, const QString &an, const QString &mois,
                                       const QString &jour, int offset, int limit) const;
    // The laboratory's appointments with every doctor from that day on,
    // earliest first.
    QList<VisiteRecord> comingForLabo(const QString &labo, const QString &an, const QString &mois,
                                      const QString &jour) const;
    QList<VisiteRecord> forMonth(const QString &medecin, const QString &an, const QString &mois) const;
    QList<VisiteRecord> forDay(const QString &medecin, const QString &jour, const QString &mois,
                               const QString &an) const;

    // The laboratory already has an appointment with the doctor that day
    // (names compared as key columns are: case aside). Made under the
    // Visite lock, in the writer's transaction, it holds until the insert.
    bool hasVisitOn(const VisiteRecord &visite) const;
    void insert(const VisiteRecord &visite);

    int removeForLabo(const QString &labo);
    int removeForMedecin(const QString &medecin);
    int removeYear(const QString &an);
    int countYear(const QString &an) const;
    int renameLabo(const QString &from, const QString &to);
    // Deletes the first matching row only (old data may hold the same
    // appointment twice); 0 when none matched.
    int removeFirstAppointment(const QString &jour, const QString &mois, const QString &an, const QString &labo,
                               const QString &medecin);

private:
    Database &m_db;
};

} // namespace tv
