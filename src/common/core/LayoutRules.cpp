#include "common/core/LayoutRules.h"

#include <algorithm>
#include <cmath>

namespace tv::layout {

Factors windowFactors(const QSize &designed, const QSize &available)
{
    Factors f;
    if (designed.width() <= 0 || designed.height() <= 0 || available.height() <= HeightMargin) {
        f.window = designed;
        return f;
    }
    const double ratio = static_cast<double>(designed.width()) / designed.height();
    int height = available.height() - HeightMargin;
    int width = static_cast<int>(std::lround(height * ratio));
    if (available.width() > 0 && width > available.width()) {
        width = available.width();
        height = static_cast<int>(std::lround(width / ratio));
    }
    f.window = QSize(width, height);
    f.fl = static_cast<double>(width) / designed.width();
    f.fh = static_cast<double>(height) / designed.height();
    return f;
}

QPoint windowPosition(const QRect &available, const QSize &window)
{
    const int centred = available.x() + (available.width() - window.width()) / 2;
    return {std::max(available.x(), centred), available.y()};
}

double scaledFontSize(double points, double fh, int screenWidth)
{
    if (screenWidth <= WideScreenWidth || points <= 0)
        return points;
    double size = points;
    if (size < GrowBelow)
        size *= fh;
    return std::min(size, FontCap);
}

} // namespace tv::layout
