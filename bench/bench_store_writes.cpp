// The store benchmark's writes: a booking, the purge of a year and the
// backup taken before a destructive command.
#include "StoreBench.h"

#include "agenda/core/BookingSequence.h"
#include "backups/core/Backups.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace tvbench::storebench {

namespace {

// A booking in the year after the data, then its deletion, so the table
// keeps its size.
tv::VisiteRecord bookingRecord()
{
    return {0, doctor(), labo(), QStringLiteral("15"), month(), QStringLiteral("2026"), QStringLiteral("10:30")};
}

} // namespace

int fastBooking()
{
    const tv::VisiteRecord v = bookingRecord();
    const QDate day(v.an.toInt(), v.mois.toInt(), v.jour.toInt());
    const bool booked =
        tv::booking::book(*env->store, {}, {v.medecin, v.labo, day, v.heure}, tv::booking::Policy::Desk).done;
    const int removed = env->store->visites().removeFirstAppointment(v.jour, v.mois, v.an, v.labo, v.medecin);
    return (booked ? 1 : 0) + removed;
}

int naiveBooking()
{
    const tv::VisiteRecord v = bookingRecord();
    // The pair's appointments are loaded and searched for the same day.
    const Rows pair = naiveRows(*env->naive, QStringLiteral("select * from Visite where Labo = ? and Medecin = ?"),
                                {v.labo, v.medecin});
    const bool duplicate = std::any_of(pair.begin(), pair.end(), [&](const QStringList &row) {
        return row.at(3) == v.jour && row.at(4) == v.mois && row.at(5) == v.an;
    });
    if (!duplicate)
        naiveExec(*env->naive,
                  QStringLiteral("insert into Visite (Medecin, Labo, Jour, Mois, An, Heure) values (?, ?, ?, ?, ?, ?)"),
                  {v.medecin, v.labo, v.jour, v.mois, v.an, v.heure});
    const Rows found = naiveRows(
        *env->naive,
        QStringLiteral("select * from Visite where Jour = ? and Mois = ? and An = ? and Labo = ? and Medecin = ?"),
        {v.jour, v.mois, v.an, v.labo, v.medecin});
    for (const QStringList &row : found)
        naiveExec(*env->naive, QStringLiteral("delete from Visite where NumVisite = ?"), {row.at(0).toLongLong()});
    return static_cast<int>(found.size());
}

// The purge is rolled back, so every iteration deletes the same year.
int fastPurge()
{
    tv::Transaction transaction(env->store->db());
    env->store->visites().removeYear(QStringLiteral("2019"));
    // Sent, not only waiting for a commit that never comes.
    env->store->db().flush();
    return 1;
}
int naivePurge()
{
    naiveExec(*env->naive, QStringLiteral("BEGIN"));
    // Every record of the year's source is deleted in turn.
    const Rows rows =
        naiveRows(*env->naive, QStringLiteral("select * from Visite where An = ?"), {QStringLiteral("2019")});
    for (const QStringList &row : rows)
        naiveExec(*env->naive, QStringLiteral("delete from Visite where NumVisite = ?"), {row.at(0).toLongLong()});
    naiveExec(*env->naive, QStringLiteral("ROLLBACK"));
    return static_cast<int>(rows.size());
}

// The copy taken before each destructive command (online backup, whole
// even while another workstation writes) beside a plain file copy, which
// is not. The copy is removed at once so the folder does not fill up.
int fastBackup()
{
    QFile::remove(tv::backups::take(QFileInfo(env->dbPath).absolutePath()));
    return 1;
}
int naiveBackup()
{
    const QString copy = env->scratch.filePath(QStringLiteral("copie.mdb"));
    const bool copied = QFile::copy(env->dbPath, copy);
    QFile::remove(copy);
    return copied ? 1 : 0;
}

} // namespace tvbench::storebench
