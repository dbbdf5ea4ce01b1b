#pragma once

class QWidget;

namespace tv {
struct MenuActions;

// Builds the three pop-up menus with their entries, captions and separators.
void buildMenus(MenuActions &menus, QWidget *owner);

} // namespace tv
