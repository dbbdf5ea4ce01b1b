// The store benchmark's reads: the grid, the appointment lists, the quota,
// the selections, the products history and the start-up.
#include "StoreBench.h"

#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <benchmark/benchmark.h>

#include <QDate>

#include <algorithm>
#include <array>

namespace tvbench::storebench {

namespace {

QString doctorFile(const QString &kind)
{
    return tv::files::join(env->practice.folder, kind + QStringLiteral("  ") + doctor() + QStringLiteral(".txt"));
}

// The per-doctor files the grid fill reads; the same on both sides.
int readAgendaFiles()
{
    const QStringList maxima = tv::textfile::readLines(doctorFile(QStringLiteral("Passages"))).value_or(QStringList{});
    const QString absences =
        tv::textfile::readLines(doctorFile(QStringLiteral("Absences"))).value_or(QStringList{}).join(QString());
    return static_cast<int>(maxima.size() + absences.size());
}

// The first page the history list reads and its length (the rest comes as
// it is scrolled).
int historyPage(tv::ProduitRepository::Filter filter, const QString &value)
{
    tv::ProduitRepository &produits = env->store->produits();
    auto page = produits.historyDays(filter, value, doctor(), {}, true, 100);
    auto count = produits.historyCount(filter, value, doctor());
    return static_cast<int>(page.get().rows.size()) + count.get();
}

int loadTextLists()
{
    const QStringList doctors =
        tv::doctorsfile::listEntries(tv::doctorsfile::read(env->practice.folder).value_or(QStringList{}));
    const QStringList medicines =
        tv::textfile::readLines(tv::files::join(env->practice.folder, tv::files::Medoc)).value_or(QStringList{});
    return static_cast<int>(doctors.size() + medicines.size());
}

} // namespace

int fastGrid()
{
    std::array<int, 32> perDay{};
    for (const tv::VisiteRecord &v : env->store->visites().forMonth(doctor(), kYear, month()).get())
        ++perDay[std::clamp(v.jour.toInt(), 0, 31)];
    benchmark::DoNotOptimize(perDay);
    return readAgendaFiles() + perDay[1];
}

int naiveGrid()
{
    const int days = QDate(kYear.toInt(), month().toInt(), 1).daysInMonth();
    int total = 0;
    for (int day = 1; day <= days; ++day)
        total += static_cast<int>(
            naiveRows(*env->naive,
                      QStringLiteral("select * from Visite where Medecin = ? and Jour = ? and Mois = ? and An = ?"),
                      {doctor(), QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0')), month(), kYear})
                .size());
    return readAgendaFiles() + total;
}

// What the window reads when it fills the doctor's lists: the day's
// appointments and the first page of the past ones (the rest comes as the
// list is scrolled). The pinned "today" of the window benchmark.
int fastDoctorList()
{
    tv::VisiteRepository &visites = env->store->visites();
    const QString today = QStringLiteral("2025-03-05");
    auto day = visites.forDay(doctor(), QStringLiteral("05"), QStringLiteral("03"), QStringLiteral("2025"));
    auto past = visites.pastDays(doctor(), today, {}, true, 100);
    auto count = visites.countPast(doctor(), today);
    return static_cast<int>(day.get().size() + past.get().rows.size()) + count.get();
}
int naiveDoctorList()
{
    return static_cast<int>(
        naiveRows(*env->naive, QStringLiteral("select * from Visite where Medecin = ?"), {doctor()}).size());
}

int fastLaboList()
{
    return static_cast<int>(env->store->visites().forLaboMedecin(labo(), doctor()).get().size());
}
int naiveLaboList()
{
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Visite where Labo = ? and Medecin = ?"),
                                      {labo(), doctor()})
                                .size());
}

int fastQuota()
{
    auto quota = env->store->passages().quota(labo(), doctor());
    auto count = env->store->visites().countForLaboYear(labo(), kYear, doctor());
    return count.get() + (quota.get() ? 1 : 0);
}
int naiveQuota()
{
    const Rows quota = naiveRows(*env->naive, QStringLiteral("select * from Passage where Labo = ? and Medecin = ?"),
                                 {labo(), doctor()});
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Visite where Labo = ? and An = ? and Medecin = ?"),
                                      {labo(), kYear, doctor()})
                                .size()
                            + quota.size());
}

// A selection asks for all it reads first: one round trip on a server.
int fastDoctorSelection()
{
    const tv::ReadAhead ahead(env->store->db(), [] {
        tv::VisiteRepository &visites = env->store->visites();
        visites.forDay(doctor(), QStringLiteral("05"), QStringLiteral("03"), QStringLiteral("2025"));
        visites.pastDays(doctor(), QStringLiteral("2025-03-05"), {}, true, 100);
        visites.countPast(doctor(), QStringLiteral("2025-03-05"));
        visites.forMonth(doctor(), kYear, month());
        env->store->passages().quota(labo(), doctor());
        visites.countForLaboYear(labo(), kYear, doctor());
    });
    return fastDoctorList() + fastGrid() + fastQuota();
}
int naiveDoctorSelection()
{
    return naiveDoctorList() + naiveGrid() + naiveQuota();
}

int fastLaboSelection()
{
    auto record = env->store->labos().findByLabo(labo());
    auto quota = env->store->passages().quota(labo(), doctor());
    auto count = env->store->visites().countForLaboYear(labo(), kYear, doctor());
    auto list = env->store->visites().forLaboMedecin(labo(), doctor());
    return (record.get() ? 1 : 0) + count.get() + (quota.get() ? 1 : 0) + static_cast<int>(list.get().size());
}
int naiveLaboSelection()
{
    const Rows record = naiveRows(*env->naive, QStringLiteral("select * from Labo where Labo = ?"), {labo()});
    return static_cast<int>(record.size()) + naiveQuota() + naiveLaboList();
}

int fastHistoryDoctor()
{
    return historyPage(tv::ProduitRepository::Filter::None, QString());
}
int naiveHistoryDoctor()
{
    return static_cast<int>(
        naiveRows(*env->naive, QStringLiteral("select * from Produit where Medecin = ?"), {doctor()}).size());
}
int fastHistoryDelegue()
{
    return historyPage(tv::ProduitRepository::Filter::Delegue, delegue());
}
int naiveHistoryDelegue()
{
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Produit where Delegue = ? and Medecin = ?"),
                                      {delegue(), doctor()})
                                .size());
}
int fastHistoryLabo()
{
    return historyPage(tv::ProduitRepository::Filter::Labo, labo());
}
int naiveHistoryLabo()
{
    return static_cast<int>(naiveRows(*env->naive,
                                      QStringLiteral("select * from Produit where Labo = ? and Medecin = ?"),
                                      {labo(), doctor()})
                                .size());
}
int fastHistoryMedicine()
{
    return historyPage(tv::ProduitRepository::Filter::Medicament, medicine());
}
int naiveHistoryMedicine()
{
    // The whole table comes back and the "contains, any case" test runs on
    // every row.
    const QString needle = tv::foldText(medicine());
    const QString key = tv::foldText(doctor());
    int found = 0;
    for (const QStringList &row : naiveRows(*env->naive, QStringLiteral("select * from Produit")))
        if (tv::foldText(row.at(1)) == key && tv::foldText(row.at(5)).contains(needle))
            ++found;
    return found;
}

int fastStartUp()
{
    auto store = tv::Store::open(env->dbPath);
    QStringList entries;
    for (const tv::LaboEntry &e : store->labos().all().get())
        entries.append(QStringLiteral("  ") + e.labo);
    return static_cast<int>(entries.size()) + loadTextLists();
}

int naiveStartUp()
{
    int count = 0;
    {
        auto db = openNaive(env->naivePath);
        QStringList entries;
        for (const QStringList &row : naiveRows(*db, QStringLiteral("select * from Labo")))
            entries.append(QStringLiteral("  ") + row.at(1));
        count = static_cast<int>(entries.size());
    }
    return count + loadTextLists();
}

} // namespace tvbench::storebench
