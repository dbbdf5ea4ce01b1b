#pragma once

#include "maintenance/core/AccessReport.h"

#include <memory>
#include <optional>

class QWidget;

namespace tv {

// An Access database of the former program on its way in: read by the
// reader child, its losses shown, the user's answer, and the report left
// beside the old file once imported.
class AccessImport {
public:
    // What the program does when nothing is imported, said after the
    // reason (`refused`) or after the question (`declined`, "Si vous
    // répondez Non, ...").
    struct Outcome {
        QString refused;
        QString declined;
    };
    // Reads the file under a busy cursor. Nothing to import when it cannot
    // be read, when the user declines what is readable, or when the reader
    // cannot be started: the reason has been shown and no file has changed.
    static std::optional<AccessImport> prepare(QWidget *parent, const QString &path, const Outcome &otherwise);

    std::shared_ptr<const AccessContent> content() const { return m_content; }
    bool whole() const { return m_lines.isEmpty(); }
    // Once the files are in place: the report beside the old file, and
    // the message that says the import is partial.
    void finish(QWidget *parent, const QString &backup) const;

private:
    std::shared_ptr<const AccessContent> m_content;
    QStringList m_lines; // what could not be read; empty when whole
};

} // namespace tv
