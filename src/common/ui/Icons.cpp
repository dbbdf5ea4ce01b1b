#include "common/ui/Icons.h"

#include <QtGlobal>

static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace tv {

void loadIcons()
{
    static const bool done = (initIconResources(), true);
    Q_UNUSED(done);
}

} // namespace tv
