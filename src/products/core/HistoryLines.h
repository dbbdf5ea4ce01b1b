#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tv {
struct ProduitRecord;
}

namespace tv::history {

enum class Mode {
    All,        // the whole history of the doctor
    Delegue,    // filtered by delegate
    Labo,       // filtered by laboratory
    Medicament, // filtered by medicine
};

// "2025/03/05" from the stored "2025-03-05": the form that sorts by date.
QString sortDate(const QString &isoDate);
// "05/03/2025" from "2025/03/05".
QString displayDate(const QString &sortDate);

// The ordering key of one visit: the sortable date, then the mode's layout.
QString key(Mode mode, const ProduitRecord &record);

// Keys in the list's order: the newest date first and, within one date,
// in descending French order, letter case aside, like the other lists.
void newestFirst(QStringList &keys);

// The line shown for one key.
QString lineOfKey(const QString &key);

// The lines of the history list: newest date first and, within one date,
// the keys in descending order.
QStringList lines(Mode mode, const QList<ProduitRecord> &records);

} // namespace tv::history
