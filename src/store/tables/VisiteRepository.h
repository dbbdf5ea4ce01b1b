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
    // The doctor's appointments before `today` ("yyyy-mm-dd"), the history
    // list: how many, and whole days of them within a range, newest day
    // first or oldest first, at least `limit` rows unless the range ends.
    int countPast(const QString &medecin, const QString &today) const;
    DayPage<VisiteRecord> pastDays(const QString &medecin, const QString &today, const DayRange &range,
                                   bool newestFirst, int limit) const;
    // "yyyy-mm-dd" of an appointment, the day of the dated lists.
    static QString dayOf(const VisiteRecord &visite);
    QList<VisiteRecord> forMonth(const QString &medecin, const QString &an, const QString &mois) const;
    QList<VisiteRecord> forDay(const QString &medecin, const QString &jour, const QString &mois,
                               const QString &an) const;

    enum class InsertResult { Inserted, Duplicate };
    // The same laboratory, doctor and day is refused; the check and the
    // insert are one transaction, so two workstations cannot both pass it.
    InsertResult insertUnlessDuplicate(const VisiteRecord &visite);
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
