#pragma once

#include "store/engine/ChangeFeed.h"
#include "store/engine/Database.h"
#include "store/tables/LaboRepository.h"
#include "store/tables/LienRepository.h"
#include "store/tables/PassageRepository.h"
#include "store/tables/ProduitRepository.h"
#include "store/tables/VisiteRepository.h"

#include <QStringList>
#include <memory>

namespace tv {

// The practice's open database with one repository per table, and the
// changes that span several tables, each done as one transaction.
class Store {
public:
    // Ferrune.mdb at that path, or the server named by Serveur.cfg in the
    // same folder. Throws StoreError.
    static std::unique_ptr<Store> open(const QString &databasePath);

    Database &db() { return *m_db; }
    LaboRepository &labos() { return m_labos; }
    VisiteRepository &visites() { return m_visites; }
    PassageRepository &passages() { return m_passages; }
    ProduitRepository &produits() { return m_produits; }
    // What other workstations change from now on. Throws StoreError.
    std::unique_ptr<ChangeFeed> changeFeed() { return tv::changeFeed(*m_db); }
    LienRepository &liens() { return m_liens; }

    // A new doctor gets one Passage row per laboratory, in list order.
    void addDoctorRows(const QString &medecin, const QStringList &labos);
    // Appointments and quotas of the doctor go; his products stay.
    void deleteDoctorRows(const QString &medecin);
    // A new laboratory and one Passage row per doctor.
    LaboEntry addLaboratory(const QString &name, const QStringList &medecins);
    // Labo, Visite, Passage and Lien follow the new name; Produit keeps the old.
    void renameLaboratory(const QString &from, const QString &to);
    // Labo, Visite, Passage and Lien rows go; Produit rows stay.
    void deleteLaboratory(const QString &labo);

private:
    explicit Store(std::unique_ptr<Database> db);

    std::unique_ptr<Database> m_db;
    LaboRepository m_labos;
    VisiteRepository m_visites;
    PassageRepository m_passages;
    ProduitRepository m_produits;
    LienRepository m_liens;
};

} // namespace tv
