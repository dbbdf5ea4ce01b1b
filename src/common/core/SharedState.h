#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace tv {

// The state every handler of the main window shares for the whole run.
// Names follow the ones the practice's users and documentation know.
struct SharedState {
    static constexpr int NoMonth = 13;
    static constexpr std::uint8_t NoDoctor = 100;

    QString CheminBase;               // data folder, no trailing separator
    std::int16_t MoisActif = NoMonth; // chosen month button 0..11, 13 = none
    std::int16_t MoisCourant = 0;     // today's month as a button index
    bool QuotaRespecte = true;

    // Workstation settings (Vs.ini)
    std::uint8_t DernierMedecin = NoDoctor;
    std::uint8_t AvecHeure = 0;
    std::uint8_t AvecProduits = 0;
    std::uint8_t EtatChkL = 0;

    std::array<std::int16_t, 7> MaxJour{}; // Monday first
    QStringList JoursFeries;
    QString HeureRV;
    int ModeListeRV = 0;
    int RelanceListeRV = 0;
    int ModeSelMedecin = 0;
    int IndexLabo = -1;
    int OngletActif = 1;
    bool ClicDelegue = false;
    QString ProduitTexte;
    QStringList Tableau;
    QString Reponse;
};

} // namespace tv
