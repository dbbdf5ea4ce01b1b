#pragma once

#include <QStringList>
#include <memory>

namespace tv {
class ChangeFeed;
class Database;
class Notifier;

// The server tells every workstation of each change to the four tables:
// triggers send a notice on one channel per schema, naming the table and,
// where they apply, the doctor, the laboratory and the day; each
// workstation listens on its own connection. The notice's format is
// written and read here only.
namespace servernotices {

// The trigger functions and the triggers, made with the tables.
QStringList statements();
// A query answering true when every trigger is in place.
QString inPlaceQuery();
// Listens through the connection's notifier; reports what the other
// connections change. Throws StoreError.
std::unique_ptr<ChangeFeed> listen(Database &db, Notifier &notifier);

} // namespace servernotices
} // namespace tv
