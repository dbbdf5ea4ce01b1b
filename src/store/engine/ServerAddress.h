#pragma once

#include <QString>

namespace tv {

// A libpq connection string ("host=cabinet-serveur dbname=tallvane
// user=secretariat") as written in Serveur.cfg. The password is never kept
// there: libpq finds it in ~/.pgpass or PGPASSFILE.
struct ServerAddress {
    QString conninfo;
    QString host;   // "" when libpq's default (the local socket)
    QString dbname; // "" when libpq's default

    // Throws StoreError with a French message for a malformed string or
    // one holding a password.
    static ServerAddress parse(const QString &conninfo);
    // "cabinet-serveur" or "le serveur local" for messages.
    QString hostForMessage() const;
};

} // namespace tv
