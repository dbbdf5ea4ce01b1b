#pragma once

#include "common/core/LayoutRules.h"

class QWidget;

namespace tv {
class FrmLabo;

// The size the main window was drawn for.
QSize designedWindowSize();

// Sizes the main window to the screen, scales the fonts and gives the
// named controls their hand-set sizes. Returns the factors the month grid
// uses. Controls that do not exist are skipped.
layout::Factors applyScreenLayout(FrmLabo &frm);

// Every font under `root` (itself included) after the scaling rule. The
// sizes are all read before any is set: a child inherits its parent's
// font and would otherwise be scaled twice.
void scaleFonts(QWidget *root, double fh, int screenWidth);

} // namespace tv
