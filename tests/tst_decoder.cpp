#include <QtTest>
#include <utility>

#include "link/FrameDecoder.h"
#include "link/FrameEncoder.h"
#include "monitor/MonitorFields.h"
#include "monitor/Statistics.h"
#include "recording/RecordStore.h"
#include "shell/CommandState.h"
#include "support/RecordingSession.h"

using FrameEncoder::Header;

namespace
{

Header header(int channel, int function, int prefix = 3, int decimalCode = FrameEncoder::Divisor1,
              bool negative = false, int interval = 0)
{
    Header h;
    h.channel = channel;
    h.functionCode = function;
    h.prefixCode = prefix;
    h.decimalCode = decimalCode;
    h.negative = negative;
    h.intervalCode = interval;
    return h;
}

QByteArray reading(int channel, int function, int digits, int prefix = 3,
                   int decimalCode = FrameEncoder::Divisor1)
{
    return FrameEncoder::encodeReading(header(channel, function, prefix, decimalCode), digits);
}

QByteArray dcv(int digits, int channel = 0)
{
    return reading(channel, 0, digits);
}

} // namespace

class TestDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstFrameAfterStrayBytes();
    void valueTexts_data();
    void valueTexts();
    void overloadAdmission_data();
    void overloadAdmission();
    void unitTexts_data();
    void unitTexts();
    void statusFrameOnlyResetsTimeout();
    void functionChangeRestartsRecord();
    void fiveFramesLeaveOneEmptyRow();
    void sameSecondIsNudgedUnlessBacklogged();
    void intervalShownForMainChannelOnly();
    void partialFrameWaitsForItsRest();
    void malformedFramesDropped_data();
    void malformedFramesDropped();
    void readingBeforeAnyDecimalPointDropped();
    void brokenFrameResyncsOnNextStartByte();
    void newestRowsKeptInView();
    void mainChannelColumnsScrolledIntoView_data();
    void mainChannelColumnsScrolledIntoView();
    void smallestRangeKeptInCaptions();
};

void TestDecoder::firstFrameAfterStrayBytes()
{
    RecordingSession s;
    s.session.settings().Channel_sn[0] = QStringLiteral("SN-1");
    s.session.settings().Channel_p[0] = QStringLiteral("Roof");
    s.start();
    s.feed(QByteArray::fromHex("1234ff0030120000"));

    const RecordStore &record = s.session.record();
    QCOMPARE(record.cell(1, 0), QStringLiteral("0001"));
    QCOMPARE(record.cell(1, 1), RecordStore::shortDate(s.clock.now().date()));
    QCOMPARE(record.cell(1, 2), QStringLiteral("09:30:00"));
    QCOMPARE(record.cell(1, 3), QStringLiteral("12"));
    QCOMPARE(record.cell(1, 4), QStringLiteral("V"));
    QCOMPARE(record.nextRow(0), 2);
    QCOMPARE(record.functionCaption[0], QStringLiteral("DCV"));
    QCOMPARE(record.prefixCaption[0], QStringLiteral("3"));
    QCOMPARE(record.divisorCaption[0], QStringLiteral("1"));

    const MonitorFields &monitor = s.session.monitor();
    QCOMPARE(monitor.channelEntries, QStringList{QStringLiteral("1_Ch1")});
    QCOMPARE(monitor.channelIndex, 0);
    QCOMPARE(monitor.receivedChannels, QStringLiteral("1"));
    QCOMPARE(monitor.bigValue, QStringLiteral("12"));
    QCOMPARE(monitor.bigUnit, QStringLiteral("V"));
    QCOMPARE(monitor.type, QStringLiteral("DCV"));
    QCOMPARE(monitor.label8[0], QStringLiteral("00"));
    QCOMPARE(monitor.label8[1], QStringLiteral("02"));
    QCOMPARE(monitor.serialNumber, QStringLiteral("SN-1"));
    QCOMPARE(monitor.place, QStringLiteral("Roof"));

    const AcquisitionState &state = s.session.state();
    QVERIFY(state.channelPresent[0]);
    QCOMPARE(state.channelUnit[0], QStringLiteral("V"));
    QCOMPARE(state.mainFunction, qint16(0));
    QCOMPARE(state.mainRowCount, 1);
    QCOMPARE(state.upperLimit, 1000.0);
    QCOMPARE(s.serial.inBufferCount(), 0);
}

void TestDecoder::valueTexts_data()
{
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("decimalCode");
    QTest::addColumn<bool>("negative");
    QTest::addColumn<QString>("expected");
    QTest::newRow("-0, divisor 1") << 0 << int(FrameEncoder::Divisor1) << true << "-0";
    QTest::newRow("+0, divisor 1") << 0 << int(FrameEncoder::Divisor1) << false << "+0";
    QTest::newRow("-0, divisor 10") << 0 << int(FrameEncoder::Divisor10) << true << "0.0";
    QTest::newRow("-0123, divisor 10") << 123 << int(FrameEncoder::Divisor10) << true << "-12.3";
    QTest::newRow("1234, divisor 100") << 1234 << int(FrameEncoder::Divisor100) << false << "12.34";
    QTest::newRow("9999, divisor 1000") << 9999 << int(FrameEncoder::Divisor1000) << false << "9.999";
    QTest::newRow("0005, divisor 1000") << 5 << int(FrameEncoder::Divisor1000) << false << "0.005";
}

void TestDecoder::valueTexts()
{
    QFETCH(int, digits);
    QFETCH(int, decimalCode);
    QFETCH(bool, negative);
    QFETCH(QString, expected);
    RecordingSession s;
    s.start();
    s.feed(FrameEncoder::encodeReading(header(0, 0, 3, decimalCode, negative), digits));
    QCOMPARE(s.session.record().cell(1, 3), expected);
    QCOMPARE(s.session.monitor().bigValue, expected);
}

void TestDecoder::overloadAdmission_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("prefix");
    QTest::addColumn<int>("decimalCode");
    QTest::addColumn<bool>("counted");
    QTest::newRow("DCV m /10") << 0 << 2 << int(FrameEncoder::Divisor10) << false;
    QTest::newRow("DCV top") << 0 << 3 << int(FrameEncoder::Divisor1) << true;
    QTest::newRow("ACA top") << 3 << 3 << int(FrameEncoder::Divisor1) << true;
    QTest::newRow("OHM M /100") << 4 << 5 << int(FrameEncoder::Divisor100) << true;
    QTest::newRow("OHM K /100") << 4 << 4 << int(FrameEncoder::Divisor100) << false;
    QTest::newRow("CAP u /10") << 5 << 1 << int(FrameEncoder::Divisor10) << true;
    QTest::newRow("Hz M /1000") << 6 << 5 << int(FrameEncoder::Divisor1000) << true;
    QTest::newRow("Duty /10") << 7 << 3 << int(FrameEncoder::Divisor10) << true;
    QTest::newRow("Diode, prefix normalised") << 8 << 0 << int(FrameEncoder::Divisor1000) << true;
    QTest::newRow("Continuity /1") << 9 << 3 << int(FrameEncoder::Divisor1) << false;
}

void TestDecoder::overloadAdmission()
{
    QFETCH(int, function);
    QFETCH(int, prefix);
    QFETCH(int, decimalCode);
    QFETCH(bool, counted);
    RecordingSession s;
    s.start();
    // Channel 2's first sample is a number; the overload then counts or is left out.
    s.feed(reading(2, function, 5, prefix, decimalCode));
    const QString first = s.session.record().cell(1, RecordStore::valueColumn(2));
    s.feed(FrameEncoder::encodeOverload(header(2, function, prefix, decimalCode)));

    QCOMPARE(s.session.record().cell(2, RecordStore::valueColumn(2)), QStringLiteral("+OL"));
    const ChannelStatistics &stats = s.session.statistics().channel(2);
    QCOMPARE(stats.maximum.text, counted ? QStringLiteral("+OL") : first);
    QVERIFY(!s.session.state().skipStats[2]);
}

void TestDecoder::unitTexts_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("prefix");
    QTest::addColumn<QString>("unit");
    QTest::newRow("DCA u shows A") << 2 << 1 << "A";
    QTest::newRow("ACA m") << 3 << 2 << "mA";
    QTest::newRow("DCV m") << 0 << 2 << "mV";
    QTest::newRow("OHM K") << 4 << 4 << QStringLiteral("K\u03A9");
    QTest::newRow("Continuity") << 9 << 2 << QStringLiteral("\u03A9");
    QTest::newRow("Duty") << 7 << 5 << "%";
    QTest::newRow("CAP n") << 5 << 0 << "nF";
}

void TestDecoder::unitTexts()
{
    QFETCH(int, function);
    QFETCH(int, prefix);
    QFETCH(QString, unit);
    RecordingSession s;
    s.start();
    s.feed(reading(0, function, 42, prefix));
    QCOMPARE(s.session.record().cell(1, 4), unit);
    QCOMPARE(s.session.monitor().bigUnit, unit);
    QCOMPARE(s.session.state().channelUnit[0], unit);
}

void TestDecoder::statusFrameOnlyResetsTimeout()
{
    RecordingSession s;
    s.start();
    s.session.state().timeoutTicks = 7;
    s.feed(FrameEncoder::encodeStatus({0x12, 0x34, 0x56, 0x78, 0x9A}));
    QCOMPARE(s.session.state().timeoutTicks, qint16(0));
    QCOMPARE(s.session.record().nextRow(0), 1);
    QCOMPARE(s.session.record().cell(1, 0), QString());
    QVERIFY(s.session.monitor().channelEntries.isEmpty());
    QCOMPARE(s.serial.inBufferCount(), 0);
}

void TestDecoder::functionChangeRestartsRecord()
{
    RecordingSession s;
    s.start();
    s.feed(dcv(12));
    s.feed(dcv(13));
    const QString firstStamp = s.session.record().stamp();
    s.clock.advance(2000);
    // A frame arriving while Stop lets events run is not decoded into the record being saved.
    bool fedDuringStop = false;
    s.clock.setOnProcessEvents([&] {
        if (!std::exchange(fedDuringStop, true)) s.feed(dcv(99));
    });
    QStringList saved;
    s.setOnAutoSave([&] {
        for (int row = 1; row <= 3; ++row)
            saved << s.session.record().cell(row, 3);
    });
    s.feed(reading(0, 1, 230)); // the meter now measures ACV

    QVERIFY(fedDuringStop);
    QCOMPARE(saved, (QStringList{QStringLiteral("12"), QStringLiteral("13"), QString()}));
    QCOMPARE(s.autoSaves(), 1);
    QVERIFY(s.session.commands().running());
    QVERIFY(s.session.record().stamp() != firstStamp);
    QCOMPARE(s.session.record().nextRow(0), 1);
    QCOMPARE(s.session.record().cell(1, 3), QString());
    QVERIFY(s.session.monitor().channelEntries.isEmpty());

    // The new record takes the channel with its new function.
    s.feed(reading(0, 1, 231));
    QCOMPARE(s.session.record().functionCaption[0], QStringLiteral("ACV"));
    QCOMPARE(s.session.record().cell(1, 3), QStringLiteral("231"));
}

void TestDecoder::fiveFramesLeaveOneEmptyRow()
{
    RecordingSession s;
    s.start();
    for (int i = 1; i <= 5; ++i)
        s.feed(dcv(i));
    const RecordStore &record = s.session.record();
    QCOMPARE(record.sampleRows(), 6);
    QCOMPARE(record.gridRowCount(), 7);
    for (int row = 1; row <= 5; ++row)
        QCOMPARE(record.cell(row, 3), QString::number(row));
    QCOMPARE(record.cell(6, 0), QString());
    QCOMPARE(s.session.state().mainRowCount, 5);
}

void TestDecoder::sameSecondIsNudgedUnlessBacklogged()
{
    RecordingSession s;
    s.start();
    s.feed(dcv(1));
    s.feed(dcv(2));
    QCOMPARE(s.session.record().cell(1, 2), QStringLiteral("09:30:00"));
    QCOMPARE(s.session.record().cell(2, 2), QStringLiteral("09:30:01"));
    QCOMPARE(s.session.state().reading.timeStamp, QTime(9, 30, 1));

    // Ten frames at once: while eight or more wait behind a frame its time is not moved on.
    RecordingSession b;
    b.start();
    b.feed(dcv(1));
    QByteArray burst;
    for (int i = 0; i < 10; ++i)
        burst += dcv(i);
    b.clock.advance(5000);
    b.feed(burst);
    const RecordStore &record = b.session.record();
    QCOMPARE(record.cell(2, 2), QStringLiteral("09:30:05"));
    QCOMPARE(record.cell(3, 2), QStringLiteral("09:30:05"));
    QCOMPARE(record.cell(4, 2), QStringLiteral("09:30:06"));
    QCOMPARE(record.nextRow(0), 12);
}

void TestDecoder::intervalShownForMainChannelOnly()
{
    RecordingSession s;
    s.start();
    const MonitorFields &monitor = s.session.monitor();
    s.feed(dcv(1));
    s.feed(FrameEncoder::encodeReading(header(1, 0, 3, 0, false, 3), 1));
    QCOMPARE(monitor.label8[0], QStringLiteral("00"));
    QCOMPARE(monitor.label8[1], QStringLiteral("02"));
    s.feed(FrameEncoder::encodeReading(header(0, 0, 3, 0, false, 3), 2));
    QCOMPARE(monitor.label8[0], QStringLiteral("01"));
    QCOMPARE(monitor.label8[1], QStringLiteral("00"));
    // An interval code outside the table leaves the display alone; the reading still counts.
    s.feed(FrameEncoder::encodeReading(header(0, 0, 3, 0, false, 9), 3));
    QCOMPARE(monitor.label8[0], QStringLiteral("01"));
    QCOMPARE(s.session.record().cell(3, 3), QStringLiteral("3"));
}

void TestDecoder::partialFrameWaitsForItsRest()
{
    RecordingSession s;
    s.start();
    // Two stray bytes, then a frame of which only three payload bytes have arrived.
    s.feed(QByteArray::fromHex("0000ff003012"));
    QCOMPARE(s.session.record().nextRow(0), 1);
    QCOMPARE(s.session.decoder().pendingBytes(), 1);
    // The rest comes with the next frame.
    s.feed(QByteArray::fromHex("0000") + dcv(34));
    QCOMPARE(s.session.record().cell(1, 3), QStringLiteral("12"));
    QCOMPARE(s.session.record().cell(2, 3), QStringLiteral("34"));
    QCOMPARE(s.session.decoder().pendingBytes(), 0);
}

void TestDecoder::malformedFramesDropped_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("channel 6") << QByteArray::fromHex("ff6030120000");
    QTest::newRow("channel 15") << QByteArray::fromHex("fff030120000");
    QTest::newRow("function 10") << QByteArray::fromHex("ff003a120000");
    QTest::newRow("prefix 6") << QByteArray::fromHex("ff0060120000");
    QTest::newRow("low digits not BCD") << QByteArray::fromHex("ff00301a0000");
    QTest::newRow("high digits not BCD") << QByteArray::fromHex("ff003012a000");
    QTest::newRow("half an overload mark") << QByteArray::fromHex("ff0030ba0000");
}

void TestDecoder::malformedFramesDropped()
{
    QFETCH(QByteArray, frame);
    RecordingSession s;
    s.start();
    s.session.state().timeoutTicks = 4;
    s.feed(frame);
    QCOMPARE(s.session.state().timeoutTicks, qint16(0));
    for (int channel = 0; channel < ChannelCount; ++channel)
        QCOMPARE(s.session.record().nextRow(channel), 1);
    QVERIFY(s.session.monitor().channelEntries.isEmpty());
    QCOMPARE(s.session.monitor().bigValue, QStringLiteral("-????.?"));
    s.feed(dcv(7));
    QCOMPARE(s.session.record().cell(1, 3), QStringLiteral("7"));
}

void TestDecoder::readingBeforeAnyDecimalPointDropped()
{
    RecordingSession s;
    s.start();
    s.feed(reading(0, 0, 12, 3, 3)); // decimal-point code 3 names no divisor
    s.feed(FrameEncoder::encodeOverload(header(0, 0, 3, 7)));
    QCOMPARE(s.session.record().nextRow(0), 1);
    s.feed(reading(0, 0, 123, 3, FrameEncoder::Divisor10));
    s.feed(reading(0, 0, 456, 3, 5)); // unknown code: the previous divisor holds
    QCOMPARE(s.session.record().cell(1, 3), QStringLiteral("12.3"));
    QCOMPARE(s.session.record().cell(2, 3), QStringLiteral("45.6"));
}

void TestDecoder::brokenFrameResyncsOnNextStartByte()
{
    RecordingSession s;
    s.start();
    // A frame cut short by three bytes runs into the next one.
    s.feed(QByteArray::fromHex("ff0030") + QByteArray::fromHex("ff0130120000"));
    QCOMPARE(s.session.record().nextRow(0), 2);
    QCOMPARE(s.session.record().cell(1, 3), QStringLiteral("12"));
    QCOMPARE(s.session.monitor().label8[1], QStringLiteral("10"));
}

void TestDecoder::newestRowsKeptInView()
{
    RecordingSession s;
    s.start();
    for (int i = 0; i < 6; ++i)
        s.feed(dcv(i));
    QCOMPARE(s.session.record().firstVisibleRow(), 2); // next row 7 - 5
    s.session.commands().setChecked(QStringLiteral("mnpower"), true);
    for (int i = 0; i < 4; ++i)
        s.feed(dcv(i));
    QCOMPARE(s.session.record().firstVisibleRow(), 9); // next row 11 - 2
}

void TestDecoder::mainChannelColumnsScrolledIntoView_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("column");
    QTest::newRow("channel 1") << 0 << 2;
    QTest::newRow("channel 2") << 1 << 5;
    QTest::newRow("channel 3") << 2 << 8;
    QTest::newRow("channel 4") << 3 << 11;
    QTest::newRow("channel 6") << 5 << 11;
}

void TestDecoder::mainChannelColumnsScrolledIntoView()
{
    QFETCH(int, channel);
    QFETCH(int, column);
    RecordingSession s;
    s.start();
    s.feed(dcv(1, channel));
    QCOMPARE(s.session.state().mainChannel, qint16(channel));
    QCOMPARE(s.session.record().firstVisibleColumn(), column);
    const QString number = QString::number(channel + 1);
    QCOMPARE(s.session.monitor().channelEntries.first(), QString(number + QStringLiteral("_Ch") + number));
}

void TestDecoder::smallestRangeKeptInCaptions()
{
    RecordingSession s;
    s.start();
    s.feed(reading(0, 0, 1234, 3, FrameEncoder::Divisor100));  // V
    s.feed(reading(0, 0, 5678, 2, FrameEncoder::Divisor10));   // mV
    s.feed(reading(0, 0, 4321, 3, FrameEncoder::Divisor1000)); // V again
    const RecordStore &record = s.session.record();
    QCOMPARE(record.prefixCaption[0], QStringLiteral("2"));
    QCOMPARE(record.divisorCaption[0], QStringLiteral("10"));
    const AcquisitionState &state = s.session.state();
    QVERIFY(state.rangeMixed[0]);
    QVERIFY(state.mainRangeChanged);
    QCOMPARE(state.previousPrefix[0], qint16(2));
    QCOMPARE(state.currentPrefix[0], qint16(3));
    QCOMPARE(state.upperLimit, 1000.0);
}

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
