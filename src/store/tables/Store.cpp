#include "store/tables/Store.h"

#include "store/files/SettingsFiles.h"

namespace tv {

Store::Store(std::unique_ptr<Database> db)
    : m_db(std::move(db))
    , m_labos(*m_db)
    , m_visites(*m_db)
    , m_passages(*m_db)
    , m_produits(*m_db)
    , m_liens(*m_db)
{
}

std::unique_ptr<Store> Store::open(const QString &databasePath)
{
    return std::unique_ptr<Store>(new Store(Database::open(serveurcfg::locate(databasePath))));
}

// Each of these is sent again whole when the server's answer to its commit
// was lost: none can do anything twice (rows added only when missing,
// renames and deletions that find nothing the second time).

void Store::addDoctorRows(const QString &medecin, const QStringList &labos)
{
    Transaction transaction(*m_db, {}, Transaction::Repeat::Yes);
    for (const QString &labo : labos)
        m_passages.insertRow(labo, medecin);
    transaction.commit();
}

void Store::deleteDoctorRows(const QString &medecin)
{
    Transaction transaction(*m_db, {}, Transaction::Repeat::Yes);
    m_visites.removeForMedecin(medecin);
    m_passages.removeForMedecin(medecin);
    transaction.commit();
}

LaboEntry Store::addLaboratory(const QString &name, const QStringList &medecins)
{
    // Checked by name under the table's lock: the laboratory is added once.
    Transaction transaction(*m_db, QStringLiteral("Labo"), Transaction::Repeat::Yes);
    Later<LaboEntry> entry = m_labos.insertNew(name);
    for (const QString &medecin : medecins)
        m_passages.insertRow(name.trimmed().toUpper(), medecin);
    transaction.commit();
    return entry.get();
}

void Store::renameLaboratory(const QString &from, const QString &to)
{
    Transaction transaction(*m_db, {}, Transaction::Repeat::Yes);
    m_labos.renameLabo(from, to);
    m_visites.renameLabo(from, to);
    m_passages.renameLabo(from, to);
    m_liens.renameLabo(from, to);
    transaction.commit();
}

void Store::deleteLaboratory(const QString &labo)
{
    Transaction transaction(*m_db, {}, Transaction::Repeat::Yes);
    m_labos.removeLabo(labo);
    m_visites.removeForLabo(labo);
    m_passages.removeForLabo(labo);
    m_liens.remove(labo);
    transaction.commit();
}

} // namespace tv
