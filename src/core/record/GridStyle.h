#pragma once
#include <QColor>

struct Settings;

// The table's look as the options decide it, and the column widths of its layout.
namespace GridStyle
{

enum class LineStyle { None = 0, Flat = 1, Inset = 2, Raised = 3 };

// With lines on, each checked style overrides the one before it (flat, inset, raised), so the
// last checked one wins; none checked, or lines off, gives none.
LineStyle lineStyle(const Settings &settings);

// Data rows take the chosen colour only while its box is checked; white otherwise.
QColor dataRowColor(const Settings &settings);

constexpr double ReferenceInnerWidth = 6450; // twips; the width ratio is inner width / this
constexpr double ReferenceInnerHeight = 3330;

// Base width in twips of a column: index 550, date 1000, then per channel time 800,
// value 640, unit 400.
int baseWidth(int column);
double widthRatio(double innerWidthTwips);
// The width a column gets at a given width ratio, in the units of the ratio's numerator.
double columnWidth(int column, double ratio);

} // namespace GridStyle
