#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "core/graph/GraphPage.h"
#include "core/graph/GraphPainter.h"

using namespace Measurement;
using namespace Qt::StringLiterals;

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

int pixelsOf(const QImage &image, const QRect &area, const QColor &color)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

bool blank(const QImage &image, const QRect &area)
{
    return pixelsOf(image, area, White) == area.width() * area.height();
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

GraphSample at(const QString &value, const QString &unit = u"V"_s)
{
    return {value, unit, u"10:00:00"_s};
}

// A DCV reading shown on the monitor in the given range.
GraphChannel shownChannel(int prefix)
{
    GraphChannel channel;
    channel.function = DCV;
    channel.prefix = prefix;
    channel.valueDisplay = u"1.000"_s;
    channel.unitDisplay = prefixText(prefix) + unitText(DCV);
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
        channel = shownChannel(prefix);
        channel.maxDisplay = max;
        channel.minDisplay = min;
        page.setChannel(channel);
    }
    void add(const GraphSample &sample)
    {
        record.samples.append(sample);
        page.addNewest();
    }
    QColor pixel(double x, double y) const { return page.surface().pixelColor(pixelOf(x, y)); }
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
    view.channel = shownChannel(prefix);
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
    void frame_data()
    {
        QTest::addColumn<int>("prefix"); // of the reading shown; none before the first
        QTest::addColumn<bool>("title");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("unit");
        QTest::newRow("before the first reading") << -1 << false << QStringList() << u"(?\?)"_s;
        QTest::newRow("a reading in mV")
            << 2 << false << QStringList{"0", "10", "20", "30", "40", "50"} << u"(mV)"_s;
        QTest::newRow("title switched on") << -1 << true << QStringList() << u"(?\?)"_s;
    }
    void frame()
    {
        QFETCH(int, prefix);
        QFETCH(bool, title);
        QFETCH(QStringList, labels);
        QFETCH(QString, unit);
        const GraphSampleList record;
        GraphView view = viewOf(record, prefix, {0, 2, 50});
        if (prefix < 0) view.channel = GraphChannel();
        view.style.mainTitle = u"Pump 3"_s;
        view.style.titleShown = title;
        const QImage image = render(view);
        QCOMPARE((QList<QColor>{image.pixelColor(pixelOf(500, 100)), image.pixelColor(pixelOf(9750, 950))}),
                 QList<QColor>(2, Back));
        for (int i = 5; i < 25; i += 5)
            QCOMPARE(image.pixelColor(pixelOf(500, i * 40)), Grid);
        for (int j = 20; j < 100; j += 20)
            QCOMPARE(image.pixelColor(pixelOf(j * 98, 300)), Grid);
        QCOMPARE(image.pixelColor(pixelOf(9850, 500)), White); // right of the plot
        QCOMPARE(image.pixelColor(pixelOf(500, -60)), White);  // below it
        QVERIFY(blank(image, TimeStrip));
        QVector<QPair<QPointF, QString>> texts;
        for (int i = 0; i < labels.size(); ++i)
            texts.append({QPointF(-550, 200 * i + 50), labels.at(i)});
        QCOMPARE(blank(image, LabelColumn), labels.isEmpty());
        QVERIFY(sameArea(image, textsAlone(texts), LabelColumn));
        QVERIFY(sameArea(image, textsAlone({{{60, 1120}, unit}}), UnitArea));
        QCOMPARE(sameArea(image, textsAlone({{{4750, 1120}, view.style.mainTitle}}), TitleArea), title);
        QCOMPARE(blank(image, TitleArea), !title);
    }
    // The same trace as recorded, one stretch at a time, and drawn whole.
    void traceWithGap_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("as recorded") << false;
        QTest::newRow("drawn whole") << true;
    }
    void traceWithGap()
    {
        QFETCH(bool, whole);
        Recording rec(1, u"11"_s, u"13"_s, u"11"_s);
        rec.page.openPage(1);
        for (const char *value : {"12", "+OL", "13", "13"})
            rec.add(at(QLatin1String(value)));
        const QImage image = whole ? render(rec.page.view()) : rec.page.surface();
        const auto pixel = [&](double x, double value) {
            return image.pixelColor(pixelOf(x, rec.yOf(value)));
        };
        // Level segment from x = 0 to the first sample, then its dot and the line to the second.
        QCOMPARE((QList<QColor>{pixel(49, 11), pixel(98, 11), pixel(196, 12)}), QList<QColor>(3, Trace));
        QCOMPARE(image.pixelColor(pixelOf(98, rec.yOf(11) - 20)), Back); // no line below the first sample
        // Nothing joins the second sample to the overload slot.
        QCOMPARE(pixelsOf(image, QRect(pixelOf(245, 0).x(), pixelOf(0, 1000).y(), 3, 200), Trace), 0);
        // After the gap: a dot one slot to the left at the new value, a level segment to it.
        for (const double x : {294, 343, 392, 490})
            QCOMPARE(pixel(x, 13), Trace);
        QCOMPARE(pixel(600, 13), Back); // the trace ends at the last sample
        // The first time label sits under the plot's left end.
        QVERIFY(!blank(image, QRect(pixelOf(-70, -15), QSize(60, 15))));
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
        const auto scaled = [&](double x, double y) {
            return image.pixelColor(40 + int(std::floor((x + 900) * 0.4 + 1e-7)),
                                    20 + int(std::floor((1150 - y) * 0.8 + 1e-7)));
        };
        QCOMPARE(image.pixelColor(10, 10), QColor(Qt::green));
        QCOMPARE(image.pixelColor(4380, 1050), QColor(Qt::green));
        QCOMPARE(scaled(-850, 1100), White);
        QCOMPARE(scaled(500, 100), Back);
        QCOMPARE(scaled(98, 440), Trace);
        // A grid line is four device pixels thick, as a screen pixel is four of them.
        int thickness = 0;
        for (double y = 200 - 10; y <= 200 + 10; y += 1.25)
            thickness += scaled(500, y) == Grid;
        QCOMPARE(thickness, 4);

        // A target given in the painter's own coordinates (two units a pixel) lands on the same pixels.
        QImage windowed = blankSurface();
        {
            QPainter painter(&windowed);
            painter.setWindow(0, 0, 2160, 508);
            renderPage(painter, QRectF(0, 0, 2160, 508), view);
        }
        QCOMPARE(windowed, render(view));
    }
    void textEndsAtTheRightEdge()
    {
        // The last time label starts 620 units short of the surface's right edge: it is moved
        // left rather than cut.
        const auto ink = [](double x) {
            const QImage image = textsAlone({{{x, -15}, u"12:08:30"_s}});
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
        rec.page.setPageText(u"0"_s);
        rec.page.redisplay();
        QVERIFY(blank(rec.page.surface(), LabelColumn)); // no scale yet
        rec.record.rows = 2;                             // the table grows after the graph has drawn
        rec.show(NoPrefix, u"12"_s, u"12"_s);
        rec.add(at("12"));
        QCOMPARE(rec.page.pageText(), u"1"_s);
        QCOMPARE(rec.page.scale()->bottom, 11.0); // fine scale: ten steps of 0.1 below
        QVERIFY(!blank(rec.page.surface(), LabelColumn));
        QCOMPARE(rec.pixel(98, rec.yOf(12)), Trace);
        QCOMPARE(rec.pixel(30, rec.yOf(12)), Trace);
    }
    void newestReadingFollowsThePages()
    {
        // Scale 4.0 .. 6.5 in steps of 0.1: 5.25 lies 500 units up, 5.75 700.
        Recording rec(100, u"5.25"_s, u"6"_s, u"5"_s);
        rec.page.openPage(1);
        QCOMPARE(rec.pixel(98 * 50, 500), Trace);
        QSignalSpy pageTexts(&rec.page, &GraphPage::pageTextChanged);
        rec.add(at("5.75"));
        QCOMPARE(pageTexts.size(), 1);
        QCOMPARE(pageTexts.at(0).at(0).toString(), u"2"_s);
        // Page 2 alone: a level segment from x = 0 to sample 101 at 98, page 1's trace gone.
        for (const double x : {0, 49, 98})
            QCOMPARE(rec.pixel(x, 700), Trace);
        QCOMPARE(rec.pixel(98 * 50, 500), Back);

        // A reading within the drawn band draws only its own stretch, from sample 101 to 102.
        const QImage before = rec.page.surface();
        rec.record.reads = 0;
        rec.add(at("5.25"));
        QVERIFY2(rec.record.reads <= 8, qPrintable(QString::number(rec.record.reads)));
        QCOMPARE(rec.pixel(196, 500), Trace);
        QCOMPARE(before.pixelColor(pixelOf(196, 500)), Back);
        QVERIFY(sameArea(rec.page.surface(), before, QRect(pixelOf(250, 1000), pixelOf(9800, 0))));
    }
    // A reading above the drawn band, or in another range, scales and draws the page anew.
    void readingOutsideTheBandRedrawsPage()
    {
        Recording rec(10, u"5.25"_s, u"6"_s, u"5"_s);
        rec.page.openPage(1);
        QCOMPARE(rec.page.scale()->top, 6.5);
        rec.show(NoPrefix, u"40"_s, u"5"_s);
        rec.record.reads = 0;
        rec.add(at("40"));
        QVERIFY(rec.record.reads >= 11); // the whole page was read again
        QVERIFY(rec.page.scale()->top > 40);
        QCOMPARE(rec.pixel(98 * 5, rec.yOf(5.25)), Trace);
        QCOMPARE(rec.pixel(98 * 11, rec.yOf(40)), Trace);
        QCOMPARE(rec.pixel(98 * 5, 500), Back); // where 5.25 was drawn before

        // The meter switched to millivolts; 1.2 would lie inside the band drawn in volts.
        rec.show(2, u"40000"_s, u"1.2"_s);
        rec.add(at("1.2", "mV"));
        QVERIFY(rec.page.scale()->top > 40000);
        QCOMPARE(rec.pixel(98 * 11, rec.yOf(40000)), Trace);
        QCOMPARE(rec.pixel(98 * 12, rec.yOf(1.2)), Trace);
        QVERIFY(sameArea(rec.page.surface(), textsAlone({{{60, 1120}, u"(mV)"_s}}), UnitArea));
    }
};

QTEST_MAIN(TestGraphRender)

#include "tst_graph_render.moc"
