#pragma once
#include <QCoreApplication>
#include <QObject>
#include <QString>

// Which graph the graph window shows: the main channel's page, or a lane for every channel.
enum class GraphViewKind { MainChannel, AllChannels };

namespace GraphViewTexts
{
inline QString mainChannel()
{
    return QCoreApplication::translate("GraphView", "Main channel");
}
inline QString allChannels()
{
    return QCoreApplication::translate("GraphView", "All channels");
}
inline QString wholeRecord()
{
    return QCoreApplication::translate("GraphView", "Whole record");
}
inline QString zoomIn()
{
    return QCoreApplication::translate("GraphView", "Zoom in");
}
inline QString zoomOut()
{
    return QCoreApplication::translate("GraphView", "Zoom out");
}
} // namespace GraphViewTexts

// The graph window's view and zoom level (0: the page the time-axis factor gives; see
// GraphZoom). Both persist for the session and drive the screen, the printout and the image.
class GraphViewState : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    GraphViewKind view() const { return m_view; }
    int zoom() const { return m_zoom; }
    // Anything but the main channel's own page is drawn as lanes.
    bool showsLanes() const { return m_view == GraphViewKind::AllChannels || m_zoom > 0; }

    void setView(GraphViewKind view);
    void setZoom(int level);
    // One step out from what is shown (`shown`, at most `last`); reaching the last level
    // keeps the whole record however it grows.
    void zoomOut(int shown, int last);
    void zoomIn(int shown);
    void showWholeRecord();

    // The unattended options: "main" or "all"; "whole" (or "" for the page). False for
    // anything else.
    static bool parseView(const QString &text, GraphViewKind *view);
    static bool parseZoom(const QString &text, int *level);

Q_SIGNALS:
    void viewChanged(GraphViewKind view);
    void zoomChanged(int level);

private:
    GraphViewKind m_view = GraphViewKind::MainChannel;
    int m_zoom = 0;
};
