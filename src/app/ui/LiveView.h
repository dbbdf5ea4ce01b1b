#pragma once

#include "common/core/LiveChanges.h"
#include "store/engine/ChangeFeed.h"
#include "store/files/FileWatch.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

class QWidget;

namespace tv {
class FrmLabo;

// What the other workstations change shows here without a click. The
// database's change feed, the data folder's text files and the date are
// watched; the changes that come together are refreshed once, only in the
// parts of the window they touch, and never while a modal box is open:
// they wait until it closes.
class LiveView : public QObject {
    Q_OBJECT
public:
    explicit LiveView(FrmLabo &window);
    ~LiveView() override;

    // Follows the store just opened; lets it go before it closes.
    void attach();
    void detach();
    // The look at the file, the text files and the date, as the timer
    // takes it about once a second.
    void check();
    // Another page is shown: what changed on it meanwhile is read now.
    void pageShown();
    // The shown doctor's files watched from now on, their state now the
    // one shown: a change made before the next look is not missed.
    void followFiles();

    // Tests shorten the time between two looks.
    static void setCheckInterval(int milliseconds);

signals:
    // The window shows the changes reported until now.
    void refreshed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void report(const QList<DataChange> &changes);
    void filesChanged(const QStringList &paths);
    void refreshWhenFree();
    void refresh();
    QStringList watchedFiles() const;

    FrmLabo &m_window;
    std::unique_ptr<ChangeFeed> m_feed;
    FileWatch m_files;
    QTimer m_clock;
    QTimer m_soon; // the changes that come together, refreshed once
    QList<DataChange> m_changes;
    QStringList m_changedFiles;
    live::Parts m_hidden; // touched while their page was not shown
    QDate m_today;
    QPointer<QWidget> m_modal; // the box the refresh waits for
    bool m_refreshing = false;
    bool m_failed = false; // said once until a look succeeds again
};

} // namespace tv
