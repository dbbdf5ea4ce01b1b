#pragma once

#include <QProcess>
#include <QString>
#include <memory>
#include <random>

namespace tv {
class FrmLabo;
class Store;
} // namespace tv

// What following the other workstations costs the window, and how long
// their changes take to show.
namespace tvbench::live {

// The window's refresh after another connection booked (or removed) an
// appointment of the doctor shown today: every part on screen read again,
// as a change of the shared file makes it, or, `told` (a server's notice),
// the parts on screen that the change touches; milliseconds of the main
// thread.
double refresh(tv::FrmLabo &window, tv::Store &other, bool book, bool told);
// One look at the database for the others' changes (the file's data
// version); milliseconds.
double check(tv::FrmLabo &window);

// The other workstation, a process of its own: reads lines "book" or
// "unbook", a tab, the doctor, a tab, the laboratory; makes that change of
// today's appointments and answers the steady clock's time of its commit
// in nanoseconds.
int writer(const QString &database);

// This side: the writer started, each change's delay measured from its
// commit to the end of the window's refresh.
class Delay {
public:
    Delay(const QString &program, const QString &database);
    ~Delay();
    // Milliseconds; negative when the window did not follow within 5 s.
    // Books today for the shown doctor and laboratory, then takes it back.
    double next(tv::FrmLabo &window);

private:
    std::unique_ptr<QProcess> m_writer;
    bool m_booked = false;
    std::mt19937 m_random{2025};
};

} // namespace tvbench::live
