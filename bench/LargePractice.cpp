#include "LargePractice.h"
#include <QFile>
#include <sys/resource.h>

#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"

#include <QDate>
#include <QDir>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <random>

namespace tvbench {

namespace {

// Fixed seed: two runs write the same data, so figures can be compared.
constexpr std::uint32_t kSeed = 20161;

const QStringList kSurnames = {
    QStringLiteral("Martin"),   QStringLiteral("Bernard"), QStringLiteral("Lefèvre"), QStringLiteral("Dubois"),
    QStringLiteral("Thomas"),   QStringLiteral("Robert"),  QStringLiteral("Richard"), QStringLiteral("Petit"),
    QStringLiteral("Durand"),   QStringLiteral("Leroy"),   QStringLiteral("Moreau"),  QStringLiteral("Simon"),
    QStringLiteral("Laurent"),  QStringLiteral("Michel"),  QStringLiteral("Garcia"),  QStringLiteral("David"),
    QStringLiteral("Bertrand"), QStringLiteral("Roux"),    QStringLiteral("Vincent"), QStringLiteral("Fournier"),
    QStringLiteral("Morel"),    QStringLiteral("Girard"),  QStringLiteral("André"),   QStringLiteral("Mercier"),
};
const QStringList kFirstNames = {
    QStringLiteral("Hélène"),   QStringLiteral("Marc"),   QStringLiteral("Sophie"),   QStringLiteral("Éric"),
    QStringLiteral("Claire"),   QStringLiteral("Julien"), QStringLiteral("Anne"),     QStringLiteral("Pierre"),
    QStringLiteral("Isabelle"), QStringLiteral("Luc"),    QStringLiteral("Nathalie"), QStringLiteral("Jérôme"),
};
const QStringList kSyllables = {
    QStringLiteral("ra"),  QStringLiteral("no"), QStringLiteral("vi"),  QStringLiteral("pé"),  QStringLiteral("lo"),
    QStringLiteral("xa"),  QStringLiteral("mé"), QStringLiteral("ti"),  QStringLiteral("dol"), QStringLiteral("zan"),
    QStringLiteral("cor"), QStringLiteral("fè"), QStringLiteral("lin"), QStringLiteral("sta"), QStringLiteral("bu"),
    QStringLiteral("pra"), QStringLiteral("ké"), QStringLiteral("mox"), QStringLiteral("gel"), QStringLiteral("ur"),
};
const QStringList kLaboForms = {
    QStringLiteral("PHARMA"),     QStringLiteral("LABORATOIRES"), QStringLiteral("SANTÉ"),
    QStringLiteral("GÉNÉRIQUES"), QStringLiteral("BIOTECH"),
};

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QStringList doctorLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        QString name = QStringLiteral("Dr ") + kSurnames.at(i % kSurnames.size());
        if (i >= kSurnames.size())
            name += QStringLiteral(" %1").arg(i / kSurnames.size() + 1);
        lines.append(name);
    }
    return lines;
}

QString laboName(int i)
{
    const int n = static_cast<int>(kSyllables.size());
    QString name = (kSyllables.at(i % n) + kSyllables.at((i / n) % n)).toUpper() + QStringLiteral(" ")
                   + kLaboForms.at((i / (n * n)) % kLaboForms.size());
    if (i >= n * n * kLaboForms.size())
        name += QStringLiteral(" %1").arg(i);
    return name;
}

QString delegueName(int i)
{
    return kFirstNames.at(i % kFirstNames.size()) + QStringLiteral(" ")
           + kSurnames.at((i * 7 + i / kFirstNames.size()) % kSurnames.size());
}

QString medicineName(int i)
{
    const int n = static_cast<int>(kSyllables.size());
    QString name = capitalised(kSyllables.at(i % n) + kSyllables.at((i / n) % n) + kSyllables.at((i / (n * n)) % n));
    if (i >= n * n * n)
        name += QStringLiteral(" %1").arg(i);
    return name;
}

// A value as the weekday-maximum file writes it: sign position, digits,
// one blank.
QString maximumField(int value)
{
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(std::abs(value))
           + QStringLiteral(" ");
}

QList<QDate> workingDays(int firstYear, int years)
{
    QList<QDate> days;
    for (QDate d(firstYear, 1, 1); d.year() < firstYear + years; d = d.addDays(1))
        if (d.dayOfWeek() <= 5)
            days.append(d);
    return days;
}

QString two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

struct Appointment {
    int doctor;
    int labo;
    int day; // index into the working days
    int minutes;
};

} // namespace

Practice describeLargePractice(const QString &folder, const PracticeSize &size)
{
    Practice p;
    p.folder = folder;
    p.doctorLines = doctorLines(size.doctors);
    for (const QString &entry : tv::doctorsfile::listEntries(p.doctorLines))
        p.doctors.append(entry.trimmed());
    for (int i = 0; i < size.laboratories; ++i) {
        p.labos.append(laboName(i));
        p.delegues.append(delegueName(i));
    }
    for (int i = 0; i < size.medicines; ++i)
        p.medicines.append(medicineName(i));
    return p;
}

Practice generateLargePractice(const QString &folder, const PracticeSize &size)
{
    using namespace tv;
    QDir().mkpath(folder);
    Practice p = describeLargePractice(folder, size);
    std::mt19937 rng(kSeed);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    auto db = Database::create(files::join(folder, files::Database));
    // A folder half written is thrown away and made again, so the writes
    // need not wait for the disk; a large cache keeps the indexes in memory.
    execStatement(*db, QStringLiteral("PRAGMA synchronous = OFF"));
    execStatement(*db, QStringLiteral("PRAGMA cache_size = -65536"));
    LaboRepository labos(*db);
    VisiteRepository visites(*db);
    ProduitRepository produits(*db);

    {
        Transaction t(*db);
        for (int i = 0; i < size.laboratories; ++i) {
            const LaboEntry entry = labos.insertNew(p.labos.at(i)).get();
            LaboRecord record;
            record.numLabo = entry.numLabo;
            record.labo = entry.labo;
            record.nom = p.delegues.at(i);
            record.tel = QStringLiteral("01 %1 %2 %3 %4")
                             .arg(two(uniform(10, 99)), two(uniform(0, 99)), two(uniform(0, 99)), two(uniform(0, 99)));
            record.email = p.delegues.at(i).section(u' ', 0, 0).toLower() + QStringLiteral("@exemple.fr");
            record.laboratoire = capitalised(p.labos.at(i).toLower());
            record.communeVM = QStringLiteral("Secteur %1").arg(i % 40 + 1);
            labos.update(record);
        }
        t.commit();
    }
    {
        // Quotas: one row per pair, as adding a doctor or a laboratory makes
        // them; about one pair in ten never had its quota set.
        Transaction t(*db);
        const QString insert =
            QStringLiteral("INSERT INTO Passage (Labo, Medecin, Passage) VALUES (:labo, :medecin, :value)");
        for (const QString &doctor : p.doctors)
            for (const QString &labo : p.labos) {
                const int quota = uniform(-1, 8);
                Query(*db, insert)
                    .bind(QStringLiteral(":labo"), labo)
                    .bind(QStringLiteral(":medecin"), doctor)
                    .bind(QStringLiteral(":value"), quota < 0 ? QVariant() : QVariant(quota))
                    .exec();
            }
        t.commit();
    }

    const QList<QDate> days = workingDays(size.firstYear, size.years);
    QList<Appointment> appointments;
    appointments.reserve(size.appointments);
    QSet<quint64> taken;
    taken.reserve(size.appointments);
    while (appointments.size() < size.appointments) {
        const Appointment a{uniform(0, size.doctors - 1), uniform(0, size.laboratories - 1),
                            uniform(0, static_cast<int>(days.size()) - 1), uniform(16, 38) * 30};
        const quint64 key = (quint64(a.day) * size.doctors + a.doctor) * size.laboratories + a.labo;
        if (!taken.contains(key)) {
            taken.insert(key);
            appointments.append(a);
        }
    }
    // Rows come in the order they were booked, roughly by date.
    std::stable_sort(appointments.begin(), appointments.end(),
                     [](const Appointment &a, const Appointment &b) { return a.day < b.day; });
    {
        Transaction t(*db);
        for (const Appointment &a : appointments) {
            const QDate d = days.at(a.day);
            const QString heure = a.minutes % 60 == 0 && a.labo % 2 == 0
                                      ? QString()
                                      : QStringLiteral("%1:%2").arg(two(a.minutes / 60), two(a.minutes % 60));
            visites.insert({0, p.doctors.at(a.doctor), p.labos.at(a.labo), two(d.day()), two(d.month()),
                            QString::number(d.year()), heure});
        }
        t.commit();
    }
    {
        // Products presented at a sample of those visits.
        QList<int> sample(appointments.size());
        std::iota(sample.begin(), sample.end(), 0);
        std::shuffle(sample.begin(), sample.end(), rng);
        sample.resize(std::min<qsizetype>(size.products, sample.size()));
        std::sort(sample.begin(), sample.end());
        Transaction t(*db);
        for (int index : sample) {
            const Appointment &a = appointments.at(index);
            QString text;
            for (int k = uniform(1, 4); k > 0; --k)
                text += p.medicines.at(uniform(0, size.medicines - 1)) + QStringLiteral("\n");
            produits.insert({0, p.doctors.at(a.doctor), p.labos.at(a.labo), p.delegues.at(a.labo),
                             days.at(a.day).toString(QStringLiteral("yyyy-MM-dd")), text});
        }
        t.commit();
    }
    db.reset();

    textfile::writeLines(files::join(folder, files::MedecinIni), p.doctorLines);
    textfile::writeLines(files::join(folder, files::Medoc), p.medicines);
    const QStringList entries = doctorsfile::listEntries(p.doctorLines);
    for (const QString &entry : entries) {
        QString maxima;
        for (int weekday = 0; weekday < 7; ++weekday)
            maxima += maximumField(weekday < 5 ? uniform(2, 8) : 0);
        textfile::writeLines(files::join(folder, QStringLiteral("Passages") + entry + QStringLiteral(".txt")),
                             {maxima});
        // Absences in the order they were typed: periods, newest years last.
        QStringList absences;
        for (int year = size.firstYear; year < size.firstYear + size.years; ++year)
            for (int period = 0; period < 5; ++period) {
                const QDate start = QDate(year, 1, 1).addDays(uniform(0, 360));
                for (int k = uniform(1, 10); k > 0; --k)
                    absences.append(start.addDays(k).toString(QStringLiteral("dd/MM/yyyy")));
            }
        textfile::writeLines(files::join(folder, QStringLiteral("Absences") + entry + QStringLiteral(".txt")),
                             absences);
    }
    return p;
}

long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace tvbench
