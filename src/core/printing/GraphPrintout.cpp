#include "core/printing/GraphPrintout.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "core/printing/PrintTexts.h"
#include "core/printing/TwipPage.h"

namespace
{

const QPoint Origin(2000, 2600);
constexpr int FrameLineTwips = 10;

} // namespace

int PrintBmp(QPainter &painter, QPagedPaintDevice &device, const GraphFooter &footer,
             const DrawGraphPage &drawPage)
{
    using namespace GraphPrintout;
    TwipPage::setTwipWindow(painter, device, Origin);

    painter.save();
    painter.setClipRect(PictureRect);
    drawPage(painter, QRectF(PictureRect));
    painter.restore();

    painter.setPen(QPen(Qt::black, FrameLineTwips));
    painter.setBrush(Qt::NoBrush);
    const QPoint topRight(FrameBottomRight.x(), FrameTopLeft.y());
    const QPoint bottomLeft(FrameTopLeft.x(), FrameBottomRight.y());
    painter.drawLine(FrameTopLeft, topRight);
    painter.drawLine(FrameTopLeft, bottomLeft);
    painter.drawLine(topRight, FrameBottomRight);
    painter.drawLine(bottomLeft, FrameBottomRight);

    const TwipPage::TextPrinter text(painter, TwipPage::printerFont(FontPoints));
    text.print(FooterAt, PrintTexts::fileNameLine(footer.recordFileName, 8, footer.pageText));
    return 1;
}
