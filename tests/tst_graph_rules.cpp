#include <QTest>

#include "core/graph/GraphInputs.h"
#include "core/graph/GraphPaging.h"
#include "core/graph/LaneLayout.h"
#include "core/graph/PageExtremes.h"
#include "core/graph/PlotMapping.h"
#include "core/graph/VerticalScale.h"
#include "core/printing/GraphPrintout.h"

using namespace Qt::StringLiterals;

using namespace Measurement;

// The graph's rules without any drawing: value scale and labels, pages, plot positions.
class TestGraphRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void autoscale_data()
    {
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("min");
        QTest::addColumn<int>("function");
        QTest::addColumn<QString>("scale"); // bottom, step, top
        // Fine scale: tenths, a margin of one step below the minimum.
        QTest::newRow("fine") << u"5.0"_s << u"1.0"_s << int(DCV) << u"0.8 0.2 5.8"_s;
        // Narrow span: the smallest step and a margin of ten steps.
        QTest::newRow("fine narrow") << u"1.2"_s << u"1.1"_s << int(DCV) << u"0.1 0.1 2.6"_s;
        QTest::newRow("fine below zero") << u"5"_s << u"0.1"_s << int(DCV) << u"-0.2 0.3 7.3"_s;
        QTest::newRow("fine non-negative") << u"5"_s << u"0.1"_s << int(ACV) << u"0 0.3 7.5"_s;
        // Opposite signs measure the span as |hi + lo|, which keeps this one fine.
        QTest::newRow("fine around zero") << u"10"_s << u"-10"_s << int(DCV) << u"-10.9 0.9 11.6"_s;
        // Coarse scale: whole steps; the truncated bottom leaves the maximum above the top, so
        // the step grows by one.
        QTest::newRow("coarse step grows") << u"260.1"_s << u"20.9"_s << int(DCV) << u"10 11 285"_s;
        QTest::newRow("coarse below zero grows") << u"100"_s << u"3"_s << int(DCV) << u"-1 5 124"_s;
        QTest::newRow("coarse non-negative") << u"100"_s << u"3"_s << int(OHM) << u"0 4 100"_s;
        // "+OL" stands for the upper display limit (1000 here).
        QTest::newRow("overload") << u"+OL"_s << u"0.0"_s << int(ACV) << u"0 43 1075"_s;
    }
    void autoscale()
    {
        QFETCH(QString, max);
        QFETCH(QString, min);
        QFETCH(int, function);
        const std::optional<VerticalScale> scale = GraphScale::autoscale({max, min, function, 1000, 0});
        QVERIFY(scale);
        QTEST(u"%1 %2 %3"_s.arg(scale->bottom).arg(scale->step).arg(scale->top), "scale");
    }
    void autoscaleWaitsForBothDisplays()
    {
        QVERIFY(!GraphScale::autoscale({QString(), u"1"_s, DCV, 1000, -1000}));
        QVERIFY(!GraphScale::autoscale({u"1"_s, QString(), DCV, 1000, -1000}));
        // The "-" of a reset display counts as the lower limit, like "-OL".
        const std::optional<VerticalScale> reset = GraphScale::autoscale({u"-"_s, u"-OL"_s, ACV, 1000, 0});
        QVERIFY(reset);
        QCOMPARE(reset->bottom, 0.0);
    }
    void valueLabels_data()
    {
        QTest::addColumn<double>("bottom");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("labels");
        QTest::addColumn<double>("column");
        QTest::newRow("whole steps") << 0.0 << 2.0 << u"0 10 20 30 40 50"_s << -550.0;
        QTest::newRow("half steps") << 0.0 << 0.5 << u"0.0 2.5 5.0 7.5 10.0 12.5"_s << -550.0;
        QTest::newRow("negative bottom") << -1.0 << 5.0 << u"-1 24 49 74 99 124"_s << -550.0;
        QTest::newRow("tenths") << 0.8 << 0.2 << u"0.8 1.8 2.8 3.8 4.8 5.8"_s << -550.0;
        QTest::newRow("six characters") << 0.0 << 4000.0 << u"0 20000 40000 60000 80000 100000"_s << -700.0;
        QTest::newRow("seven characters")
            << 10000.0 << 0.5 << u"10000.0 10002.5 10005.0 10007.5 10010.0 10012.5"_s << -700.0;
        QTest::newRow("eight characters")
            << 10000000.0 << 100000.0 << u"10000000 10500000 11000000 11500000 12000000 12500000"_s << -900.0;
    }
    void valueLabels()
    {
        QFETCH(double, bottom);
        QFETCH(double, step);
        const VerticalScale scale{bottom, step, bottom + 25 * step};
        QTEST(GraphScale::valueLabels(scale).join(u' '), "labels");
        QTEST(GraphScale::valueLabelColumn(scale), "column");
    }
    void pageButtons()
    {
        // 250 samples at 100 a page: the table has the header, 250 rows and an empty one.
        const int rows = 252;
        QCOMPARE(GraphPaging::nextPage(1, rows, 1.0f), 2);
        QCOMPARE(GraphPaging::nextPage(2, rows, 1.0f), 3);
        QCOMPARE(GraphPaging::nextPage(3, rows, 1.0f), 3);
        QCOMPARE(GraphPaging::nextPage(1, 101, 1.0f), 1); // 99 samples fill no second page
        QCOMPARE(GraphPaging::nextPage(399, 100000, 0.25f), 400);
        QCOMPARE(GraphPaging::nextPage(400, 100000, 0.25f), 400);
        QCOMPARE(GraphPaging::previousPage(3), 2);
        QCOMPARE(GraphPaging::previousPage(1), 1);
        QCOMPARE(GraphPaging::previousPage(0), 1);
    }
    void pageBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("tableRows");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("show");
        QTest::newRow("beyond the last page") << u"7"_s << 252 << 250 << u"3"_s << true;
        QTest::newRow("within") << u"2"_s << 252 << 250 << u"2"_s << true;
        QTest::newRow("leading zeros") << u"002"_s << 252 << 250 << u"2"_s << true;
        QTest::newRow("zero") << u"0"_s << 252 << 250 << u"1"_s << true;
        QTest::newRow("page being filled") << u"3"_s << 202 << 200 << u"3"_s << true;
        QTest::newRow("above 400") << u"999"_s << 50002 << 50000 << u"400"_s << true;
        QTest::newRow("not a number") << u"abc"_s << 252 << 250 << u"1"_s << true;
        QTest::newRow("emptied") << u""_s << 252 << 250 << u"1"_s << true;
        QTest::newRow("negative") << u"-3"_s << 252 << 250 << u"1"_s << true;
        QTest::newRow("fraction") << u"2.7"_s << 252 << 250 << u"2"_s << true;
        QTest::newRow("no samples") << u"5"_s << 2 << 0 << u"5"_s << false;
    }
    void pageBox()
    {
        QFETCH(QString, typed);
        QFETCH(int, tableRows);
        QFETCH(int, samples);
        const GraphPaging::PageBox box = GraphPaging::pageBoxRule(typed, tableRows, samples, 1.0f);
        QTEST(box.text, "text");
        QTEST(box.show, "show");
    }
    void pageCounts_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<float>("timeScale");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("pageOfLast");
        QTest::addColumn<double>("spacing"); // between samples, in units of h; 0: not checked
        QTest::newRow("230 at 50") << 230 << 0.5f << 5 << 5 << 196.0;
        QTest::newRow("250 at 100") << 250 << 1.0f << 3 << 3 << 98.0;
        QTest::newRow("full pages") << 200 << 1.0f << 2 << 2 << 0.0;
        QTest::newRow("sample 101") << 101 << 1.0f << 2 << 2 << 0.0;
        QTest::newRow("75 a page") << 150 << 0.75f << 2 << 2 << 0.0;
        QTest::newRow("200 a page") << 400 << 2.0f << 2 << 2 << 49.0;
        QTest::newRow("none") << 0 << 0.25f << 0 << 1 << 392.0;
        QTest::newRow("no factor") << 10 << 0.0f << 0 << 1 << 0.0;
    }
    void pageCounts()
    {
        QFETCH(int, samples);
        QFETCH(float, timeScale);
        QFETCH(double, spacing);
        QTEST(GraphPaging::pageCount(samples, timeScale), "pages");
        QTEST(GraphPaging::pageOfRow(samples, timeScale), "pageOfLast");
        if (spacing == 0) return;
        GraphGeometry geometry;
        geometry.h = 1.25;
        const PlotMapping mapping(geometry, timeScale, 3, {0, 1, 25});
        const int first = GraphPaging::firstRow(3, timeScale);
        QCOMPARE(mapping.x(first + 1) - mapping.x(first), spacing * 1.25);
        QCOMPARE(mapping.x(GraphPaging::lastRow(3, timeScale)), 9800 * 1.25);
        QCOMPARE(mapping.x(first - 1), 0.0); // the sample before the page's first
    }
    void valueHeight()
    {
        GraphGeometry geometry;
        geometry.v = 0.8;
        const PlotMapping mapping(geometry, 1.0f, 1, {-1, 5, 124});
        QCOMPARE(mapping.y(-1), 0.0);
        QCOMPARE(mapping.y(24), 5 * 40 * 0.8);
        QCOMPARE(mapping.y(124), 1000 * 0.8);
    }
    void displayPrefix_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("display");
        QTest::addColumn<bool>("isSample");
        QTest::addColumn<double>("shown");
        QTest::newRow("V on mV") << u"1.500"_s << u"V"_s << 2 << true << 1500.0;
        QTest::newRow("mV on V") << u"1500"_s << u"mV"_s << 3 << true << 1.5;
        QTest::newRow("same prefix") << u"-12.34"_s << u"mV"_s << 2 << true << -12.34;
        QTest::newRow("kilo-ohm on mega") << u"250"_s << u"K\u03A9"_s << 5 << true << 0.25;
        QTest::newRow("nano on micro") << u"47"_s << u"nF"_s << 1 << true << 0.047;
        QTest::newRow("overload") << u"+OL"_s << u"V"_s << 3 << false << 0.0;
        QTest::newRow("no sample") << u""_s << u""_s << 3 << false << 0.0;
    }
    void displayPrefix()
    {
        QFETCH(QString, value);
        QFETCH(QString, unit);
        QFETCH(int, display);
        QFETCH(bool, isSample);
        const std::optional<double> shown = displayValue({value, unit, u"10:00:00"_s}, display);
        QCOMPARE(bool(shown), isSample);
        if (shown) QTEST(*shown, "shown");
    }
    void timeMarks_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<float>("timeScale");
        QTest::addColumn<QVector<int>>("rows");
        QTest::newRow("100 a page, page 2") << 2 << 1.0f << QVector<int>{101, 120, 140, 160, 180, 200};
        QTest::newRow("25 a page") << 1 << 0.25f << QVector<int>{1, 5, 10, 15, 20, 25};
        QTest::newRow("75 a page, page 3") << 3 << 0.75f << QVector<int>{151, 165, 180, 195, 210, 225};
    }
    void timeMarks()
    {
        QFETCH(int, page);
        QFETCH(float, timeScale);
        QFETCH(QVector<int>, rows);
        GraphGeometry geometry;
        geometry.h = 2;
        geometry.v = 0.5;
        const QVector<TimeMark> marks = ::timeMarks(page, timeScale, geometry);
        QCOMPARE(marks.size(), 6);
        const double x[6] = {-70, 1760, 3720, 5680, 7640, 9280};
        for (int j = 0; j < 6; ++j) {
            QCOMPARE(marks.at(j).row, rows.at(j));
            QCOMPARE(marks.at(j).at, QPointF(x[j] * 2, -15 * 0.5));
        }
    }
    void pageExtremes_data()
    {
        QTest::addColumn<QStringList>("values"); // "value unit" per row
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<QString>("minimum");
        QTest::newRow("prefixes compare on one scale")
            << QStringList{"900 mV", "1.2 V", "5 mV"} << u"1.2 V"_s << u"5 mV"_s;
        QTest::newRow("overload is the range's top")
            << QStringList{"3.5 V", "+OL V", "-1.0 V"} << u"+OL V"_s << u"-1.0 V"_s;
        QTest::newRow("negative overload the bottom")
            << QStringList{"-OL V", "3.5 V"} << u"3.5 V"_s << u"-OL V"_s;
        QTest::newRow("earliest of equals, gaps skipped")
            << QStringList{"2.0 V", " V", "2.0 V", "1.0 V", "1.0 V"} << u"2.0 V"_s << u"1.0 V"_s;
    }
    void pageExtremes()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, maximum);
        QFETCH(QString, minimum);
        GraphSampleList record;
        for (int row = 0; row < values.size(); ++row) {
            const QStringList parts = values.at(row).split(QLatin1Char(' '));
            record.samples.append({parts.at(0), parts.at(1), u"10:00:%1"_s.arg(row, 2, 10, QChar('0'))});
        }
        const std::optional<PageExtremes> found = GraphPageExtremes::of(record, 1, 1.0f, {40.0, -40.0, 3});
        QVERIFY(found.has_value());
        QCOMPARE(found->maximum.value + ' ' + found->maximum.unit, maximum);
        QCOMPARE(found->minimum.value + ' ' + found->minimum.unit, minimum);
        const int firstMaximum = values.indexOf(maximum);
        QCOMPARE(found->maximum.time, u"10:00:%1"_s.arg(firstMaximum, 2, 10, QChar('0')));

        // A page without samples leaves the monitor alone.
        QVERIFY(!GraphPageExtremes::of(record, 2, 1.0f, {}).has_value());
    }
    // The lanes' time labels: at whole multiples of a round step, distinct, as many as a
    // screen's width holds; over a day they name the day.
    void laneTimeLabels_data()
    {
        QTest::addColumn<qint64>("from"); // seconds from the record's first midnight
        QTest::addColumn<qint64>("to");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<QString>("first");
        const qint64 start = 16 * 3600 + 9 * 60 + 35;
        QTest::newRow("twenty seconds") << start << start + 20 << qint64(2) << u"16:09:36"_s;
        QTest::newRow("page of 2 s readings") << start << start + 198 << qint64(20) << u"16:09:40"_s;
        QTest::newRow("whole record, 9999 readings 2 s apart")
            << start << start + 19998 << qint64(1800) << u"16:30"_s;
        QTest::newRow("a day and more") << start << start + 30 * 3600 << qint64(6 * 3600) << u"12-07 18:00"_s;
        QTest::newRow("two weeks") << start << start + 14 * 86400 << qint64(86400) << u"12-08"_s;
    }
    void laneTimeLabels()
    {
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        QFETCH(qint64, step);
        const QVector<LaneTimeAxis::Tick> ticks = LaneTimeAxis::ticks(from, to, 1080, 11, QDate(2026, 12, 7));
        QVERIFY(ticks.size() >= 2);
        QTEST(ticks.first().text, "first");
        QSet<QString> texts;
        for (int i = 0; i < ticks.size(); ++i) {
            QVERIFY(ticks.at(i).at >= from && ticks.at(i).at <= to);
            QCOMPARE(ticks.at(i).at % step, 0);
            if (i > 0) QCOMPARE(ticks.at(i).at - ticks.at(i - 1).at, step);
            texts.insert(ticks.at(i).text);
        }
        QCOMPARE(texts.size(), ticks.size());
    }
    // Printed lanes (A4) use the sheet's height, and no two value labels touch.
    void printedLaneLabelsApart()
    {
        const QRectF sheet(GraphPrintout::LanesSheet.picture);
        QVERIFY(sheet.height() > 11906 * 2 / 3);
        const GraphGeometry screen;
        const qreal font = std::lround(screen.fontPixels * LaneLayout::pixelOf(sheet.size(), screen.pixels));
        for (const int lanes : {1, 3, 6}) {
            QVector<QRectF> boxes;
            for (const QRectF &lane : LaneLayout::arrange(lanes, sheet, font).lanes) {
                const auto labels = LaneLayout::valueLabels(lane, sheet.left(), font);
                QVERIFY2(labels.size() >= 3 && labels.first().index == 0 && labels.last().index == 5,
                         qPrintable(QString::number(lanes)));
                for (const LaneLayout::ValueLabel &label : labels) {
                    QVERIFY(label.box.height() >= font && label.box.right() < lane.left());
                    for (const QRectF &other : boxes)
                        QVERIFY2(!label.box.intersects(other), qPrintable(QString::number(lanes)));
                    boxes << label.box;
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestGraphRules)
#include "tst_graph_rules.moc"
