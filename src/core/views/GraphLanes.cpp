#include "core/views/GraphLanes.h"

#include <algorithm>

#include "core/acquisition/AcquisitionState.h"
#include "core/graph/GraphPage.h"
#include "core/graph/GraphPaging.h"
#include "core/measurement/MeasurementTables.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingStatus.h"

// One channel's column of the table, as far as its summary reaches.
class GraphLanes::Column final : public GraphRecord
{
public:
    Column(const GraphLanes &lanes, int channel) : m_lanes(lanes), m_channel(channel) {}
    int tableRows() const override { return m_lanes.m_.record.gridRowCount(); }
    int sampleCount() const override { return m_lanes.m_summaries[std::size_t(m_channel)].size(); }
    GraphSample sample(int row) const override
    {
        const RecordStore &record = m_lanes.m_.record;
        return {record.cell(row, RecordStore::valueColumn(m_channel)),
                record.cell(row, RecordStore::unitColumn(m_channel)),
                record.cell(row, RecordStore::timeColumn(m_channel))};
    }

private:
    const GraphLanes &m_lanes;
    int m_channel;
};

// What the retained image shows, with the scales it was drawn in.
struct GraphLanes::Drawn {
    LanesView view;
    bool sameFrame(const LanesView &other) const
    {
        if (view.pixels != other.pixels || view.fontPixels != other.fontPixels ||
            view.style.backColor != other.style.backColor ||
            view.style.traceColor != other.style.traceColor || view.window.first != other.window.first ||
            view.window.span != other.window.span || view.mainChannel != other.mainChannel ||
            view.times != other.times || view.lanes.size() != other.lanes.size())
            return false;
        for (int i = 0; i < view.lanes.size(); ++i) {
            const LaneChannel &a = view.lanes.at(i);
            const LaneChannel &b = other.lanes.at(i);
            if (a.channel != b.channel || a.function != b.function || a.displayPrefix != b.displayPrefix)
                return false;
        }
        return true;
    }
};

GraphLanes::GraphLanes(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators)
{
    for (int k = 0; k < 6; ++k)
        m_columns[std::size_t(k)] = std::make_unique<Column>(*this, k);
    connect(&m_.page, &GraphPage::surfaceChanged, this, &GraphLanes::refresh);
    connect(&m_state, &GraphViewState::viewChanged, this, &GraphLanes::refresh);
    connect(&m_state, &GraphViewState::zoomChanged, this, &GraphLanes::refresh);
    connect(&m_.record, &RecordStore::modelReset, this, &GraphLanes::invalidate);
    connect(&m_.record, &RecordStore::rowsRemoved, this, &GraphLanes::invalidate);
    connect(&m_.record, &RecordStore::dataChanged, this, &GraphLanes::onCellsChanged);
    // A stopped record shows no longer the row being filled.
    connect(&m_.status, &RecordingStatus::modeChanged, this, [this] {
        m_drawn.reset();
        refresh();
    });
}

GraphLanes::~GraphLanes() = default;

int GraphLanes::usableRows() const
{
    return m_.record.gridRowCount() - (m_.status.running() ? 1 : 2);
}

int GraphLanes::sampleCount(int channel) const
{
    const int written = std::max(m_.record.nextRow(channel) - 1, m_writtenRow[std::size_t(channel)]);
    return std::max(0, std::min(written, usableRows()));
}

void GraphLanes::sync(int channel, int upTo) const
{
    MinMaxSummary &summary = m_summaries[std::size_t(channel)];
    if (summary.size() > upTo) summary.truncate(upTo);
    for (int row = summary.size() + 1; row <= upTo; ++row)
        summary.append(SampleExtent::of({m_.record.cell(row, RecordStore::valueColumn(channel)),
                                         m_.record.cell(row, RecordStore::unitColumn(channel)),
                                         {}}));
}

void GraphLanes::invalidate()
{
    for (MinMaxSummary &summary : m_summaries)
        summary.clear();
    m_writtenRow.fill(0);
    m_drawn.reset();
    // A table rewritten row by row is summarised once, when the rewriting is done.
    if (m_refreshQueued) return;
    m_refreshQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_refreshQueued = false;
            refresh();
        },
        Qt::QueuedConnection);
}

int GraphLanes::lastLevel() const
{
    int rows = 0;
    for (int k = 0; k < 6; ++k)
        rows = std::max(rows, sampleCount(k));
    return GraphZoom::lastLevel(GraphPaging::samplesPerPage(m_.page.view().timeScale), rows);
}

int GraphLanes::shownLevel() const
{
    return std::min(m_state.zoom(), lastLevel());
}

void GraphLanes::zoomOut()
{
    m_state.zoomOut(shownLevel(), lastLevel());
}

void GraphLanes::zoomIn()
{
    m_state.zoomIn(shownLevel());
}

LanesView GraphLanes::layout(bool withScales) const
{
    const GraphView &page = m_.page.view();
    const int main = m_.state.mainChannel;
    LanesView view;
    view.mainChannel = main;
    view.style = page.style;
    if (!page.geometry.pixels.isEmpty()) view.pixels = page.geometry.pixels;
    view.fontPixels = page.geometry.fontPixels;

    int rows = 0;
    for (int k = 0; k < 6; ++k) {
        const int count = sampleCount(k);
        sync(k, count);
        rows = std::max(rows, count);
        const bool shown = m_state.view() == GraphViewKind::AllChannels || k == main;
        if (count == 0 || !shown) continue;
        const QString newestUnit = m_.record.cell(count, RecordStore::unitColumn(k));
        view.lanes.append({k, Measurement::functionCodeOf(m_.record.functionCaption[std::size_t(k)]),
                           k == main ? page.channel.prefix : Measurement::prefixCodeOfUnit(newestUnit),
                           &m_summaries[std::size_t(k)], std::nullopt});
    }
    const int perPage = GraphPaging::samplesPerPage(page.timeScale);
    const int level = std::min(m_state.zoom(), GraphZoom::lastLevel(perPage, rows));
    view.window = GraphZoom::window(level, page.page, perPage, rows);
    if (withScales) scaleLanes(view);
    if (!view.lanes.isEmpty())
        view.times = m_columns[std::size_t(sampleCount(main) > 0 ? main : view.lanes.front().channel)].get();
    return view;
}

const LanesView *GraphLanes::shown() const
{
    return m_drawn ? &m_drawn->view : nullptr;
}

void GraphLanes::scaleLanes(LanesView &view) const
{
    for (LaneChannel &lane : view.lanes)
        lane.scale = LaneLayout::scale(lane, view.window.first, view.window.first + view.window.span - 1);
}

LanesView GraphLanes::view() const
{
    return layout();
}

void GraphLanes::render(QPainter &painter, const QRectF &target) const
{
    renderLanes(painter, target, layout());
}

void GraphLanes::refresh()
{
    if (!m_state.showsLanes()) {
        m_drawn.reset();
        return;
    }
    LanesView view = layout(false);
    if (m_drawn && m_drawn->sameFrame(view)) return;
    scaleLanes(view);
    m_drawn = std::make_unique<Drawn>(Drawn{view});
    redraw();
}

void GraphLanes::redraw()
{
    const QSize pixels = m_.page.view().geometry.pixels;
    if (pixels.isEmpty()) return;
    if (m_surface.size() != pixels) m_surface = QImage(pixels, QImage::Format_RGB32);
    {
        QPainter painter(&m_surface);
        renderLanes(painter, QRectF(m_surface.rect()), m_drawn->view);
    }
    Q_EMIT surfaceChanged();
}

void GraphLanes::onCellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (bottomRight.column() <= 1) return; // index and date
    const int channel = (topLeft.column() - 2) / 3;
    const bool oneSample = topLeft.row() == bottomRight.row() &&
                           topLeft.column() == RecordStore::timeColumn(channel) &&
                           bottomRight.column() == RecordStore::unitColumn(channel);
    if (!oneSample) {
        invalidate();
        return;
    }
    if (!m_state.showsLanes()) return; // the summaries catch up when the lanes are shown
    // The counters move on after the cells are written: the written row counts already.
    const int row = topLeft.row() + 1;
    int &written = m_writtenRow[std::size_t(channel)];
    written = std::max(written, row);
    LanesView view = layout(false); // scales only where the lanes are drawn anew
    if (!m_drawn || !m_drawn->sameFrame(view)) {
        scaleLanes(view);
        m_drawn = std::make_unique<Drawn>(Drawn{view});
        redraw();
        return;
    }
    const QVector<LaneChannel> &lanes = m_drawn->view.lanes;
    const auto lane = std::find_if(lanes.begin(), lanes.end(),
                                   [channel](const LaneChannel &l) { return l.channel == channel; });
    const GraphZoom::Window &window = m_drawn->view.window;
    if (lane == lanes.end() || row < window.first || row >= window.first + window.span) return;
    const SampleExtent sample = lane->summary->extent(row, row);
    if (sample.hasValue) {
        const double value = LaneLayout::inPrefix(sample.low, lane->displayPrefix);
        const std::optional<VerticalScale> &scale = lane->scale;
        if (!scale || value < scale->bottom || value > scale->top - scale->step) {
            // Outside the drawn band: the lanes are scaled and drawn anew.
            scaleLanes(view);
            m_drawn = std::make_unique<Drawn>(Drawn{view});
            redraw();
            return;
        }
    }
    if (m_surface.isNull()) return;
    {
        QPainter painter(&m_surface);
        renderLaneTail(painter, QRectF(m_surface.rect()), m_drawn->view, int(lane - lanes.begin()), row);
    }
    Q_EMIT surfaceChanged();
}

void GraphLanes::openAt(double fraction)
{
    if (shownLevel() == 0 || !m_drawn) return;
    const int perPage = GraphPaging::samplesPerPage(m_.page.view().timeScale);
    int rows = 0;
    for (int k = 0; k < 6; ++k)
        rows = std::max(rows, sampleCount(k));
    const int page = GraphZoom::pageAt(fraction, m_drawn->view.window, perPage, rows);
    m_state.setZoom(0);
    m_.page.openPage(page);
}

std::optional<double> GraphLanes::fractionAt(QPointF pixel) const
{
    if (!m_drawn || m_surface.isNull()) return std::nullopt;
    const LaneLayout::Arrangement arrangement = LaneLayout::arrange(
        int(m_drawn->view.lanes.size()), QRectF(m_surface.rect()), m_drawn->view.fontPixels);
    const QRectF plot = arrangement.plot;
    if (!plot.contains(pixel) || plot.width() <= 0) return std::nullopt;
    return (pixel.x() - plot.left()) / plot.width();
}
