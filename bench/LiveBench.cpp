#include "LiveBench.h"

#include "app/ui/FrmLabo.h"
#include "app/ui/LiveView.h"
#include "common/core/Clock.h"
#include "store/engine/StoreError.h"
#include "store/tables/Store.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <random>
#include <string>

namespace tvbench::live {

namespace {

using Steady = std::chrono::steady_clock;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Steady::now().time_since_epoch()).count();
}

tv::VisiteRecord todays(const QString &doctor, const QString &labo)
{
    const QDate today = tv::Clock::today();
    return {0,
            doctor,
            labo,
            today.toString(QStringLiteral("dd")),
            today.toString(QStringLiteral("MM")),
            QString::number(today.year()),
            QString()};
}

void change(tv::Store &store, bool book, const QString &doctor, const QString &labo)
{
    const tv::VisiteRecord v = todays(doctor, labo);
    if (book)
        store.visites().insert(v);
    else
        store.visites().removeFirstAppointment(v.jour, v.mois, v.an, v.labo, v.medecin);
}

} // namespace

double refresh(tv::FrmLabo &window, tv::Store &other, bool book, bool told)
{
    change(other, book, window.currentDoctor(), window.currentLabo());
    // A server's notice names the appointment's table, doctor, laboratory
    // and day; the file's data version only says that something changed.
    const tv::DataChange notice{tv::DataChange::Table::Visite, window.currentDoctor(), window.currentLabo(),
                                tv::Clock::today().toString(Qt::ISODate)};
    const tv::live::Parts parts =
        window.onScreen(tv::live::touchedBy(told ? notice : tv::DataChange{}, window.shownNow()));
    const auto start = Steady::now();
    window.refreshParts(parts);
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

double check(tv::FrmLabo &window)
{
    static std::unique_ptr<tv::ChangeFeed> feed;
    static tv::FrmLabo *watched = nullptr;
    if (watched != &window) {
        feed = window.store().changeFeed();
        watched = &window;
    }
    const auto start = Steady::now();
    feed->check();
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

int writer(const QString &database)
{
    auto store = tv::Store::open(database);
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList parts = QString::fromStdString(line).split(u'\t');
        if (parts.size() != 3)
            return 2;
        change(*store, parts.at(0) == QLatin1String("book"), parts.at(1), parts.at(2));
        std::printf("%lld\n", static_cast<long long>(nowNs()));
        std::fflush(stdout);
    }
    return 0;
}

Delay::Delay(const QString &program, const QString &database)
    : m_writer(std::make_unique<QProcess>())
{
    m_writer->start(program, {QStringLiteral("--live-writer"), database});
    if (!m_writer->waitForStarted(10000))
        throw tv::StoreError(QStringLiteral("L'autre poste n'a pas démarré"));
}

Delay::~Delay()
{
    m_writer->closeWriteChannel();
    m_writer->waitForFinished(10000);
}

double Delay::next(tv::FrmLabo &window)
{
    // Its own booking taken back each other time: a removal of nothing
    // would commit nothing, and nothing would show.
    const bool book = !m_booked;
    m_booked = book;
    // A change comes at any moment of the second between two looks at the
    // file, not just after one.
    QElapsedTimer pause;
    pause.start();
    const qint64 wait = std::uniform_int_distribution<qint64>(0, 999)(m_random);
    while (pause.elapsed() < wait)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    int refreshed = 0;
    qint64 shown = 0;
    const QMetaObject::Connection counting = QObject::connect(&window.live(), &tv::LiveView::refreshed, [&] {
        ++refreshed;
        shown = nowNs();
    });
    const QString order = (book ? QStringLiteral("book\t") : QStringLiteral("unbook\t")) + window.currentDoctor()
                          + u'\t' + window.currentLabo() + u'\n';
    m_writer->write(order.toUtf8());
    if (!m_writer->waitForReadyRead(10000))
        throw tv::StoreError(QStringLiteral("L'autre poste ne répond pas"),
                             QString::fromUtf8(m_writer->readAllStandardError()));
    const qint64 committed = m_writer->readLine().trimmed().toLongLong();
    QElapsedTimer waited;
    waited.start();
    while (refreshed == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QObject::disconnect(counting);
    return refreshed == 0 ? -1 : static_cast<double>(shown - committed) / 1e6;
}

} // namespace tvbench::live
