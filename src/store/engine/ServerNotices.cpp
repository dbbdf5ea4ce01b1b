#include "store/engine/ServerNotices.h"

#include "store/engine/ChangeFeed.h"
#include "store/engine/Database.h"
#include "store/engine/Notifier.h"
#include "store/engine/StoreError.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace tv::servernotices {

namespace {

constexpr const char *kChannelPrefix = "tallvane_";

struct Watched {
    const char *table;
    const char *medecin; // the columns a notice names, NULL where none applies
    const char *labo;
    const char *day;
};

const Watched kTables[] = {
    {"Labo", "NULL", "Labo", "NULL"},
    {"Passage", "Medecin", "Labo", "NULL"},
    {"Visite", "Medecin", "Labo", "An || '-' || Mois || '-' || Jour"},
    {"Produit", "Medecin", "Labo", "Date"},
};

// The notices of one statement, from its rows (`rows` names the changed
// rows). A few rows give one notice each, what they share only; many, one
// notice keeping only what they all share, so that a purge of thousands of
// rows costs one notice.
QString noticesOf(const Watched &w, const QString &rows)
{
    const QString columns =
        QStringLiteral("SELECT (%1)::text COLLATE \"C\" AS m, (%2)::text COLLATE \"C\" AS l, "
                       "(%3)::text COLLATE \"C\" AS d FROM %4")
            .arg(QString::fromLatin1(w.medecin), QString::fromLatin1(w.labo), QString::fromLatin1(w.day), rows);
    const auto shared = [](const char *c) {
        return QStringLiteral("'%1', CASE WHEN min(%1) = max(%1) AND count(%1) = count(*) THEN min(%1) END")
            .arg(QString::fromLatin1(c));
    };
    return QStringLiteral(
               "WITH r AS (%1), n AS (SELECT count(*) AS c FROM r) "
               "SELECT DISTINCT json_build_object('t', '%2', 'p', pg_backend_pid(), 'm', m, 'l', l, 'd', d)::text "
               "FROM r, n WHERE n.c <= 16 "
               "UNION ALL SELECT json_build_object('t', '%2', 'p', pg_backend_pid(), %3, %4, %5)::text "
               "FROM r, n WHERE n.c > 16 GROUP BY n.c")
        .arg(columns, QString::fromLatin1(w.table), shared("m"), shared("l"), shared("d"));
}

QString triggerFunction(const Watched &w)
{
    const QString send = QStringLiteral("LOOP PERFORM pg_notify('%1' || TG_TABLE_SCHEMA, notice); END LOOP;")
                             .arg(QLatin1String(kChannelPrefix));
    return QStringLiteral("CREATE OR REPLACE FUNCTION tv_notice_%1() RETURNS trigger LANGUAGE plpgsql AS $f$ "
                          "DECLARE notice text; BEGIN "
                          "IF TG_OP = 'INSERT' THEN FOR notice IN %2 %5 "
                          "ELSIF TG_OP = 'DELETE' THEN FOR notice IN %3 %5 "
                          "ELSIF TG_OP = 'UPDATE' THEN FOR notice IN %4 %5 "
                          "ELSE PERFORM pg_notify('tallvane_' || TG_TABLE_SCHEMA, json_build_object('t', '%1', 'p', "
                          "pg_backend_pid())::text); "
                          "END IF; RETURN NULL; END $f$")
        .arg(QString::fromLatin1(w.table), noticesOf(w, QStringLiteral("tv_new")),
             noticesOf(w, QStringLiteral("tv_old")),
             noticesOf(w, QStringLiteral("(SELECT * FROM tv_new UNION ALL SELECT * FROM tv_old) u")), send);
}

QStringList triggers(const Watched &w)
{
    // One trigger per kind of statement: a trigger that sees the changed
    // rows serves only one kind.
    const QString table = QString::fromLatin1(w.table);
    const QString create = QStringLiteral("CREATE OR REPLACE TRIGGER tv_notice_%1 AFTER %2 ON %3 %4 "
                                          "FOR EACH STATEMENT EXECUTE FUNCTION tv_notice_%3()");
    return {
        create.arg(QStringLiteral("insert"), QStringLiteral("INSERT"), table,
                   QStringLiteral("REFERENCING NEW TABLE AS tv_new")),
        create.arg(QStringLiteral("update"), QStringLiteral("UPDATE"), table,
                   QStringLiteral("REFERENCING OLD TABLE AS tv_old NEW TABLE AS tv_new")),
        create.arg(QStringLiteral("delete"), QStringLiteral("DELETE"), table,
                   QStringLiteral("REFERENCING OLD TABLE AS tv_old")),
        create.arg(QStringLiteral("truncate"), QStringLiteral("TRUNCATE"), table, QString()),
    };
}

DataChange::Table tableNamed(const QString &name)
{
    static const QList<std::pair<QString, DataChange::Table>> tables = {
        {QStringLiteral("Labo"), DataChange::Table::Labo},
        {QStringLiteral("Passage"), DataChange::Table::Passage},
        {QStringLiteral("Visite"), DataChange::Table::Visite},
        {QStringLiteral("Produit"), DataChange::Table::Produit},
    };
    for (const auto &[text, table] : tables)
        if (name.compare(text, Qt::CaseInsensitive) == 0)
            return table;
    return DataChange::Table::Any;
}

// The notices of a connection: its own, its changes already shown here,
// are left out by the sender's process number; a new link, which may have
// missed some, stands for any change.
class NoticeFeed final : public ChangeFeed {
public:
    NoticeFeed(Database &db, Notifier &notifier)
        : m_db(db)
        , m_self(notifier.backendPid())
    {
        // Sent with the next round trip (the lists read at start-up), and
        // made again by the notifier after every new link.
        Query(db, listenStatement()).repeatable().later();
        notifier.follow(listenStatement());
        connect(&notifier, &Notifier::notified, this, &NoticeFeed::notified);
        connect(&notifier, &Notifier::reconnected, this, [this, &notifier] {
            m_self = notifier.backendPid();
            emit changed({DataChange{}});
        });
    }

    // The listening statement still waiting for a round trip goes now;
    // not a transaction's statements (a box may be open in its middle),
    // which wait for its commit.
    void check() override
    {
        if (!m_db.inTransaction())
            m_db.flush();
    }

private:
    // The channel of the schema the tables are in, named on the server:
    // asking the schema's name first would cost a round trip.
    static QString listenStatement()
    {
        return QStringLiteral("DO $l$BEGIN EXECUTE format('LISTEN %I', '%1' || current_schema()); END$l$")
            .arg(QLatin1String(kChannelPrefix));
    }

    void notified(const QString &channel, const QString &payload)
    {
        // The link listens to the one channel of its schema.
        if (!channel.startsWith(QLatin1String(kChannelPrefix)))
            return;
        const QJsonObject notice = QJsonDocument::fromJson(payload.toUtf8()).object();
        if (notice.value(QLatin1String("p")).toInteger(-2) == m_self)
            return;
        emit changed(
            {{tableNamed(notice.value(QLatin1String("t")).toString()), notice.value(QLatin1String("m")).toString(),
              notice.value(QLatin1String("l")).toString(), notice.value(QLatin1String("d")).toString()}});
    }

    Database &m_db;
    qint64 m_self;
};

} // namespace

QStringList statements()
{
    QStringList list;
    for (const Watched &w : kTables)
        list << triggerFunction(w) << triggers(w);
    return list;
}

QString inPlaceQuery()
{
    return QStringLiteral("SELECT CASE WHEN count(*) = 16 THEN 1 ELSE 0 END FROM pg_trigger WHERE tgname LIKE "
                          "'tv\\_notice\\_%' AND tgrelid IN "
                          "(to_regclass('labo'), to_regclass('passage'), to_regclass('visite'), "
                          "to_regclass('produit'))");
}

std::unique_ptr<ChangeFeed> listen(Database &db, Notifier &notifier)
{
    return std::make_unique<NoticeFeed>(db, notifier);
}

} // namespace tv::servernotices
