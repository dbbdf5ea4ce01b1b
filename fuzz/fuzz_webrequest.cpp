// What the booking service makes of any request: the target and the form
// body cut into parameters by the HTTP library, then routed and validated.
// It always ends; what passes validation is in the shape the pages and the
// booking rely on, and nothing a client sent reaches the log or a page raw.
#include "FuzzSupport.h"

#include "web/Html.h"
#include "web/WebRequest.h"

#include <httplib.h>

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tv::web;
    if (size == 0)
        return 0;
    static const char *const methods[] = {"GET", "POST", "HEAD", "PUT"};
    const std::string method = methods[data[0] % 4];
    const std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    const auto line = rest.find('\n');
    const std::string target = rest.substr(0, line);
    const std::string body = line == std::string::npos ? std::string() : rest.substr(line + 1);

    const auto question = target.find('?');
    const std::string path = httplib::detail::decode_url(target.substr(0, question), false);
    Params params;
    if (question != std::string::npos)
        httplib::detail::parse_query_text(target.substr(question + 1), params);
    if (method == "POST")
        httplib::detail::parse_query_text(body, params);

    const QDate today(2025, 3, 5);
    const ParsedRequest r = parseRequest(method, path, params, today);
    const bool changes = r.route == Route::Book || r.route == Route::Cancel;
    if (changes && method != "POST")
        std::abort();
    if (changes && r.error.isEmpty() && (!r.medecin || !r.day || r.medecin->trimmed().isEmpty()))
        std::abort();
    for (const auto &day : {r.day, r.month})
        if (r.error.isEmpty() && day && (day->year() < 2024 || day->year() > 2028))
            std::abort();
    static const QRegularExpression time(QRegularExpression::anchoredPattern(QStringLiteral("(|[0-2]\\d[H][0-5]\\d)")));
    if (!time.match(r.heure).hasMatch())
        std::abort();

    for (const unsigned char c : pathForLog(path))
        if (c < 0x21 || c == 0x7f)
            std::abort();
    const QString shown = tv::web::html::escape(QString::fromStdString(rest));
    for (const QChar c : {u'<', u'>', u'"', u'\''})
        if (shown.contains(c))
            std::abort();
    return 0;
}
