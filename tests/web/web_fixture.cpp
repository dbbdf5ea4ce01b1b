// The practice the browser tests of the booking service run on, made on the
// engine of the run (TALLVANE_TEST_ENGINE), and what they read back.
//   tallvane_web_fixture prepare <folder>   prints "LABO=token" lines
//   tallvane_web_fixture visites <folder>   prints the Visite rows
//   tallvane_web_fixture revoke <folder> <labo>
#include "online/core/OnlineLinks.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"
#include "store/tables/Store.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QTextStream>

#include <unistd.h>

namespace {

void prepare(const QString &folder)
{
    const QString database = tv::files::join(folder, tv::files::Database);
    // On the server, the database outlives this process: the browser test
    // (our parent) uses it until it ends.
    tvtest::TestEnv::createDatabase(database, qint64(getppid()));
    tv::textfile::writeLines(tv::files::join(folder, tv::files::MedecinIni),
                             {QStringLiteral("Dr Alpha"), QStringLiteral("Dr Beta"), QStringLiteral("Dr Gamma")});
    // Two visitors a day on weekdays, none at the weekend; Alpha is away on
    // 12 March 2025.
    for (const char *doctor : {"DR ALPHA", "DR BETA", "DR GAMMA"})
        tv::textfile::writeLines(tv::files::join(folder, QStringLiteral("Passages  %1.txt").arg(QLatin1String(doctor))),
                                 {QStringLiteral(" 2  2  2  2  2  0  0 ")});
    tv::textfile::writeLines(tv::files::join(folder, QStringLiteral("Absences  DR ALPHA.txt")),
                             {QStringLiteral("12/03/2025")});
    tv::online::writeAddress(folder, QStringLiteral("http://127.0.0.1"));

    auto store = tv::Store::open(database);
    const QStringList doctors = {QStringLiteral("DR ALPHA"), QStringLiteral("DR BETA"), QStringLiteral("DR GAMMA")};
    const QStringList labos = {QStringLiteral("LABO A"), QStringLiteral("LABO B"), QStringLiteral("LABO C"),
                               QStringLiteral("AUTRE <&>")};
    for (const QString &labo : labos)
        store->addLaboratory(labo, doctors);
    const QList<std::tuple<const char *, const char *, int>> quotas = {
        {"LABO A", "DR ALPHA", 5}, {"LABO A", "DR BETA", 0},  {"LABO A", "DR GAMMA", 3},   {"LABO B", "DR ALPHA", 1},
        {"LABO B", "DR GAMMA", 2}, {"LABO C", "DR ALPHA", 2}, {"AUTRE <&>", "DR ALPHA", 4}};
    for (const auto &[labo, doctor, quota] : quotas)
        store->passages().setQuota(QLatin1String(labo), QLatin1String(doctor), quota);
    // 11 March is full for Alpha; Labo B has used its one visit of 2025.
    const QList<tv::VisiteRecord> visits = {
        {0, "DR ALPHA", "LABO C", "11", "03", "2025", ""},
        {0, "DR ALPHA", "AUTRE <&>", "11", "03", "2025", "10H00"},
        {0, "DR ALPHA", "LABO B", "20", "02", "2025", ""},
        {0, "DR ALPHA", "LABO C", "18", "03", "2025", ""},
    };
    for (const tv::VisiteRecord &v : visits)
        store->visites().insert(v);
    tv::online::LinkBook links(*store, folder);
    QTextStream out(stdout);
    for (const QString &labo : labos)
        out << labo << '=' << links.ensure(labo) << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString folder = args[2];
    if (args[1] == QLatin1String("prepare")) {
        prepare(folder);
        return 0;
    }
    auto store = tv::Store::open(tv::files::join(folder, tv::files::Database));
    if (args[1] == QLatin1String("revoke") && args.size() == 4) {
        tv::online::LinkBook(*store, folder).revoke(args[3]);
        return 0;
    }
    if (args[1] == QLatin1String("visites")) {
        QTextStream out(stdout);
        for (const QString &doctor :
             {QStringLiteral("DR ALPHA"), QStringLiteral("DR BETA"), QStringLiteral("DR GAMMA")})
            for (const tv::VisiteRecord &v : store->visites().forMedecin(doctor).get())
                out << QStringList{v.medecin, v.labo, v.jour, v.mois, v.an, v.heure}.join(u'|') << '\n';
        return 0;
    }
    return 2;
}
