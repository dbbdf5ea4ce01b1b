#pragma once

#include <QString>

class QSqlDatabase;
struct sqlite3;

namespace tv::sqlitefile {

// The engine under Qt's SQLite driver; throws StoreError when the
// connection is not an SQLite one.
sqlite3 *rawHandle(const QSqlDatabase &db);
// The French text for an SQLite result code.
QString describeCode(int code);

} // namespace tv::sqlitefile
