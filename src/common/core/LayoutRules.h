#pragma once

#include <QRect>
#include <QSize>

namespace tv::layout {

// Pixels per twip on the old screens the window was drawn for (15 twips a
// pixel); the margins and fixed sizes below are their pixel equivalents.
constexpr double TwipsPerPixel = 15.0;
constexpr int HeightMargin = 100;    // 1500 twips left below the window
constexpr int WideScreenWidth = 800; // 12000 twips: wider screens resize fonts
constexpr double GrowBelow = 10.0;   // points
constexpr double FontCap = 11.0;     // points

struct Factors {
    QSize window;    // the window's new size
    double fl = 1.0; // horizontal
    double fh = 1.0; // vertical
};

// The window takes the available height less the margin and keeps its
// designed proportions; a screen too narrow for that width caps it (the
// height then follows the proportions).
Factors windowFactors(const QSize &designed, const QSize &available);

// Where a window of that size goes: centred across the available area and
// at its top, moved left as far as needed for its right edge to stay on the
// screen, never past the area's left edge.
QPoint windowPosition(const QRect &available, const QSize &window);

// The month grid's rows grow with the vertical factor up to this.
constexpr double GridRowCap = 1.58;

// A font size on a screen `screenWidth` pixels wide: small fonts grow with
// the vertical factor, and nothing goes above the cap. Narrow screens keep
// every size.
double scaledFontSize(double points, double fh, int screenWidth);

} // namespace tv::layout
