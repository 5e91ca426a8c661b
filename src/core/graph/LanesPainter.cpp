#include "core/graph/LanesPainter.h"

#include <QFont>
#include <QFontMetricsF>
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
        : m_painter(painter), m_view(view), m_from(view.axis.from),
          m_length(double(std::max<qint64>(1, view.axis.to - view.axis.from)))
    {
        const QRectF device = painter.combinedTransform().mapRect(target);
        m_pixel = LaneLayout::pixelOf(device.size(), view.pixels);
        m_font.setPixelSize(std::max(1, int(std::lround(view.fontPixels * m_pixel))));
        m_fontHeight = m_font.pixelSize();
        m_layout = LaneLayout::arrange(int(view.lanes.size()), device, m_fontHeight);
        m_columns = std::max(1, int(std::lround(m_layout.plot.width() / m_pixel)));
        m_steps = LaneTimeAxis::steps(view.axis.from, view.axis.to, m_layout.plot.width(), m_fontHeight);
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
            caption(i);
        }
        timeLabels();
    }

    void tail(int index, int fromRow)
    {
        if (index < 0 || index >= m_view.lanes.size()) return;
        const ChannelTimeline *times = m_view.lanes.at(index).times;
        const QRectF whole = m_layout.lanes.at(index);
        const qreal previous = times && fromRow > 1 && fromRow - 1 <= times->size()
                                   ? x(double(times->at(fromRow - 1)))
                                   : whole.left();
        const qreal left = std::clamp(previous - 3 * m_pixel, whole.left(), whole.right());
        m_painter.save();
        m_painter.setClipRect(QRectF(QPointF(left, whole.top()), whole.bottomRight()), Qt::IntersectClip);
        lane(index, whole, left);
        trace(index, left);
        caption(index, left);
        m_painter.restore();
    }

private:
    qreal x(double seconds) const
    {
        return m_layout.plot.left() + (seconds - double(m_from)) * m_layout.plot.width() / m_length;
    }
    // The time at device x.
    double timeAt(qreal at) const
    {
        return double(m_from) + (at - m_layout.plot.left()) * m_length / m_layout.plot.width();
    }
    double columnStart(int column) const { return double(m_from) + column * m_length / m_columns; }
    qreal columnX(int column) const
    {
        return m_layout.plot.left() + (column + 0.5) * m_layout.plot.width() / m_columns;
    }
    QColor colourOf(const LaneChannel &lane) const
    {
        return LaneLayout::colour(lane.channel, m_view.mainChannel, colorFromStored(m_view.style.traceColor));
    }

    // Background, grid at the time labels and value labels; `from` leaves the plot left of it
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
        }
        for (qint64 at = m_steps.first; at <= m_steps.last; at += m_steps.step) {
            const qreal gx = std::round(x(double(at)));
            if (gx > box.left() + m_pixel && gx < box.right() - m_pixel)
                m_painter.drawLine(QPointF(gx, box.top()), QPointF(gx, box.bottom()));
        }
        if (lane.channel == m_view.mainChannel)
            m_painter.fillRect(QRectF(box.left(), box.top(), 3 * m_pixel, box.height()), colourOf(lane));
        if (from <= box.left()) valueLabels(lane, box);
    }

    // Where lane `index`'s label "Ch<N> <function> <unit>" stands, in its font.
    QRectF captionArea(int index, const QFont &font, const QString &text) const
    {
        const QRectF box = m_layout.lanes.at(index);
        const QFontMetricsF metrics(font, m_painter.device());
        return {box.topLeft() + QPointF(4 * m_pixel, m_pixel),
                QSizeF(std::min(metrics.horizontalAdvance(text) + 4 * m_pixel, box.width() - 5 * m_pixel),
                       std::min(metrics.height() + m_pixel, box.height() - 2 * m_pixel))};
    }

    // The label over the trace, on the lane's background so the trace can't hide it; nothing
    // where it lies left of `from`.
    void caption(int index, qreal from = -1e9)
    {
        // No label is wider than this.
        if (from > m_layout.lanes.at(index).left() + 20 * m_fontHeight) return;
        const LaneChannel &lane = m_view.lanes.at(index);
        QFont bold = m_font;
        bold.setBold(lane.channel == m_view.mainChannel);
        const QString text = LaneLayout::label(lane.channel, lane.function, lane.displayPrefix);
        const QRectF area = captionArea(index, bold, text);
        if (from > area.right()) return;
        m_painter.setFont(bold);
        m_painter.fillRect(area, colorFromStored(m_view.style.backColor));
        m_painter.setPen(colourOf(lane));
        m_painter.drawText(area.adjusted(2 * m_pixel, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        m_painter.setFont(m_font);
    }

    void valueLabels(const LaneChannel &lane, const QRectF &box)
    {
        m_painter.fillRect(QRectF(m_device.left(), box.top() - 0.5 * m_fontHeight,
                                  box.left() - m_device.left() - m_pixel, box.height() + m_fontHeight),
                           Qt::white);
        if (!lane.scale) return;
        const QStringList labels = GraphScale::valueLabels(*lane.scale);
        m_painter.setPen(Qt::black);
        for (const LaneLayout::ValueLabel &label :
             LaneLayout::valueLabels(box, m_device.left(), m_fontHeight))
            m_painter.drawText(label.box, Qt::AlignRight | Qt::AlignVCenter, labels.value(label.index));
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
        if (!lane.summary || !lane.scale || !lane.times) return;
        m_toPrefix = LaneLayout::inPrefix(1, lane.displayPrefix);
        const QRectF box = m_layout.lanes.at(index);
        // The samples on the axis, and one either side for the lines that leave it.
        const auto [first, last] = lane.times->rowsWithin(m_view.axis.from, m_view.axis.to);
        const int rows = std::min(lane.summary->size(), lane.times->size());
        m_painter.save();
        m_painter.setClipRect(box, Qt::IntersectClip);
        // Bands or points by how many samples the axis holds at the channel's pace, which one
        // more sample leaves as it was.
        if (m_length / double(lane.times->shortestStep()) > m_columns)
            bands(lane, box, fromX);
        else
            points(lane, box, fromX, std::max(1, first - 1), std::min(rows, last + 1));
        m_painter.restore();
    }

    // One point a sample, joined by lines where the channel went on sending; dots where the
    // samples stand far enough apart to tell them.
    void points(const LaneChannel &lane, const QRectF &box, qreal fromX, int first, int last)
    {
        const QColor colour = colourOf(lane);
        const bool dots = x(double(m_from + lane.times->shortestStep())) - x(double(m_from)) >= 4 * m_pixel;
        const qint64 limit = lane.times->joinLimit();
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
        // From the sample before the one at `fromX`, so that the segment reaching there is drawn again.
        const int start = std::max(first, lane.times->rowAtOrAfter(timeAt(fromX)) - 2);
        for (int row = start; row <= last; ++row) {
            const SampleExtent sample = lane.summary->extent(row, row);
            const qint64 at = lane.times->at(row);
            if (row > start && at - lane.times->at(row - 1) > limit) flush();
            if (sample.hasValue) {
                line.append({x(double(at)), y(box, *lane.scale, sample.low)});
                continue;
            }
            flush();
            if (sample.overHigh || sample.overLow) overloadMark(box, x(double(at)), sample.overHigh, colour);
        }
        flush();
    }

    // Each pixel column's minimum to maximum, reaching to its neighbour's band so the trace
    // stays joined, or a line to the next band where the channel went on sending; a column of
    // overloads only is a gap.
    void bands(const LaneChannel &lane, const QRectF &box, qreal fromX)
    {
        const QColor colour = colourOf(lane);
        const ChannelTimeline &times = *lane.times;
        const int rows = std::min(lane.summary->size(), times.size());
        const qint64 limit = times.joinLimit();
        // The column before the first one drawn only gives the band its join.
        const int start = std::max(
            0, int(std::floor((fromX - m_layout.plot.left()) * m_columns / m_layout.plot.width())) - 1);
        QVector<QLineF> strokes;
        // The previous band: its column, top and bottom, and its last sample; none after a gap.
        int previous = -2;
        int previousRow = 0;
        qreal previousTop = 0, previousBottom = 0;
        int a = times.rowAtOrAfter(columnStart(std::max(0, start - 1)));
        for (int column = std::max(0, start - 1); column < m_columns && a <= rows; ++column) {
            // The last column holds the sample at the axis' right end too.
            const double end = columnStart(column + 1) + (column + 1 == m_columns ? 0.5 : 0.0);
            const int next = std::min(rows + 1, times.rowAtOrAfter(end));
            const int b = next - 1;
            if (b < a) continue;
            const SampleExtent extent = lane.summary->extent(a, b);
            const qreal cx = columnX(column);
            if (extent.overHigh || extent.overLow) overloadMark(box, cx, extent.overHigh, colour);
            const bool joined = previousRow > 0 && times.at(a) - times.at(previousRow) <= limit;
            if (!extent.hasValue) {
                previousRow = 0;
                a = next;
                continue;
            }
            const qreal ownTop = y(box, *lane.scale, extent.high);
            const qreal ownBottom = y(box, *lane.scale, extent.low);
            qreal top = ownTop, bottom = ownBottom;
            if (joined && previous == column - 1) {
                top = std::min(ownTop, previousBottom);
                bottom = std::max(ownBottom, previousTop);
            } else if (joined && column >= start) {
                const SampleExtent before = lane.summary->extent(previousRow, previousRow);
                const SampleExtent after = lane.summary->extent(a, a);
                if (before.hasValue && after.hasValue)
                    strokes.append(QLineF(columnX(previous), y(box, *lane.scale, before.low), cx,
                                          y(box, *lane.scale, after.low)));
            }
            previous = column;
            previousRow = b;
            previousTop = ownTop;
            previousBottom = ownBottom;
            if (column >= start) strokes.append(QLineF(cx, top, cx, bottom));
            a = next;
        }
        m_painter.setPen(QPen(colour, m_pixel, Qt::SolidLine, Qt::SquareCap));
        m_painter.drawLines(strokes);
    }

    void timeLabels()
    {
        const QRectF strip(QPointF(m_device.left(), m_layout.timeTop), m_device.bottomRight());
        m_painter.fillRect(strip, Qt::white);
        if (m_view.lanes.isEmpty()) return;
        m_painter.setPen(Qt::black);
        const QFontMetricsF metrics(m_font, m_painter.device());
        for (qint64 tick = m_steps.first; tick <= m_steps.last; tick += m_steps.step) {
            const QString text = LaneTimeAxis::text(tick, m_steps, m_view.axis.firstDay);
            const qreal at = x(double(tick));
            const qreal width = metrics.horizontalAdvance(text) + 2 * m_pixel;
            const qreal left = std::clamp(at - width / 2, m_device.left(), m_device.right() - width);
            m_painter.drawText(QRectF(left, m_layout.timeTop, width, 1.4 * m_fontHeight),
                               Qt::AlignHCenter | Qt::AlignTop, text);
        }
    }

    QPainter &m_painter;
    const LanesView &m_view;
    qint64 m_from;
    double m_length; // seconds across the width
    qreal m_pixel = 1;
    QFont m_font;
    qreal m_fontHeight = 11;
    LaneLayout::Arrangement m_layout;
    int m_columns = 1;
    LaneTimeAxis::Steps m_steps;
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
