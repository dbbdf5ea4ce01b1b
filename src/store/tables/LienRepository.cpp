#include "store/tables/LienRepository.h"

#include "store/engine/Database.h"
#include "store/engine/Query.h"

namespace tv {

namespace {
std::optional<LienRecord> first(Query &q)
{
    if (!q.next())
        return std::nullopt;
    return LienRecord{q.text(0), q.text(1), q.text(2), q.text(3)};
}
} // namespace

std::optional<LienRecord> LienRepository::forLabo(const QString &labo) const
{
    Query q(m_db, QStringLiteral("SELECT Labo, Graine, Empreinte, Cree FROM Lien WHERE Labo = :labo "
                                 "ORDER BY NumLien DESC LIMIT 1"));
    q.bind(QStringLiteral(":labo"), labo).exec();
    return first(q);
}

std::optional<LienRecord> LienRepository::forDigest(const QString &digest) const
{
    Query q(m_db, QStringLiteral("SELECT Labo, Graine, Empreinte, Cree FROM Lien WHERE Empreinte = :digest "
                                 "LIMIT 1"));
    q.bind(QStringLiteral(":digest"), digest).exec();
    return first(q);
}

void LienRepository::put(const LienRecord &record)
{
    Transaction transaction(m_db, QStringLiteral("Lien"));
    remove(record.labo);
    Query q(m_db, QStringLiteral("INSERT INTO Lien (Labo, Graine, Empreinte, Cree) "
                                 "VALUES (:labo, :seed, :digest, :created)"));
    q.bind(QStringLiteral(":labo"), record.labo)
        .bind(QStringLiteral(":seed"), record.seed)
        .bind(QStringLiteral(":digest"), record.digest)
        .bind(QStringLiteral(":created"), record.created)
        .exec();
    transaction.commit();
}

int LienRepository::remove(const QString &labo)
{
    Query q(m_db, QStringLiteral("DELETE FROM Lien WHERE Labo = :labo"));
    q.bind(QStringLiteral(":labo"), labo).repeatable().exec();
    return q.numRowsAffected();
}

int LienRepository::renameLabo(const QString &from, const QString &to)
{
    Query q(m_db, QStringLiteral("UPDATE Lien SET Labo = :to WHERE Labo = :from"));
    q.bind(QStringLiteral(":to"), to).bind(QStringLiteral(":from"), from).repeatable().exec();
    return q.numRowsAffected();
}

} // namespace tv
