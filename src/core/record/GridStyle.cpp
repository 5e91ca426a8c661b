#include "core/record/GridStyle.h"

#include "core/common/StoredColor.h"
#include "core/settings/Settings.h"

namespace GridStyle
{

LineStyle lineStyle(const Settings &settings)
{
    if (!settings.Grid_lineCk) return LineStyle::None;
    LineStyle style = LineStyle::None;
    if (settings.Grid_FlatCk) style = LineStyle::Flat;
    if (settings.Grid_lnsetCk) style = LineStyle::Inset;
    if (settings.Grid_RaisedCk) style = LineStyle::Raised;
    return style;
}

QColor dataRowColor(const Settings &settings)
{
    return settings.Grid_BackColorCk ? colorFromStored(settings.Grid_BackColor) : QColor(Qt::white);
}

int baseWidth(int column)
{
    if (column == 0) return 550;
    if (column == 1) return 1000;
    if (column < 0 || column >= 20) return 0;
    static constexpr int channelWidths[3] = {800, 640, 400}; // time, value, unit
    return channelWidths[(column - 2) % 3];
}

double widthRatio(double innerWidthTwips)
{
    return innerWidthTwips / ReferenceInnerWidth;
}

double columnWidth(int column, double ratio)
{
    return baseWidth(column) * ratio;
}

} // namespace GridStyle
