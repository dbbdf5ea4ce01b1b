#pragma once

#include <QString>
#include <QUrl>

namespace tv::online {

// The new mail that gives a delegate the laboratory's booking link.
QUrl mailWithLink(const QString &email, const QString &labo, const QString &link);

} // namespace tv::online
