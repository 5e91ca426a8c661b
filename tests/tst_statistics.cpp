#include <QtTest>

#include "link/FrameEncoder.h"
#include "monitor/ChannelSelector.h"
#include "monitor/MonitorFields.h"
#include "monitor/Statistics.h"
#include "recording/RecordStore.h"
#include "recording/RecordingControl.h"
#include "support/RecordingSession.h"

namespace
{

// Function codes and range prefixes used below.
constexpr int DCV = 0;
constexpr int Duty = 7;
constexpr int Milli = 2;
constexpr int NoPrefix = 3;

QByteArray frame(int channel, int function, int prefix, int decimalCode, int digits, bool negative = false)
{
    FrameEncoder::Header h;
    h.channel = channel;
    h.functionCode = function;
    h.prefixCode = prefix;
    h.decimalCode = decimalCode;
    h.negative = negative;
    return FrameEncoder::encodeReading(h, digits);
}

QByteArray overload(int channel, int function, int prefix, int decimalCode, bool negative = false)
{
    FrameEncoder::Header h;
    h.channel = channel;
    h.functionCode = function;
    h.prefixCode = prefix;
    h.decimalCode = decimalCode;
    h.negative = negative;
    return FrameEncoder::encodeOverload(h);
}

QByteArray volts(int digits, bool negative = false)
{
    return frame(0, DCV, NoPrefix, FrameEncoder::Divisor1, digits, negative);
}

class GraphSpy final : public GraphHooks
{
public:
    void tickText() override { ++tickTexts; }
    void reDisplay() override { ++reDisplays; }
    void setPageBox(const QString &text) override { pageBox = text; }
    int tickTexts = 0;
    int reDisplays = 0;
    QString pageBox;
};

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstSampleCountsOne_data();
    void firstSampleCountsOne();
    void averageFormattedByDivisor_data();
    void averageFormattedByDivisor();
    void overloadLeavesRunningAverage();
    void rangeChangeRescalesSum();
    void equalExtremesKeepTheFirstTime();
    void overloadExtremes();
    void otherChannelsOverloadUsesItsOwnLimits();
    void extremesFollowRangeChange();
    void selectingChannelShowsItsFigures();
    void selectingInStoredRecordCountsSamplesAndPages();
    void newRecordEmptiesFigures();
};

void TestStatistics::firstSampleCountsOne_data()
{
    QTest::addColumn<int>("decimalCode");
    QTest::addColumn<int>("digits");
    QTest::addColumn<bool>("negative");
    QTest::addColumn<QString>("average");
    QTest::newRow("divisor 1") << int(FrameEncoder::Divisor1) << 5 << false << "5";
    QTest::newRow("divisor 10") << int(FrameEncoder::Divisor10) << 123 << true << "-12.3";
    QTest::newRow("divisor 100") << int(FrameEncoder::Divisor100) << 1200 << false << "12.00";
    QTest::newRow("divisor 1000") << int(FrameEncoder::Divisor1000) << 1234 << false << "1.234";
}

void TestStatistics::firstSampleCountsOne()
{
    QFETCH(int, decimalCode);
    QFETCH(int, digits);
    QFETCH(bool, negative);
    QFETCH(QString, average);
    RecordingSession s;
    s.start();
    s.feed(frame(0, DCV, NoPrefix, decimalCode, digits, negative));
    const ChannelStatistics &stats = s.session.statistics().channel(0);
    QCOMPARE(stats.count, 1);
    QCOMPARE(stats.average, average);
    QCOMPARE(s.session.monitor().stats[0], average);
    QCOMPARE(s.session.monitor().stats[3], QStringLiteral("V"));
}

void TestStatistics::averageFormattedByDivisor_data()
{
    QTest::addColumn<int>("decimalCode");
    QTest::addColumn<QList<int>>("samples");
    QTest::addColumn<QString>("average");
    QTest::newRow("#####0 rounds half up") << int(FrameEncoder::Divisor1) << QList<int>{1, 2} << "2";
    QTest::newRow("###0.0") << int(FrameEncoder::Divisor10) << QList<int>{123, 124} << "12.4";
    QTest::newRow("###0.00") << int(FrameEncoder::Divisor100) << QList<int>{100, 200, 400} << "2.33";
    QTest::newRow("###0.000") << int(FrameEncoder::Divisor1000) << QList<int>{1000, 1002} << "1.001";
}

void TestStatistics::averageFormattedByDivisor()
{
    QFETCH(int, decimalCode);
    QFETCH(QList<int>, samples);
    QFETCH(QString, average);
    RecordingSession s;
    s.start();
    for (const int digits : samples)
        s.feed(frame(0, DCV, NoPrefix, decimalCode, digits));
    QCOMPARE(s.session.statistics().channel(0).count, int(samples.size()));
    QCOMPARE(s.session.monitor().stats[0], average);
}

void TestStatistics::overloadLeavesRunningAverage()
{
    RecordingSession s;
    s.start();
    s.feed(volts(10));
    s.feed(overload(0, DCV, NoPrefix, FrameEncoder::Divisor1));
    const ChannelStatistics &stats = s.session.statistics().channel(0);
    QCOMPARE(stats.count, 1);
    QCOMPARE(stats.average, QStringLiteral("+OL"));
    QCOMPARE(s.session.monitor().stats[0], QStringLiteral("10"));
    s.feed(volts(20));
    QCOMPARE(stats.count, 2);
    QCOMPARE(s.session.monitor().stats[0], QStringLiteral("15"));
}

void TestStatistics::rangeChangeRescalesSum()
{
    RecordingSession s;
    s.start();
    s.feed(frame(0, DCV, Milli, FrameEncoder::Divisor10, 5000)); // 500.0 mV
    QCOMPARE(s.session.monitor().stats[0], QStringLiteral("500.0"));
    s.feed(frame(0, DCV, NoPrefix, FrameEncoder::Divisor1000, 1000)); // 1.000 V
    const ChannelStatistics &stats = s.session.statistics().channel(0);
    QCOMPARE(stats.count, 2);
    QCOMPARE(stats.sumPrefix, NoPrefix);
    QCOMPARE(stats.average, QStringLiteral("0.750"));
    QCOMPARE(s.session.monitor().stats[3], QStringLiteral("V"));
}

void TestStatistics::equalExtremesKeepTheFirstTime()
{
    RecordingSession s;
    s.start();
    for (const int digits : {5, 7, 7, 3, 3}) {
        s.feed(volts(digits));
        s.clock.advance(60 * 1000);
    }
    const ChannelStatistics &stats = s.session.statistics().channel(0);
    QCOMPARE(stats.maximum.text, QStringLiteral("7"));
    QCOMPARE(stats.maximum.row, 2);
    QCOMPARE(stats.minimum.row, 4);
    const MonitorFields &monitor = s.session.monitor();
    QCOMPARE(monitor.stats[1], QStringLiteral("7"));
    QCOMPARE(monitor.statTimes[1], QStringLiteral("09:31:00"));
    QCOMPARE(monitor.stats[2], QStringLiteral("3"));
    QCOMPARE(monitor.statTimes[2], QStringLiteral("09:33:00"));
    QCOMPARE(monitor.stats[4], QStringLiteral("V"));
    QCOMPARE(monitor.stats[5], QStringLiteral("V"));
}

void TestStatistics::overloadExtremes()
{
    RecordingSession s;
    s.start();
    s.feed(overload(0, DCV, NoPrefix, FrameEncoder::Divisor1));
    const ChannelStatistics &stats = s.session.statistics().channel(0);
    QCOMPARE(stats.maximum.mark, QStringLiteral("+OL"));
    QCOMPARE(stats.minimum.mark, QStringLiteral("+OL"));
    s.feed(volts(999)); // below the +1000 V that "+OL" stands for
    QCOMPARE(stats.maximum.text, QStringLiteral("+OL"));
    QCOMPARE(stats.minimum.text, QStringLiteral("999"));
    QVERIFY(stats.minimum.mark.isEmpty());
    s.feed(overload(0, DCV, NoPrefix, FrameEncoder::Divisor1, true));
    QCOMPARE(stats.minimum.text, QStringLiteral("-OL"));
    QCOMPARE(s.session.monitor().stats[1], QStringLiteral("+OL"));
    QCOMPARE(s.session.monitor().stats[2], QStringLiteral("-OL"));
    s.feed(volts(1000)); // equal to the limit: the overload keeps the maximum
    QCOMPARE(stats.maximum.text, QStringLiteral("+OL"));
}

void TestStatistics::otherChannelsOverloadUsesItsOwnLimits()
{
    RecordingSession s;
    s.start();
    s.feed(frame(0, Duty, NoPrefix, FrameEncoder::Divisor10, 500)); // main channel: limits 0.1..99.9
    s.feed(overload(1, DCV, NoPrefix, FrameEncoder::Divisor1));
    s.feed(frame(1, DCV, NoPrefix, FrameEncoder::Divisor1, 500));
    const ChannelStatistics &stats = s.session.statistics().channel(1);
    QCOMPARE(stats.maximum.text, QStringLiteral("+OL"));
    QCOMPARE(stats.minimum.text, QStringLiteral("500"));
}

void TestStatistics::extremesFollowRangeChange()
{
    RecordingSession s;
    s.start();
    s.feed(frame(0, DCV, Milli, FrameEncoder::Divisor10, 9999)); // 999.9 mV
    s.clock.advance(60 * 1000);
    s.feed(frame(0, DCV, NoPrefix, FrameEncoder::Divisor1000, 500)); // 0.500 V
    const ChannelStatistics &stats = s.session.statistics().channel(0);
    QCOMPARE(stats.maximum.text, QStringLiteral("0.9999"));
    QCOMPARE(stats.maximum.unit, QStringLiteral("V"));
    QCOMPARE(stats.maximum.time, QStringLiteral("09:30:00"));
    QCOMPARE(stats.minimum.text, QStringLiteral("0.500"));
    QCOMPARE(s.session.monitor().stats[4], QStringLiteral("V"));
}

void TestStatistics::selectingChannelShowsItsFigures()
{
    RecordingSession s;
    s.start();
    s.feed(volts(5));
    s.feed(frame(1, DCV, Milli, FrameEncoder::Divisor1, 40));
    s.clock.advance(60 * 1000);
    s.feed(frame(1, DCV, Milli, FrameEncoder::Divisor1, 20));
    QCOMPARE(s.session.state().mainChannel, qint16(0));

    s.session.channelSelector().select(1);
    const MonitorFields &monitor = s.session.monitor();
    QCOMPARE(s.session.state().mainChannel, qint16(1));
    QCOMPARE(monitor.bigValue, QStringLiteral("20"));
    QCOMPARE(monitor.bigUnit, QStringLiteral("mV"));
    QCOMPARE(monitor.stats[0], QStringLiteral("30"));
    QCOMPARE(monitor.stats[1], QStringLiteral("40"));
    QCOMPARE(monitor.stats[2], QStringLiteral("20"));
    QCOMPARE(monitor.statTimes[2], QStringLiteral("09:31:00"));
    QCOMPARE(monitor.stats[3], QStringLiteral("mV"));
    QCOMPARE(s.session.state().mainRowCount, 2);
}

void TestStatistics::selectingInStoredRecordCountsSamplesAndPages()
{
    RecordingSession s;
    GraphSpy graph;
    s.session.setGraphHooks(&graph);
    s.start();
    s.feed(volts(5));
    for (int i = 0; i < 30; ++i)
        s.feed(frame(1, DCV, NoPrefix, FrameEncoder::Divisor1, i));
    s.session.recording().stop();
    graph.tickTexts = 0;

    s.session.channelSelector().select(1);
    QCOMPARE(s.session.state().mainRowCount, 30);
    QCOMPARE(s.session.record().firstVisibleColumn(), 5);
    QCOMPARE(graph.pageBox, QStringLiteral("2")); // 30 samples / 100 / 0.25, rounded up
    QCOMPARE(graph.tickTexts, 1);
    QCOMPARE(s.session.monitor().stats[1], QStringLiteral("29"));
    s.session.setGraphHooks(nullptr);
}

void TestStatistics::newRecordEmptiesFigures()
{
    RecordingSession s;
    s.start();
    s.feed(volts(5));
    s.session.recording().clearRecord();
    const ChannelStatistics &stats = s.session.statistics().channel(0);
    QCOMPARE(stats.count, 0);
    QVERIFY(stats.average.isEmpty());
    QVERIFY(!stats.hasExtremes);
    s.session.statistics().showChannel(0);
    QCOMPARE(s.session.monitor().stats[0], QStringLiteral("-"));
    QCOMPARE(s.session.monitor().statTimes[1], QStringLiteral("-"));
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
