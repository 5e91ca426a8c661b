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

// Where the picture, its frame and the footer stand on the A4 landscape sheet, in twips from
// the page origin (itself in twips from the sheet's top-left edge).
struct Sheet {
    QPoint origin;
    QRect picture;
    QPoint frameTopLeft;
    QPoint frameBottomRight;
    QPoint footerAt;
};
// The main channel's page, in the band the graph window's picture has always had.
constexpr Sheet PageSheet{{2000, 2600}, {0, 0, 13400, 4500}, {-500, -400}, {14000, 5500}, {-500, 5650}};
// The lanes of every channel, over the sheet's height (11906 twips) less the margins.
constexpr Sheet LanesSheet{{2000, 1500}, {0, 0, 13400, 8400}, {-500, -400}, {14000, 9400}, {-500, 9550}};

} // namespace GraphPrintout

// Draws the graph page: the picture by `drawPage` into its rectangle (vector lines and text, at
// the printer's resolution), the frame around it and the footer below. One page.
int PrintBmp(QPainter &painter, QPagedPaintDevice &device, const GraphFooter &footer,
             const DrawGraphPage &drawPage, const GraphPrintout::Sheet &sheet = GraphPrintout::PageSheet);
