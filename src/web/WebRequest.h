#pragma once

#include <QDate>
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// What a request to the booking service asks, once checked: the route, the
// token, and every parameter validated. A request that fails here gets a
// 400 with the French text of `error`.
namespace tv::web {

using Params = std::multimap<std::string, std::string>;

enum class Route {
    Page,     // GET /r/<token>: the month of one doctor
    Book,     // POST /r/<token>/reserver
    Cancel,   // POST /r/<token>/annuler
    Style,    // GET /style.css
    Script,   // GET /app.js
    NotFound, // anything else: the same 404 as an unknown token
    WrongMethod,
};

struct ParsedRequest {
    Route route = Route::NotFound;
    QString token;
    std::optional<QString> medecin;
    std::optional<QDate> month; // first day of the month
    std::optional<QDate> day;
    QString heure; // "09H30", or "" when none was given
    QString error; // "" when the parameters are good
};

// `today` bounds the months that can be asked (the year before to three
// years ahead, as the desktop's year list).
ParsedRequest parseRequest(std::string_view method, std::string_view path, const Params &params, const QDate &today);

// "AAAA-MM-JJ" and "AAAA-MM" forms of a date, as the page writes them.
QString isoDay(const QDate &day);
QString isoMonth(const QDate &month);
// The path with its token hidden, for the access log.
std::string pathForLog(std::string_view path);

} // namespace tv::web
