#pragma once
#include <QRect>
#include <QRectF>
#include <QSizeF>

// Where the frame and its four tiles go. Everything is measured in twips (1/1440 inch)
// relative to the frame's reference size 12000 x 8800; the window converts to pixels with
// the screen's logical resolution.
namespace LayoutRule
{

constexpr double ReferenceWidth = 12000;
constexpr double ReferenceHeight = 8800;

// The frame's window states, numbered as the resize rule remembers them.
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct Scale {
    float sx = 1; // frame width / 12000
    float sy = 1; // frame height / 8800
};

// What a resize of the frame leads to.
struct FrameStep {
    bool layOut = false;      // false while minimised: nothing happens
    bool resizeFrame = false; // the frame must be set to `frameSize` first
    QSizeF frameSize;         // the size the tiles are computed from
};

// The frame's size in the normal state: the reference size, shrunk with its proportions kept
// where the screen's available area is smaller (large scale factors, small screens). An empty
// area (no screen known) gives the reference size.
QSizeF normalFrameSize(const QSizeF &availableTwips);

// In the normal state the frame never gets smaller than its normal size, and once it has
// been normal at the previous resize too it returns to exactly that size: a user's resize is
// undone. A maximised frame (or one whose state just changed) keeps its size.
FrameStep frameStep(WindowState state, WindowState previous, const QSizeF &frameTwips,
                    const QSizeF &normalTwips = {ReferenceWidth, ReferenceHeight});

Scale scaleOf(const QSizeF &frameTwips);

// The standard tiles inside the frame's client area.
QRectF monitorTile(const Scale &scale);
// The table gives up the power window's height while that window is shown.
QRectF tableTile(const Scale &scale, bool powerVisible);
QRectF powerTile(const Scale &scale);
// The graph takes the rest of the client height below the monitor.
QRectF graphTile(const Scale &scale, double innerHeightTwips);

struct Tiles {
    QRectF monitor;
    QRectF table;
    QRectF power;
    QRectF graph;
};
Tiles tiles(const Scale &scale, double innerHeightTwips, bool powerVisible);

// The table window's own placement when it is resized in an unchanged state: derived from the
// frame as at load, shortened by the power window's actual height while that one is shown.
QRectF derivedTablePlacement(const Scale &scale, bool powerVisible, double powerHeightTwips);

double twipsToPixels(double twips, double dotsPerInch);
double pixelsToTwips(double pixels, double dotsPerInch);
QRect toPixels(const QRectF &twips, double dpiX, double dpiY);
QSizeF toTwips(const QSize &pixels, double dpiX, double dpiY);

} // namespace LayoutRule
