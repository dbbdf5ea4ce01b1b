#include "online/ui/OnlineController.h"

#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "online/ui/FrmLien.h"
#include "store/tables/Store.h"

#include <utility>

namespace tv {

OnlineController::OnlineController(MainWindow &main, std::function<bool(const QString &)> isMailAddress)
    : m_main(main)
    , m_isMailAddress(std::move(isMailAddress))
{
}

void OnlineController::mnuLien_Click()
{
    guarded(m_main.widget(), [&] {
        Store &store = m_main.store();
        const QString labo = m_main.hasLabo() ? m_main.currentLabo() : QString();
        const auto record = labo.isEmpty() ? std::nullopt : store.labos().findByLabo(labo).get();
        const QString email = record && m_isMailAddress(record->email) ? record->email.trimmed() : QString();
        FrmLien::show(m_main.widget(), store, m_main.state().CheminBase, labo, email);
    });
}

} // namespace tv
