#pragma once
#include <QString>

// The width of the graph's page, from the page the time-axis factor gives up to the whole
// record, and how a wide page maps back to those pages. Rows are 1-based rows of the table.
namespace GraphZoom
{

constexpr int Factor = 4;         // each step out shows four times the rows
constexpr int WholeRecord = 1000; // a zoom level at or beyond the last: the whole record

// The last zoom level for a record of `rows` rows with `perPage` rows a page: the first whose
// width holds the whole record; 0 when a page holds it already.
int lastLevel(int perPage, int rows);
// Rows a page of `level` spans: perPage × 4^level, the whole record (in whole pages) at the last.
int span(int level, int perPage, int rows);

// The rows a wide page shows: the one of `span` rows that holds the first row of `page`.
struct Window {
    int first = 1;
    int span = 0;
};
Window window(int level, int page, int perPage, int rows);


} // namespace GraphZoom
