#pragma once

#include <QString>
#include <stdexcept>

namespace tv {

// A failed file or database operation. The message is French and meant for
// the user; the detail carries what the user needs beyond it. The engine's
// own words (its English text, the statement) never go in either: they go
// to the engine's log file.
class StoreError : public std::runtime_error {
public:
    // What went wrong, for the code that reacts to it (the repair tool, the
    // guard that shows one message per server outage).
    enum class Cause {
        Other,
        Busy,        // another workstation holds the database
        Damaged,     // the file is not a readable database
        Unreachable, // the server does not answer
    };

    explicit StoreError(const QString &message, const QString &detail = {}, Cause cause = Cause::Other, int outage = 0)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_detail(detail)
        , m_cause(cause)
        , m_outage(outage)
    {
    }

    QString message() const { return m_message; }
    QString detail() const { return m_detail; }
    QString fullText() const { return m_detail.isEmpty() ? m_message : m_message + QStringLiteral("\n\n") + m_detail; }
    Cause cause() const { return m_cause; }
    // Unreachable: the number of the outage, the same for every failure
    // until the server answers again.
    int outage() const { return m_outage; }

private:
    QString m_message;
    QString m_detail;
    Cause m_cause;
    int m_outage;
};

} // namespace tv
