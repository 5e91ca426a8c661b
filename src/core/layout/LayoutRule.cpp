#include "core/layout/LayoutRule.h"

#include <algorithm>
#include <cmath>

namespace LayoutRule
{

namespace
{

constexpr double TwipsPerInch = 1440;

constexpr double MonitorWidth = 5250;
constexpr double UpperHeight = 3990; // monitor, and the table without the power window
constexpr double TableWidth = 6570;
constexpr double TableHeightBesidePower = 2370;
constexpr double PowerHeight = 1620;
constexpr double GraphWidth = 11820;

} // namespace

QSizeF normalFrameSize(const QSizeF &availableTwips)
{
    const QSizeF reference(ReferenceWidth, ReferenceHeight);
    if (availableTwips.isEmpty()) return reference;
    const double shrink =
        std::min({1.0, availableTwips.width() / ReferenceWidth, availableTwips.height() / ReferenceHeight});
    return reference * shrink;
}

FrameStep frameStep(WindowState state, WindowState previous, const QSizeF &frameTwips,
                    const QSizeF &normalTwips)
{
    FrameStep step;
    if (state == WindowState::Minimized) return step;
    step.layOut = true;
    step.frameSize = frameTwips;
    if (state == WindowState::Normal) {
        step.frameSize = QSizeF(std::max(frameTwips.width(), normalTwips.width()),
                                std::max(frameTwips.height(), normalTwips.height()));
        if (previous == WindowState::Normal) step.frameSize = normalTwips;
        step.resizeFrame = step.frameSize != frameTwips;
    }
    return step;
}

Scale scaleOf(const QSizeF &frameTwips)
{
    return {float(frameTwips.width() / ReferenceWidth), float(frameTwips.height() / ReferenceHeight)};
}

QRectF monitorTile(const Scale &scale)
{
    return {0, 0, MonitorWidth * scale.sx, UpperHeight * scale.sy};
}

QRectF tableTile(const Scale &scale, bool powerVisible)
{
    const double height = (powerVisible ? TableHeightBesidePower : UpperHeight) * scale.sy;
    return {MonitorWidth * scale.sx, 0, TableWidth * scale.sx, height};
}

QRectF powerTile(const Scale &scale)
{
    return {MonitorWidth * scale.sx, TableHeightBesidePower * scale.sy, TableWidth * scale.sx,
            PowerHeight * scale.sy};
}

QRectF graphTile(const Scale &scale, double innerHeightTwips)
{
    const double top = UpperHeight * scale.sy;
    return {0, top, GraphWidth * scale.sx, std::max(0.0, innerHeightTwips - top)};
}

Tiles tiles(const Scale &scale, double innerHeightTwips, bool powerVisible)
{
    return {monitorTile(scale), tableTile(scale, powerVisible), powerTile(scale),
            graphTile(scale, innerHeightTwips)};
}

QRectF derivedTablePlacement(const Scale &scale, bool powerVisible, double powerHeightTwips)
{
    QRectF placement = tableTile(scale, false);
    if (powerVisible) placement.setHeight(std::max(0.0, placement.height() - powerHeightTwips));
    return placement;
}

double twipsToPixels(double twips, double dotsPerInch)
{
    return twips * dotsPerInch / TwipsPerInch;
}

double pixelsToTwips(double pixels, double dotsPerInch)
{
    return dotsPerInch > 0 ? pixels * TwipsPerInch / dotsPerInch : 0;
}

QRect toPixels(const QRectF &twips, double dpiX, double dpiY)
{
    // Edges are rounded rather than sizes, so neighbouring tiles meet without gaps.
    const int left = int(std::lround(twipsToPixels(twips.left(), dpiX)));
    const int top = int(std::lround(twipsToPixels(twips.top(), dpiY)));
    const int right = int(std::lround(twipsToPixels(twips.left() + twips.width(), dpiX)));
    const int bottom = int(std::lround(twipsToPixels(twips.top() + twips.height(), dpiY)));
    return {left, top, right - left, bottom - top};
}

QSizeF toTwips(const QSize &pixels, double dpiX, double dpiY)
{
    return {pixelsToTwips(pixels.width(), dpiX), pixelsToTwips(pixels.height(), dpiY)};
}

} // namespace LayoutRule
