#include "maintenance/ui/AccessImport.h"

#include "common/ui/Busy.h"
#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "maintenance/core/AccessReading.h"
#include "store/engine/StoreError.h"

namespace tv {

std::optional<AccessImport> AccessImport::prepare(QWidget *parent, const QString &path, const Outcome &otherwise)
{
    AccessImport import;
    accessreport::Summary summary;
    try {
        const BusyCursor busy;
        import.m_content = std::make_shared<const AccessContent>(accessreading::read(path));
        summary = accessreport::summarize(*import.m_content);
    } catch (const StoreError &error) {
        dialogs::critical(parent, error.fullText() + QStringLiteral("\n\n") + otherwise.refused);
        return std::nullopt;
    }
    switch (summary.verdict) {
    case accessreport::Verdict::Whole: return import;
    case accessreport::Verdict::Unreadable:
        dialogs::critical(parent, accessreport::unreadableText(path) + QStringLiteral("\n\n") + otherwise.refused);
        return std::nullopt;
    case accessreport::Verdict::Partial: break;
    }
    if (!dialogs::askYesNo(parent, accessreport::partialQuestion(path, summary.lines, otherwise.declined), true,
                           QMessageBox::Warning))
        return std::nullopt;
    import.m_lines = summary.lines;
    return import;
}

void AccessImport::finish(QWidget *parent, const QString &backup) const
{
    if (whole())
        return;
    QString text;
    try {
        text = accessreport::partialDoneText(accessreport::writeReport(backup, m_content->path, m_lines));
    } catch (const StoreError &error) {
        // The data are in place: the list is at least shown.
        text = QStringLiteral("Importation faite en partie : ce qui a pu être lu a été repris. Le rapport n'a pas "
                              "pu être écrit (%1). Ce qui n'a pas pu être lu :\n\n%2")
                   .arg(error.message(), m_lines.join(QLatin1Char('\n')));
    }
    dialogs::information(parent, text);
}

} // namespace tv
