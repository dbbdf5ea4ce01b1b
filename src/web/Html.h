#pragma once

#include <QString>
#include <string>

// The pieces every page of the booking service is made of.
namespace tv::web::html {

// Everything written into a page goes through here: & < > " ' escaped.
QString escape(const QString &text);

// A whole page: head with the style sheet, the title, the body as given.
std::string page(const QString &title, const QString &body);
// A short page holding only a message (errors), with a way back.
std::string messagePage(const QString &title, const QString &message, const QString &backHref = {});

// The style sheet and the small script, served by the service itself.
const std::string &styleSheet();
const std::string &script();

} // namespace tv::web::html
