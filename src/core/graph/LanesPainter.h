#pragma once
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QVector>

#include "core/graph/GraphInputs.h"
#include "core/graph/GraphZoom.h"
#include "core/graph/LaneLayout.h"

// The lanes' shared time axis: seconds on the record's clock from the left edge to the right.
struct LanesAxis {
    qint64 from = 0;
    qint64 to = 1;
    QDate firstDay; // the record's day 0, for labels that name the day
    bool operator==(const LanesAxis &other) const
    {
        return from == other.from && to == other.to && firstDay == other.firstDay;
    }
};

// Everything a drawing of the lanes depends on.
struct LanesView {
    QVector<LaneChannel> lanes; // channel order, top to bottom
    int mainChannel = 0;
    GraphZoom::Window window; // the main channel's rows the page shows
    LanesAxis axis;           // the times across the width
    GraphStyle style;
    QSize pixels{1170, 290}; // the on-screen surface; pens and text grow with a larger target
    int fontPixels = 11;
};

// The one routine that draws the lanes into `target` of any paint device (the window's
// retained image, an image file, SVG, a printed page), as vector lines and text. Each sample
// stands at its time on the axis; a lane with more samples there than pixel columns is drawn
// as a band of each column's minimum and maximum, so the cost follows the pixels, not the
// samples. Where a channel sent nothing the trace has a gap; overloads leave a gap with a
// mark at the lane's edge: above for "+OL", below for "-OL".
void renderLanes(QPainter &painter, const QRectF &target, const LanesView &view);

// Lane `index` drawn anew from the place of its sample `fromRow - 1` to its right edge: what
// one more sample at `fromRow` changes while the lanes' axis and scales stay.
void renderLaneTail(QPainter &painter, const QRectF &target, const LanesView &view, int index, int fromRow);
