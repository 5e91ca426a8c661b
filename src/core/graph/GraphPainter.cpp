#include "core/graph/GraphPainter.h"

#include "core/common/StoredColor.h"
#include "core/graph/GraphPaging.h"
#include "core/measurement/MeasurementTables.h"

namespace
{

const QColor GridGrey(128, 128, 128);

} // namespace

GraphPainter::GraphPainter(GraphCanvas &canvas, const GraphView &view)
    : m_canvas(canvas), m_view(view), m_xScale(view.geometry.h), m_yScale(view.geometry.v)
{
}

void GraphPainter::frame()
{
    clear();
    tickLine();
    setTick();
    tickTextX();
    title();
}

void GraphPainter::clear()
{
    m_canvas.fill(GraphLayout::surfaceRect(m_xScale, m_yScale), Qt::white);
}

void GraphPainter::tickLine()
{
    m_canvas.fill(GraphLayout::plotRect(m_xScale, m_yScale), colorFromStored(m_view.style.backColor));
}

void GraphPainter::setTick()
{
    using namespace GraphLayout;
    for (int i = 5; i < GraphScale::Steps; i += 5) {
        const double y = i * StepHeight * m_yScale;
        m_canvas.line({0, y}, {PlotWidth * m_xScale, y}, GridGrey);
    }
    for (int j = 20; j < 100; j += 20) {
        const double x = j * SlotWidth * m_xScale;
        m_canvas.line({x, 0}, {x, PlotHeight * m_yScale}, GridGrey);
    }
}

void GraphPainter::tickTextX()
{
    if (m_view.channel.valueDisplay == QLatin1String("-????.?") || !m_view.scale) return;
    const double x = GraphScale::valueLabelColumn(*m_view.scale) * m_xScale;
    const QStringList labels = GraphScale::valueLabels(*m_view.scale);
    for (int i = 0; i < labels.size(); ++i)
        m_canvas.text({x, (200.0 * i + 50) * m_yScale}, labels.at(i));
}

void GraphPainter::title()
{
    const GraphChannel &channel = m_view.channel;
    if (m_view.style.titleShown) m_canvas.text({4750 * m_xScale, 1120 * m_yScale}, m_view.style.mainTitle);
    // This erase starts 50 units from the plot's left edge whatever the width ratio.
    m_canvas.fill(GraphLayout::userRect(50, 1020 * m_yScale, 800 * m_xScale, 1300 * m_yScale), Qt::white);
    const QString unit =
        channel.unitDisplay == QLatin1String("??")
            ? QStringLiteral("??")
            : Measurement::prefixText(channel.prefix) + Measurement::unitText(channel.function);
    m_canvas.text({60 * m_xScale, 1120 * m_yScale}, u'(' + unit + u')');
}

void GraphPainter::tickClean()
{
    m_canvas.fill(GraphLayout::userRect(-900 * m_xScale, -50 * m_yScale, -10 * m_xScale, 1050 * m_yScale),
                  Qt::white);
    m_canvas.fill(GraphLayout::userRect(50 * m_xScale, 1020 * m_yScale, 800 * m_xScale, 1300 * m_yScale),
                  Qt::white);
}

void GraphPainter::cleanTickTextX()
{
    m_canvas.fill(GraphLayout::userRect(-900 * m_xScale, 50 * m_yScale, -10 * m_xScale, 1050 * m_yScale),
                  Qt::white);
}

void GraphPainter::clearTitleStrip()
{
    m_canvas.fill(GraphLayout::userRect(0, 1010 * m_yScale, 10000 * m_xScale, 1146 * m_yScale), Qt::white);
}

void GraphPainter::clearTimeStrip()
{
    m_canvas.fill(GraphLayout::userRect(-70 * m_xScale, -150 * m_yScale, 10000 * m_xScale, -10 * m_yScale),
                  Qt::white);
}

void GraphPainter::plotPage(PenMemory &pen)
{
    const GraphRecord *record = m_view.record;
    if (!record || record->sampleCount() < 1 || record->sample(1).value.isEmpty()) return;
    if (!m_view.scale || GraphPaging::samplesPerPage(m_view.timeScale) <= 0 || m_view.page < 1) return;
    const int first = GraphPaging::firstRow(m_view.page, m_view.timeScale);
    const int last = std::min(GraphPaging::lastRow(m_view.page, m_view.timeScale), record->sampleCount());
    if (first > last) return;

    // The page opens with a level segment from x = 0 to its first sample.
    const std::optional<double> opening = displayValue(record->sample(first), m_view.channel.prefix);
    pen = opening ? PenMemory{*opening, false} : PenMemory{};
    for (int row = first; row <= last; ++row) {
        const std::optional<double> value = displayValue(record->sample(row), m_view.channel.prefix);
        if (value)
            plotSample(row, *value, pen);
        else
            pen.gap = true;
    }
    timeLabels(last);
}

void GraphPainter::plotSample(int row, double value, PenMemory &pen)
{
    if (!m_view.scale) return;
    const PlotMapping mapping(m_view.geometry, m_view.timeScale, m_view.page, *m_view.scale);
    const QColor trace = colorFromStored(m_view.style.traceColor);
    QPointF from = mapping.point(row - 1, pen.lastValue);
    if (pen.gap) {
        from = mapping.point(row - 1, value);
        m_canvas.dot(from, trace);
        pen.gap = false;
    }
    const QPointF to = mapping.point(row, value);
    m_canvas.line(from, to, trace);
    m_canvas.dot(to, trace);
    pen.lastValue = value;
}

void GraphPainter::timeLabels(int row)
{
    const GraphRecord *record = m_view.record;
    if (!record) return;
    const int limit = std::min(row, record->sampleCount());
    for (const TimeMark &mark : timeMarks(m_view.page, m_view.timeScale, m_view.geometry))
        if (mark.row >= 1 && mark.row <= limit) m_canvas.text(mark.at, record->sample(mark.row).time);
}

void renderPage(QPainter &painter, const QRectF &target, const GraphView &view)
{
    GraphCanvas canvas(painter, target, view.geometry);
    GraphPainter draw(canvas, view);
    draw.frame();
    PenMemory pen;
    draw.plotPage(pen);
}
