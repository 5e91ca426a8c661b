#pragma once
#include <QString>
#include <array>

class QPagedPaintDevice;
class QPainter;
class RecordStore;

// What every table page shows above the header line.
struct TableHeading {
    QString recordFileName;
    bool titleShown = false; // Graph_TitleCk = 1
    QString title;           // Graph_MainTitle
};

namespace TablePrintout
{

constexpr int RowsPerPage = 50;
constexpr int FontPoints = 7; // 20 columns across A4 landscape
// print-tab column of each table column; a tab column is one character of the printer font
constexpr std::array<int, 20> TabColumns{0,   9,   24,  37,  49,  56,  69,  81,  88,  101,
                                         113, 120, 132, 144, 150, 162, 174, 180, 192, 206};

} // namespace TablePrintout

// Draws the record table, 50 rows a page, each page with its heading (title when shown, file
// name and page number) and the header line; the table's last row is printed too, empty as it
// is while the record is stopped. Reads only `table.cell()` and `table.gridRowCount()`.
// Returns the number of pages.
int printTabula(QPainter &painter, QPagedPaintDevice &device, const RecordStore &table,
                const TableHeading &heading);
