#include "core/printing/TwipPage.h"

#include <QCoreApplication>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace TwipPage
{

void setA4Landscape(QPagedPaintDevice &device)
{
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(), QPageLayout::Point);
    layout.setMode(QPageLayout::FullPageMode);
    device.setPageLayout(layout);
}

void setTwipWindow(QPainter &painter, const QPagedPaintDevice &device, const QPoint &origin)
{
    // The viewport covers the paint rectangle; where a printer keeps margins the rectangle
    // starts inside the sheet, and the window starts there too.
    const QRectF paint = device.pageLayout().paintRect(QPageLayout::Point);
    const QRect window(qRound(paint.left() * TwipsPerPoint) - origin.x(),
                       qRound(paint.top() * TwipsPerPoint) - origin.y(),
                       qRound(paint.width() * TwipsPerPoint), qRound(paint.height() * TwipsPerPoint));
    painter.setViewport(0, 0, device.width(), device.height());
    painter.setWindow(window);
}

QFont printerFont(int points)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(points * TwipsPerPoint);
    return font;
}

TextPrinter::TextPrinter(QPainter &painter, const QFont &font) : m_painter(painter)
{
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    m_ascent = metrics.ascent();
    m_lineHeight = metrics.height();
    m_characterWidth = metrics.averageCharWidth();
}

void TextPrinter::print(const QPointF &topLeft, const QString &text) const
{
    m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + m_ascent), text);
}

} // namespace TwipPage

QString printCopies(QPagedPaintDevice &device, const PrintDocument &document, int copies, CopyMode mode)
{
    TwipPage::setA4Landscape(device);
    const int documents = mode == CopyMode::SeparateDocuments ? qMax(1, copies) : 1;
    const int copiesPerDocument = mode == CopyMode::OneDocument ? qMax(1, copies) : 1;
    for (int d = 0; d < documents; ++d) {
        QPainter painter;
        if (!painter.begin(&device))
            return QCoreApplication::translate("TwipPage", "The printer could not be started.");
        for (int c = 0; c < copiesPerDocument; ++c) {
            if (c > 0) device.newPage();
            document(painter, device);
        }
        if (!painter.end())
            return QCoreApplication::translate("TwipPage", "The printer could not finish the document.");
    }
    return {};
}

QString printToPdfFile(const QString &path, const PrintDocument &document)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QString failure;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Voltrix"));
        failure = printCopies(writer, document, 1, CopyMode::OneDocument);
    }
    if (!failure.isEmpty()) return failure;
    if (!file.commit()) return file.errorString();
    return {};
}
