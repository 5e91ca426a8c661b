// Prints a full record (9,999 rows, six channels) as the table pages into a PDF file, and the
// graph page with a stand-in drawing, and prints time, pages and file size of each.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

#include "core/printing/GraphPrintout.h"
#include "core/printing/TablePrintout.h"
#include "core/printing/TwipPage.h"
#include "core/record/RecordStore.h"
#include "support/RecordFixture.h"

namespace
{

void report(const char *what, const QString &path, qint64 ms, int pages, const QString &failure)
{
    if (!failure.isEmpty()) {
        std::printf("%s: failed: %s\n", what, qPrintable(failure));
        return;
    }
    std::printf("%-34s %6lld ms  %4d pages  %8lld bytes\n", what, static_cast<long long>(ms), pages,
                static_cast<long long>(QFileInfo(path).size()));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    RecordStore store;
    fillRecord(store, RecordStore::MaxSampleRows - 1, 6); // and row 9,999 being filled
    const TableHeading heading{QStringLiteral("261205_151230.xlsx"), true, QStringLiteral("Bench")};

    std::printf("bench_printing\n");
    int pages = 0;
    QElapsedTimer timer;
    timer.start();
    const QString tablePath = dir.filePath(QStringLiteral("table.pdf"));
    QString failure = printToPdfFile(tablePath, [&](QPainter &painter, QPagedPaintDevice &device) {
        return pages = printTabula(painter, device, store, heading);
    });
    report("table, 9,999 rows x 20 columns", tablePath, timer.elapsed(), pages, failure);

    const auto standIn = [](QPainter &painter, const QRectF &target) {
        painter.setPen(QPen(Qt::darkGreen, 0));
        for (int i = 1; i <= 100; ++i)
            painter.drawLine(QPointF(target.left() + (i - 1) * target.width() / 100, target.center().y()),
                             QPointF(target.left() + i * target.width() / 100, target.top() + (i % 7) * 500));
    };
    timer.restart();
    const QString graphPath = dir.filePath(QStringLiteral("graph.pdf"));
    failure = printToPdfFile(graphPath, [&](QPainter &painter, QPagedPaintDevice &device) {
        return pages = PrintBmp(painter, device, {heading.recordFileName, QStringLiteral("1")}, standIn);
    });
    report("graph page, 100-segment stand-in", graphPath, timer.elapsed(), pages, failure);
    return 0;
}
