#include "store/tables/PassageRepository.h"

#include "store/engine/Database.h"

namespace tv {

std::optional<QString> PassageRepository::quota(const QString &labo, const QString &medecin) const
{
    SqlQuery q(m_db, QStringLiteral("SELECT Passage FROM Passage WHERE Labo = :labo AND Medecin = :medecin "
                                    "ORDER BY NumPassage LIMIT 1"));
    q.bind(QStringLiteral(":labo"), labo).bind(QStringLiteral(":medecin"), medecin).exec();
    if (!q.next())
        return std::nullopt;
    return q.value(0).isNull() ? QString() : q.text(0);
}

QHash<QString, QString> PassageRepository::quotasForMedecin(const QString &medecin) const
{
    // Descending so that the first row of a pair, the one quota() reads, wins.
    SqlQuery q(m_db, QStringLiteral("SELECT Labo, Passage FROM Passage WHERE Medecin = :medecin "
                                    "ORDER BY NumPassage DESC"));
    q.bind(QStringLiteral(":medecin"), medecin).exec();
    QHash<QString, QString> quotas;
    while (q.next())
        quotas.insert(q.text(0), q.value(1).isNull() ? QString() : q.text(1));
    return quotas;
}

void PassageRepository::setQuota(const QString &labo, const QString &medecin, int value)
{
    Transaction transaction(m_db, QStringLiteral("Passage"));
    SqlQuery update(m_db,
                    QStringLiteral("UPDATE Passage SET Passage = :value WHERE Labo = :labo AND Medecin = :medecin"));
    update.bind(QStringLiteral(":value"), value)
        .bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":medecin"), medecin)
        .exec();
    if (update.numRowsAffected() == 0) {
        Transaction::checked();
        SqlQuery insert(
            m_db, QStringLiteral("INSERT INTO Passage (Labo, Medecin, Passage) VALUES (:labo, :medecin, :value)"));
        insert.bind(QStringLiteral(":labo"), labo)
            .bind(QStringLiteral(":medecin"), medecin)
            .bind(QStringLiteral(":value"), value)
            .exec();
    }
    transaction.commit();
}

void PassageRepository::insertRow(const QString &labo, const QString &medecin)
{
    SqlQuery q(m_db, QStringLiteral("INSERT INTO Passage (Labo, Medecin) VALUES (:labo, :medecin)"));
    q.bind(QStringLiteral(":labo"), labo).bind(QStringLiteral(":medecin"), medecin).exec();
}

int PassageRepository::removeForLabo(const QString &labo)
{
    SqlQuery q(m_db, QStringLiteral("DELETE FROM Passage WHERE Labo = :labo"));
    q.bind(QStringLiteral(":labo"), labo).exec();
    return q.numRowsAffected();
}

int PassageRepository::removeForMedecin(const QString &medecin)
{
    SqlQuery q(m_db, QStringLiteral("DELETE FROM Passage WHERE Medecin = :medecin"));
    q.bind(QStringLiteral(":medecin"), medecin).exec();
    return q.numRowsAffected();
}

int PassageRepository::renameLabo(const QString &from, const QString &to)
{
    SqlQuery q(m_db, QStringLiteral("UPDATE Passage SET Labo = :to WHERE Labo = :from"));
    q.bind(QStringLiteral(":to"), to).bind(QStringLiteral(":from"), from).exec();
    return q.numRowsAffected();
}

} // namespace tv
