#include "core/graph/GraphCanvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "core/graph/PlotMapping.h"

namespace
{

// Far beyond any device, yet small enough that the rasteriser stays exact and fast when a
// value lies thousands of scale steps off the plot.
constexpr qreal DeviceLimit = 1e6;

// A point belongs to the pixel it falls in; one a rounding error short of a pixel edge
// belongs to the pixel beyond that edge, where exact arithmetic puts it.
qreal pixelCentre(qreal coordinate)
{
    return std::floor(std::clamp(coordinate, -DeviceLimit, DeviceLimit) + 1e-7) + 0.5;
}

} // namespace

GraphCanvas::GraphCanvas(QPainter &painter, const QRectF &target, const GraphGeometry &geometry)
    : m_painter(painter)
{
    // The target is given in the painter's coordinates (a twip window on a printer, say);
    // drawing happens in device pixels.
    const QRectF device = painter.combinedTransform().mapRect(target);
    const QRectF user = GraphLayout::surfaceRect(geometry.h, geometry.v);
    // y grows upwards on the surface and downwards on the device.
    m_toDevice = QTransform::fromTranslate(-user.left(), -user.bottom()) *
                 QTransform::fromScale(device.width() / user.width(), -device.height() / user.height()) *
                 QTransform::fromTranslate(device.left(), device.top());
    if (!geometry.pixels.isEmpty())
        m_pixel =
            std::sqrt(device.width() / geometry.pixels.width() * device.height() / geometry.pixels.height());
    m_font.setPixelSize(std::max(1, int(std::lround(geometry.fontPixels * m_pixel))));
    m_left = device.left();
    m_right = device.right();

    m_painter.save();
    m_painter.setClipRect(target, Qt::IntersectClip);
    m_painter.resetTransform();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setFont(m_font);
}

GraphCanvas::~GraphCanvas()
{
    m_painter.restore();
}

QPointF GraphCanvas::toDevice(QPointF user) const
{
    const QPointF device = m_toDevice.map(user);
    return {pixelCentre(device.x()), pixelCentre(device.y())};
}

void GraphCanvas::fill(const QRectF &userRect, const QColor &color)
{
    // Both corners' pixels belong to the rectangle.
    const QPointF a = toDevice(userRect.topLeft());
    const QPointF b = toDevice(userRect.bottomRight());
    const QRect pixels(QPoint(int(std::min(a.x(), b.x())), int(std::min(a.y(), b.y()))),
                       QPoint(int(std::max(a.x(), b.x())), int(std::max(a.y(), b.y()))));
    m_painter.fillRect(pixels, color);
}

void GraphCanvas::line(QPointF from, QPointF to, const QColor &color, int width)
{
    m_painter.setPen(QPen(color, std::max(1.0, std::round(width * m_pixel)), Qt::SolidLine, Qt::RoundCap));
    m_painter.drawLine(toDevice(from), toDevice(to));
}

void GraphCanvas::dot(QPointF at, const QColor &color)
{
    const qreal radius = std::max(1.0, std::round(3 * m_pixel)) / 2;
    const QPointF centre = toDevice(at);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(color);
    m_painter.drawRect(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius));
    m_painter.setBrush(Qt::NoBrush);
}

void GraphCanvas::text(QPointF topLeft, const QString &text, const QColor &color)
{
    QPointF at = m_toDevice.map(topLeft);
    // A text that would run past the right edge ends at it instead of being cut.
    const qreal width = QFontMetricsF(m_font, m_painter.device()).horizontalAdvance(text);
    if (at.x() + width > m_right) at.setX(std::max(m_left, m_right - width));
    m_painter.setPen(color);
    m_painter.drawText(QRectF(at, QSizeF(DeviceLimit, DeviceLimit)),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
}
