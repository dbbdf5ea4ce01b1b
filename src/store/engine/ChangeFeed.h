#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace tv {
class Database;

// What another workstation, or another program, changed in the tables, as
// far as the engine can tell: the table and, where they apply, the doctor,
// the laboratory and the day ("yyyy-mm-dd"). What is not known is left
// empty and stands for any.
struct DataChange {
    enum class Table { Any, Labo, Passage, Visite, Produit };
    Table table = Table::Any;
    QString medecin;
    QString labo;
    QString day;
};

// The changes others make to the database. An engine that is told of them
// reports them as they come; one that has to look does so when check() is
// called. This workstation's own changes are never reported.
class ChangeFeed : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Looks for changes now; nothing to do for an engine that is told.
    // Throws StoreError.
    virtual void check() { }

signals:
    void changed(const QList<tv::DataChange> &changes);
};

// What other workstations change in that database from now on, as its
// engine learns of it. Throws StoreError.
std::unique_ptr<ChangeFeed> changeFeed(Database &db);

} // namespace tv
