#pragma once

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace tv {

// The wait cursor while the window cannot answer, put back however the
// work ends.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// A modal progress window that appears only when the work lasts; with a
// cancel caption the user may stop the work.
std::unique_ptr<QProgressDialog> progressWindow(QWidget *parent, const QString &label,
                                                const QString &cancelCaption = QString());

} // namespace tv
