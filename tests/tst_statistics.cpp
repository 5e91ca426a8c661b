#include <QtTest>

#include "core/link/FrameEncoder.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "support/RecorderRig.h"

namespace
{

constexpr int Milli = 2;
constexpr int NoPrefix = 3;

// DCV on channel 0 unless told otherwise.
QByteArray volts(int digits, int prefix = NoPrefix, int decimalCode = FrameEncoder::Divisor1, int channel = 0)
{
    return FrameEncoder::encodeReading({channel, 0, prefix, 0, decimalCode, false}, digits);
}

QByteArray overload(bool negative = false, int channel = 0)
{
    return FrameEncoder::encodeOverload({channel, 0, NoPrefix, 0, FrameEncoder::Divisor1, negative});
}

struct Recording : RecorderRig {
    const ChannelStatistics &stats(int channel = 0) { return statistics.channel(channel); }
    const QString &shown(int field) { return monitor.stats[field]; }
};

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void averageFormattedByDivisor_data()
    {
        QTest::addColumn<int>("decimalCode");
        QTest::addColumn<QList<int>>("samples");
        QTest::addColumn<QString>("average");
        QTest::newRow("first sample, /1000") << int(FrameEncoder::Divisor1000) << QList<int>{1234} << "1.234";
        QTest::newRow("#####0 rounds half up") << int(FrameEncoder::Divisor1) << QList<int>{1, 2} << "2";
        QTest::newRow("###0.0") << int(FrameEncoder::Divisor10) << QList<int>{123, 124} << "12.4";
        QTest::newRow("###0.00") << int(FrameEncoder::Divisor100) << QList<int>{100, 200, 400} << "2.33";
        QTest::newRow("###0.000") << int(FrameEncoder::Divisor1000) << QList<int>{1000, 1002} << "1.001";
    }
    void averageFormattedByDivisor()
    {
        QFETCH(int, decimalCode);
        QFETCH(QList<int>, samples);
        QFETCH(QString, average);
        Recording s;
        for (const int digits : samples)
            s.feed(volts(digits, NoPrefix, decimalCode));
        QCOMPARE(s.stats().count, int(samples.size()));
        QCOMPARE(s.shown(0), average);
        QCOMPARE(s.shown(3), QStringLiteral("V"));
    }
    void rangeChangeRescalesSum()
    {
        Recording s;
        s.feed(volts(5000, Milli, FrameEncoder::Divisor10)); // 500.0 mV
        QCOMPARE(s.shown(0), QStringLiteral("500.0"));
        s.feed(volts(1000, NoPrefix, FrameEncoder::Divisor1000)); // 1.000 V
        QCOMPARE(s.stats().count, 2);
        QCOMPARE(s.stats().sumPrefix, NoPrefix);
        QCOMPARE(s.shown(0), QStringLiteral("0.750"));
        QCOMPARE(s.shown(3), QStringLiteral("V"));
    }
    void uncountedOverloadLeavesTheSumInItsRange()
    {
        Recording s;
        s.feed(volts(5000, Milli, FrameEncoder::Divisor10)); // 500.0 mV
        // An overload in the V range on /10: not counted, yet a range change there and back.
        s.feed(FrameEncoder::encodeOverload({0, 0, NoPrefix, 0, FrameEncoder::Divisor10, false}));
        s.feed(volts(3000, Milli, FrameEncoder::Divisor10)); // 300.0 mV
        QCOMPARE(s.shown(0), QStringLiteral("400.0"));
    }
    void equalExtremesKeepTheFirstTime()
    {
        Recording s;
        for (const int digits : {5, 7, 7, 3, 3}) {
            s.feed(volts(digits));
            s.clock.advance(60 * 1000);
        }
        QCOMPARE(s.stats().maximum.row, 2);
        QCOMPARE(s.stats().minimum.row, 4);
        const MonitorFields &monitor = s.monitor;
        QCOMPARE(monitor.stats[1], QStringLiteral("7"));
        QCOMPARE(monitor.statTimes[1], QStringLiteral("09:31:00"));
        QCOMPARE(monitor.stats[2], QStringLiteral("3"));
        QCOMPARE(monitor.statTimes[2], QStringLiteral("09:33:00"));
    }
    void overloadExtremes()
    {
        Recording s;
        s.feed(overload());
        QCOMPARE(s.stats().count, 0); // an overload has no value to average
        QCOMPARE(s.stats().maximum.mark, QStringLiteral("+OL"));
        QCOMPARE(s.stats().minimum.mark, QStringLiteral("+OL"));
        s.feed(volts(999)); // below the +1000 V that "+OL" stands for
        QCOMPARE(s.stats().maximum.text, QStringLiteral("+OL"));
        QCOMPARE(s.stats().minimum.text, QStringLiteral("999"));
        s.feed(overload(true));
        QCOMPARE(s.stats().count, 1);
        QCOMPARE(s.stats().average, QStringLiteral("-OL")); // the channel shows the mark ...
        QCOMPARE(s.shown(0), QStringLiteral("999"));        // ... the monitor the running average
        QCOMPARE(s.shown(1), QStringLiteral("+OL"));
        QCOMPARE(s.shown(2), QStringLiteral("-OL"));
        s.feed(volts(1000)); // equal to the limit: the overload keeps the maximum
        QCOMPARE(s.stats().maximum.text, QStringLiteral("+OL"));
    }
    void otherChannelsOverloadUsesItsOwnLimits()
    {
        Recording s;
        s.feed(FrameEncoder::encodeReading({0, 0, NoPrefix, 7, FrameEncoder::Divisor10, false}, 500)); // Duty
        s.feed(overload(false, 1));
        s.feed(volts(500, NoPrefix, FrameEncoder::Divisor1, 1)); // above the main channel's 99.9 %
        QCOMPARE(s.stats(1).maximum.text, QStringLiteral("+OL"));
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
