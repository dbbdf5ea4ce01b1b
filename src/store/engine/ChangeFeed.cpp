#include "store/engine/ChangeFeed.h"

#include "store/engine/Database.h"
#include "store/engine/ServerNotices.h"

namespace tv {

namespace {

// Another workstation's commit moves the data version, a look at the file's
// header that reads no table. What changed, the file does not say.
class DataVersionFeed final : public ChangeFeed {
public:
    explicit DataVersionFeed(Database &db)
        : m_db(db)
        , m_version(version())
    {
    }

    void check() override
    {
        const qint64 now = version();
        if (now == m_version)
            return;
        m_version = now;
        emit changed({DataChange{}});
    }

private:
    qint64 version() const
    {
        // Read to its end: a statement left open would hold the file's
        // snapshot, and the version with it.
        Query q(m_db, m_db.dialect().dataVersion());
        q.exec();
        qint64 value = -1;
        while (q.next())
            value = q.integer(0);
        return value;
    }

    Database &m_db;
    qint64 m_version;
};

} // namespace

std::unique_ptr<ChangeFeed> changeFeed(Database &db)
{
    if (Notifier *notifier = db.notifier())
        return servernotices::listen(db, *notifier);
    if (!db.dialect().dataVersion().isEmpty())
        return std::make_unique<DataVersionFeed>(db);
    return std::make_unique<ChangeFeed>();
}

} // namespace tv
