#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace tv {

// The named columns of a Labo row that the laboratory panel shows.
struct LaboRecord {
    qint64 numLabo = 0;
    QString labo;
    QString nom;
    QString tel;
    QString telP;
    QString email;
    QString url;
    QString mdp;
    QString budget;
    QString laboratoire;
    QString adresse;
    QString communeVM;

    friend bool operator==(const LaboRecord &, const LaboRecord &) = default;
};

// Laboratory name and delegate, in table order, for the lists.
struct LaboEntry {
    qint64 numLabo = 0;
    QString labo;
    QString nom;

    friend bool operator==(const LaboEntry &, const LaboEntry &) = default;
};

struct VisiteRecord {
    qint64 numVisite = 0;
    QString medecin;
    QString labo;
    QString jour;  // "01".."31"
    QString mois;  // "01".."12"
    QString an;    // "2025"
    QString heure; // "" when no time was asked

    friend bool operator==(const VisiteRecord &, const VisiteRecord &) = default;
};

struct ProduitRecord {
    qint64 numProduit = 0;
    QString medecin;
    QString labo;
    QString delegue;
    QString date;    // yyyy-MM-dd
    QString produit; // each product followed by a line feed

    friend bool operator==(const ProduitRecord &, const ProduitRecord &) = default;
};

// The days a read of a dated list covers, as "yyyy-mm-dd" texts: those
// between `oldest` and `newest`, either bound left out when "", both
// included only when `inclusive`.
struct DayRange {
    QString newest;
    QString oldest;
    bool inclusive = false;
};

// Rows of whole days; `more` when the range holds rows beyond them.
template<typename Record>
struct DayPage {
    QList<Record> rows;
    bool more = false;
};

} // namespace tv

// Made of QStrings and integers only: a growing list moves its rows in one
// block instead of one by one (a doctor's list runs to thousands).
Q_DECLARE_TYPEINFO(tv::VisiteRecord, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(tv::ProduitRecord, Q_RELOCATABLE_TYPE);
