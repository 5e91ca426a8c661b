#include "core/printing/TablePrintout.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "core/printing/PrintTexts.h"
#include "core/printing/TwipPage.h"
#include "core/record/RecordStore.h"

namespace
{

const QPoint Origin(1000, 1000);
constexpr int TitleX = 4500;
constexpr int FileNameX = 11500;

void printHeading(const TwipPage::TextPrinter &text, const TableHeading &heading, int page)
{
    if (heading.titleShown) text.print(QPointF(TitleX, 0), heading.title);
    text.print(QPointF(FileNameX, 0),
               PrintTexts::fileNameLine(heading.recordFileName, 10, QString::number(page)));
}

void printRow(const TwipPage::TextPrinter &text, const RecordStore &table, int row, qreal y)
{
    for (int column = 0; column < RecordStore::ColumnCount; ++column) {
        const QString cell = table.cell(row, column);
        if (!cell.isEmpty())
            text.print(QPointF(TablePrintout::TabColumns[column] * text.characterWidth(), y), cell);
    }
}

} // namespace

int printTabula(QPainter &painter, QPagedPaintDevice &device, const RecordStore &table,
                const TableHeading &heading)
{
    TwipPage::setTwipWindow(painter, device, Origin);
    painter.setPen(Qt::black);
    const TwipPage::TextPrinter text(painter, TwipPage::printerFont(TablePrintout::FontPoints));

    int page = 1;
    qreal y = 0;
    const auto startPage = [&] {
        printHeading(text, heading, page);
        printRow(text, table, 0, text.lineHeight());
        y = 2 * text.lineHeight();
    };
    startPage();
    for (int row = 1; row < table.gridRowCount(); ++row) {
        if (row > TablePrintout::RowsPerPage && (row - 1) % TablePrintout::RowsPerPage == 0) {
            device.newPage();
            ++page;
            startPage();
        }
        printRow(text, table, row, y);
        y += text.lineHeight();
    }
    return page;
}
