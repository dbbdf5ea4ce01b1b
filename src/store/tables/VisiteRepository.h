#pragma once

#include "store/engine/Query.h"
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

    // Reads come with the next round trip (Later): asked for together, used
    // after. Latest first (year, month, day descending).
    Later<QList<VisiteRecord>> forLaboMedecin(const QString &labo, const QString &medecin) const;
    Later<int> countForLaboYear(const QString &labo, const QString &an, const QString &medecin) const;
    Later<QList<VisiteRecord>> forMedecin(const QString &medecin) const;                        // table order
    Later<QList<VisiteRecord>> forMedecinYear(const QString &medecin, const QString &an) const; // table order
    // The doctor's appointments before `today` ("yyyy-mm-dd"), the history
    // list: how many, and whole days of them within a range, newest day
    // first or oldest first, at least `limit` rows unless the range ends.
    Later<int> countPast(const QString &medecin, const QString &today) const;
    Later<DayPage<VisiteRecord>> pastDays(const QString &medecin, const QString &today, const DayRange &range,
                                          bool newestFirst, int limit) const;
    // "yyyy-mm-dd" of an appointment, the day of the dated lists.
    static QString dayOf(const VisiteRecord &visite);
    // The laboratory's appointments with every doctor from that day on,
    // earliest first.
    Later<QList<VisiteRecord>> comingForLabo(const QString &labo, const QString &an, const QString &mois,
                                             const QString &jour) const;
    Later<QList<VisiteRecord>> forMonth(const QString &medecin, const QString &an, const QString &mois) const;
    Later<QList<VisiteRecord>> forDay(const QString &medecin, const QString &jour, const QString &mois,
                                      const QString &an) const;

    // One visit per laboratory per day with a doctor: the test below and
    // the insert's own are one text. This one only spares the user a
    // question; the insert decides.
    Later<bool> hasVisitOn(const VisiteRecord &visite) const;
    enum class InsertResult { Inserted, Duplicate };
    // The same laboratory, doctor and day is refused; the check and the
    // insert are one statement under a lock, so two workstations cannot
    // both pass it.
    // `thenRead` asks for what the action reads next, sent with the commit.
    InsertResult insertUnlessDuplicate(const VisiteRecord &visite, const std::function<void()> &thenRead = {});
    // That statement alone, for a transaction guarding Visite that makes
    // other checks first; it inserted when numRowsAffected() is 1 after
    // the commit.
    Query insertUnlessBooked(const VisiteRecord &visite);
    void insert(const VisiteRecord &visite);

    void removeForLabo(const QString &labo);
    void removeForMedecin(const QString &medecin);
    void removeYear(const QString &an);
    Later<int> countYear(const QString &an) const;
    void renameLabo(const QString &from, const QString &to);
    // Deletes the first matching row only (old data may hold the same
    // appointment twice); 0 when none matched. Sent again when the server's
    // answer was lost: the duplicate rule keeps a second copy from being
    // booked since.
    int removeFirstAppointment(const QString &jour, const QString &mois, const QString &an, const QString &labo,
                               const QString &medecin);

private:
    Database &m_db;
};

} // namespace tv
