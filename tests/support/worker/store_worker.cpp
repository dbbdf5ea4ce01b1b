// A second program working on the same files as the tests, for what one
// process alone cannot show: two workstations on one data folder, and a
// write cut short by the process being killed.
//
//   tallvane_store_worker transfer <database> <connection string>
//       moves the database onto the server slowly, printing "copie" after
//       each block of rows, until killed.
//   tallvane_store_worker rewrite <program folder> <data folder>
//       rewrites Vs.ini, CheminBase.cfg and Medecin.ini with one of two
//       contents in turn, until killed.
//   tallvane_store_worker append <data folder> <tag> <count>
//       adds <tag>1..<tag><count> to Medecin.ini, Medoc.txt and the
//       absences of "  DR A", one at a time.
//   tallvane_store_worker change <database> <what> <values...>
//       one change another workstation makes: book or unbook <doctor>
//       <laboratory> <dd/mm/yyyy>, purge <year>, quota <laboratory> <doctor>
//       <number>, rename <laboratory> <new name>, drop <laboratory>, present
//       <doctor> <laboratory> <yyyy-mm-dd> <products>, absent <doctor entry>
//       <dd/mm/yyyy> (in the database's folder).
#include "agenda/core/AgendaFiles.h"
#include "products/core/MedocFile.h"
#include "server/core/ServerTransfer.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

namespace {

int transfer(const QString &database, const QString &conninfo)
{
    auto store = tv::Store::open(database);
    tv::ServerTransfer::run(store->db(), tv::ServerAddress::parse(conninfo), QFileInfo(database).absolutePath(),
                            [](qint64, qint64) {
                                std::printf("copie\n");
                                std::fflush(stdout);
                                QThread::msleep(100);
                                return true;
                            });
    return 0;
}

int rewrite(const QString &programFolder, const QString &dataFolder)
{
    const tv::WorkstationSettings shortSettings{1, 0, 0, 0};
    const tv::WorkstationSettings longSettings{200, 1, 1, 1};
    QStringList manyDoctors;
    for (int i = 0; i < 2000; ++i)
        manyDoctors.append(QStringLiteral("Dr Médecin numéro %1").arg(i));
    // Each run starts from the whole list, so the states a kill can leave
    // are few: the whole list, less one doctor, less one plus the added one.
    const QString medecinIni = tv::files::join(dataFolder, tv::files::MedecinIni);
    tv::textfile::writeLines(medecinIni, manyDoctors);
    for (unsigned turn = 0;; ++turn) {
        const bool odd = turn % 2;
        tv::vsini::write(programFolder, odd ? longSettings : shortSettings);
        tv::cheminbase::write(programFolder, odd ? dataFolder : dataFolder + QStringLiteral("/autre"));
        if (odd) {
            tv::textfile::writeLines(medecinIni, manyDoctors);
        } else {
            tv::doctorsfile::remove(dataFolder, manyDoctors.at(static_cast<int>(turn / 2 % 2000)));
            tv::doctorsfile::append(dataFolder, QStringLiteral("Dr Ajouté"));
        }
    }
}

int append(const QString &dataFolder, const QString &tag, int count)
{
    for (int i = 1; i <= count; ++i) {
        const QString line = tag + QString::number(i);
        tv::doctorsfile::append(dataFolder, line);
        tv::medocfile::append(dataFolder, line);
        tv::agendafiles::appendAbsences(dataFolder, QStringLiteral("  DR A"), {line});
    }
    return 0;
}

int change(const QString &database, const QStringList &a)
{
    const QString what = a.value(0);
    if (what == QLatin1String("absent")) {
        tv::agendafiles::appendAbsences(QFileInfo(database).absolutePath(), a.value(1), {a.value(2)});
        return 0;
    }
    auto store = tv::Store::open(database);
    const QStringList day = a.value(3).split(u'/');
    if (what == QLatin1String("book"))
        store->visites().insert({0, a.value(1), a.value(2), day.value(0), day.value(1), day.value(2), QString()});
    else if (what == QLatin1String("unbook"))
        store->visites().removeFirstAppointment(day.value(0), day.value(1), day.value(2), a.value(2), a.value(1));
    else if (what == QLatin1String("purge"))
        store->visites().removeYear(a.value(1));
    else if (what == QLatin1String("quota"))
        store->passages().setQuota(a.value(1), a.value(2), a.value(3).toInt());
    else if (what == QLatin1String("rename"))
        store->renameLaboratory(a.value(1), a.value(2));
    else if (what == QLatin1String("drop"))
        store->deleteLaboratory(a.value(1));
    else if (what == QLatin1String("present"))
        store->produits().insert({0, a.value(1), a.value(2), QString(), a.value(3), a.value(4) + u'\n'});
    else
        return 2;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 4 && args.at(1) == QLatin1String("transfer"))
            return transfer(args.at(2), args.at(3));
        if (args.size() == 4 && args.at(1) == QLatin1String("rewrite"))
            return rewrite(args.at(2), args.at(3));
        if (args.size() == 5 && args.at(1) == QLatin1String("append"))
            return append(args.at(2), args.at(3), args.at(4).toInt());
        if (args.size() >= 4 && args.at(1) == QLatin1String("change"))
            return change(args.at(2), args.mid(3));
    } catch (const tv::StoreError &e) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(e.message()), qPrintable(e.detail()));
        return 3;
    }
    std::fprintf(stderr, "usage: tallvane_store_worker transfer | rewrite | append ...\n");
    return 2;
}
