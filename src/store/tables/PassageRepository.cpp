#include "store/tables/PassageRepository.h"

#include "store/engine/Database.h"

namespace tv {

Later<std::optional<QString>> PassageRepository::quota(const QString &labo, const QString &medecin) const
{
    Query q(m_db, QStringLiteral("SELECT Passage FROM Passage WHERE Labo = :labo AND Medecin = :medecin "
                                 "ORDER BY NumPassage LIMIT 1"));
    q.bind(QStringLiteral(":labo"), labo).bind(QStringLiteral(":medecin"), medecin).later();
    return {std::move(q), [](Query &q) { return q.next() ? std::optional(q.text(0)) : std::nullopt; }};
}

Later<QHash<QString, QString>> PassageRepository::quotasForMedecin(const QString &medecin) const
{
    // Descending so that the first row of a pair, the one quota() reads, wins.
    Query q(m_db, QStringLiteral("SELECT Labo, Passage FROM Passage WHERE Medecin = :medecin "
                                 "ORDER BY NumPassage DESC"));
    q.bind(QStringLiteral(":medecin"), medecin).later();
    return {std::move(q), [](Query &q) {
                QHash<QString, QString> quotas;
                while (q.next())
                    quotas.insert(q.text(0), q.text(1));
                return quotas;
            }};
}

Later<QHash<QString, QString>> PassageRepository::quotasForLabo(const QString &labo) const
{
    // Descending so that the first row of a pair, the one quota() reads, wins.
    Query q(m_db, QStringLiteral("SELECT Medecin, Passage FROM Passage WHERE Labo = :labo "
                                 "ORDER BY NumPassage DESC"));
    q.bind(QStringLiteral(":labo"), labo).later();
    return {std::move(q), [](Query &q) {
                QHash<QString, QString> quotas;
                while (q.next())
                    quotas.insert(q.text(0), q.text(1));
                return quotas;
            }};
}

void PassageRepository::setQuota(const QString &labo, const QString &medecin, int value)
{
    // The pair's rows take the value, or a row is added when it has none:
    // both statements in one round trip, and sent again whole when the
    // server's answer was lost, since setting a value twice changes nothing.
    Transaction transaction(m_db, QStringLiteral("Passage"), Transaction::Repeat::Yes);
    Query update(m_db, QStringLiteral("UPDATE Passage SET Passage = :value WHERE Labo = :labo AND Medecin = :medecin"));
    update.bind(QStringLiteral(":value"), value)
        .bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":medecin"), medecin)
        .later();
    insertRow(labo, medecin, value);
    transaction.checked();
    transaction.commit();
}

void PassageRepository::insertRow(const QString &labo, const QString &medecin, const QVariant &value)
{
    // Unless the pair has its row: safe to send twice.
    Query q(m_db, QStringLiteral("INSERT INTO Passage (Labo, Medecin, Passage) "
                                 "SELECT :labo, :medecin, CAST(:value AS INTEGER) WHERE NOT EXISTS "
                                 "(SELECT 1 FROM Passage WHERE Labo = :labo AND Medecin = :medecin)"));
    q.bind(QStringLiteral(":labo"), labo)
        .bind(QStringLiteral(":medecin"), medecin)
        .bind(QStringLiteral(":value"), value)
        .repeatable()
        .exec();
}

void PassageRepository::removeForLabo(const QString &labo)
{
    Query q(m_db, QStringLiteral("DELETE FROM Passage WHERE Labo = :labo"));
    q.bind(QStringLiteral(":labo"), labo).repeatable().exec();
}

void PassageRepository::removeForMedecin(const QString &medecin)
{
    Query q(m_db, QStringLiteral("DELETE FROM Passage WHERE Medecin = :medecin"));
    q.bind(QStringLiteral(":medecin"), medecin).repeatable().exec();
}

void PassageRepository::renameLabo(const QString &from, const QString &to)
{
    Query q(m_db, QStringLiteral("UPDATE Passage SET Labo = :to WHERE Labo = :from"));
    q.bind(QStringLiteral(":to"), to).bind(QStringLiteral(":from"), from).repeatable().exec();
}

} // namespace tv
