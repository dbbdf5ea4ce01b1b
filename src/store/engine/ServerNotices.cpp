#include "store/engine/ServerNotices.h"

#include "store/engine/ChangeFeed.h"
#include "store/engine/Database.h"
#include "store/engine/StoreError.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSqlDriver>
#include <QSqlError>

namespace tv::servernotices {

namespace {

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
    return QStringLiteral("WITH r AS (%1), n AS (SELECT count(*) AS c FROM r) "
                          "SELECT DISTINCT json_build_object('t', '%2', 'm', m, 'l', l, 'd', d)::text "
                          "FROM r, n WHERE n.c <= 16 "
                          "UNION ALL SELECT json_build_object('t', '%2', %3, %4, %5)::text "
                          "FROM r, n WHERE n.c > 16 GROUP BY n.c")
        .arg(columns, QString::fromLatin1(w.table), shared("m"), shared("l"), shared("d"));
}

QString triggerFunction(const Watched &w)
{
    const QString send = QStringLiteral("LOOP PERFORM pg_notify('tallvane_' || TG_TABLE_SCHEMA, notice); END LOOP;");
    return QStringLiteral("CREATE OR REPLACE FUNCTION tv_notice_%1() RETURNS trigger LANGUAGE plpgsql AS $f$ "
                          "DECLARE notice text; BEGIN "
                          "IF TG_OP = 'INSERT' THEN FOR notice IN %2 %5 "
                          "ELSIF TG_OP = 'DELETE' THEN FOR notice IN %3 %5 "
                          "ELSIF TG_OP = 'UPDATE' THEN FOR notice IN %4 %5 "
                          "ELSE PERFORM pg_notify('tallvane_' || TG_TABLE_SCHEMA, json_build_object('t', '%1')::text); "
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

DataChange readNotice(const QString &payload)
{
    const QJsonObject notice = QJsonDocument::fromJson(payload.toUtf8()).object();
    return {tableNamed(notice.value(QLatin1String("t")).toString()), notice.value(QLatin1String("m")).toString(),
            notice.value(QLatin1String("l")).toString(), notice.value(QLatin1String("d")).toString()};
}

// The connection's own notices are its own changes, already shown.
class NoticeFeed final : public ChangeFeed {
public:
    NoticeFeed(Database &db, const QString &channel)
        : m_driver(db.sql().driver())
        , m_channel(channel)
    {
        if (!m_driver->subscribeToNotification(m_channel))
            throw StoreError(QStringLiteral("Le serveur ne peut pas tenir ce poste informé des modifications des "
                                            "autres postes."),
                             m_driver->lastError().text());
        connect(m_driver, &QSqlDriver::notification, this,
                [this](const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload) {
                    if (name == m_channel && source == QSqlDriver::OtherSource)
                        emit changed({readNotice(payload.toString())});
                });
    }

    ~NoticeFeed() override
    {
        if (m_driver)
            m_driver->unsubscribeFromNotification(m_channel);
    }

private:
    QPointer<QSqlDriver> m_driver;
    QString m_channel;
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
    return QStringLiteral("SELECT count(*) = 16 FROM pg_trigger WHERE tgname LIKE 'tv\\_notice\\_%' AND tgrelid IN "
                          "(to_regclass('labo'), to_regclass('passage'), to_regclass('visite'), "
                          "to_regclass('produit'))");
}

std::unique_ptr<ChangeFeed> listen(Database &db)
{
    SqlQuery schema(db, QStringLiteral("SELECT current_schema()"));
    schema.exec();
    const QString name = schema.next() ? schema.text(0) : QStringLiteral("public");
    return std::make_unique<NoticeFeed>(db, QStringLiteral("tallvane_") + name);
}

} // namespace tv::servernotices
