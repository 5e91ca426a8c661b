#pragma once
#include <QString>
#include <vector>
#include <xlsxwriter.h>

// Where the record chart's data lies on the sheet (rows and columns 0-based) and its texts.
struct RecordChartData {
    // The series name: the text of a cell when nameRow >= 0, otherwise `name` itself.
    int nameRow = -1;
    int nameColumn = -1;
    QString name;
    int categoryColumn = 0; // sample times
    int valueColumn = 0;
    int firstRow = 0;
    int lastRow = 0;
    QString valueAxisTitle;
    bool hasTitle = false;
    QString title;
};

// The sheet's geometry, to place the chart at a position given in points.
struct SheetGeometry {
    double rowHeight = 15;            // points, every row
    std::vector<double> columnWidths; // characters, from column A; others the default
    static constexpr double DefaultColumnWidth = 8.43;
};

// A cell and the offset in pixels from its top left corner.
struct SheetAnchor {
    int row = 0;
    int column = 0;
    int xOffset = 0;
    int yOffset = 0;
};
SheetAnchor anchorAt(double leftPoints, double topPoints, const SheetGeometry &geometry);

// Adds the record's line chart of one series to `sheet` (named `sheetName`): at 300, 150
// points from the sheet's corner, 600 x 225 points, with titled axes, inside tick marks,
// low tick labels, upward time labels and small circle markers.
lxw_error addRecordChart(lxw_workbook *workbook, lxw_worksheet *sheet, const QString &sheetName,
                         const RecordChartData &data, const SheetGeometry &geometry);
