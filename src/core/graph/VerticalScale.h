#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// The value axis of the graph: 25 steps from the bottom value up to the top value.
struct VerticalScale {
    double bottom = 0; // value at the bottom of the plot
    double step = 1;   // value per step (a fifth of a grid division)
    double top = 25;   // value at the top of the plot
};

// What the autoscale reads: the maximum and minimum as the monitor shows them, the main
// channel's function and the display limits of its current range.
struct ScaleInput {
    QString maxDisplay;
    QString minDisplay;
    int function = -1;
    double upperLimit = 0;
    double lowerLimit = 0;
};

namespace GraphScale
{

constexpr int Steps = 25;
constexpr int StepsPerLabel = 5;
constexpr int LabelCount = 6;

// ACV, ACA, OHM, CAP, Hz and Continuity never read below zero, so their scale starts at 0 at least.
bool isNonNegativeFunction(int function);

// The scale that fits the shown maximum and minimum (a fine scale of tenths for narrow
// spans, a coarse one of whole steps otherwise); nullopt while either display is empty.
// An overload shows as "+OL" (the upper limit) or any other non-number (the lower limit).
std::optional<VerticalScale> autoscale(const ScaleInput &input);

// Texts of the six value labels, from the bottom to the top: whole steps in the shortest
// form ("0", "10", ...), others with one decimal ("0.0", "2.5", ...).
QStringList valueLabels(const VerticalScale &scale);

// Left edge of the value labels, in units of the horizontal ratio h: wider numbers start
// further left (-900 above 7 characters, -700 for 6 or 7, -550 otherwise).
double valueLabelColumn(const VerticalScale &scale);

// A number in the shortest general form: up to 15 significant digits, no trailing zeros.
QString generalText(double value);

} // namespace GraphScale
