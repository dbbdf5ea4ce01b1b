#pragma once

namespace tv {
// Makes the program's icons available as ":/icons/<name>.svg". The GUI
// library is static: without this the linker may leave the resources out.
void loadIcons();
} // namespace tv
