#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QTransform>

#include "core/graph/GraphInputs.h"

// Draws in the graph surface's user coordinates into a target rectangle of any paint device
// (the window's retained image, a saved image, a printer page), the rectangle given in the
// painter's own coordinates. The user scale stretches x and
// y differently, so the canvas maps points itself instead of handing the scale to the painter:
// text keeps its shape and pens their width. Pen widths and text sizes are pixels of the
// on-screen surface and grow with the target, so a printed graph looks like the screen, finer.
// Everything is clipped to the target.
class GraphCanvas
{
public:
    GraphCanvas(QPainter &painter, const QRectF &target, const GraphGeometry &geometry);
    ~GraphCanvas();
    GraphCanvas(const GraphCanvas &) = delete;
    GraphCanvas &operator=(const GraphCanvas &) = delete;

    void fill(const QRectF &userRect, const QColor &color);
    void line(QPointF from, QPointF to, const QColor &color, int width = 1);
    void dot(QPointF at, const QColor &color); // a sample's mark, 3 pixels wide
    // A text too long for the room right of `topLeft` is moved left to end at the right edge.
    void text(QPointF topLeft, const QString &text, const QColor &color = Qt::black);

    // Device position of a user point, on the centre of its pixel.
    QPointF toDevice(QPointF user) const;

private:
    QPainter &m_painter;
    QTransform m_toDevice;
    qreal m_pixel = 1; // device pixels per pixel of the on-screen surface
    qreal m_left = 0;  // the target's edges on the device
    qreal m_right = 0;
    QFont m_font;
};
