#pragma once

#include <QString>
#include <stdexcept>

namespace tv {

// A failed file or database operation. The message is French and meant for
// the user; the detail carries the engine's own words.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString &message, const QString &detail = {})
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_detail(detail)
    {
    }

    QString message() const { return m_message; }
    QString detail() const { return m_detail; }
    QString fullText() const { return m_detail.isEmpty() ? m_message : m_message + QStringLiteral("\n\n") + m_detail; }

private:
    QString m_message;
    QString m_detail;
};

} // namespace tv
