// The lanes view and the whole-record overview: summary, layout, scales, zoom and the
// click-to-page mapping as rules; the painter into an image and into SVG; the session's
// lanes following a recording; the graph window's view bar and its pictures.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

#include "core/common/StoredColor.h"
#include "core/followers/GraphFollower.h"
#include "core/followers/GraphLanes.h"
#include "core/followers/RecordOutputs.h"
#include "core/graph/GraphPage.h"
#include "core/graph/GraphPaging.h"
#include "core/graph/LanesPainter.h"
#include "core/graph/PageExtremes.h"
#include "core/link/FrameEncoder.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "support/PdfText.h"
#include "support/RecordingSession.h"
#include "ui/graph/FmGraph.h"
#include "ui/printing/QtSvgGraphWriter.h"

using namespace Measurement;
using namespace Qt::StringLiterals;

namespace
{

const QSize Screen = GraphGeometry().pixels; // the graph surface as it starts

// A channel's samples as the table holds them, two seconds apart, and their summary and times.
struct Channel {
    GraphSampleList list;
    MinMaxSummary summary;
    ChannelTimeline times;
    Channel(const QStringList &values, const QString &unit)
    {
        for (int i = 0; i < values.size(); ++i) {
            list.samples.append({values.at(i), unit, QTime(10, 0).addSecs(2 * i).toString(u"hh:mm:ss")});
            summary.append(SampleExtent::of(list.samples.last()));
            times.append(36000 + 2 * i);
        }
    }
};

QImage rendered(const LanesView &view)
{
    QImage image(Screen, QImage::Format_RGB32);
    QPainter painter(&image);
    renderLanes(painter, QRectF(image.rect()), view);
    return image;
}

// Pixels of `colour` in a column, between two heights.
int pixelsIn(const QImage &image, int x, qreal top, qreal bottom, const QColor &colour)
{
    int count = 0;
    for (int y = int(top); y <= int(bottom); ++y)
        count += image.pixelColor(x, y) == colour;
    return count;
}

// `rows` two-second steps of the first `channels` meters (DCV, ACV, DCA, ACA, OHM, Hz), the
// fifth reporting every 10 s and the sixth once a minute, the others every step: waves, one
// spike on channel 1, and now and then an overload on channel 3.
void feedMeters(RecordingSession &rig, int rows, int channels)
{
    const int functions[] = {DCV, ACV, DCA, ACA, OHM, Hz};
    const int every[] = {1, 1, 1, 1, 5, 30};
    for (int i = 0; i < rows; ++i) {
        for (int k = 0; k < channels; ++k) {
            if (i % every[k] != 0) continue;
            const FrameEncoder::Header header{k, 0, k == 4 ? 4 : 3, functions[k], FrameEncoder::Divisor10};
            const int wave = int(400 * std::sin(i / (7.0 + 5 * k))) + 2000 + 300 * k;
            rig.feed(k == 2 && i % 150 == 27
                         ? FrameEncoder::encodeOverload(header)
                         : FrameEncoder::encodeReading(header, i == 300 && k == 0 ? 9000 : wave));
        }
        rig.clock.advance(2000);
    }
}

// A 2-second meter (channel 1, the main one) and a 1-minute meter (channel 2) through the record
// table from `start`, the second one silent from `silentFrom` to `silentTo` seconds in; stopped.
struct TwoPaces {
    RecordStore record;
    AcquisitionState state;
    RecordingStatus status;
    GraphSampleList none;
    GraphPage page{none};
    GraphLanes lanes{{record, state, status, page}};
    QList<int> minuteOffsets; // seconds from `start` of the 1-minute meter's samples

    TwoPaces(const QDateTime &start, int rows, int silentFrom, int silentTo)
    {
        record.clearRecord({});
        record.functionCaption = {u"DCV"_s, u"ACV"_s};
        page.setTimeScale(1.0f); // 100 rows a page
        for (int i = 0; i < rows; ++i) {
            record.appendSample(0, QString::number(10 + i % 7), u"V"_s, start.addSecs(2 * i), 0);
            const int offset = 2 * i;
            if (offset % 60 == 54 && (offset < silentFrom || offset > silentTo)) {
                record.appendSample(1, QString::number(200 + i % 11), u"V"_s, start.addSecs(offset), 0);
                minuteOffsets << offset;
            }
            record.growOrSplit();
        }
    }
};

} // namespace

class TestLanes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void summaryMatchesEveryStretch()
    {
        std::mt19937 random(7);
        QStringList values;
        for (int i = 0; i < 1000; ++i)
            values << (i % 61 == 0 ? QStringLiteral("+OL") : QString::number(int(random() % 2000) - 1000));
        Channel channel(values, QStringLiteral("V"));
        for (const int size : {1000, 333}) {
            channel.summary.truncate(size);
            for (int round = 0; round < 500; ++round) {
                const int first = 1 + int(random() % size);
                const int last = first + int(random() % (size - first + 1));
                SampleExtent expected;
                for (int row = first; row <= last; ++row)
                    expected.add(SampleExtent::of(channel.list.samples.at(row - 1)));
                const SampleExtent found = channel.summary.extent(first, last);
                QVERIFY2(found.low == expected.low && found.high == expected.high &&
                             found.overHigh == expected.overHigh,
                         qPrintable(QStringLiteral("rows %1 to %2").arg(first).arg(last)));
            }
        }
    }
    void laneLayout_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("height");
        // 290 pixels with text 10 high: the plot spans 5..272; gaps of 4 between lanes.
        QTest::newRow("one") << 1 << 267.0;
        QTest::newRow("three") << 3 << (267.0 - 8) / 3;
        QTest::newRow("six") << 6 << (267.0 - 20) / 6;
    }
    void laneLayout()
    {
        QFETCH(int, count);
        QFETCH(double, height);
        const LaneLayout::Arrangement layout = LaneLayout::arrange(count, QRectF(QPointF(0, 0), Screen), 10);
        QCOMPARE(layout.lanes.size(), count);
        QCOMPARE(layout.lanes.last().bottom(), layout.plot.bottom());
        for (int i = 0; i < count; ++i) {
            QCOMPARE(layout.lanes.at(i).size(), QSizeF(layout.plot.width(), height));
            QCOMPARE(layout.lanes.at(i).top(),
                     i == 0 ? layout.plot.top() : layout.lanes.at(i - 1).bottom() + 4);
        }
    }
    void laneScaleIsTheMainPagesAutoscale_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("function");
        QTest::addColumn<float>("timeScale");
        QTest::addColumn<int>("page");
        QTest::newRow("volts") << QStringList{"12.3", "14.5", "2.0", "7.1"} << "V" << int(DCV) << 1.0f << 1;
        QTest::newRow("negative amperes")
            << QStringList{"-3.2", "-0.4", "-1.5"} << "A" << int(DCA) << 1.0f << 1;
        QTest::newRow("kilohms with overload")
            << QStringList{"21.8", "+OL", "26.8"} << "K\u03A9" << int(OHM) << 1.0f << 1;
        QTest::newRow("coarse hertz") << QStringList{"50", "900", "420"} << "Hz" << int(Hz) << 1.0f << 1;
        QStringList second = QStringList(25, QStringLiteral("1.0")) + QStringList{"230.4", "-OL", "228.1"};
        QTest::newRow("second page of 25") << second << "mV" << int(DCV) << 0.25f << 2;
    }
    void laneScaleIsTheMainPagesAutoscale()
    {
        QFETCH(QStringList, values);
        QFETCH(QString, unit);
        QFETCH(int, function);
        QFETCH(float, timeScale);
        QFETCH(int, page);
        const Channel channel(values, unit);
        const int prefix = prefixCodeOfUnit(unit);
        DisplayLimits limits;
        QVERIFY(displayLimits(function, prefix, &limits));

        // The main page, stopped: its own extremes shown on the monitor, then its autoscale.
        const std::optional<PageExtremes> extremes =
            GraphPageExtremes::of(channel.list, page, timeScale, {limits.upper, limits.lower, prefix});
        QVERIFY(extremes);
        GraphPage mainPage(channel.list);
        mainPage.setChannel(
            {function, prefix, values.first(), unit, extremes->maximum.value, extremes->minimum.value});
        mainPage.autoscale();
        const LaneChannel lane{0, function, prefix, &channel.summary, std::nullopt, &channel.times};
        const std::optional<VerticalScale> scale = LaneLayout::scale(
            lane, GraphPaging::firstRow(page, timeScale), GraphPaging::lastRow(page, timeScale));
        QVERIFY(scale && mainPage.scale());
        const VerticalScale main = *mainPage.scale();
        QCOMPARE((QList<double>{scale->bottom, scale->step, scale->top}),
                 (QList<double>{main.bottom, main.step, main.top}));
    }
    // One lane of a flat 24 V on a scale of 0 to 25 with rows `from` to `to` replaced by `value`.
    // A single spike in 9,999 samples stays visible in the bands; an overload leaves a gap in the
    // trace with a mark at the lane's edge; the lane's label stands on the lane's background
    // where the trace runs through it.
    void oneLaneTrace_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("from"); // 0: none
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("value");
        QTest::newRow("no spike") << 9999 << 0 << 0 << "";
        QTest::newRow("spike first") << 9999 << 1 << 1 << "20.0";
        QTest::newRow("spike in the middle") << 9999 << 5000 << 5000 << "20.0";
        QTest::newRow("spike last") << 9999 << 9999 << 9999 << "20.0";
        QTest::newRow("one sample high") << 100 << 50 << 50 << "+OL";
        QTest::newRow("one sample low") << 100 << 50 << 50 << "-OL";
        QTest::newRow("wide page high") << 9999 << 4000 << 4200 << "+OL";
    }
    void oneLaneTrace()
    {
        QFETCH(int, rows);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, value);
        const bool overload = value.endsWith(QLatin1String("OL"));
        const int span = overload ? rows : rows + 1;
        QStringList values(rows, QStringLiteral("24.0"));
        for (int row = qMax(from, 1); row <= to; ++row)
            values[row - 1] = value;
        const Channel channel(values, QStringLiteral("V"));
        LanesView view;
        view.mainChannel = 5; // no main channel's mark over the trace
        view.lanes.append({0, DCV, NoPrefix, &channel.summary, VerticalScale{0, 1, 25}, &channel.times});
        view.axis = {36000 - 2, 36000 + 2 * (span - 1), {}}; // row r at r / span of the width
        const QImage image = rendered(view);
        const QRectF lane = LaneLayout::arrange(1, QRectF(image.rect()), view.fontPixels).lanes.first();
        const QColor trace = LaneLayout::colour(0, 5, {});
        const int traceY = int(lane.bottom() - 24.0 / 25 * lane.height());
        int backing = 0;
        for (int x = int(lane.left()) + 8; x < int(lane.left()) + 40; ++x)
            backing += image.pixelColor(x, traceY) == colorFromStored(view.style.backColor);
        QVERIFY(backing > 0);
        if (!overload) {
            const qreal spikeY = lane.bottom() - 20.0 / 25 * lane.height();
            int above = 0;
            for (int x = int(lane.left()); x <= int(lane.right()); ++x)
                above += pixelsIn(image, x, spikeY - 1, spikeY + 1, trace);
            QCOMPARE(above > 0, from > 0);
            return;
        }
        const int x = int(lane.left() + (from + to) / 2.0 * lane.width() / span);
        QCOMPARE(pixelsIn(image, x, lane.top() + 4, lane.bottom() - 4, trace), 0);
        const bool high = value.startsWith(u'+');
        QVERIFY(pixelsIn(image, x, high ? lane.top() : lane.bottom() - 3,
                         high ? lane.top() + 3 : lane.bottom(), trace) > 0);
        // The trace goes on either side of the gap.
        const int beside = int(lane.left() + (to + 3) * lane.width() / span);
        QVERIFY(pixelsIn(image, beside, lane.top() + 4, lane.bottom() - 4, trace) > 0);
    }
    void zoomSteps_data()
    {
        QTest::addColumn<int>("perPage");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("spans"); // level 0, 1, ... up to the last
        QTest::newRow("100 a page, full record") << 100 << 9999 << QList<int>{100, 400, 1600, 6400, 10000};
        QTest::newRow("25 a page") << 25 << 9999 << QList<int>{25, 100, 400, 1600, 6400, 10000};
        QTest::newRow("whole in pages") << 200 << 250 << QList<int>{200, 400};
        QTest::newRow("one page") << 100 << 80 << QList<int>{100};
    }
    void zoomSteps()
    {
        QFETCH(int, perPage);
        QFETCH(int, rows);
        QFETCH(QList<int>, spans);
        QCOMPARE(GraphZoom::lastLevel(perPage, rows), spans.size() - 1);
        for (int level = 0; level < spans.size(); ++level)
            QCOMPARE(GraphZoom::span(level, perPage, rows), spans.at(level));
        QCOMPARE(GraphZoom::span(GraphZoom::WholeRecord, perPage, rows), spans.last());
    }
    // A wide page holds the page shown; the zoom of the unattended outputs (their view: tst_gui_graph's
    // commandLineWritesPrintsAndImage, and tst_publish's badInputIsRefused).
    void windowsAndViewOptions()
    {
        QCOMPARE(GraphZoom::window(GraphZoom::WholeRecord, 3, 100, 9999).first, 1);
        QCOMPARE(GraphZoom::window(1, 7, 100, 9999).first, 401);
        int zoom = 0;
        QVERIFY(GraphViewState::parseZoom(QStringLiteral("whole"), &zoom) && zoom == GraphZoom::WholeRecord);
        QVERIFY(!GraphViewState::parseZoom(QStringLiteral("2"), &zoom));
    }
    // Lanes share one time axis: a page spans the times of the main channel's rows on it, the
    // whole record its first to its last sample; the 1-minute meter's samples stand at their
    // times (its first at 16:10:29, not under the page's first label), and where it sent
    // nothing its trace has a gap.
    void lanesPlaceSamplesAtTheirTimes_data()
    {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("silentFrom");
        QTest::addColumn<int>("silentTo");
        QTest::addColumn<int>("axisEnd"); // seconds from the start
        QTest::newRow("page") << QTime(16, 9, 35) << 150 << 0 << 0 << -1 << 198;
        QTest::newRow("whole record")
            << QTime(16, 9, 35) << 150 << int(GraphZoom::WholeRecord) << 0 << -1 << 298;
        QTest::newRow("page across midnight") << QTime(23, 58, 1) << 150 << 0 << 0 << -1 << 198;
        QTest::newRow("silent minutes")
            << QTime(16, 9, 35) << 300 << int(GraphZoom::WholeRecord) << 100 << 250 << 598;
    }
    void lanesPlaceSamplesAtTheirTimes()
    {
        QFETCH(QTime, start);
        QFETCH(int, rows);
        QFETCH(int, zoom);
        QFETCH(int, silentFrom);
        QFETCH(int, silentTo);
        QFETCH(int, axisEnd);
        TwoPaces record(QDateTime(QDate(2026, 12, 7), start), rows, silentFrom, silentTo);
        record.lanes.state().setView(GraphViewKind::AllChannels);
        record.lanes.state().setZoom(zoom);
        const LanesView view = record.lanes.view();
        QCOMPARE(view.lanes.size(), 2);
        QCOMPARE(view.axis.to - view.axis.from, axisEnd);
        const ChannelTimeline &minutes = *view.lanes.at(1).times;
        const auto [first, last] = minutes.rowsWithin(view.axis.from, view.axis.to);
        QList<int> shown;
        for (int row = first; row <= last; ++row)
            shown << int(minutes.at(row) - view.axis.from);
        QCOMPARE(shown, record.minuteOffsets.mid(0, shown.size()));
        QCOMPARE(shown.size(), int(std::count_if(record.minuteOffsets.begin(), record.minuteOffsets.end(),
                                                 [&](int offset) { return offset <= axisEnd; })));

        // Drawn there: a dot at each sample, and the gap left empty.
        const QImage image = rendered(view);
        const QRectF lane = LaneLayout::arrange(2, QRectF(image.rect()), view.fontPixels).lanes.at(1);
        const QColor colour = LaneLayout::colour(1, 0, {});
        const auto xAt = [&](double offset) { return int(lane.left() + offset * lane.width() / axisEnd); };
        for (const int offset : shown)
            QVERIFY2(pixelsIn(image, xAt(offset), lane.top(), lane.bottom(), colour) > 0,
                     qPrintable(QString::number(offset)));
        if (silentTo > 0)
            QCOMPARE(pixelsIn(image, xAt((silentFrom + silentTo) / 2.0), lane.top(), lane.bottom(), colour),
                     0);
    }
    // Six meters recorded: each lane in its own colour, the main channel's in the page's line colour.
    void sixLanesIntoImageAndSvg()
    {
        RecordingSession rig;
        rig.session.lanes().state().setView(GraphViewKind::AllChannels);
        rig.session.lanes().state().showWholeRecord(); // where the 1-minute meter has two samples
        rig.start();
        feedMeters(rig, 60, 6);
        const LanesView view = rig.session.lanes().view();
        QCOMPARE(view.lanes.size(), 6);
        const QImage image = rendered(view);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lanes.svg"));
        QtSvgGraphWriter writer;
        QCOMPARE(
            writer.writeSvg(path, Screen, [&](QPainter &p, const QRectF &r) { renderLanes(p, r, view); }),
            QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(file.readAll());
        const LaneLayout::Arrangement layout = LaneLayout::arrange(6, QRectF(image.rect()), view.fontPixels);
        const QColor mainTrace = colorFromStored(GraphStyle().traceColor);
        const QStringList labels{"Ch1 DCV V", "Ch2 ACV V", "Ch3 DCA A",
                                 "Ch4 ACA A", "Ch5 OHM K", "Ch6 Hz Hz"};
        for (int k = 0; k < 6; ++k) {
            const QRectF lane = layout.lanes.at(k);
            const QColor colour = LaneLayout::colour(k, view.mainChannel, mainTrace);
            QCOMPARE(colour == mainTrace, k == view.mainChannel);
            // Right of the label, just before the lane's newest sample.
            const ChannelTimeline &times = *view.lanes.at(k).times;
            const double at = double(times.at(times.size()) - 1 - view.axis.from);
            const int x = int(lane.left() + at * lane.width() / double(view.axis.to - view.axis.from));
            QVERIFY(pixelsIn(image, x, lane.top(), lane.bottom(), colour) > 0);
            QVERIFY2(svg.contains(labels.at(k)) && svg.contains(colour.name()), qPrintable(labels.at(k)));
        }
    }
    // Readings of three channels, with overloads, into a recording: the retained lanes, drawn
    // piece by piece, look as one drawing of the whole does.
    void liveLanesDrawOnlyWhatIsNew_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("readings");
        QTest::newRow("page") << 0 << 40;
        QTest::newRow("whole record in bands") << int(GraphZoom::WholeRecord) << 1500;
    }
    void liveLanesDrawOnlyWhatIsNew()
    {
        QFETCH(int, zoom);
        QFETCH(int, readings);
        RecordingSession rig;
        rig.session.graph().page().setGeometry({}); // a surface of the screen's size, as a window gives
        GraphLanes &lanes = rig.session.lanes();
        lanes.state().setView(GraphViewKind::AllChannels);
        lanes.state().setZoom(zoom);
        rig.start();
        QSignalSpy drawn(&lanes, &GraphLanes::surfaceChanged);
        feedMeters(rig, readings, 3);
        QVERIFY(drawn.size() >= 3 * readings);
        QVERIFY(lanes.shown() && lanes.shown()->lanes.size() == 3);
        QCOMPARE(lanes.surface(), rendered(*lanes.shown()));
        rig.feed(FrameEncoder::encodeReading({}, 110)); // a row begun, which Stop leaves out
        rig.session.recording().stop();
        QCOMPARE(lanes.surface(), rendered(lanes.view()));

        // Print Graph prints the view shown.
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("lanes.pdf"));
        Session &s = rig.session;
        const RecordOutputs outputs(
            {s.record(), s.monitor(), s.userSettings(), s.windows(), s.graph().page(), &lanes});
        QCOMPARE(outputs.printGraphTo(pdf), QString());
        const QList<PdfPage> pages = readPdfWords(pdf);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].texts().filter(QRegularExpression(QStringLiteral("^Ch"))),
                 (QStringList{"Ch1", "Ch2", "Ch3"}));
        // The lanes fill the sheet's height: the last one reaches into its lower half.
        QVERIFY(pages[0].find(QStringLiteral("Ch3"))->box.top() > pages[0].size.height() / 2);
    }
    // The view bar's actions and a click. When VOLTRIX_SCREENSHOTS names a folder, the pictures of
    // each view for docs/screenshots go there.
    void windowChoosesViewAndZoom()
    {
        RecordingSession rig;
        FmGraph window(rig.session.graph(), rig.session.lanes());
        window.resize(1000, 440);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        rig.start();
        feedMeters(rig, 450, 6);
        const GraphViewState &state = rig.session.lanes().state();
        window.allChannelsAction()->trigger();
        QCOMPARE(state.view(), GraphViewKind::AllChannels);
        QVERIFY(window.allChannelsAction()->isChecked());
        QSignalSpy zooms(&state, &GraphViewState::zoomChanged);
        window.zoomOutAction()->trigger();
        QCOMPARE(state.zoom(), 1); // 25 rows a page: 100 rows
        window.zoomOutAction()->trigger();
        window.zoomOutAction()->trigger();
        // The last level keeps the whole record however it grows.
        QCOMPARE(state.zoom(), GraphZoom::WholeRecord);
        window.zoomOutAction()->trigger();
        window.zoomInAction()->trigger();
        QCOMPARE(state.zoom(), 2);
        QCOMPARE(zooms.size(), 4);
        window.wholeRecordAction()->trigger();
        QCOMPARE(state.zoom(), GraphZoom::WholeRecord);
        QCOMPARE(window.wholeRecordAction()->text(), QStringLiteral("Whole record"));
        QCOMPARE(window.mainChannelAction()->text(), QStringLiteral("Main channel"));
        // A click at the time of row 361 (12 minutes in) on the whole record opens its page.
        const LaneLayout::Arrangement layout = LaneLayout::arrange(
            6, QRectF(QPointF(0, 0), window.picture()->size()), rig.session.lanes().view().fontPixels);
        const LanesAxis axis = rig.session.lanes().shown()->axis;
        const double fraction = 719.0 / double(axis.to - axis.from);
        QTest::mouseClick(
            window.picture(), Qt::LeftButton, {},
            QPoint(int(layout.plot.left() + fraction * layout.plot.width()), int(layout.plot.center().y())));
        QCOMPARE(state.zoom(), 0);
        QCOMPARE(rig.session.graph().page().pageText(), QStringLiteral("15"));
        window.mainChannelAction()->trigger();
        QVERIFY(!state.showsLanes());
        const QString folder = qEnvironmentVariable("VOLTRIX_SCREENSHOTS");
        for (const auto &[action, name] : {std::pair{window.mainChannelAction(), "graph-main-channel.png"},
                                           {window.allChannelsAction(), "graph-all-channels.png"},
                                           {window.wholeRecordAction(), "graph-whole-record.png"}}) {
            if (folder.isEmpty()) break;
            action->trigger();
            QVERIFY(window.grab().save(QDir(folder).filePath(QLatin1String(name))));
        }
    }
};

QTEST_MAIN(TestLanes)
#include "tst_gui_lanes.moc"
