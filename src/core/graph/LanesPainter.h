#pragma once
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QVector>

#include "core/graph/GraphInputs.h"
#include "core/graph/GraphZoom.h"
#include "core/graph/LaneLayout.h"

// Everything a drawing of the lanes depends on.
struct LanesView {
    QVector<LaneChannel> lanes; // channel order, top to bottom
    int mainChannel = 0;
    GraphZoom::Window window;           // the rows across the width
    const GraphRecord *times = nullptr; // whose time cells label the axis
    GraphStyle style;
    QSize pixels{1170, 290}; // the on-screen surface; pens and text grow with a larger target
    int fontPixels = 11;
};

// The one routine that draws the lanes into `target` of any paint device (the window's
// retained image, an image file, SVG, a printed page), as vector lines and text. A page that
// has more rows than pixel columns is drawn as a band of each column's minimum and maximum,
// so the cost follows the pixels, not the samples. Overloads leave a gap with a mark at the
// lane's edge: above for "+OL", below for "-OL".
void renderLanes(QPainter &painter, const QRectF &target, const LanesView &view);

// Lane `index` drawn anew from the slot of row `fromRow - 1` to its right edge, and the time
// labels: what one more sample at `fromRow` changes while the lanes' scales stay.
void renderLaneTail(QPainter &painter, const QRectF &target, const LanesView &view, int index, int fromRow);
