#pragma once
#include <QFont>
#include <QPoint>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPainter;

// Printed pages are laid out in twips (1/1440 inch) from a fixed origin on an A4 landscape
// sheet, whatever the device's resolution: a printer, a PDF file or a test's PDF writer.
namespace TwipPage
{

constexpr int TwipsPerPoint = 20;

// A4 landscape, painted from the paper's edge (no margins), so that twip positions are
// measured from the sheet and not from the printable area.
void setA4Landscape(QPagedPaintDevice &device);

// One logical unit = one twip; logical (0, 0) lies `origin` twips right of and below the top-left
// corner of the sheet.
void setTwipWindow(QPainter &painter, const QPagedPaintDevice &device, const QPoint &origin);

// The printer font at `points`. A pixel size in twips: under the twip window a point size
// would be scaled by the device's resolution a second time.
QFont printerFont(int points);

// Prints text in one font, placed as a printer places it: by the top-left corner of the text
// line, not by its baseline.
class TextPrinter
{
public:
    TextPrinter(QPainter &painter, const QFont &font);
    void print(const QPointF &topLeft, const QString &text) const;
    qreal lineHeight() const { return m_lineHeight; }
    qreal characterWidth() const { return m_characterWidth; } // a print-tab column

private:
    QPainter &m_painter;
    qreal m_ascent;
    qreal m_lineHeight;
    qreal m_characterWidth;
};

} // namespace TwipPage

// One printed document: draws its pages on an active painter, starting on the device's current
// page and calling newPage() between its own pages. Returns the number of pages drawn.
using PrintDocument = std::function<int(QPainter &, QPagedPaintDevice &)>;

// How copies are produced: a printer takes each copy as a print job of its own; a PDF file takes
// them one after another, each copy numbering its pages from 1 again.
enum class CopyMode { SeparateDocuments, OneDocument };

// Prints `copies` copies (at least one) of `document` on `device` in A4 landscape. Returns ""
// or the reason it failed.
QString printCopies(QPagedPaintDevice &device, const PrintDocument &document, int copies, CopyMode mode);

// Writes one copy of `document` as a PDF file, pages exactly as on paper; an existing file is
// replaced only once the new one is complete. Returns "" or the reason it failed.
QString printToPdfFile(const QString &path, const PrintDocument &document);
