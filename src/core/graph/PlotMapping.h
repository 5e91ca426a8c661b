#pragma once
#include <QPointF>
#include <QRectF>
#include <QVector>
#include <optional>

#include "core/graph/GraphInputs.h"
#include "core/graph/VerticalScale.h"

// The graph surface's own coordinates ("user coordinates"): x from -900·h at the left edge
// to 9900·h at the right, y from -120·v at the bottom to 1150·v at the top, y upwards.
// The plot fills x 0..9800·h, y 0..1000·v; the value labels stand to its left, the time
// labels below it, title and unit above it.
namespace GraphLayout
{

constexpr double PlotWidth = 9800;  // × h
constexpr double PlotHeight = 1000; // × v
constexpr double SlotWidth = 98;    // × h: one sample at a time-axis factor of 1
constexpr double StepHeight = 40;   // × v: one step of the value scale

// The rectangle spanned by two corners given in user coordinates.
QRectF userRect(double x1, double y1, double x2, double y2);
QRectF surfaceRect(double h, double v);
QRectF plotRect(double h, double v);

} // namespace GraphLayout

// Where samples of one page land on the surface.
class PlotMapping
{
public:
    PlotMapping(const GraphGeometry &geometry, float timeScale, int page, const VerticalScale &scale);

    // Sample `row` of the page; the row before the page's first sample lies at x = 0.
    double x(int row) const;
    double y(double value) const;
    QPointF point(int row, double value) const { return {x(row), y(value)}; }

private:
    double m_slot;   // x distance of neighbouring samples
    double m_origin; // rows before the page
    double m_stepY;  // y distance of one scale step
    VerticalScale m_scale;
};

// A time label under the plot: the time of `row` printed with its top-left corner at `at`.
struct TimeMark {
    int row = 0;
    QPointF at;
};
// The six time marks of a page: its first row, then every fifth of the page.
QVector<TimeMark> timeMarks(int page, float timeScale, const GraphGeometry &geometry);

// A sample in the units of the display prefix (1.500 V is 1500 on an mV display);
// nullopt for a gap (an overload or an empty cell).
std::optional<double> displayValue(const GraphSample &sample, int displayPrefix);
