#pragma once
#include <QPainter>
#include <QRectF>
#include <QString>
#include <optional>

#include "core/graph/GraphCanvas.h"
#include "core/graph/GraphInputs.h"
#include "core/graph/PlotMapping.h"
#include "core/graph/VerticalScale.h"

// Everything the drawing of a page depends on.
struct GraphView {
    const GraphRecord *record = nullptr;
    GraphChannel channel;
    GraphStyle style;
    GraphGeometry geometry;
    float timeScale = 0.25f;
    int page = 1;
    std::optional<VerticalScale> scale; // none until the first autoscale: no labels, no trace
};

// Where the trace stands after a sample: the value last drawn, or a gap after which the
// next sample starts a new line.
struct PenMemory {
    double lastValue = 0;
    bool gap = true;
};

// The drawing routines of the graph surface, each drawing one part of a page onto a canvas.
class GraphPainter
{
public:
    GraphPainter(GraphCanvas &canvas, const GraphView &view);

    void frame();           // the whole surface anew: clear, then tickLine, setTick, tickTextX, title
    void clear();           // the surface white
    void tickLine();        // the plot area in the background colour
    void setTick();         // grid lines every fifth of the plot
    void tickTextX();       // value labels, once a reading is shown and a scale is set
    void title();           // title (when switched on) and unit
    void tickClean();       // erase value labels and unit
    void cleanTickTextX();  // erase value labels
    void clearTitleStrip(); // the band above the plot
    void clearTimeStrip();  // the band of the time labels

    // The samples of the page and their time labels; `pen` is reset from the page's first
    // row and left where the last sample ended. Without samples or a scale nothing is drawn.
    void plotPage(PenMemory &pen);
    // One numeric sample at `row`: joined to the previous one, or after a gap started with
    // a level segment from the slot before it.
    void plotSample(int row, double value, PenMemory &pen);
    // The time labels of the page whose rows are not beyond `row`.
    void timeLabels(int row);

private:
    GraphCanvas &m_canvas;
    const GraphView &m_view;
    double m_xScale; // the window's width and height against the reference layout
    double m_yScale;
};

// The one routine that draws a whole page (frame and samples) into `target` of any paint
// device: the window's image, a saved image, a printed page.
void renderPage(QPainter &painter, const QRectF &target, const GraphView &view);
