#include "core/workbook/RecordChart.h"

#include <QByteArray>

#include "core/workbook/SheetPalette.h"
#include "core/workbook/SheetValues.h"

namespace
{

// The chart's place and size on the sheet, in points.
constexpr double ChartLeft = 300;
constexpr double ChartTop = 150;
constexpr double ChartWidth = 600;
constexpr double ChartHeight = 225;
constexpr double PixelsPerPoint = 96.0 / 72.0;
constexpr double DefaultChartWidthPixels = 480; // what the writer draws at scale 1
constexpr double DefaultChartHeightPixels = 288;

// Line and marker formatting in the spreadsheet's colour indexes and line weights.
constexpr int AxisColourIndex = 57; // beyond the palette: the automatic colour
constexpr int SeriesColourIndex = 32;
constexpr float HairlinePoints = 0.25f;
constexpr float MediumPoints = 1.5f; // twice a thin line of 0.75 pt
constexpr uint8_t MarkerSize = 3;
constexpr int32_t UpwardRotation = -90; // reads from bottom to top

lxw_color_t writerColour(int colourIndex)
{
    const std::optional<QRgb> rgb = paletteColour(colourIndex);
    if (!rgb) return 0; // the writer's "not set", i.e. automatic
    const lxw_color_t colour = *rgb & 0xFFFFFFu;
    return colour == 0 ? lxw_color_t(LXW_COLOR_BLACK) : colour; // the writer's black, 0 meaning "not set"
}

int columnPixels(double widthCharacters)
{
    // The spreadsheet's character-width to pixel rule for its default font (7-pixel digits).
    if (widthCharacters < 1) return int(widthCharacters * 12 + 0.5);
    return int(widthCharacters * 7 + 0.5) + 5;
}

lxw_chart_line solidLine(int colourIndex, float widthPoints)
{
    lxw_chart_line line = {};
    line.color = writerColour(colourIndex);
    line.width = widthPoints;
    line.dash_type = LXW_CHART_LINE_DASH_SOLID;
    return line;
}

void formatAxis(lxw_chart_axis *axis, const char *title)
{
    chart_axis_set_name(axis, title);
    lxw_chart_line line = solidLine(AxisColourIndex, HairlinePoints);
    chart_axis_set_line(axis, &line);
    chart_axis_set_major_tick_mark(axis, LXW_CHART_AXIS_TICK_MARK_INSIDE);
    chart_axis_set_minor_tick_mark(axis, LXW_CHART_AXIS_TICK_MARK_INSIDE);
    chart_axis_set_label_position(axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);
}

// The chart writer takes a leading "=" of a name as a cell reference; a zero-width space
// keeps such a text literal without changing what is shown.
QByteArray literalText(const QString &text)
{
    return (text.startsWith(u'=') ? QStringLiteral("\u200B") + text : text).toUtf8();
}

} // namespace

SheetAnchor anchorAt(double leftPoints, double topPoints, const SheetGeometry &geometry)
{
    SheetAnchor anchor;
    int x = int(leftPoints * PixelsPerPoint + 0.5);
    for (;; ++anchor.column) {
        const double width = std::size_t(anchor.column) < geometry.columnWidths.size()
                                 ? geometry.columnWidths[std::size_t(anchor.column)]
                                 : SheetGeometry::DefaultColumnWidth;
        const int pixels = columnPixels(width);
        if (x < pixels) break;
        x -= pixels;
    }
    anchor.xOffset = x;
    const int rowPixels = int(geometry.rowHeight * PixelsPerPoint + 0.5);
    const int y = int(topPoints * PixelsPerPoint + 0.5);
    anchor.row = rowPixels > 0 ? y / rowPixels : 0;
    anchor.yOffset = rowPixels > 0 ? y % rowPixels : y;
    return anchor;
}

lxw_error addRecordChart(lxw_workbook *workbook, lxw_worksheet *sheet, const QString &sheetName,
                         const RecordChartData &data, const SheetGeometry &geometry)
{
    lxw_chart *chart = workbook_add_chart(workbook, LXW_CHART_LINE);
    if (!chart) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    const QByteArray sheetNameUtf8 = sheetName.toUtf8();
    const char *sheetNameC = sheetNameUtf8.constData();

    lxw_chart_series *series = chart_add_series(chart, nullptr, nullptr);
    if (!series) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (data.nameRow >= 0) {
        chart_series_set_name_range(series, sheetNameC, lxw_row_t(data.nameRow), lxw_col_t(data.nameColumn));
    } else if (!data.name.isEmpty()) {
        chart_series_set_name(series, literalText(data.name).constData());
    }
    chart_series_set_categories(series, sheetNameC, lxw_row_t(data.firstRow), lxw_col_t(data.categoryColumn),
                                lxw_row_t(data.lastRow), lxw_col_t(data.categoryColumn));
    chart_series_set_values(series, sheetNameC, lxw_row_t(data.firstRow), lxw_col_t(data.valueColumn),
                            lxw_row_t(data.lastRow), lxw_col_t(data.valueColumn));

    formatAxis(chart->x_axis, "Time");
    formatAxis(chart->y_axis, literalText(data.valueAxisTitle).constData());
    chart_axis_set_label_align(chart->x_axis, LXW_CHART_AXIS_LABEL_ALIGN_CENTER);
    // The times are serial numbers: without a format of its own the axis shows fractions of a day.
    chart_axis_set_num_format(chart->x_axis, SheetValues::TimeNumberFormat);
    lxw_chart_font upward = {};
    upward.rotation = UpwardRotation;
    chart_axis_set_num_font(chart->x_axis, &upward);

    lxw_chart_line line = solidLine(SeriesColourIndex, MediumPoints);
    chart_series_set_line(series, &line);
    chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
    chart_series_set_marker_size(series, MarkerSize);
    lxw_chart_fill markerFill = {};
    markerFill.color = writerColour(SeriesColourIndex);
    chart_series_set_marker_fill(series, &markerFill);
    lxw_chart_line markerLine = {};
    markerLine.color = writerColour(SeriesColourIndex);
    chart_series_set_marker_line(series, &markerLine);
    chart_series_set_smooth(series, LXW_FALSE);

    if (data.hasTitle && !data.title.isEmpty())
        chart_title_set_name(chart, literalText(data.title).constData());
    else
        chart_title_off(chart);

    const SheetAnchor anchor = anchorAt(ChartLeft, ChartTop, geometry);
    lxw_chart_options options = {};
    options.x_offset = anchor.xOffset;
    options.y_offset = anchor.yOffset;
    options.x_scale = ChartWidth * PixelsPerPoint / DefaultChartWidthPixels;
    options.y_scale = ChartHeight * PixelsPerPoint / DefaultChartHeightPixels;
    return worksheet_insert_chart_opt(sheet, lxw_row_t(anchor.row), lxw_col_t(anchor.column), chart,
                                      &options);
}
