#include "core/graph/GraphPage.h"

#include <algorithm>

#include "core/graph/GraphPaging.h"
#include "core/graph/PlotMapping.h"
#include "core/measurement/MeasurementTables.h"

namespace
{
const QString NoPage = QStringLiteral("0");
}

GraphPage::GraphPage(const GraphRecord &record, QObject *parent) : QObject(parent), m_record(record)
{
    m_view.record = &m_record;
    setGeometry(m_view.geometry);
}

void GraphPage::setGeometry(const GraphGeometry &geometry)
{
    m_view.geometry = geometry;
    m_surface = QImage(geometry.pixels, QImage::Format_RGB32);
    m_surface.fill(Qt::white);
    Q_EMIT surfaceChanged();
}

void GraphPage::setStyle(const GraphStyle &style)
{
    m_view.style = style;
}

void GraphPage::setTimeScale(float timeScale)
{
    m_view.timeScale = timeScale;
}

void GraphPage::setChannel(const GraphChannel &channel)
{
    m_view.channel = channel;
}

void GraphPage::autoscale()
{
    const GraphChannel &channel = m_view.channel;
    ScaleInput input{channel.maxDisplay, channel.minDisplay, channel.function, 0, 0};
    Measurement::DisplayLimits limits;
    if (Measurement::displayLimits(channel.function, channel.prefix, &limits)) {
        input.upperLimit = limits.upper;
        input.lowerLimit = limits.lower;
    }
    if (const std::optional<VerticalScale> scale = GraphScale::autoscale(input)) m_view.scale = scale;
}

void GraphPage::redisplay()
{
    m_drawnPrefix = m_view.channel.prefix;
    paintSurface([](GraphPainter &draw) { draw.frame(); });
}

void GraphPage::plot()
{
    m_drawnPrefix = m_view.channel.prefix;
    paintSurface([this](GraphPainter &draw) { draw.plotPage(m_pen); });
}

void GraphPage::redraw()
{
    redisplay();
    plot();
}

std::optional<double> GraphPage::limitedValue(const GraphSample &sample) const
{
    std::optional<double> value = displayValue(sample, m_view.channel.prefix);
    Measurement::DisplayLimits limits;
    if (value && Measurement::displayLimits(m_view.channel.function, m_view.channel.prefix, &limits))
        value = std::clamp(*value, limits.lower, limits.upper);
    return value;
}

void GraphPage::addNewest()
{
    const int newest = m_record.sampleCount();
    if (newest < 1 || GraphPaging::samplesPerPage(m_view.timeScale) <= 0) return;
    setPageText(QString::number(GraphPaging::pageOfRow(newest, m_view.timeScale)));
    if (m_view.channel.prefix != m_drawnPrefix) {
        // The range changed: the page is drawn again in the new unit.
        autoscale();
        redraw();
        return;
    }

    const int first = GraphPaging::firstRow(m_view.page, m_view.timeScale);
    const std::optional<double> previous =
        limitedValue(m_record.sample(newest == first ? newest : newest - 1));
    m_pen = previous ? PenMemory{*previous, false} : PenMemory{};
    const bool firstOfRecord = newest == 1;
    if (firstOfRecord) autoscale();

    const std::optional<double> value = limitedValue(m_record.sample(newest));
    const std::optional<VerticalScale> &scale = m_view.scale;
    const bool inBand = value && scale && *value >= scale->bottom && *value <= scale->top - scale->step;
    if (!value) {
        m_pen = PenMemory{};
    } else if (!inBand) {
        autoscale();
        redraw();
    }
    paintSurface([&](GraphPainter &draw) {
        if (firstOfRecord) {
            draw.tickClean();
            draw.tickTextX();
            draw.title();
        }
        if (inBand) draw.plotSample(newest, *value, m_pen);
        draw.clearTitleStrip();
        draw.title();
        draw.clearTimeStrip();
        draw.timeLabels(newest);
    });
}

void GraphPage::setPageText(const QString &text)
{
    if (text == m_pageText) return;
    if (text == NoPage) {
        // No page is shown until the next page number: the record was reset, or the next
        // number is to be shown even when it is the current one.
        m_pageText = text;
        m_view.page = 0;
        Q_EMIT pageTextChanged(m_pageText);
        return;
    }
    typePageText(text);
}

void GraphPage::typePageText(const QString &text)
{
    if (text == m_pageText) return;
    const GraphPaging::PageBox box =
        GraphPaging::pageBoxRule(text, m_record.tableRows(), m_record.sampleCount(), m_view.timeScale);
    m_pageText = box.text;
    m_view.page = GraphPaging::pageNumber(m_pageText);
    Q_EMIT pageTextChanged(m_pageText);
    if (!box.show) return;
    Q_EMIT pageAboutToShow(m_view.page);
    autoscale();
    redraw();
}

void GraphPage::nextPage()
{
    setPageText(QString::number(GraphPaging::nextPage(m_view.page, m_record.tableRows(), m_view.timeScale)));
}

void GraphPage::previousPage()
{
    setPageText(QString::number(GraphPaging::previousPage(m_view.page)));
}

void GraphPage::openPage(int page)
{
    setPageText(NoPage);
    setPageText(QString::number(page));
}

void GraphPage::tickClean()
{
    paintSurface([](GraphPainter &draw) { draw.tickClean(); });
}

void GraphPage::cleanTickTextX()
{
    paintSurface([](GraphPainter &draw) { draw.cleanTickTextX(); });
}

void GraphPage::render(QPainter &painter, const QRectF &target) const
{
    renderPage(painter, target, m_view);
}

void GraphPage::paintSurface(const std::function<void(GraphPainter &)> &steps)
{
    if (m_surface.isNull()) return;
    {
        QPainter painter(&m_surface);
        GraphCanvas canvas(painter, QRectF(m_surface.rect()), m_view.geometry);
        GraphPainter draw(canvas, m_view);
        steps(draw);
    }
    Q_EMIT surfaceChanged();
}
