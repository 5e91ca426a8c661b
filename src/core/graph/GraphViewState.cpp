#include "core/graph/GraphViewState.h"

#include <algorithm>

#include "core/graph/GraphZoom.h"

void GraphViewState::setView(GraphViewKind view)
{
    if (view == m_view) return;
    m_view = view;
    Q_EMIT viewChanged(view);
}

void GraphViewState::setZoom(int level)
{
    level = std::clamp(level, 0, GraphZoom::WholeRecord);
    if (level == m_zoom) return;
    m_zoom = level;
    Q_EMIT zoomChanged(level);
}

void GraphViewState::zoomOut(int shown, int last)
{
    setZoom(shown + 1 >= last ? GraphZoom::WholeRecord : shown + 1);
}

void GraphViewState::zoomIn(int shown)
{
    setZoom(shown - 1);
}

void GraphViewState::showWholeRecord()
{
    setZoom(GraphZoom::WholeRecord);
}

bool GraphViewState::parseView(const QString &text, GraphViewKind *view)
{
    if (text == QLatin1String("main"))
        *view = GraphViewKind::MainChannel;
    else if (text == QLatin1String("all"))
        *view = GraphViewKind::AllChannels;
    else
        return false;
    return true;
}

bool GraphViewState::parseZoom(const QString &text, int *level)
{
    if (text.isEmpty())
        *level = 0;
    else if (text == QLatin1String("whole"))
        *level = GraphZoom::WholeRecord;
    else
        return false;
    return true;
}
