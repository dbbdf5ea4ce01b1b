#include "store/engine/Schema.h"

#include "store/engine/Database.h"
#include "store/engine/StoreError.h"

namespace tv::schema {

namespace {

struct Table {
    QString name;
    QString definition;
};

// {id} and {key} are the engine's own column types (Dialect).
const QList<Table> &tables()
{
    // Key columns compare without regard to case, as the practice's data
    // always did. The unnamed columns of Labo and Passage are carried along.
    static const QList<Table> list = {
        {QStringLiteral("Labo"),
         QStringLiteral("CREATE TABLE Labo (NumLabo {id}, Labo {key}, "
                        "Nom {key}, Tel TEXT, TelP TEXT, Email TEXT, Url TEXT, Mdp TEXT, Budget TEXT, "
                        "Laboratoire TEXT, Adresse TEXT, CommuneVM TEXT, Divers1 TEXT, Divers2 TEXT, Divers3 TEXT)")},
        {QStringLiteral("Passage"), QStringLiteral("CREATE TABLE Passage (NumPassage {id}, Labo {key}, "
                                                   "Medecin {key}, Passage INTEGER, Divers1 TEXT, Divers2 TEXT)")},
        {QStringLiteral("Visite"), QStringLiteral("CREATE TABLE Visite (NumVisite {id}, Medecin {key}, "
                                                  "Labo {key}, Jour {key}, Mois {key}, "
                                                  "An {key}, Heure TEXT)")},
        {QStringLiteral("Produit"), QStringLiteral("CREATE TABLE Produit (NumProduit {id}, Medecin {key}, "
                                                   "Labo {key}, Delegue {key}, Date TEXT, Produit TEXT)")},
    };
    return list;
}

// Tables a newer program added beside the four: an older database gets
// them when it is opened (OpeningChecks), the four keep their columns.
const QList<Table> &addedTables()
{
    // Lien: the online booking link of a laboratory (its seed and the
    // digest of its token, never the token).
    static const QList<Table> list = {
        {QStringLiteral("Lien"), QStringLiteral("CREATE TABLE IF NOT EXISTS Lien (NumLien {id}, Labo {key}, "
                                                "Graine TEXT, Empreinte TEXT, Cree TEXT)")},
    };
    return list;
}

const QStringList &addedIndexes()
{
    static const QStringList list = {
        QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS IdxLienEmpreinte ON Lien (Empreinte)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IdxLienLabo ON Lien (Labo)"),
    };
    return list;
}

QString definition(const Table &table, const Dialect &dialect)
{
    QString text = table.definition;
    return text.replace(QLatin1String("{id}"), dialect.counterColumn())
        .replace(QLatin1String("{key}"), dialect.keyColumn());
}

const QStringList &indexes()
{
    static const QStringList list = {
        QStringLiteral("CREATE INDEX IF NOT EXISTS IdxLaboLabo ON Labo (Labo)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IdxPassageLaboMedecin ON Passage (Labo, Medecin)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IdxPassageMedecin ON Passage (Medecin)"),
        // Covering: a doctor's whole list (thousands of rows) is read from
        // the index alone, without one table lookup per row.
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS IdxVisiteMedecinDateLabo ON Visite (Medecin, An, Mois, Jour, Labo, Heure)"),
        // Its predecessor, a prefix of it, only slows every write down.
        QStringLiteral("DROP INDEX IF EXISTS IdxVisiteMedecinDate"),
        // With the whole date the pair's list comes out in order from this
        // index; without it the planner sorts through the doctor's index and
        // reads all his appointments.
        QStringLiteral("CREATE INDEX IF NOT EXISTS IdxVisiteLaboMedecinDate ON Visite (Labo, Medecin, An, Mois, Jour)"),
        // Its shorter predecessor only slows every write down.
        QStringLiteral("DROP INDEX IF EXISTS IdxVisiteLaboMedecin"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IdxVisiteAn ON Visite (An)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS IdxProduitMedecin ON Produit (Medecin, Labo, Date)"),
        // The doctor's history a page at a time, newest day first, from the
        // index alone: a filter by delegate or medicine tests every row of
        // the doctor, and one table lookup each costs more than the test.
        QStringLiteral(
            "CREATE INDEX IF NOT EXISTS IdxProduitMedecinDateTexte ON Produit (Medecin, Date, Labo, Delegue, Produit)"),
    };
    return list;
}

} // namespace

QStringList tableNames()
{
    QStringList names;
    for (const Table &t : tables())
        names.append(t.name);
    return names;
}

QStringList addedTableNames()
{
    QStringList names;
    for (const Table &t : addedTables())
        names.append(t.name);
    return names;
}

QStringList columns(const QString &table)
{
    static const QHash<QString, QStringList> list = {
        {QStringLiteral("Labo"),
         {QStringLiteral("NumLabo"), QStringLiteral("Labo"), QStringLiteral("Nom"), QStringLiteral("Tel"),
          QStringLiteral("TelP"), QStringLiteral("Email"), QStringLiteral("Url"), QStringLiteral("Mdp"),
          QStringLiteral("Budget"), QStringLiteral("Laboratoire"), QStringLiteral("Adresse"),
          QStringLiteral("CommuneVM"), QStringLiteral("Divers1"), QStringLiteral("Divers2"),
          QStringLiteral("Divers3")}},
        {QStringLiteral("Passage"),
         {QStringLiteral("NumPassage"), QStringLiteral("Labo"), QStringLiteral("Medecin"), QStringLiteral("Passage"),
          QStringLiteral("Divers1"), QStringLiteral("Divers2")}},
        {QStringLiteral("Visite"),
         {QStringLiteral("NumVisite"), QStringLiteral("Medecin"), QStringLiteral("Labo"), QStringLiteral("Jour"),
          QStringLiteral("Mois"), QStringLiteral("An"), QStringLiteral("Heure")}},
        {QStringLiteral("Produit"),
         {QStringLiteral("NumProduit"), QStringLiteral("Medecin"), QStringLiteral("Labo"), QStringLiteral("Delegue"),
          QStringLiteral("Date"), QStringLiteral("Produit")}},
        {QStringLiteral("Lien"),
         {QStringLiteral("NumLien"), QStringLiteral("Labo"), QStringLiteral("Graine"), QStringLiteral("Empreinte"),
          QStringLiteral("Cree")}},
    };
    return list.value(table);
}

void create(Database &db)
{
    Transaction transaction(db);
    createTables(db);
    addChangeNotices(db);
    transaction.commit();
}

void createTables(Database &db)
{
    for (const QString &statement : db.dialect().schemaSetup())
        execStatement(db, statement);
    for (const Table &t : tables())
        execStatement(db, definition(t, db.dialect()));
    for (const QString &statement : indexes())
        execStatement(db, statement);
    addTables(db);
}

void addTables(Database &db)
{
    for (const Table &t : addedTables())
        execStatement(db, definition(t, db.dialect()));
    for (const QString &statement : addedIndexes())
        execStatement(db, statement);
}

void ensureIndexes(Database &db)
{
    // A database from an older release may lack them. A read-only file
    // still opens: the queries then only run slower.
    try {
        for (const QString &statement : indexes())
            execStatement(db, statement);
    } catch (const StoreError &) {
    }
}

void addChangeNotices(Database &db)
{
    for (const QString &statement : db.dialect().changeNotices())
        execStatement(db, statement);
}

void completeChangeNotices(Database &db, bool inPlace)
{
    if (inPlace)
        return;
    // A user without the right to change the tables still works; the other
    // workstations' changes then show only when the lists are read again.
    try {
        Transaction transaction(db);
        addChangeNotices(db);
        transaction.commit();
    } catch (const StoreError &) {
    }
}

OpeningChecks::OpeningChecks(Database &db)
    : m_db(db)
{
    for (const QString &table : tableNames() + addedTableNames()) {
        m_tables.emplace_back(db, db.dialect().tableExists());
        m_tables.back().bind(QStringLiteral(":name"), table).later();
    }
    const QString inPlace = db.dialect().changeNoticesInPlace();
    if (!inPlace.isEmpty())
        m_notices.emplace_back(db, inPlace).later();
}

bool OpeningChecks::answered() const
{
    for (const Query &q : m_tables)
        if (!q.answered())
            return false;
    return m_notices.empty() || m_notices.front().answered();
}

QString OpeningChecks::settle()
{
    const QStringList four = tableNames();
    for (qsizetype i = 0; i < four.size(); ++i)
        if (!m_tables[static_cast<size_t>(i)].next())
            return four.at(i);
    // A read-only file, or a server user without the right to create
    // tables, still works: what needs them says so when it is used.
    try {
        for (size_t i = static_cast<size_t>(four.size()); i < m_tables.size(); ++i)
            if (!m_tables[i].next()) {
                addTables(m_db);
                break;
            }
    } catch (const StoreError &) {
    }
    if (!m_notices.empty())
        completeChangeNotices(m_db, m_notices.front().next() && m_notices.front().integer(0) == 1);
    return {};
}

} // namespace tv::schema
