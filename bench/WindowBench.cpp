// The window benchmark's shared ground: the window's start and the keys.
#include "WindowBench.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Widgets.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/files/TextFile.h"

#include <QCoreApplication>
#include <QSignalBlocker>

namespace tvbench::windowbench {

Environment *env = nullptr;

tv::MainView &view()
{
    return env->window->view();
}

// ---- the program folder: CheminBase.cfg at the data, Vs.ini choosing the
// first doctor, no time asked, products on

void prepareProgramFolder(const QString &program, const QString &data)
{
    tv::cheminbase::write(program, data);
    tv::textfile::writeLines(tv::files::join(program, tv::files::VsIni), {QStringLiteral("0,0,1,0")});
}

std::unique_ptr<tv::FrmLabo> startWindow()
{
    // As the program's main() does.
    tv::FrmLabo::connectEarly(env->programFolder);
    auto window = std::make_unique<tv::FrmLabo>(env->programFolder);
    if (!window->startUp())
        throw tv::StoreError(QStringLiteral("Le démarrage de la fenêtre a échoué"),
                             tv::dialogs::script::texts().join(QStringLiteral("\n")));
    window->show();
    QCoreApplication::processEvents();
    return window;
}

// ---- keys, rotating so no single row stays hot

int g_turn = 0;
void nextTurn()
{
    ++g_turn;
}

int doctorRow()
{
    return g_turn % static_cast<int>(view().labo.LstMed->count());
}
int laboRow()
{
    return (g_turn * 37) % static_cast<int>(view().labo.LstLabo->count());
}

void prepareSelection(tv::ListBox *list, int wanted)
{
    const QSignalBlocker blocker(list);
    list->setCurrentRow(wanted == 0 ? 1 : 0);
}

void ensureDoctorAndLabo()
{
    if (!env->window->hasDoctor())
        view().labo.LstMed->setCurrentRow(0);
    if (!env->window->hasLabo())
        view().labo.LstLabo->setCurrentRow(0);
}

long long g_timedTrips = 0;

} // namespace tvbench::windowbench
