#include "core/graph/LanesPainter.h"

#include <QFont>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "core/common/StoredColor.h"

namespace
{

const QColor GridGrey(128, 128, 128);

class LanesPainter
{
public:
    LanesPainter(QPainter &painter, const QRectF &target, const LanesView &view)
        : m_painter(painter), m_view(view), m_first(view.window.first), m_span(std::max(1, view.window.span))
    {
        const QRectF device = painter.combinedTransform().mapRect(target);
        if (!view.pixels.isEmpty())
            m_pixel =
                std::sqrt(device.width() / view.pixels.width() * device.height() / view.pixels.height());
        m_font.setPixelSize(std::max(1, int(std::lround(view.fontPixels * m_pixel))));
        m_fontHeight = m_font.pixelSize();
        m_layout = LaneLayout::arrange(int(view.lanes.size()), device, m_fontHeight);
        m_columns = std::max(1, int(std::lround(m_layout.plot.width() / m_pixel)));
        m_painter.save();
        m_painter.setClipRect(target, Qt::IntersectClip);
        m_painter.resetTransform();
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setFont(m_font);
        m_device = device;
    }
    ~LanesPainter() { m_painter.restore(); }
    LanesPainter(const LanesPainter &) = delete;
    LanesPainter &operator=(const LanesPainter &) = delete;

    void all()
    {
        m_painter.fillRect(m_device, Qt::white);
        for (int i = 0; i < m_view.lanes.size(); ++i) {
            lane(i, m_layout.lanes.at(i));
            trace(i, m_layout.plot.left());
        }
        timeLabels();
    }

    void tail(int index, int fromRow)
    {
        if (index < 0 || index >= m_view.lanes.size()) return;
        const QRectF whole = m_layout.lanes.at(index);
        const qreal left = std::clamp(x(fromRow - 1) - 3 * m_pixel, whole.left(), whole.right());
        m_painter.save();
        m_painter.setClipRect(QRectF(QPointF(left, whole.top()), whole.bottomRight()), Qt::IntersectClip);
        lane(index, whole, left);
        trace(index, left);
        m_painter.restore();
        if (changesTimeLabels(fromRow)) timeLabels();
    }

private:
    // The labels name the rows at every fifth of the width; their unit comes from the first two.
    int markRow(int j) const { return j == 0 ? m_first : m_first - 1 + int(qint64(j) * m_span / 5); }
    bool changesTimeLabels(int row) const
    {
        for (int j = 0; j <= 5; ++j)
            if (row == markRow(j)) return true;
        return row == m_first + 1;
    }
    bool banded() const { return m_span > m_columns; }
    qreal x(int row) const
    {
        return m_layout.plot.left() + (row - m_first + 1) * m_layout.plot.width() / m_span;
    }
    qreal columnX(int column) const
    {
        return m_layout.plot.left() + (column + 0.5) * m_layout.plot.width() / m_columns;
    }
    int columnFirstRow(int column) const { return m_first + int(qint64(column) * m_span / m_columns); }
    QColor colourOf(const LaneChannel &lane) const
    {
        return LaneLayout::colour(lane.channel, m_view.mainChannel, colorFromStored(m_view.style.traceColor));
    }

    // Background, grid, value labels and the lane's label; `from` leaves the plot left of it
    // alone (a clip keeps the rest).
    void lane(int index, const QRectF &box, qreal from = -1e9)
    {
        const LaneChannel &lane = m_view.lanes.at(index);
        m_painter.fillRect(QRectF(QPointF(std::max(from, box.left()), box.top()), box.bottomRight()),
                           colorFromStored(m_view.style.backColor));
        m_painter.setPen(QPen(GridGrey, m_pixel));
        for (int i = 1; i < 5; ++i) {
            const qreal y = box.bottom() - i * box.height() / 5;
            m_painter.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
            const qreal gx = box.left() + i * box.width() / 5;
            m_painter.drawLine(QPointF(gx, box.top()), QPointF(gx, box.bottom()));
        }
        const QColor colour = colourOf(lane);
        if (lane.channel == m_view.mainChannel)
            m_painter.fillRect(QRectF(box.left(), box.top(), 3 * m_pixel, box.height()), colour);
        // A lane drawn from `from` on needs its label only where it reaches there.
        const bool tail = from > box.left();
        if (tail && from > box.left() + 12 * m_fontHeight) return;
        m_painter.setPen(colour);
        QFont bold = m_font;
        bold.setBold(lane.channel == m_view.mainChannel);
        m_painter.setFont(bold);
        m_painter.drawText(QRectF(box.topLeft() + QPointF(6 * m_pixel, 0.1 * m_fontHeight),
                                  QSizeF(box.width(), m_fontHeight * 1.3)),
                           Qt::AlignLeft | Qt::AlignTop,
                           LaneLayout::label(lane.channel, lane.function, lane.displayPrefix));
        m_painter.setFont(m_font);
        if (!tail) valueLabels(lane, box);
    }

    void valueLabels(const LaneChannel &lane, const QRectF &box)
    {
        if (!lane.scale) return;
        const QStringList labels = GraphScale::valueLabels(*lane.scale);
        // As many of the six labels as the lane's height has room for, bottom and top always.
        const qreal spacing = box.height() / 5;
        const int stride = std::clamp(int(std::ceil(m_fontHeight * 1.1 / spacing)), 1, 5);
        m_painter.fillRect(QRectF(m_device.left(), box.top() - 0.5 * m_fontHeight,
                                  box.left() - m_device.left() - m_pixel, box.height() + m_fontHeight),
                           Qt::white);
        m_painter.setPen(Qt::black);
        for (int i = 0; i < labels.size(); ++i) {
            const int last = int(labels.size()) - 1;
            if (i != last && (i % stride != 0 || last - i < stride)) continue;
            const qreal y = std::clamp(box.bottom() - i * spacing, box.top() + 0.5 * m_fontHeight,
                                       box.bottom() - 0.5 * m_fontHeight);
            m_painter.drawText(QRectF(m_device.left(), y - m_fontHeight,
                                      box.left() - m_device.left() - 4 * m_pixel, 2 * m_fontHeight),
                               Qt::AlignRight | Qt::AlignVCenter, labels.at(i));
        }
    }

    // Device y of a base-unit value in the lane's display prefix.
    qreal y(const QRectF &box, const VerticalScale &scale, double value) const
    {
        value = value * m_toPrefix;
        const double range = scale.top - scale.bottom;
        const double fraction = range > 0 ? (value - scale.bottom) / range : 0;
        return box.bottom() - std::clamp(fraction, -10.0, 10.0) * box.height();
    }

    void overloadMark(const QRectF &box, qreal at, bool high, const QColor &colour)
    {
        const qreal size = 3 * m_pixel;
        const qreal edge = high ? box.top() : box.bottom();
        const qreal inward = high ? size : -size;
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(colour);
        m_painter.drawPolygon(QPolygonF{{at - size, edge}, {at + size, edge}, {at, edge + inward}});
        m_painter.setBrush(Qt::NoBrush);
    }

    // The trace from device x `fromX` on (what lies left of it is drawn already).
    void trace(int index, qreal fromX)
    {
        const LaneChannel &lane = m_view.lanes.at(index);
        if (!lane.summary || !lane.scale) return;
        m_toPrefix = LaneLayout::inPrefix(1, lane.displayPrefix);
        const QRectF box = m_layout.lanes.at(index);
        m_painter.save();
        m_painter.setClipRect(box, Qt::IntersectClip);
        if (banded())
            bands(lane, box, fromX);
        else
            points(lane, box, fromX);
        m_painter.restore();
    }

    // One point a sample, joined by lines; dots where the slots are wide enough to tell them.
    void points(const LaneChannel &lane, const QRectF &box, qreal fromX)
    {
        const QColor colour = colourOf(lane);
        const int last = std::min(m_first + m_span - 1, lane.summary->size());
        const bool dots = m_layout.plot.width() / m_span >= 4 * m_pixel;
        QPolygonF line;
        const auto flush = [&] {
            m_painter.setPen(QPen(colour, m_pixel, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            if (line.size() > 1) m_painter.drawPolyline(line);
            if (line.size() == 1 && !dots) m_painter.drawPoint(line.front()); // a sample between gaps
            if (dots)
                for (const QPointF &p : line)
                    m_painter.fillRect(
                        QRectF(p.x() - 1.5 * m_pixel, p.y() - 1.5 * m_pixel, 3 * m_pixel, 3 * m_pixel),
                        colour);
            line.clear();
        };
        // From the segment that reaches into `fromX`, so that its part there is drawn again.
        const qreal slots = (fromX - m_layout.plot.left()) * m_span / m_layout.plot.width();
        for (int row = std::max(m_first, m_first - 2 + int(std::floor(slots))); row <= last; ++row) {
            const SampleExtent sample = lane.summary->extent(row, row);
            if (sample.hasValue) {
                line.append({x(row), y(box, *lane.scale, sample.low)});
                continue;
            }
            flush();
            if (sample.overHigh || sample.overLow) overloadMark(box, x(row), sample.overHigh, colour);
        }
        flush();
    }

    // Each pixel column's minimum to maximum, reaching to its neighbour's band so the trace
    // stays joined; a column of overloads only is a gap.
    void bands(const LaneChannel &lane, const QRectF &box, qreal fromX)
    {
        const QColor colour = colourOf(lane);
        const int rows = lane.summary->size();
        // The column before the first one drawn only gives the band its join.
        const int start = std::max(
            0, int(std::floor((fromX - m_layout.plot.left()) * m_columns / m_layout.plot.width())) - 1);
        QVector<QLineF> strokes;
        // Device y of the previous band's top and bottom; none after a gap.
        bool joined = false;
        qreal previousTop = 0, previousBottom = 0;
        for (int column = std::max(0, start - 1); column < m_columns; ++column) {
            const int a = columnFirstRow(column);
            if (a > rows) break;
            const SampleExtent extent = lane.summary->extent(a, columnFirstRow(column + 1) - 1);
            const qreal cx = columnX(column);
            if (extent.overHigh || extent.overLow) overloadMark(box, cx, extent.overHigh, colour);
            if (!extent.hasValue) {
                joined = false;
                continue;
            }
            const qreal ownTop = y(box, *lane.scale, extent.high);
            const qreal ownBottom = y(box, *lane.scale, extent.low);
            const qreal top = joined ? std::min(ownTop, previousBottom) : ownTop;
            const qreal bottom = joined ? std::max(ownBottom, previousTop) : ownBottom;
            joined = true;
            previousTop = ownTop;
            previousBottom = ownBottom;
            if (column >= start) strokes.append(QLineF(cx, top, cx, bottom));
        }
        m_painter.setPen(QPen(colour, m_pixel, Qt::SolidLine, Qt::SquareCap));
        m_painter.drawLines(strokes);
    }

    void timeLabels()
    {
        const QRectF strip(QPointF(m_device.left(), m_layout.timeTop), m_device.bottomRight());
        m_painter.fillRect(strip, Qt::white);
        const GraphRecord *times = m_view.times;
        if (!times || m_view.lanes.isEmpty()) return;
        const int available = std::min(times->sampleCount(), m_first + m_span - 1);
        if (available < m_first) return;
        // The page's duration, as its first two samples' interval gives it, names the unit.
        int seconds = 0;
        if (available > m_first) {
            const int start = GraphZoom::secondsOf(times->sample(m_first).time);
            const int next = GraphZoom::secondsOf(times->sample(m_first + 1).time);
            if (start >= 0 && next >= 0) seconds = int(qint64((next - start + 86400) % 86400) * m_span);
        }
        const GraphZoom::TimeUnit unit = GraphZoom::timeUnit(seconds);
        m_painter.setPen(Qt::black);
        const qreal width = 10 * m_fontHeight;
        for (int j = 0; j <= 5; ++j) {
            const int row = markRow(j);
            if (row > available) break;
            const qreal at = m_layout.plot.left() + j * m_layout.plot.width() / 5;
            const Qt::Alignment align = j == 0 ? Qt::AlignLeft : j == 5 ? Qt::AlignRight : Qt::AlignHCenter;
            const qreal left = j == 0 ? at : j == 5 ? at - width : at - width / 2;
            m_painter.drawText(QRectF(left, m_layout.timeTop, width, 1.4 * m_fontHeight),
                               align | Qt::AlignTop, GraphZoom::timeLabel(times->sample(row).time, unit));
        }
    }

    QPainter &m_painter;
    const LanesView &m_view;
    int m_first;
    int m_span;
    qreal m_pixel = 1;
    QFont m_font;
    qreal m_fontHeight = 11;
    LaneLayout::Arrangement m_layout;
    int m_columns = 1;
    QRectF m_device;
    double m_toPrefix = 1; // base units to the display prefix of the lane being traced
};

} // namespace

void renderLanes(QPainter &painter, const QRectF &target, const LanesView &view)
{
    LanesPainter(painter, target, view).all();
}

void renderLaneTail(QPainter &painter, const QRectF &target, const LanesView &view, int index, int fromRow)
{
    LanesPainter(painter, target, view).tail(index, fromRow);
}
