#include "core/followers/GraphLanes.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/TimeOfDay.h"
#include "core/graph/GraphPage.h"
#include "core/graph/GraphPaging.h"
#include "core/measurement/MeasurementTables.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingStatus.h"

// What the retained image shows, with the scales it was drawn in.
struct GraphLanes::Drawn {
    LanesView view;
    bool sameFrame(const LanesView &other) const
    {
        if (view.pixels != other.pixels || view.fontPixels != other.fontPixels ||
            view.style.backColor != other.style.backColor ||
            view.style.traceColor != other.style.traceColor || view.window.first != other.window.first ||
            view.window.span != other.window.span || view.mainChannel != other.mainChannel ||
            !(view.axis == other.axis) || view.lanes.size() != other.lanes.size())
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

void GraphLanes::syncStart() const
{
    // Row 1 was opened by the record's first sample, on its first day; every channel's first
    // sample lies in it.
    const QString firstDayText = m_.record.cell(1, 1);
    if (firstDayText != m_firstDayText) {
        m_firstDayText = firstDayText;
        m_firstDayRead = QLocale::system().toDate(firstDayText, QLocale::ShortFormat);
    }
    const QDate firstDay = m_firstDayRead;
    std::array<QString, ChannelCount> firstCells;
    for (int k = 0; k < 6; ++k)
        if (sampleCount(k) > 0) firstCells[std::size_t(k)] = m_.record.cell(1, RecordStore::timeColumn(k));
    if (firstCells == m_firstCells && firstDay == m_firstDay && m_start >= 0) return;
    m_firstCells = firstCells;
    QVector<int> firstTimes;
    for (const QString &cell : firstCells)
        if (const int seconds = secondsOfDay(cell); seconds >= 0) firstTimes.append(seconds);
    const qint64 start = LaneTimes::firstOfDay(firstTimes);
    if (start == m_start && firstDay == m_firstDay) return;
    m_start = start;
    m_firstDay = firstDay;
    m_dateText.clear();
    for (ChannelTimeline &times : m_timelines)
        times.clear();
}

qint64 GraphLanes::dayStartOf(int row) const
{
    const QString text = m_.record.cell(row, 1);
    if (text != m_dateText) {
        const QDate date = QLocale::system().toDate(text, QLocale::ShortFormat);
        m_dateText = text;
        m_dateStart = m_firstDay.isValid() && date.isValid() ? m_firstDay.daysTo(date) * LaneTimes::Day
                                                             : std::numeric_limits<qint64>::min();
    }
    return m_dateStart;
}

void GraphLanes::sync(int channel, int upTo) const
{
    MinMaxSummary &summary = m_summaries[std::size_t(channel)];
    if (summary.size() > upTo) summary.truncate(upTo);
    for (int row = summary.size() + 1; row <= upTo; ++row)
        summary.append(SampleExtent::of({m_.record.cell(row, RecordStore::valueColumn(channel)),
                                         m_.record.cell(row, RecordStore::unitColumn(channel)),
                                         {}}));
    // A sample is written on or after the day its row was opened, and not before the
    // channel's previous one: a time of day that runs back has passed midnight.
    ChannelTimeline &times = m_timelines[std::size_t(channel)];
    if (times.size() > upTo) times.truncate(upTo);
    for (int row = times.size() + 1; row <= upTo; ++row) {
        const qint64 notBefore = std::max(row == 1 ? m_start : times.at(row - 1), dayStartOf(row));
        const int seconds = secondsOfDay(m_.record.cell(row, RecordStore::timeColumn(channel)));
        times.append(seconds < 0 ? notBefore : LaneTimes::place(seconds, notBefore));
    }
}

void GraphLanes::invalidate()
{
    for (MinMaxSummary &summary : m_summaries)
        summary.clear();
    for (ChannelTimeline &times : m_timelines)
        times.clear();
    m_start = -1;
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
    const int main = m_.state.main.channel;
    LanesView view;
    view.mainChannel = main;
    view.style = page.style;
    if (!page.geometry.pixels.isEmpty()) view.pixels = page.geometry.pixels;
    view.fontPixels = page.geometry.fontPixels;

    syncStart();
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
                           &m_summaries[std::size_t(k)], std::nullopt, &m_timelines[std::size_t(k)]});
    }
    const int perPage = GraphPaging::samplesPerPage(page.timeScale);
    const int last = GraphZoom::lastLevel(perPage, rows);
    view.window = GraphZoom::window(std::min(m_state.zoom(), last), page.page, perPage, rows);
    m_axisChannel = view.lanes.isEmpty() ? -1 : sampleCount(main) > 0 ? main : view.lanes.front().channel;
    view.axis = axisOf(view, m_state.zoom() > 0 && m_state.zoom() >= last);
    if (withScales) scaleLanes(view);
    return view;
}

LanesAxis GraphLanes::axisOf(const LanesView &view, bool whole) const
{
    LanesAxis axis;
    axis.firstDay = m_firstDay;
    if (m_axisChannel < 0) return axis;
    if (whole) {
        // From the first to the last sample of any channel; a record still growing gets room
        // ahead, so that its next samples need no new frame.
        axis.from = std::numeric_limits<qint64>::max();
        axis.to = std::numeric_limits<qint64>::min();
        for (const ChannelTimeline &times : m_timelines) {
            if (times.size() == 0) continue;
            axis.from = std::min(axis.from, times.at(1));
            axis.to = std::max(axis.to, times.at(times.size()));
        }
        m_newest = axis.to;
        if (m_.status.running()) axis.to += (axis.to - axis.from) / 8 + 60;
        return axis;
    }
    // The times of the axis channel's rows on the page; a page still being filled reaches as
    // far as its rows would at the pace they came so far.
    const ChannelTimeline &times = m_timelines[std::size_t(m_axisChannel)];
    const int count = times.size();
    const int first = std::min(view.window.first, count);
    const int lastRow = view.window.first + view.window.span - 1;
    axis.from = times.at(first);
    m_newest = times.at(count);
    if (lastRow <= count) {
        axis.to = times.at(lastRow);
    } else {
        const double pace = count > first ? double(times.at(count) - times.at(first)) / (count - first)
                            : first > 1   ? double(times.at(first) - times.at(first - 1))
                                          : 2.0;
        axis.to = std::max(times.at(count), axis.from + qint64(std::ceil(pace * (lastRow - first))));
    }
    axis.to = std::max(axis.to, axis.from + 1);
    return axis;
}

void GraphLanes::keepDrawnAxis(LanesView &view) const
{
    // The frame drawn stays while it holds the newest sample, so that readings of a page being
    // filled (or of the whole record growing) draw only themselves.
    if (!m_drawn) return;
    const LanesAxis &drawn = m_drawn->view.axis;
    if (drawn.from == view.axis.from && drawn.firstDay == view.axis.firstDay && drawn.to >= m_newest &&
        m_.status.running())
        view.axis = drawn;
}

const LanesView *GraphLanes::shown() const
{
    return m_drawn ? &m_drawn->view : nullptr;
}

void GraphLanes::scaleLanes(LanesView &view) const
{
    for (LaneChannel &lane : view.lanes) {
        const auto [first, last] = lane.times->rowsWithin(view.axis.from, view.axis.to);
        lane.scale = LaneLayout::scale(lane, first, last);
    }
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
    keepDrawnAxis(view);
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
    keepDrawnAxis(view);
    if (!m_drawn || !m_drawn->sameFrame(view)) {
        scaleLanes(view);
        m_drawn = std::make_unique<Drawn>(Drawn{view});
        redraw();
        return;
    }
    const QVector<LaneChannel> &lanes = m_drawn->view.lanes;
    const auto lane = std::find_if(lanes.begin(), lanes.end(),
                                   [channel](const LaneChannel &l) { return l.channel == channel; });
    const LanesAxis &axis = m_drawn->view.axis;
    if (lane == lanes.end() || row > lane->times->size() || lane->times->at(row) < axis.from ||
        lane->times->at(row) > axis.to)
        return;
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
    if (shownLevel() == 0 || !m_drawn || m_axisChannel < 0) return;
    // The axis channel's sample at that time, and its page.
    const LanesAxis &axis = m_drawn->view.axis;
    const ChannelTimeline &times = m_timelines[std::size_t(m_axisChannel)];
    const double at = double(axis.from) + std::clamp(fraction, 0.0, 1.0) * double(axis.to - axis.from);
    const int row = std::clamp(times.rowAtOrAfter(at), 1, std::max(1, times.size()));
    const int perPage = std::max(1, GraphPaging::samplesPerPage(m_.page.view().timeScale));
    m_state.setZoom(0);
    m_.page.openPage((row - 1) / perPage + 1);
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
