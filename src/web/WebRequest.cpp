#include "web/WebRequest.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <set>

namespace tv::web {

namespace {

constexpr qsizetype kMaxValue = 80;

struct RouteShape {
    Route route;
    bool post;
    std::set<std::string> allowed;
    std::set<std::string> required;
};

std::optional<QString> utf8(const std::string &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool inAgenda(const QDate &day, const QDate &today)
{
    return day.isValid() && day.year() >= today.year() - 1 && day.year() <= today.year() + 3;
}

std::optional<QDate> parseMonth(const QString &text, const QDate &today)
{
    static const QRegularExpression shape(QRegularExpression::anchoredPattern(QStringLiteral("(\\d{4})-(\\d{2})")));
    const auto m = shape.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate first(m.captured(1).toInt(), m.captured(2).toInt(), 1);
    return inAgenda(first, today) ? std::optional(first) : std::nullopt;
}

std::optional<QDate> parseDay(const QString &text, const QDate &today)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(QStringLiteral("(\\d{4})-(\\d{2})-(\\d{2})")));
    const auto m = shape.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate day(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return inAgenda(day, today) ? std::optional(day) : std::nullopt;
}

// "9h30", "09:30", "09H30" -> "09H30"; nullopt for anything else.
std::optional<QString> parseTime(const QString &text)
{
    static const QRegularExpression shape(
        QRegularExpression::anchoredPattern(QStringLiteral("(\\d{1,2})\\s*[hH:]\\s*(\\d{2})")));
    const auto m = shape.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int hours = m.captured(1).toInt();
    const int minutes = m.captured(2).toInt();
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return QStringLiteral("%1H%2").arg(hours, 2, 10, QLatin1Char('0')).arg(minutes, 2, 10, QLatin1Char('0'));
}

bool isDoctorName(const QString &text)
{
    if (text.trimmed().isEmpty() || text.size() > kMaxValue)
        return false;
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return false;
    return true;
}

// Checks one parameter and stores it; the French reason when it is bad.
QString take(ParsedRequest &r, const std::string &name, const QString &value, const QDate &today)
{
    if (name == "medecin") {
        if (!isDoctorName(value))
            return QStringLiteral("Le nom du médecin n'est pas valable.");
        r.medecin = value.trimmed();
    } else if (name == "mois") {
        r.month = parseMonth(value, today);
        if (!r.month)
            return QStringLiteral("Le mois demandé n'est pas valable (AAAA-MM, de l'an dernier à dans trois ans).");
    } else if (name == "jour") {
        if (value.isEmpty())
            return QStringLiteral("Choisissez d'abord un jour libre dans le calendrier.");
        r.day = parseDay(value, today);
        if (!r.day)
            return QStringLiteral("Le jour demandé n'est pas valable (AAAA-MM-JJ, de l'an dernier à dans trois ans).");
    } else if (name == "heure") {
        if (value.trimmed().isEmpty())
            return {};
        const auto time = parseTime(value);
        if (!time)
            return QStringLiteral("L'heure n'est pas valable : écrivez-la comme 09H30.");
        r.heure = *time;
    }
    return {};
}

QString checkParams(ParsedRequest &r, const RouteShape &shape, const Params &params, const QDate &today)
{
    std::set<std::string> seen;
    for (const auto &[name, raw] : params) {
        const auto shownName = utf8(name).value_or(QStringLiteral("?")).left(20);
        if (!shape.allowed.count(name))
            return QStringLiteral("Paramètre inconnu : « %1 ».").arg(shownName);
        if (!seen.insert(name).second)
            return QStringLiteral("Paramètre donné deux fois : « %1 ».").arg(shownName);
        const auto value = utf8(raw);
        if (!value || value->size() > kMaxValue)
            return QStringLiteral("Le paramètre « %1 » n'est pas valable.").arg(shownName);
        const QString reason = take(r, name, *value, today);
        if (!reason.isEmpty())
            return reason;
    }
    for (const std::string &name : shape.required) {
        if (!seen.count(name))
            return name == "jour" ? QStringLiteral("Choisissez d'abord un jour libre dans le calendrier.")
                                  : QStringLiteral("Il manque le paramètre « %1 ».").arg(QString::fromStdString(name));
    }
    return {};
}

} // namespace

ParsedRequest parseRequest(std::string_view method, std::string_view path, const Params &params, const QDate &today)
{
    ParsedRequest r;
    const bool get = method == "GET" || method == "HEAD";
    const bool post = method == "POST";
    if (path == "/style.css" || path == "/app.js") {
        r.route = get ? (path == "/style.css" ? Route::Style : Route::Script) : Route::WrongMethod;
        return r;
    }
    if (path.substr(0, 3) != "/r/")
        return r;
    std::string_view rest = path.substr(3);
    const auto slash = rest.find('/');
    const std::string_view token = rest.substr(0, slash);
    const std::string_view action = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    static const RouteShape page{Route::Page, false, {"medecin", "mois"}, {}};
    static const RouteShape book{Route::Book, true, {"medecin", "mois", "jour", "heure"}, {"medecin", "jour"}};
    static const RouteShape cancel{Route::Cancel, true, {"medecin", "jour"}, {"medecin", "jour"}};
    const RouteShape *shape = nullptr;
    if (action.empty() || action == "/")
        shape = &page;
    else if (action == "/reserver")
        shape = &book;
    else if (action == "/annuler")
        shape = &cancel;
    if (!shape)
        return r;
    r.token = QString::fromLatin1(token.data(), qsizetype(token.size()));
    if ((shape->post && !post) || (!shape->post && !get)) {
        r.route = Route::WrongMethod;
        return r;
    }
    r.route = shape->route;
    r.error = checkParams(r, *shape, params, today);
    return r;
}

QString isoDay(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

QString isoMonth(const QDate &month)
{
    return month.toString(QStringLiteral("yyyy-MM"));
}

std::string pathForLog(std::string_view path)
{
    std::string shown;
    if (path.substr(0, 3) != "/r/")
        shown = path.substr(0, 200);
    else {
        const std::string_view rest = path.substr(3);
        const auto slash = rest.find('/');
        shown = "/r/<jeton>";
        if (slash != std::string_view::npos)
            shown += rest.substr(slash, 40);
    }
    // One line per request, whatever the client sent.
    for (char &c : shown)
        if (static_cast<unsigned char>(c) < 0x21 || c == 0x7f)
            c = '?';
    return shown;
}

} // namespace tv::web
