#include "core/printing/TablePrintout.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include "core/printing/PrintTexts.h"
#include "core/printing/TwipPage.h"
#include "core/recording/RecordStore.h"

namespace
{

const QPoint Origin(1000, 1000);
constexpr int TitleX = 4500;
constexpr int FileNameX = 11500;

struct LineMetrics {
    qreal tabWidth;
    qreal lineHeight;
};

void printHeading(QPainter &painter, const TableHeading &heading, int page)
{
    if (heading.titleShown) TwipPage::printText(painter, QPointF(TitleX, 0), heading.title);
    TwipPage::printText(painter, QPointF(FileNameX, 0),
                        PrintTexts::fileNameLine(heading.recordFileName, 10, QString::number(page)));
}

void printRow(QPainter &painter, const RecordStore &table, int row, qreal y, const LineMetrics &metrics)
{
    for (int column = 0; column < RecordStore::ColumnCount; ++column) {
        const QString text = table.cell(row, column);
        if (text.isEmpty()) continue;
        TwipPage::printText(painter, QPointF(TablePrintout::TabColumns[column] * metrics.tabWidth, y), text);
    }
}

} // namespace

int printTabula(QPainter &painter, QPagedPaintDevice &device, const RecordStore &table,
                const TableHeading &heading)
{
    TwipPage::setTwipWindow(painter, device, Origin);
    painter.setPen(Qt::black);
    painter.setFont(TwipPage::printerFont(TablePrintout::FontPoints));
    const QFontMetricsF fontMetrics(painter.font(), painter.device());
    const LineMetrics metrics{fontMetrics.averageCharWidth(), fontMetrics.height()};

    int page = 1;
    qreal y = 0;
    const auto startPage = [&] {
        printHeading(painter, heading, page);
        printRow(painter, table, 0, metrics.lineHeight, metrics);
        y = 2 * metrics.lineHeight;
    };
    startPage();
    for (int row = 1; row < table.gridRowCount(); ++row) {
        if (row > TablePrintout::RowsPerPage && (row - 1) % TablePrintout::RowsPerPage == 0) {
            device.newPage();
            ++page;
            startPage();
        }
        printRow(painter, table, row, y, metrics);
        y += metrics.lineHeight;
    }
    return page;
}
