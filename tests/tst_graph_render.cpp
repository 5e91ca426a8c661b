#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "core/graph/GraphPage.h"
#include "core/graph/GraphPainter.h"

using namespace Measurement;

namespace
{

// A surface of 1080 × 254 pixels at ratios 1: ten user units a pixel across, five upwards.
GraphGeometry testGeometry()
{
    GraphGeometry geometry;
    geometry.pixels = QSize(1080, 254);
    return geometry;
}

// The pixel a user point falls in on that surface, computed from the user scale alone.
QPoint pixelOf(double x, double y)
{
    return {int(std::floor((x + 900) / 10 + 1e-7)), int(std::floor((1150 - y) / 5 + 1e-7))};
}

const QColor White(Qt::white);
const QColor Back(0, 0, 128); // Graph_BackColor 8388608
const QColor Grid(128, 128, 128);
const QColor Trace(255, 0, 0); // Graph_T1BackColor 255

QColor colorAt(const QImage &image, QPoint p)
{
    return image.pixelColor(p);
}

// Whether any pixel of `area` differs from `color`.
bool anyOtherThan(const QImage &image, const QRect &area, const QColor &color)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != color) return true;
    return false;
}

bool anyOf(const QImage &image, const QRect &area, const QColor &color)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == color) return true;
    return false;
}

bool sameArea(const QImage &a, const QImage &b, const QRect &area)
{
    return a.copy(area) == b.copy(area);
}

QImage blankSurface()
{
    QImage image(testGeometry().pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Texts drawn alone on a white surface, to compare with what a page shows in the same place.
QImage textsAlone(const QVector<QPair<QPointF, QString>> &texts)
{
    QImage image = blankSurface();
    QPainter painter(&image);
    GraphCanvas canvas(painter, QRectF(image.rect()), testGeometry());
    for (const auto &text : texts)
        canvas.text(text.first, text.second);
    return image;
}

QImage render(const GraphView &view)
{
    QImage image = blankSurface();
    QPainter painter(&image);
    renderPage(painter, QRectF(image.rect()), view);
    return image;
}

GraphSample at(const QString &value, const QString &unit = QStringLiteral("V"))
{
    return {value, unit, QStringLiteral("10:00:00")};
}

GraphChannel shownChannel(int function, int prefix)
{
    GraphChannel channel;
    channel.function = function;
    channel.prefix = prefix;
    channel.valueDisplay = QStringLiteral("1.000");
    channel.unitDisplay = prefixText(prefix) + unitText(function);
    return channel;
}

// A record that counts how often the graph reads a row.
class CountingRecord : public GraphSampleList
{
public:
    mutable int reads = 0;
    GraphSample sample(int row) const override
    {
        ++reads;
        return GraphSampleList::sample(row);
    }
};

const QRect LabelColumn(0, 0, 80, 254);  // left of the plot and of the first time label
const QRect UnitArea(95, 0, 60, 20);     // above the plot's left end
const QRect TitleArea(560, 0, 500, 20);  // above the plot from the title's start
const QRect TimeStrip(83, 233, 997, 21); // below the plot

} // namespace

// Pages drawn into images, checked at the pixels the user scale puts things at, and the
// page flows of a recording drawn into the retained surface.
class TestGraphRender : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void frameBeforeFirstReading();
    void valueLabelsAndUnit();
    void titleOnlyWhenSwitchedOn_data();
    void titleOnlyWhenSwitchedOn();
    void traceWithGap();
    void sampleOnPrefixDisplay();
    void targetRectangleAndScaling();
    void firstReadingDrawsLabels();
    void sample101OpensPage2();
    void inBandReadingDrawsOnlyItself();
    void readingAboveScaleRedrawsPage();
    void overloadLeavesGapWhileRecording();
    void rangeChangeRedrawsInNewUnit();
    void pageBoxFlow();
};

void TestGraphRender::frameBeforeFirstReading()
{
    const GraphSampleList record;
    GraphView view;
    view.record = &record;
    view.geometry = testGeometry();
    view.scale = VerticalScale{0, 2, 50};
    const QImage image = render(view);

    QCOMPARE(colorAt(image, pixelOf(500, 100)), Back);
    QCOMPARE(colorAt(image, pixelOf(9750, 950)), Back);
    for (int i = 5; i < 25; i += 5)
        QCOMPARE(colorAt(image, pixelOf(500, i * 40)), Grid);
    for (int j = 20; j < 100; j += 20)
        QCOMPARE(colorAt(image, pixelOf(j * 98, 300)), Grid);
    QCOMPARE(colorAt(image, pixelOf(9850, 500)), White); // right of the plot
    QCOMPARE(colorAt(image, pixelOf(500, -60)), White);  // below it
    QVERIFY(!anyOtherThan(image, LabelColumn, White));
    QVERIFY(!anyOtherThan(image, TimeStrip, White));
    QVERIFY(sameArea(image, textsAlone({{{60, 1120}, QStringLiteral("(?\?)")}}), UnitArea));
}

void TestGraphRender::valueLabelsAndUnit()
{
    const GraphSampleList record;
    GraphView view;
    view.record = &record;
    view.geometry = testGeometry();
    view.channel = shownChannel(DCV, 2);
    view.scale = VerticalScale{0, 2, 50};
    const QImage image = render(view);

    QVector<QPair<QPointF, QString>> labels;
    const QStringList texts{"0", "10", "20", "30", "40", "50"};
    for (int i = 0; i < 6; ++i)
        labels.append({QPointF(-550, 200 * i + 50), texts.at(i)});
    QVERIFY(anyOtherThan(image, LabelColumn, White));
    QVERIFY(sameArea(image, textsAlone(labels), LabelColumn));
    QVERIFY(sameArea(image, textsAlone({{{60, 1120}, QStringLiteral("(mV)")}}), UnitArea));
}

void TestGraphRender::titleOnlyWhenSwitchedOn_data()
{
    QTest::addColumn<int>("titleCk");
    QTest::newRow("off") << 0;
    QTest::newRow("on") << 1;
}

void TestGraphRender::titleOnlyWhenSwitchedOn()
{
    QFETCH(int, titleCk);
    const GraphSampleList record;
    GraphView view;
    view.record = &record;
    view.geometry = testGeometry();
    view.style.titleCk = qint16(titleCk);
    view.style.mainTitle = QStringLiteral("Pump 3");
    const QImage image = render(view);
    if (titleCk == 1)
        QVERIFY(sameArea(image, textsAlone({{{4750, 1120}, QStringLiteral("Pump 3")}}), TitleArea));
    QCOMPARE(anyOtherThan(image, TitleArea, White), titleCk == 1);
}

void TestGraphRender::traceWithGap()
{
    GraphSampleList record;
    record.samples = {at("11"), at("12"), at("+OL"), at("13"), at("13")};
    GraphView view;
    view.record = &record;
    view.geometry = testGeometry();
    view.channel = shownChannel(DCV, NoPrefix);
    view.timeScale = 1.0f;
    view.scale = VerticalScale{0, 1, 25};
    const QImage image = render(view);

    // Level segment from x = 0 to the first sample, then its dot and the line to the second.
    QCOMPARE(colorAt(image, pixelOf(49, 440)), Trace);
    QCOMPARE(colorAt(image, pixelOf(98, 440)), Trace);
    QCOMPARE(colorAt(image, pixelOf(196, 480)), Trace);
    QCOMPARE(colorAt(image, pixelOf(98, 360)), Back); // no line below the first sample
    // Nothing joins the second sample to the overload slot.
    const QPoint gapColumn = pixelOf(245, 0);
    QVERIFY(!anyOf(image, QRect(gapColumn.x(), pixelOf(0, 1000).y(), 3, 200), Trace));
    // After the gap: a dot one slot to the left at the new value, a level segment to it.
    QCOMPARE(colorAt(image, pixelOf(294, 520)), Trace);
    QCOMPARE(colorAt(image, pixelOf(343, 520)), Trace);
    QCOMPARE(colorAt(image, pixelOf(392, 520)), Trace);
    QCOMPARE(colorAt(image, pixelOf(490, 520)), Trace);
    QCOMPARE(colorAt(image, pixelOf(600, 520)), Back); // the trace ends at the last sample
    // The first time label sits under the plot's left end.
    QVERIFY(anyOtherThan(image, QRect(pixelOf(-70, -15), QSize(60, 15)), White));
}

void TestGraphRender::sampleOnPrefixDisplay()
{
    GraphSampleList record;
    record.samples = {at("1.500", "V")};
    GraphView view;
    view.record = &record;
    view.geometry = testGeometry();
    view.channel = shownChannel(DCV, 2);
    view.timeScale = 1.0f;
    view.scale = VerticalScale{1000, 40, 2000}; // 1500 mV lies 500 units up
    const QImage image = render(view);
    QCOMPARE(colorAt(image, pixelOf(98, 500)), Trace);
    QCOMPARE(colorAt(image, pixelOf(40, 500)), Trace);
    QCOMPARE(colorAt(image, pixelOf(98, 40)), Back);
}

void TestGraphRender::targetRectangleAndScaling()
{
    GraphSampleList record;
    record.samples = {at("11"), at("12")};
    GraphView view;
    view.record = &record;
    view.geometry = testGeometry();
    view.channel = shownChannel(DCV, NoPrefix);
    view.timeScale = 1.0f;
    view.scale = VerticalScale{0, 1, 25};

    // Four times the screen size, placed at (40, 20) on a larger green device.
    QImage image(4400, 1060, QImage::Format_RGB32);
    image.fill(Qt::green);
    {
        QPainter painter(&image);
        renderPage(painter, QRectF(40, 20, 4320, 1016), view);
    }
    const auto scaled = [](double x, double y) {
        return QPoint(40 + int(std::floor((x + 900) * 0.4 + 1e-7)),
                      20 + int(std::floor((1150 - y) * 0.8 + 1e-7)));
    };
    QCOMPARE(image.pixelColor(10, 10), QColor(Qt::green));
    QCOMPARE(image.pixelColor(4380, 1050), QColor(Qt::green));
    QCOMPARE(image.pixelColor(scaled(-850, 1100)), White);
    QCOMPARE(image.pixelColor(scaled(500, 100)), Back);
    QCOMPARE(image.pixelColor(scaled(98, 440)), Trace);
    // A grid line is four device pixels thick, as a screen pixel is four of them.
    const QPoint line = scaled(500, 200);
    int thickness = 0;
    for (int y = line.y() - 8; y <= line.y() + 8; ++y)
        thickness += image.pixelColor(line.x(), y) == Grid ? 1 : 0;
    QCOMPARE(thickness, 4);
}

void TestGraphRender::firstReadingDrawsLabels()
{
    GraphSampleList record;
    GraphPage page(record);
    page.setGeometry(testGeometry());
    page.setTimeScale(1.0f);
    page.setChannel(shownChannel(DCV, NoPrefix));
    page.setPageText(QStringLiteral("0"));
    page.redisplay();
    QVERIFY(!anyOtherThan(page.surface(), LabelColumn, White)); // no scale yet

    record.samples = {at("12")};
    record.rows = 2; // the table grows after the graph has drawn
    GraphChannel channel = shownChannel(DCV, NoPrefix);
    channel.maxDisplay = channel.minDisplay = QStringLiteral("12");
    page.setChannel(channel);
    page.addNewest();
    QCOMPARE(page.pageText(), QStringLiteral("1"));
    QVERIFY(page.scale());
    QCOMPARE(page.scale()->bottom, 11.0); // fine scale: ten steps of 0.1 below
    QVERIFY(anyOtherThan(page.surface(), LabelColumn, White));
    const PlotMapping mapping(testGeometry(), 1.0f, 1, *page.scale());
    QCOMPARE(colorAt(page.surface(), pixelOf(98, mapping.y(12))), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(30, mapping.y(12))), Trace);
}

void TestGraphRender::sample101OpensPage2()
{
    GraphSampleList record;
    for (int row = 1; row <= 100; ++row)
        record.samples.append(at("5.25"));
    GraphChannel channel = shownChannel(DCV, NoPrefix);
    channel.maxDisplay = QStringLiteral("6");
    channel.minDisplay = QStringLiteral("5");
    GraphPage page(record);
    page.setGeometry(testGeometry());
    page.setTimeScale(1.0f);
    page.setChannel(channel);
    page.autoscale();
    page.setPageText(QStringLiteral("1"));
    page.redraw();
    QCOMPARE(page.scale()->bottom, 4.0);
    QCOMPARE(page.scale()->step, 0.1);
    QCOMPARE(colorAt(page.surface(), pixelOf(98 * 50, 500)), Trace); // 5.25 is 12.5 steps up

    QSignalSpy pageTexts(&page, &GraphPage::pageTextChanged);
    record.samples.append(at("5.75"));
    page.addNewest();
    QCOMPARE(pageTexts.size(), 1);
    QCOMPARE(pageTexts.at(0).at(0).toString(), QStringLiteral("2"));
    QCOMPARE(page.page(), 2);
    // Page 2 alone: a level segment from x = 0 to sample 101 at 98, page 1's trace gone.
    QCOMPARE(colorAt(page.surface(), pixelOf(0, 700)), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(49, 700)), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(98, 700)), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(98 * 50, 500)), Back);
}

void TestGraphRender::inBandReadingDrawsOnlyItself()
{
    CountingRecord record;
    for (int row = 1; row <= 150; ++row)
        record.samples.append(at(row % 2 ? "5.25" : "5.50"));
    GraphChannel channel = shownChannel(DCV, NoPrefix);
    channel.maxDisplay = QStringLiteral("6");
    channel.minDisplay = QStringLiteral("5");
    GraphPage page(record);
    page.setGeometry(testGeometry());
    page.setTimeScale(1.0f);
    page.setChannel(channel);
    page.openPage(2);
    QCOMPARE(page.pageText(), QStringLiteral("2"));
    const QImage before = page.surface();

    record.samples.append(at("5.75"));
    record.reads = 0;
    page.addNewest();
    QVERIFY2(record.reads <= 8, qPrintable(QString::number(record.reads)));
    // The new stretch from sample 150 (5.25) to 151 (5.75) is drawn; the rest is as before.
    QCOMPARE(colorAt(page.surface(), pixelOf(98 * 51, 700)), Trace);
    QCOMPARE(colorAt(before, pixelOf(98 * 51, 700)), Back);
    const QRect plot(pixelOf(0, 1000), pixelOf(98 * 49, 0));
    QVERIFY(sameArea(page.surface(), before, plot));
}

void TestGraphRender::readingAboveScaleRedrawsPage()
{
    CountingRecord record;
    for (int row = 1; row <= 10; ++row)
        record.samples.append(at("5.25"));
    GraphChannel channel = shownChannel(DCV, NoPrefix);
    channel.maxDisplay = QStringLiteral("6");
    channel.minDisplay = QStringLiteral("5");
    GraphPage page(record);
    page.setGeometry(testGeometry());
    page.setTimeScale(1.0f);
    page.setChannel(channel);
    page.openPage(1);
    QCOMPARE(page.scale()->top, 6.5);

    record.samples.append(at("40"));
    channel.maxDisplay = QStringLiteral("40");
    page.setChannel(channel);
    record.reads = 0;
    page.addNewest();
    QVERIFY(record.reads >= 11); // the whole page was read again
    QVERIFY(page.scale()->top > 40);
    const PlotMapping mapping(testGeometry(), 1.0f, 1, *page.scale());
    QCOMPARE(colorAt(page.surface(), pixelOf(98 * 5, mapping.y(5.25))), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(98 * 11, mapping.y(40))), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(98 * 5, 500)), Back); // where 5.25 was drawn before
}

void TestGraphRender::overloadLeavesGapWhileRecording()
{
    GraphSampleList record;
    record.samples = {at("5.25"), at("5.25")};
    GraphChannel channel = shownChannel(DCV, NoPrefix);
    channel.maxDisplay = QStringLiteral("6");
    channel.minDisplay = QStringLiteral("5");
    GraphPage page(record);
    page.setGeometry(testGeometry());
    page.setTimeScale(1.0f);
    page.setChannel(channel);
    page.openPage(1);

    record.samples.append(at("+OL"));
    page.addNewest();
    record.samples.append(at("5.75"));
    page.addNewest();
    const QPoint gapColumn = pixelOf(245, 0);
    QVERIFY(!anyOf(page.surface(), QRect(gapColumn.x(), pixelOf(0, 1000).y(), 3, 200), Trace));
    QCOMPARE(colorAt(page.surface(), pixelOf(294, 700)), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(343, 700)), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(392, 700)), Trace);
}

void TestGraphRender::rangeChangeRedrawsInNewUnit()
{
    GraphSampleList record;
    record.samples = {at("900", "mV"), at("950", "mV")};
    GraphChannel channel = shownChannel(DCV, 2);
    channel.maxDisplay = QStringLiteral("950");
    channel.minDisplay = QStringLiteral("900");
    GraphPage page(record);
    page.setGeometry(testGeometry());
    page.setTimeScale(1.0f);
    page.setChannel(channel);
    page.openPage(1);

    // The meter switched to volts: the monitor shows its extremes in volts now.
    record.samples.append(at("1.200", "V"));
    channel = shownChannel(DCV, NoPrefix);
    channel.maxDisplay = QStringLiteral("1.200");
    channel.minDisplay = QStringLiteral("0.900");
    page.setChannel(channel);
    page.addNewest();
    QVERIFY(page.scale()->top < 10);
    const PlotMapping mapping(testGeometry(), 1.0f, 1, *page.scale());
    QCOMPARE(colorAt(page.surface(), pixelOf(98, mapping.y(0.9))), Trace);
    QCOMPARE(colorAt(page.surface(), pixelOf(294, mapping.y(1.2))), Trace);
    QVERIFY(sameArea(page.surface(), textsAlone({{{60, 1120}, QStringLiteral("(V)")}}), UnitArea));
}

void TestGraphRender::pageBoxFlow()
{
    GraphSampleList record;
    for (int row = 1; row <= 250; ++row)
        record.samples.append(at("5"));
    GraphChannel channel = shownChannel(DCV, NoPrefix);
    channel.maxDisplay = channel.minDisplay = QStringLiteral("5");
    GraphPage page(record);
    page.setGeometry(testGeometry());
    page.setTimeScale(1.0f);
    page.setChannel(channel);
    QSignalSpy shown(&page, &GraphPage::pageAboutToShow);

    page.nextPage();
    page.nextPage();
    page.nextPage();
    QCOMPARE(page.pageText(), QStringLiteral("3"));
    QCOMPARE(shown.size(), 2);
    page.setPageText(QStringLiteral("7"));
    QCOMPARE(page.pageText(), QStringLiteral("3"));
    page.setPageText(QStringLiteral("x"));
    QCOMPARE(page.pageText(), QStringLiteral("1"));
    QCOMPARE(shown.last().at(0).toInt(), 1);
    // Page 1 is drawn: its trace spans the whole plot.
    QCOMPARE(colorAt(page.surface(), pixelOf(9800, 400)), Trace);
    page.previousPage();
    QCOMPARE(page.pageText(), QStringLiteral("1"));
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestGraphRender test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_graph_render.moc"
