#pragma once

#include "web/DelegatePage.h"
#include "web/WebRequest.h"

#include <QString>
#include <QStringList>
#include <string>

namespace tv {
class Store;
}

namespace tv::web {

struct Reply {
    int status = 200;
    std::string body;
    std::string type = "text/html; charset=utf-8";
};

// The service's answers, once the token has been matched to its
// laboratory: the month page, a booking, a cancellation. Every rule is the
// agenda's (booking::book, booking::cancel, booking::dayStatus).
class BookingSite {
public:
    // workstations: settings folders (Vs.ini) of the doctors' workstations;
    // a doctor's is the one whose start-up doctor he is, and the page asks
    // for a time when that workstation asks for times.
    BookingSite(QString dataFolder, QStringList workstations);

    Reply page(Store &store, const QString &labo, const ParsedRequest &request);
    Reply book(Store &store, const QString &labo, const ParsedRequest &request);
    Reply cancel(Store &store, const QString &labo, const ParsedRequest &request);
    // A 400: the parameters were bad.
    Reply badRequest(const QString &token, const QString &message) const;

    const QString &dataFolder() const { return m_dataFolder; }

private:
    struct Doctors {
        QStringList all;      // Medecin.ini order, upper case
        QStringList received; // those with a positive quota with the laboratory
    };
    Doctors doctorsOf(Store &store, const QString &labo) const;
    bool asksTime(const QString &medecin, const QStringList &allDoctors) const;
    Reply render(Store &store, const QString &labo, const QString &token, const QString &medecin, const QDate &month,
                 const QString &message, bool error, int status);

    QString m_dataFolder;
    QStringList m_workstations;
};

} // namespace tv::web
