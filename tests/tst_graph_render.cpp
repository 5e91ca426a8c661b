#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
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

// A 100-sample page over a record, the monitor showing the given maximum and minimum.
struct Recording {
    CountingRecord record;
    GraphPage page{record};
    GraphChannel channel;

    Recording(int samples, const QString &value, const QString &max, const QString &min,
              int prefix = NoPrefix)
    {
        for (int row = 1; row <= samples; ++row)
            record.samples.append(at(value, prefixText(prefix) + unitText(DCV)));
        page.setGeometry(testGeometry());
        page.setTimeScale(1.0f);
        show(prefix, max, min);
    }
    void show(int prefix, const QString &max, const QString &min)
    {
        channel = shownChannel(DCV, prefix);
        channel.maxDisplay = max;
        channel.minDisplay = min;
        page.setChannel(channel);
    }
    void add(const GraphSample &sample)
    {
        record.samples.append(sample);
        page.addNewest();
    }
    QColor pixel(double x, double y) const { return colorAt(page.surface(), pixelOf(x, y)); }
    double yOf(double value) const
    {
        return PlotMapping(testGeometry(), 1.0f, page.page(), *page.scale()).y(value);
    }
};

// A view of a page at ratios 1 and 100 samples a page, with a reading shown.
GraphView viewOf(const GraphRecord &record, int prefix, const VerticalScale &scale)
{
    GraphView view;
    view.record = &record;
    view.geometry = testGeometry();
    view.channel = shownChannel(DCV, prefix);
    view.timeScale = 1.0f;
    view.scale = scale;
    return view;
}

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
    void frameBeforeFirstReading()
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
    void valueLabelsAndUnit()
    {
        const GraphSampleList record;
        const QImage image = render(viewOf(record, 2, {0, 2, 50}));

        QVector<QPair<QPointF, QString>> labels;
        const QStringList texts{"0", "10", "20", "30", "40", "50"};
        for (int i = 0; i < 6; ++i)
            labels.append({QPointF(-550, 200 * i + 50), texts.at(i)});
        QVERIFY(anyOtherThan(image, LabelColumn, White));
        QVERIFY(sameArea(image, textsAlone(labels), LabelColumn));
        QVERIFY(sameArea(image, textsAlone({{{60, 1120}, QStringLiteral("(mV)")}}), UnitArea));
    }
    void titleOnlyWhenSwitchedOn()
    {
        const GraphSampleList record;
        GraphView view;
        view.record = &record;
        view.geometry = testGeometry();
        view.style.mainTitle = QStringLiteral("Pump 3");
        QVERIFY(!anyOtherThan(render(view), TitleArea, White));
        view.style.titleCk = 1;
        QVERIFY(sameArea(render(view), textsAlone({{{4750, 1120}, QStringLiteral("Pump 3")}}), TitleArea));
    }
    void traceWithGap()
    {
        GraphSampleList record;
        record.samples = {at("11"), at("12"), at("+OL"), at("13"), at("13")};
        const QImage image = render(viewOf(record, NoPrefix, {0, 1, 25}));

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
    void targetRectangleAndScaling()
    {
        GraphSampleList record;
        record.samples = {at("11"), at("12")};
        const GraphView view = viewOf(record, NoPrefix, {0, 1, 25});

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

        // A target given in the painter's own coordinates (two units a pixel) lands on the same pixels.
        QImage plain(testGeometry().pixels, QImage::Format_RGB32);
        plain.fill(Qt::green);
        QImage windowed = plain;
        {
            QPainter painter(&plain);
            renderPage(painter, QRectF(plain.rect()), view);
        }
        {
            QPainter painter(&windowed);
            painter.setWindow(0, 0, 2160, 508);
            renderPage(painter, QRectF(0, 0, 2160, 508), view);
        }
        QCOMPARE(windowed, plain);
    }
    void textEndsAtTheRightEdge()
    {
        // The last time label starts 620 units short of the surface's right edge: it is moved
        // left rather than cut.
        const auto ink = [](double x) {
            QImage image = blankSurface();
            {
                QPainter painter(&image);
                GraphCanvas canvas(painter, QRectF(image.rect()), testGeometry());
                canvas.text({x, -15}, QStringLiteral("12:08:30"));
            }
            return int(std::count_if(image.constBits(), image.constBits() + image.sizeInBytes(),
                                     [](uchar byte) { return byte != 0xff; }));
        };
        const int whole = ink(4000);
        QVERIFY(whole > 0);
        QVERIFY2(qAbs(ink(9800 - 520) - whole) <= whole / 20, qPrintable(QString::number(ink(9280))));
        QVERIFY(qAbs(ink(9850) - whole) <= whole / 20);
    }
    void firstReadingDrawsLabels()
    {
        Recording rec(0, QString(), QString(), QString());
        rec.page.setPageText(QStringLiteral("0"));
        rec.page.redisplay();
        QVERIFY(!anyOtherThan(rec.page.surface(), LabelColumn, White)); // no scale yet

        rec.record.rows = 2; // the table grows after the graph has drawn
        rec.show(NoPrefix, QStringLiteral("12"), QStringLiteral("12"));
        rec.add(at("12"));
        QCOMPARE(rec.page.pageText(), QStringLiteral("1"));
        QCOMPARE(rec.page.scale()->bottom, 11.0); // fine scale: ten steps of 0.1 below
        QVERIFY(anyOtherThan(rec.page.surface(), LabelColumn, White));
        QCOMPARE(rec.pixel(98, rec.yOf(12)), Trace);
        QCOMPARE(rec.pixel(30, rec.yOf(12)), Trace);
    }
    void sample101OpensPage2()
    {
        // Scale 4.0 .. 6.5 in steps of 0.1: 5.25 lies 500 units up, 5.75 700.
        Recording rec(100, QStringLiteral("5.25"), QStringLiteral("6"), QStringLiteral("5"));
        rec.page.openPage(1);
        QCOMPARE(rec.pixel(98 * 50, 500), Trace);

        QSignalSpy pageTexts(&rec.page, &GraphPage::pageTextChanged);
        rec.add(at("5.75"));
        QCOMPARE(pageTexts.size(), 1);
        QCOMPARE(pageTexts.at(0).at(0).toString(), QStringLiteral("2"));
        // Page 2 alone: a level segment from x = 0 to sample 101 at 98, page 1's trace gone.
        QCOMPARE(rec.pixel(0, 700), Trace);
        QCOMPARE(rec.pixel(49, 700), Trace);
        QCOMPARE(rec.pixel(98, 700), Trace);
        QCOMPARE(rec.pixel(98 * 50, 500), Back);
    }
    void inBandReadingDrawsOnlyItself()
    {
        Recording rec(150, QStringLiteral("5.25"), QStringLiteral("6"), QStringLiteral("5"));
        rec.page.openPage(2);
        const QImage before = rec.page.surface();

        rec.record.reads = 0;
        rec.add(at("5.75"));
        QVERIFY2(rec.record.reads <= 8, qPrintable(QString::number(rec.record.reads)));
        // The new stretch from sample 150 to 151 is drawn; the rest of the plot is as before.
        QCOMPARE(rec.pixel(98 * 51, 700), Trace);
        QCOMPARE(colorAt(before, pixelOf(98 * 51, 700)), Back);
        QVERIFY(sameArea(rec.page.surface(), before, QRect(pixelOf(0, 1000), pixelOf(98 * 49, 0))));
    }
    void readingAboveScaleRedrawsPage()
    {
        Recording rec(10, QStringLiteral("5.25"), QStringLiteral("6"), QStringLiteral("5"));
        rec.page.openPage(1);
        QCOMPARE(rec.page.scale()->top, 6.5);

        rec.show(NoPrefix, QStringLiteral("40"), QStringLiteral("5"));
        rec.record.reads = 0;
        rec.add(at("40"));
        QVERIFY(rec.record.reads >= 11); // the whole page was read again
        QVERIFY(rec.page.scale()->top > 40);
        QCOMPARE(rec.pixel(98 * 5, rec.yOf(5.25)), Trace);
        QCOMPARE(rec.pixel(98 * 11, rec.yOf(40)), Trace);
        QCOMPARE(rec.pixel(98 * 5, 500), Back); // where 5.25 was drawn before
    }
    void overloadLeavesGapWhileRecording()
    {
        Recording rec(2, QStringLiteral("5.25"), QStringLiteral("6"), QStringLiteral("5"));
        rec.page.openPage(1);
        rec.add(at("+OL"));
        rec.add(at("5.75"));
        const QPoint gapColumn = pixelOf(245, 0);
        QVERIFY(!anyOf(rec.page.surface(), QRect(gapColumn.x(), pixelOf(0, 1000).y(), 3, 200), Trace));
        QCOMPARE(rec.pixel(294, 700), Trace);
        QCOMPARE(rec.pixel(343, 700), Trace);
        QCOMPARE(rec.pixel(392, 700), Trace);
    }
    void rangeChangeRedrawsInNewUnit()
    {
        Recording rec(2, QStringLiteral("1.000"), QStringLiteral("1.000"), QStringLiteral("1.000"));
        rec.page.openPage(1);
        // The meter switched to millivolts; 1.2 would lie inside the band drawn in volts.
        rec.show(2, QStringLiteral("1000.000"), QStringLiteral("1.2"));
        rec.add(at("1.2", "mV"));
        QVERIFY(rec.page.scale()->top > 1000);
        QCOMPARE(rec.pixel(98, rec.yOf(1000)), Trace);
        QCOMPARE(rec.pixel(294, rec.yOf(1.2)), Trace);
        QVERIFY(sameArea(rec.page.surface(), textsAlone({{{60, 1120}, QStringLiteral("(mV)")}}), UnitArea));
    }
    void pageBoxFlow()
    {
        // The rule's page numbers are the paging rules' own; here the pages drawn.
        Recording rec(250, QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("5"));
        QSignalSpy shown(&rec.page, &GraphPage::pageAboutToShow);
        rec.page.nextPage();
        rec.page.setPageText(QStringLiteral("x"));
        QCOMPARE(rec.page.pageText(), QStringLiteral("1"));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(rec.pixel(9800, 400), Trace); // page 1 is drawn, full to its right end
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestGraphRender test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_graph_render.moc"
