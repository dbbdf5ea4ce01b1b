#include "web/WebOptions.h"

namespace tv::web {

namespace {

ParsedOptions failed(const QString &text)
{
    return {std::nullopt, text};
}

// "127.0.0.1:8080", "[::1]:8080", "0.0.0.0:80".
bool splitListen(const QString &text, QString &host, int &port)
{
    const auto colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    port = text.mid(colon + 1).toInt(&ok);
    // The address itself is checked when it is bound.
    return ok && port > 0 && port < 65536 && !host.isEmpty() && !host.contains(u' ');
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "Usage :\n"
        "  tallvane-web --data <dossier> --listen <adresse:port> [--poste <dossier>]... [--proxy <adresse>] "
        "[--journal <fichier>]\n"
        "  tallvane-web --lien <LABO> --data <dossier>\n\n"
        "--data     le dossier des données (Ferrune.mdb ou Serveur.cfg, Medecin.ini...)\n"
        "--listen   l'adresse et le port d'écoute, par exemple 127.0.0.1:8080\n"
        "--poste    le dossier des réglages (Vs.ini) d'un poste de médecin : la page demande l'heure\n"
        "           quand le poste du médecin la demande\n"
        "--proxy    l'adresse du proxy inverse dont l'en-tête X-Forwarded-For est cru\n"
        "--journal  le fichier du journal des accès (sinon la sortie standard)\n"
        "--lien     affiche le lien de réservation du laboratoire, créé s'il manque\n");
}

ParsedOptions parseOptions(const QStringList &arguments)
{
    WebOptions o;
    QString listen;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            o.mode = WebOptions::Mode::Help;
            return {o, {}};
        }
        if (i + 1 >= arguments.size())
            return failed(QStringLiteral("L'option %1 attend une valeur.").arg(name));
        const QString value = arguments[++i];
        if (name == QLatin1String("--data"))
            o.dataFolder = value;
        else if (name == QLatin1String("--listen"))
            listen = value;
        else if (name == QLatin1String("--lien")) {
            o.mode = WebOptions::Mode::Link;
            o.labo = value.trimmed().toUpper();
        } else if (name == QLatin1String("--poste"))
            o.workstations.append(value);
        else if (name == QLatin1String("--proxy"))
            o.trustedProxy = value;
        else if (name == QLatin1String("--journal"))
            o.logFile = value;
        else
            return failed(QStringLiteral("Option inconnue : %1").arg(name));
    }
    if (o.dataFolder.isEmpty())
        return failed(QStringLiteral("Indiquez le dossier des données avec --data."));
    if (o.mode == WebOptions::Mode::Link) {
        if (o.labo.isEmpty())
            return failed(QStringLiteral("Indiquez le laboratoire après --lien."));
        return {o, {}};
    }
    if (listen.isEmpty() || !splitListen(listen, o.host, o.port))
        return failed(QStringLiteral("Indiquez l'adresse d'écoute avec --listen, par exemple 127.0.0.1:8080."));
    return {o, {}};
}

} // namespace tv::web
