#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tv::web {

// The command line of tallvane-web:
//   tallvane-web --data <folder> --listen <address:port> [--poste <folder>]...
//                [--proxy <address>] [--journal <file>]
//   tallvane-web --lien <LABO> --data <folder>
struct WebOptions {
    enum class Mode { Serve, Link, Help };
    Mode mode = Mode::Serve;
    QString dataFolder;
    QString host;
    int port = 0;
    QString labo;
    QStringList workstations;
    QString trustedProxy;
    QString logFile;
};

struct ParsedOptions {
    std::optional<WebOptions> options;
    QString error; // French, when options is empty
};

ParsedOptions parseOptions(const QStringList &arguments); // without the program's name
QString usage();

} // namespace tv::web
