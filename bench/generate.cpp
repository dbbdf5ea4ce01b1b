// Writes the data folder of a large practice, for trying the program or the
// benchmarks at that size:  tallvane_generate <folder>
#include "LargePractice.h"

#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tallvane_generate <dossier de données>\n");
        return 2;
    }
    const QString folder = QDir(args.at(1)).absolutePath();
    if (QFileInfo::exists(tv::files::join(folder, tv::files::Database))) {
        std::fprintf(stderr, "%s existe déjà.\n", qPrintable(tv::files::join(folder, tv::files::Database)));
        return 1;
    }
    try {
        QElapsedTimer timer;
        timer.start();
        const tvbench::PracticeSize size;
        tvbench::generateLargePractice(folder, size);
        std::printf("%s : %d médecins, %d laboratoires, %d rendez-vous, %d produits (%lld ms)\n", qPrintable(folder),
                    size.doctors, size.laboratories, size.appointments, size.products,
                    static_cast<long long>(timer.elapsed()));
    } catch (const tv::StoreError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
