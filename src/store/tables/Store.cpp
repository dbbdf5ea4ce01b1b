#include "store/tables/Store.h"

#include "store/files/SettingsFiles.h"

#include <QFileInfo>

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
    // A data folder moved to a server says so beside the file, which stays
    // as it was (the way back).
    if (const auto server = serveurcfg::read(QFileInfo(databasePath).absolutePath()))
        return std::unique_ptr<Store>(new Store(Database::openServer(*server)));
    return std::unique_ptr<Store>(new Store(Database::open(databasePath)));
}

std::unique_ptr<Store> Store::adopt(std::unique_ptr<Database> db)
{
    return std::unique_ptr<Store>(new Store(std::move(db)));
}

void Store::addDoctorRows(const QString &medecin, const QStringList &labos)
{
    Transaction transaction(*m_db);
    for (const QString &labo : labos)
        m_passages.insertRow(labo, medecin);
    transaction.commit();
}

void Store::deleteDoctorRows(const QString &medecin)
{
    Transaction transaction(*m_db);
    m_visites.removeForMedecin(medecin);
    m_passages.removeForMedecin(medecin);
    transaction.commit();
}

LaboEntry Store::addLaboratory(const QString &name, const QStringList &medecins)
{
    Transaction transaction(*m_db);
    const LaboEntry entry = m_labos.insertNew(name);
    for (const QString &medecin : medecins)
        m_passages.insertRow(entry.labo, medecin);
    transaction.commit();
    return entry;
}

void Store::renameLaboratory(const QString &from, const QString &to)
{
    Transaction transaction(*m_db);
    m_labos.renameLabo(from, to);
    m_visites.renameLabo(from, to);
    m_passages.renameLabo(from, to);
    m_liens.renameLabo(from, to);
    transaction.commit();
}

void Store::deleteLaboratory(const QString &labo)
{
    Transaction transaction(*m_db);
    m_labos.removeLabo(labo);
    m_visites.removeForLabo(labo);
    m_passages.removeForLabo(labo);
    m_liens.remove(labo);
    transaction.commit();
}

} // namespace tv
