#include "app/ui/LiveView.h"

#include "agenda/core/AgendaFiles.h"
#include "app/ui/FrmLabo.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QApplication>
#include <QEvent>

namespace tv {

namespace {

int g_interval = 1000;
// Past this many waiting changes, one that stands for any is as good.
constexpr int kMostChanges = 64;

} // namespace

LiveView::LiveView(FrmLabo &window)
    : m_window(window)
{
    m_clock.setInterval(g_interval);
    connect(&m_clock, &QTimer::timeout, this, &LiveView::check);
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &LiveView::refreshWhenFree);
    connect(&m_files, &FileWatch::changed, this, &LiveView::filesChanged);
}

LiveView::~LiveView() = default;

void LiveView::setCheckInterval(int milliseconds)
{
    g_interval = milliseconds;
}

void LiveView::attach()
{
    detach();
    m_today = Clock::today();
    try {
        m_feed = m_window.store().changeFeed();
        connect(m_feed.get(), &ChangeFeed::changed, this, &LiveView::report);
    } catch (const StoreError &) {
        // Without the feed the text files and the date are still followed.
        m_feed.reset();
    }
    m_files.watch(watchedFiles());
    m_clock.start();
}

void LiveView::detach()
{
    m_clock.stop();
    m_feed.reset();
    m_changes.clear();
    m_hidden = {};
}

QStringList LiveView::watchedFiles() const
{
    const QString folder = m_window.state().CheminBase;
    QStringList paths = {files::join(folder, files::MedecinIni), files::join(folder, files::Medoc)};
    if (m_window.hasDoctor())
        paths << agendafiles::absencesPath(folder, m_window.doctorEntry())
              << agendafiles::passagesPath(folder, m_window.doctorEntry());
    return paths;
}

void LiveView::check()
{
    try {
        if (m_feed)
            m_feed->check();
        m_failed = false;
    } catch (const StoreError &error) {
        // Once, not every second while the file cannot be reached.
        if (!m_failed && !QApplication::activeModalWidget()) {
            m_failed = true;
            dialogs::critical(m_window.widget(), error.fullText());
        }
    }
    m_files.watch(watchedFiles());
    m_files.check();
    if (Clock::today() != m_today || !m_changes.isEmpty() || !m_changedFiles.isEmpty())
        m_soon.start();
}

void LiveView::followFiles()
{
    m_files.watch(watchedFiles());
}

void LiveView::pageShown()
{
    if (m_hidden.any())
        m_soon.start();
}

void LiveView::report(const QList<DataChange> &changes)
{
    m_changes.append(changes);
    if (m_changes.size() > kMostChanges)
        m_changes = {DataChange{}};
    m_soon.start();
}

void LiveView::filesChanged(const QStringList &paths)
{
    m_changedFiles.append(paths);
    m_soon.start();
}

void LiveView::refreshWhenFree()
{
    if (m_refreshing)
        return;
    if (QWidget *modal = QApplication::activeModalWidget()) {
        // Once the box closes.
        if (m_modal != modal) {
            m_modal = modal;
            modal->installEventFilter(this);
        }
        return;
    }
    refresh();
}

bool LiveView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_modal && (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
        m_modal->removeEventFilter(this);
        m_modal = nullptr;
        m_soon.start();
    }
    return QObject::eventFilter(watched, event);
}

void LiveView::refresh()
{
    if (!m_window.hasStore())
        return;
    const live::Shown shown = m_window.shownNow();
    live::Parts parts = m_hidden;
    if (shown.today != m_today) {
        m_today = shown.today;
        parts |= live::newDay();
    }
    for (const DataChange &change : std::as_const(m_changes))
        parts |= live::touchedBy(change, shown);
    const QString folder = m_window.state().CheminBase;
    for (const QString &path : std::as_const(m_changedFiles)) {
        if (path == files::join(folder, files::MedecinIni))
            parts.doctors = true;
        else if (path == files::join(folder, files::Medoc))
            parts.medicines = true;
        else if (!shown.month.isEmpty())
            parts.grid = true; // the shown doctor's absences or weekday maxima
    }
    m_changes.clear();
    m_changedFiles.clear();
    const live::Parts now = m_window.onScreen(parts);
    m_hidden = parts;
    m_hidden -= now;
    m_refreshing = true;
    m_window.refreshParts(now);
    m_refreshing = false;
    emit refreshed();
}

} // namespace tv
