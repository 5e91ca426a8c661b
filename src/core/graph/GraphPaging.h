#pragma once
#include <QString>

// Page arithmetic of the graph. A page holds 100 × the time-axis factor s samples
// (25, 50, ... 200); page p shows rows (p - 1) · n + 1 .. p · n of the main channel.
namespace GraphPaging
{

constexpr int MaxPage = 400;

// Samples a page holds; 0 for a factor of 0 or less (nothing can be drawn then).
int samplesPerPage(float timeScale);
// Pages needed for `samples` samples, the last one partly filled: the page count shown
// when the graph is opened or the main channel is chosen.
int pageCount(int samples, float timeScale);
// The page that holds sample `row`.
int pageOfRow(int row, float timeScale);
int firstRow(int page, float timeScale);
int lastRow(int page, float timeScale);

// The page number a page box text stands for: its whole number, 0 when it is no number.
int pageNumber(const QString &pageText);

// The previous-page and next-page buttons. Next stops after the last full page of the
// record (table rows less the header and the trailing empty row) and at 400.
int nextPage(int current, int tableRows, float timeScale);
int previousPage(int current);

// The page box after an edit: `text` is what it shows, `show` whether the page is to be
// scaled and drawn anew. A number is cut to a whole page between 0 and the page being
// filled (at most 400); anything else shows page "1". A record without samples (fewer than
// three table rows) leaves the text alone and draws nothing.
struct PageBox {
    QString text;
    bool show = false;
};
PageBox pageBoxRule(const QString &text, int tableRows, int sampleCount, float timeScale);

// Keys the page box takes: digits and backspace.
bool isPageBoxKey(QChar key);

} // namespace GraphPaging
