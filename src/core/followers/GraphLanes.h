#pragma once
#include <QImage>
#include <QObject>
#include <QPainter>
#include <array>
#include <memory>
#include <optional>

#include "core/common/ChannelCount.h"
#include "core/graph/GraphViewState.h"
#include "core/graph/LanesPainter.h"
#include "core/graph/MinMaxSummary.h"

struct AcquisitionState;
class GraphPage;
class RecordStore;
class RecordingStatus;

// The lanes of the session's graph: every channel of the record, on the page the graph page
// shows or a wider one, with each channel's min/max summary kept up as samples are written.
// Keeps a retained image for the window, drawn anew when what it depends on changes and,
// for one more sample, only from that sample's slot on.
class GraphLanes final : public QObject
{
    Q_OBJECT
public:
    struct Collaborators {
        const RecordStore &record;
        const AcquisitionState &state;
        const RecordingStatus &status;
        GraphPage &page;
    };
    explicit GraphLanes(const Collaborators &collaborators, QObject *parent = nullptr);
    ~GraphLanes() override;

    GraphViewState &state() { return m_state; }
    const GraphViewState &state() const { return m_state; }
    const QImage &surface() const { return m_surface; }
    // What the retained image shows, with the scales it was drawn in; nothing before a drawing.
    const LanesView *shown() const;

    // The zoom level shown (the level asked for, at most the last) and the last one.
    int shownLevel() const;
    int lastLevel() const;
    void zoomOut();
    void zoomIn();
    // A click on a wide page at `fraction` of the plot's width: that spot's own page.
    void openAt(double fraction);
    // Where a point of the window's surface lies across the lanes' width (0..1); nothing
    // outside them.
    std::optional<double> fractionAt(QPointF pixel) const;

    // The lanes as they stand (scales fresh), for printing and saving.
    LanesView view() const;
    void render(QPainter &painter, const QRectF &target) const;

Q_SIGNALS:
    void surfaceChanged();

private:
    struct Drawn;
    int usableRows() const;
    int sampleCount(int channel) const;
    void syncStart() const;
    qint64 dayStartOf(int row) const;
    void sync(int channel, int upTo) const;
    void invalidate();
    LanesView layout(bool withScales = true) const;
    LanesAxis axisOf(const LanesView &view, bool whole) const;
    void keepDrawnAxis(LanesView &view) const;
    void scaleLanes(LanesView &view) const;
    void refresh();
    void redraw();
    void onCellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);

    Collaborators m_;
    GraphViewState m_state;
    mutable std::array<MinMaxSummary, ChannelCount> m_summaries;
    mutable std::array<ChannelTimeline, ChannelCount> m_timelines;
    // The record's clock: its first day and first moment (seconds from that day's midnight).
    mutable QDate m_firstDay;
    mutable QString m_firstDayText; // the first row's date as read last, and what it reads
    mutable QDate m_firstDayRead;
    mutable std::array<QString, ChannelCount> m_firstCells; // the first row's times that gave the start
    mutable qint64 m_start = -1;
    mutable QString m_dateText; // the last row date read, and its midnight on the clock
    mutable qint64 m_dateStart = 0;
    mutable int m_axisChannel = -1;               // whose rows the page's time range follows
    mutable qint64 m_newest = 0;                  // the latest sample time the axis has to hold
    std::array<int, ChannelCount> m_writtenRow{}; // rows written whose counters have not moved on yet
    QImage m_surface;
    std::unique_ptr<Drawn> m_drawn;
    bool m_refreshQueued = false;
};
