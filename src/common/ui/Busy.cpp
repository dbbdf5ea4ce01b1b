#include "common/ui/Busy.h"

#include <QApplication>
#include <QProgressDialog>

namespace tv {

BusyCursor::BusyCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QApplication::restoreOverrideCursor();
}

std::unique_ptr<QProgressDialog> progressWindow(QWidget *parent, const QString &label, const QString &cancelCaption)
{
    auto dialog = std::make_unique<QProgressDialog>(label, cancelCaption, 0, 0, parent);
    dialog->setObjectName(QStringLiteral("Progression"));
    dialog->setWindowTitle(QStringLiteral("Tallvane"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(700);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    return dialog;
}

} // namespace tv
