#pragma once

#include "store/engine/ChangeFeed.h"

#include <QDate>
#include <QString>

namespace tv::live {

// What the window shows that a change made elsewhere may touch.
struct Shown {
    QString doctor; // trimmed; "" when none is selected
    QString labo;   // trimmed; "" when none is selected
    QString year;   // of the grid; "" when no month is chosen
    QString month;  // "01".."12"; "" when no month is chosen
    QDate today;
};

// The parts of the window read again after changes.
struct Parts {
    bool laboratories = false; // the lists, the combos and the record panel
    bool quota = false;        // LblPass
    bool pair = false;         // LstRV
    bool grid = false;         // the month's grid, or its list shown instead
    bool today = false;        // LstRVJour
    bool history = false;      // LstHist
    bool products = false;     // LstHistPr
    bool doctors = false;      // Medecin.ini
    bool medicines = false;    // Medoc.txt
    bool day = false;          // the date itself changed

    bool any() const;
    Parts &operator|=(const Parts &other);
    Parts &operator-=(const Parts &other);
};

// The parts one change touches: those showing its table, its doctor, its
// laboratory and its day; all of them when the change is not known.
Parts touchedBy(const DataChange &change, const Shown &shown);
// A new day: everything that depends on "today".
Parts newDay();

} // namespace tv::live
