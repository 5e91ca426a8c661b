#pragma once
#include <QObject>
#include <functional>
#include <optional>

#include "core/common/WindowHooks.h"
#include "core/followers/MainChannelRecord.h"
#include "core/graph/GraphPage.h"
#include "core/graph/GraphZoom.h"

struct AcquisitionState;
class MonitorFields;
class RecordStore;
class RecordingStatus;
class UserSettings;
class WindowVisibility;

// The graph of the session: keeps the graph page in step with the main channel as the monitor
// shows it, with the graph options and the time-axis scale, and runs the graph procedures
// the decoder, the monitor and the recording control call. While no recording runs, a page
// that is shown puts its own maximum and minimum on the monitor.
class GraphFollower final : public QObject, public GraphHooks
{
    Q_OBJECT
public:
    struct Collaborators {
        const RecordStore &record;
        const AcquisitionState &state;
        const RecordingStatus &status;
        MonitorFields &monitor;
        const UserSettings &settings;
        const WindowVisibility &windows;
    };
    explicit GraphFollower(const Collaborators &collaborators, QObject *parent = nullptr);

    GraphPage &page() { return m_page; }
    const GraphPage &page() const { return m_page; }
    const GraphRecord &mainChannel() const { return m_mainChannel; }

    // GraphHooks
    void dataAll() override;                       // data_all
    void tickText() override;                      // Tick_text
    void reDisplay() override;                     // RE_display, then data
    void setPageBox(const QString &text) override; // a change of Text1
    void typePageBox(const QString &text);         // the user's change of Text1

    // RE_display then data.
    void redraw();
    // The maximum and minimum of the page shown, onto the monitor (MaxMin_CPage).
    void maxMinCPage();

    // The rows the graph shows when it shows more than its page (zoomed out); nothing: the page.
    using ShownRows = std::function<std::optional<GraphZoom::Window>()>;
    void setShownRows(ShownRows rows) { m_shownRows = std::move(rows); }
    // The graph shows other rows (a zoom step): while stopped the monitor follows them.
    void shownRowsChanged();

private:
    bool recordingRuns() const;
    void followChannel();
    void applyOptions();
    void applySetup();
    void onPageAboutToShow();

    Collaborators m_;
    MainChannelRecord m_mainChannel;
    GraphPage m_page;
    ShownRows m_shownRows;
};
