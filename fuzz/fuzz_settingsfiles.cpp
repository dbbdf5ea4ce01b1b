// CheminBase.cfg, Vs.ini and Medecin.ini as found on disk, whatever they
// hold: each reader gives a value or a StoreError, never a crash.
#include "FuzzSupport.h"

#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tv;
    const QByteArray input = tvfuzz::bytes(data, size);
    const QString dir = tvfuzz::folder();

    tvfuzz::writeFile(files::CheminBaseCfg, input);
    try {
        const auto folder = cheminbase::read(dir);
        if (!folder || folder->isEmpty())
            std::abort();
    } catch (const StoreError &) {
    }

    tvfuzz::writeFile(files::VsIni, input);
    WorkstationSettings settings;
    if (!vsini::read(dir, settings))
        std::abort();
    // What is read is written back as four numbers and read the same.
    vsini::write(dir, settings);
    WorkstationSettings again{0, 9, 9, 9};
    if (!vsini::read(dir, again) || !(again == settings))
        std::abort();

    tvfuzz::writeFile(files::MedecinIni, input);
    const auto lines = doctorsfile::read(dir);
    if (!lines)
        std::abort();
    const QStringList entries = doctorsfile::listEntries(*lines);
    if (entries.size() != lines->size())
        std::abort();
    for (const QString &entry : entries)
        if (!entry.startsWith(QStringLiteral("  ")))
            std::abort();
    return 0;
}
