#include "store/tables/LaboRepository.h"

#include "store/engine/Database.h"

#include <QStringList>

namespace tv {

namespace {
const QString kRecordColumns =
    QStringLiteral("NumLabo, Labo, Nom, Tel, TelP, Email, Url, Mdp, Budget, Laboratoire, Adresse, CommuneVM");

LaboRecord readRecord(const Query &q)
{
    LaboRecord r;
    r.numLabo = q.integer(0);
    r.labo = q.text(1);
    r.nom = q.text(2);
    r.tel = q.text(3);
    r.telP = q.text(4);
    r.email = q.text(5);
    r.url = q.text(6);
    r.mdp = q.text(7);
    r.budget = q.text(8);
    r.laboratoire = q.text(9);
    r.adresse = q.text(10);
    r.communeVM = q.text(11);
    return r;
}
} // namespace

Later<QList<LaboEntry>> LaboRepository::all() const
{
    Query q(m_db, QStringLiteral("SELECT NumLabo, Labo, Nom FROM Labo ORDER BY NumLabo"));
    q.later();
    return {std::move(q), [](Query &q) {
                QList<LaboEntry> rows;
                while (q.next())
                    rows.append({q.integer(0), q.text(1), q.text(2)});
                return rows;
            }};
}

Later<std::optional<LaboRecord>> LaboRepository::findByLabo(const QString &labo) const
{
    Query q(m_db,
            QStringLiteral("SELECT %1 FROM Labo WHERE Labo = :labo ORDER BY NumLabo LIMIT 1").arg(kRecordColumns));
    q.bind(QStringLiteral(":labo"), labo).later();
    return {std::move(q), [](Query &q) { return q.next() ? std::optional(readRecord(q)) : std::nullopt; }};
}

Later<std::optional<LaboRecord>> LaboRepository::findByNumber(qint64 numLabo) const
{
    Query q(m_db, QStringLiteral("SELECT %1 FROM Labo WHERE NumLabo = :id").arg(kRecordColumns));
    q.bind(QStringLiteral(":id"), numLabo).later();
    return {std::move(q), [](Query &q) { return q.next() ? std::optional(readRecord(q)) : std::nullopt; }};
}

Later<std::optional<LaboEntry>> LaboRepository::findByNom(const QString &nom) const
{
    Query q(m_db, QStringLiteral("SELECT NumLabo, Labo, Nom FROM Labo WHERE tv_fold(Nom) = tv_fold(:nom) "
                                 "ORDER BY NumLabo LIMIT 1"));
    q.bind(QStringLiteral(":nom"), nom).later();
    return {std::move(q), [](Query &q) {
                return q.next() ? std::optional(LaboEntry{q.integer(0), q.text(1), q.text(2)}) : std::nullopt;
            }};
}

Later<bool> LaboRepository::exists(const QString &labo) const
{
    Query q(m_db, QStringLiteral("SELECT 1 FROM Labo WHERE Labo = :labo LIMIT 1"));
    q.bind(QStringLiteral(":labo"), labo).later();
    return {std::move(q), [](Query &q) { return q.next(); }};
}

Later<LaboEntry> LaboRepository::insertNew(const QString &name)
{
    // Unless a laboratory of that name is there already: sent twice when
    // the server's first answer was lost, it adds one all the same.
    const QString labo = name.trimmed().toUpper();
    Query insert(m_db, QStringLiteral("INSERT INTO Labo (Labo) SELECT :labo "
                                      "WHERE NOT EXISTS (SELECT 1 FROM Labo WHERE Labo = :labo)"));
    insert.bind(QStringLiteral(":labo"), labo).repeatable().later();
    Query nom(m_db, QStringLiteral("UPDATE Labo SET Nom = 'Nom_Labo_' || NumLabo WHERE Labo = :labo AND Nom IS NULL"));
    nom.bind(QStringLiteral(":labo"), labo).repeatable().later();
    Query added(m_db,
                QStringLiteral("SELECT NumLabo, Labo, Nom FROM Labo WHERE Labo = :labo ORDER BY NumLabo LIMIT 1"));
    added.bind(QStringLiteral(":labo"), labo).later();
    return {std::move(added), [](Query &q) {
                return q.next() ? LaboEntry{q.integer(0), q.text(1), q.text(2)} : LaboEntry{};
            }};
}

void LaboRepository::update(const LaboRecord &r)
{
    Query q(m_db, QStringLiteral("UPDATE Labo SET Nom = :nom, Tel = :tel, TelP = :telp, Email = :email, Url = :url, "
                                 "Mdp = :mdp, Budget = :budget, Laboratoire = :laboratoire, Adresse = :adresse, "
                                 "CommuneVM = :commune WHERE NumLabo = :id"));
    q.bind(QStringLiteral(":nom"), r.nom)
        .bind(QStringLiteral(":tel"), r.tel)
        .bind(QStringLiteral(":telp"), r.telP)
        .bind(QStringLiteral(":email"), r.email)
        .bind(QStringLiteral(":url"), r.url)
        .bind(QStringLiteral(":mdp"), r.mdp)
        .bind(QStringLiteral(":budget"), r.budget)
        .bind(QStringLiteral(":laboratoire"), r.laboratoire)
        .bind(QStringLiteral(":adresse"), r.adresse)
        .bind(QStringLiteral(":commune"), r.communeVM)
        .bind(QStringLiteral(":id"), r.numLabo)
        .repeatable()
        .exec();
}

int LaboRepository::removeLabo(const QString &labo)
{
    Query q(m_db, QStringLiteral("DELETE FROM Labo WHERE Labo = :labo"));
    q.bind(QStringLiteral(":labo"), labo).repeatable().exec();
    return q.numRowsAffected();
}

int LaboRepository::renameLabo(const QString &from, const QString &to)
{
    Query q(m_db, QStringLiteral("UPDATE Labo SET Labo = :to WHERE Labo = :from"));
    q.bind(QStringLiteral(":to"), to).bind(QStringLiteral(":from"), from).repeatable().exec();
    return q.numRowsAffected();
}

int LaboRepository::updateChanged(const LaboRecord &before, const LaboRecord &after)
{
    struct Column {
        const char *name;
        QString LaboRecord::*field;
    };
    static const Column columns[] = {
        {"Nom", &LaboRecord::nom},         {"Tel", &LaboRecord::tel},
        {"TelP", &LaboRecord::telP},       {"Email", &LaboRecord::email},
        {"Url", &LaboRecord::url},         {"Mdp", &LaboRecord::mdp},
        {"Budget", &LaboRecord::budget},   {"Laboratoire", &LaboRecord::laboratoire},
        {"Adresse", &LaboRecord::adresse}, {"CommuneVM", &LaboRecord::communeVM},
    };
    QStringList assignments;
    QList<const Column *> changed;
    for (const Column &c : columns) {
        if (before.*c.field != after.*c.field) {
            assignments.append(QStringLiteral("%1 = :%1").arg(QString::fromLatin1(c.name)));
            changed.append(&c);
        }
    }
    if (changed.isEmpty())
        return 0;
    // Only the row still bearing its name: renamed elsewhere, it takes none
    // of these edits.
    Query q(m_db, QStringLiteral("UPDATE Labo SET %1 WHERE NumLabo = :id AND Labo = :labo")
                      .arg(assignments.join(QStringLiteral(", "))));
    for (const Column *c : changed)
        q.bind(QStringLiteral(":") + QString::fromLatin1(c->name), after.*c->field);
    q.bind(QStringLiteral(":id"), after.numLabo).bind(QStringLiteral(":labo"), before.labo).repeatable().exec();
    return q.numRowsAffected();
}

} // namespace tv
