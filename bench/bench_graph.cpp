// Times the graph's drawing: a full page redraw at 25 and at 200 samples a page into the
// window's surface, one page at print resolution, the newest reading of a recording, and a
// reading through a whole session with and without the graph window's surface.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

#include "core/followers/GraphFollower.h"
#include "core/graph/GraphPage.h"
#include "core/link/FrameEncoder.h"
#include "support/RecordingSession.h"

namespace
{

GraphSample reading(int row)
{
    const QString value =
        row % 97 == 0 ? QStringLiteral("+OL") : QString::number(230 + 4.5 * std::sin(row / 9.0), 'f', 1);
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(row / 3600 % 24, 2, 10, QLatin1Char('0'))
                             .arg(row / 60 % 60, 2, 10, QLatin1Char('0'))
                             .arg(row % 60, 2, 10, QLatin1Char('0'));
    return {value, QStringLiteral("V"), time};
}

GraphChannel channel()
{
    GraphChannel c;
    c.function = Measurement::ACV;
    c.prefix = Measurement::NoPrefix;
    c.valueDisplay = QStringLiteral("230.0");
    c.unitDisplay = QStringLiteral("V");
    c.maxDisplay = QStringLiteral("235.0");
    c.minDisplay = QStringLiteral("225.0");
    return c;
}

GraphGeometry screen()
{
    GraphGeometry g;
    g.pixels = QSize(1170, 290);
    return g;
}

void fullRedraw(float timeScale)
{
    GraphSampleList record;
    for (int row = 1; row <= 1000; ++row)
        record.samples.append(reading(row));
    GraphPage page(record);
    page.setGeometry(screen());
    page.setTimeScale(timeScale);
    page.setChannel(channel());
    page.openPage(2);
    const int rounds = 300;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        page.redraw();
    std::printf("full page redraw, %3d samples a page: %.3f ms (goal < 5 ms)\n",
                int(std::lround(100 * timeScale)), double(timer.nsecsElapsed()) / rounds / 1e6);
}

void printRender()
{
    GraphSampleList record;
    for (int row = 1; row <= 400; ++row)
        record.samples.append(reading(row));
    GraphPage page(record);
    page.setGeometry(screen());
    page.setTimeScale(2.0f);
    page.setChannel(channel());
    page.openPage(1);
    // 13400 × 4500 twips at 300 dpi.
    QImage paper(2792, 938, QImage::Format_RGB32);
    const int rounds = 20;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        QPainter painter(&paper);
        page.render(painter, QRectF(paper.rect()));
    }
    std::printf("page rendered for print (2792 x 938 px): %.3f ms\n",
                double(timer.nsecsElapsed()) / rounds / 1e6);
}

void newestReadings()
{
    GraphSampleList record;
    GraphPage page(record);
    page.setGeometry(screen());
    page.setTimeScale(2.0f);
    page.setChannel(channel());
    page.redisplay();
    qint64 inBandNs = 0;
    int inBand = 0;
    qint64 newPageNs = 0;
    int newPages = 0;
    QElapsedTimer timer;
    for (int row = 1; row <= 4000; ++row) {
        record.samples.append(reading(row));
        const QString pageBefore = page.pageText();
        timer.start();
        page.addNewest();
        const qint64 ns = timer.nsecsElapsed();
        if (page.pageText() == pageBefore && row > 1) {
            inBandNs += ns;
            ++inBand;
        } else {
            newPageNs += ns;
            ++newPages;
        }
    }
    std::printf("newest reading, same page: %.4f ms over %d readings (goal < 0.2 ms)\n",
                double(inBandNs) / inBand / 1e6, inBand);
    std::printf("newest reading opening a page (full redraw): %.3f ms over %d readings\n",
                double(newPageNs) / newPages / 1e6, newPages);
}

// Readings of the main channel through the whole receive path of a session (decoder, record,
// monitor, statistics, graph), with the graph window's surface and without one.
void sessionReadings(bool withSurface)
{
    RecordingSession rig;
    if (withSurface) rig.session.graph().page().setGeometry(screen());
    rig.start();
    FrameEncoder::Header header;
    header.functionCode = Measurement::ACV;
    header.decimalCode = FrameEncoder::Divisor10;
    const int readings = 2000;
    QElapsedTimer timer;
    timer.start();
    for (int row = 1; row <= readings; ++row)
        rig.feed(FrameEncoder::encodeReading(header, 2300 + int(45 * std::sin(row / 9.0))));
    std::printf("reading through the session %s the graph surface: %.4f ms a reading over %d readings\n",
                withSurface ? "with" : "without", double(timer.nsecsElapsed()) / readings / 1e6, readings);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    fullRedraw(0.25f);
    fullRedraw(2.0f);
    printRender();
    newestReadings();
    sessionReadings(false);
    sessionReadings(true);
    return 0;
}
