#pragma once

#include <QString>
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

    // Workstation settings (Vs.ini)
    std::uint8_t DernierMedecin = NoDoctor;
    std::uint8_t AvecHeure = 0;
    std::uint8_t AvecProduits = 0;
    std::uint8_t EtatChkL = 0;
};

} // namespace tv
