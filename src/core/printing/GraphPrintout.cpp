#include "core/printing/GraphPrintout.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "core/printing/PrintTexts.h"
#include "core/printing/TwipPage.h"

namespace
{

constexpr int FrameLineTwips = 10;

} // namespace

int PrintBmp(QPainter &painter, QPagedPaintDevice &device, const GraphFooter &footer,
             const DrawGraphPage &drawPage, const GraphPrintout::Sheet &sheet)
{
    TwipPage::setTwipWindow(painter, device, sheet.origin);

    painter.save();
    painter.setClipRect(sheet.picture);
    drawPage(painter, QRectF(sheet.picture));
    painter.restore();

    painter.setPen(QPen(Qt::black, FrameLineTwips));
    painter.setBrush(Qt::NoBrush);
    const QPoint topRight(sheet.frameBottomRight.x(), sheet.frameTopLeft.y());
    const QPoint bottomLeft(sheet.frameTopLeft.x(), sheet.frameBottomRight.y());
    painter.drawLine(sheet.frameTopLeft, topRight);
    painter.drawLine(sheet.frameTopLeft, bottomLeft);
    painter.drawLine(topRight, sheet.frameBottomRight);
    painter.drawLine(bottomLeft, sheet.frameBottomRight);

    const TwipPage::TextPrinter text(painter, TwipPage::printerFont(GraphPrintout::FontPoints));
    text.print(sheet.footerAt, PrintTexts::fileNameLine(footer.recordFileName, 8, footer.pageText));
    return 1;
}
