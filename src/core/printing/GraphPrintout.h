#pragma once
#include <QRect>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// Draws the graph page (the one the graph window shows) into `target`, in the painter's
// coordinates, at whatever resolution the painter's device has.
using DrawGraphPage = std::function<void(QPainter &painter, const QRectF &target)>;

// The footer under the printed graph.
struct GraphFooter {
    QString recordFileName;
    QString pageText; // the graph's page box
};

namespace GraphPrintout
{

constexpr int FontPoints = 10;
// in twips from the page origin (2000, 2600 from the sheet's edge)
constexpr QRect PictureRect(0, 0, 13400, 4500);
constexpr QPoint FrameTopLeft(-500, -400);
constexpr QPoint FrameBottomRight(14000, 5500);
constexpr QPoint FooterAt(-500, 5650);

} // namespace GraphPrintout

// Draws the graph page: the picture by `drawPage` into its rectangle (vector lines and text, at
// the printer's resolution), the frame around it and the footer below. One page.
int PrintBmp(QPainter &painter, QPagedPaintDevice &device, const GraphFooter &footer,
             const DrawGraphPage &drawPage);
