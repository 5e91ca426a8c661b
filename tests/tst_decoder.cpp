#include <QtTest>

#include "core/commands/CommandState.h"
#include "core/link/FrameDecoder.h"
#include "core/link/FrameEncoder.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"
#include "support/RecordingSession.h"

namespace
{

QByteArray reading(int channel, int function, int digits, int prefix = 3, int decimalCode = 0,
                   bool negative = false, int interval = 0)
{
    return FrameEncoder::encodeReading({channel, interval, prefix, function, decimalCode, negative}, digits);
}

QByteArray dcv(int digits)
{
    return reading(0, 0, digits);
}

// A session that links on the fake port and records.
struct Recording : RecordingSession {
    Recording() { start(); }
    const RecordStore &record() { return session.record(); }
    QString value(int row, int channel = 0) { return record().cell(row, RecordStore::valueColumn(channel)); }
};

} // namespace

class TestDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readingTexts_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QStringList>("valueAndUnit");
        QTest::newRow("after stray bytes")
            << QByteArray::fromHex("1234ff0030120000") << QStringList{"12", "V"};
        QTest::newRow("-0, divisor 1") << reading(0, 0, 0, 3, 0, true) << QStringList{"-0", "V"};
        QTest::newRow("+0, divisor 1") << reading(0, 0, 0) << QStringList{"+0", "V"};
        QTest::newRow("-0, divisor 10") << reading(0, 0, 0, 3, 4, true) << QStringList{"0.0", "V"};
        QTest::newRow("-0123, divisor 10") << reading(0, 0, 123, 3, 4, true) << QStringList{"-12.3", "V"};
        QTest::newRow("0005, divisor 1000") << reading(0, 0, 5, 3, 1) << QStringList{"0.005", "V"};
        QTest::newRow("OHM K") << reading(0, 4, 42, 4) << QStringList{"42", QStringLiteral("K\u03A9")};
    }
    void readingTexts()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QStringList, valueAndUnit);
        Recording s;
        s.feed(frame);
        QCOMPARE(s.serial.inBufferCount(), 0);
        QCOMPARE((QStringList{s.record().cell(1, 0), s.record().cell(1, 1)}),
                 (QStringList{"0001", RecordStore::shortDate(s.clock.now().date())}));
        QCOMPARE((QStringList{s.value(1), s.record().cell(1, 4)}), valueAndUnit);
        QCOMPARE(s.record().nextRow(0), 2);
        const MonitorFields &monitor = s.session.monitor();
        QCOMPARE(monitor.channelEntries, QStringList{QStringLiteral("1_Ch1")});
        QCOMPARE((QStringList{monitor.bigValue, monitor.bigUnit}), valueAndUnit);
    }

    void overloadAdmission_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<int>("decimalCode");
        QTest::addColumn<bool>("counted");
        QTest::newRow("DCV m /10") << 0 << 2 << int(FrameEncoder::Divisor10) << false;
        QTest::newRow("DCV top /1") << 0 << 3 << int(FrameEncoder::Divisor1) << true;
        QTest::newRow("OHM K /100") << 4 << 4 << int(FrameEncoder::Divisor100) << false;
        QTest::newRow("Diode, prefix normalised") << 8 << 0 << int(FrameEncoder::Divisor1000) << true;
    }
    void overloadAdmission()
    {
        QFETCH(int, function);
        QFETCH(int, prefix);
        QFETCH(int, decimalCode);
        QFETCH(bool, counted);
        Recording s;
        // Only an overload on the function's top range enters the statistics.
        s.feed(reading(2, function, 5, prefix, decimalCode));
        const QString first = s.value(1, 2);
        s.feed(FrameEncoder::encodeOverload({2, 0, prefix, function, decimalCode, false}));
        QCOMPARE(s.value(2, 2), QStringLiteral("+OL"));
        QCOMPARE(s.session.statistics().channel(2).maximum.text, counted ? QStringLiteral("+OL") : first);
        QVERIFY(!s.session.state().skipStats[2]); // the skip holds for that one sample
    }

    void functionChangeRestartsRecord()
    {
        Recording s;
        s.feed(dcv(12));
        s.feed(dcv(13));
        const QString firstStamp = s.record().stamp();
        s.clock.advance(2000);
        QStringList saved;
        s.setOnAutoSave([&] { saved << s.value(1) << s.value(2) << s.value(3); });
        const int waits = s.clock.processEventsCalls();
        const int closes = s.serial.closeCount();
        const int clears = s.serial.clearCount();
        // The meter now measures ACV: that reading belongs to no record, the one waiting behind it
        // and half a frame after that go on into the new record, with no wait and the port open.
        const QByteArray halfFrame = reading(0, 1, 232).left(3);
        s.feed(reading(0, 1, 230) + reading(0, 1, 231) + halfFrame);

        QCOMPARE(saved, (QStringList{QStringLiteral("12"), QStringLiteral("13"), QString()}));
        QCOMPARE(s.autoSaves(), 1);
        QCOMPARE(s.clock.processEventsCalls(), waits);
        QCOMPARE(s.serial.closeCount(), closes);
        QCOMPARE(s.serial.clearCount(), clears);
        QVERIFY(s.session.status().running());
        QVERIFY(s.record().stamp() != firstStamp);
        QCOMPARE(s.record().functionCaption[0], QStringLiteral("ACV"));
        QCOMPARE(s.value(1), QStringLiteral("231"));
        s.feed(reading(0, 1, 232).mid(3));
        QCOMPARE(s.value(2), QStringLiteral("232"));
        QCOMPARE(s.record().nextRow(0), 3);
    }

    void sameSecondIsNudgedUnlessBacklogged()
    {
        Recording s;
        for (int i = 1; i <= 5; ++i)
            s.feed(dcv(i));
        QCOMPARE(s.record().sampleRows(), 6); // five samples and the empty row being filled
        QCOMPARE(s.value(5), QStringLiteral("5"));
        QCOMPARE(s.record().cell(6, 0), QString());
        QCOMPARE(s.record().cell(2, 2), QStringLiteral("09:30:01"));
        QCOMPARE(s.session.state().reading.timeStamp, QTime(9, 30, 1));
        QCOMPARE(s.record().cell(5, 2), QStringLiteral("09:30:01")); // one second on from now, not from row 4

        // Ten frames at once: while eight or more wait behind a frame its time is not moved on.
        Recording b;
        b.feed(dcv(1));
        QByteArray burst;
        for (int i = 0; i < 10; ++i)
            burst += dcv(i);
        b.clock.advance(5000);
        b.feed(burst);
        QCOMPARE(b.record().cell(2, 2), QStringLiteral("09:30:05"));
        QCOMPARE(b.record().cell(3, 2), QStringLiteral("09:30:05"));
        QCOMPARE(b.record().cell(4, 2), QStringLiteral("09:30:06"));
        QCOMPARE(b.record().nextRow(0), 12);
    }

    void intervalShownForMainChannelOnly()
    {
        Recording s;
        const MonitorFields &monitor = s.session.monitor();
        s.feed(dcv(1));
        s.feed(reading(1, 0, 1, 3, 0, false, 3));
        QCOMPARE(monitor.label8[0], QStringLiteral("00"));
        QCOMPARE(monitor.label8[1], QStringLiteral("02"));
        s.feed(reading(0, 0, 2, 3, 0, false, 3));
        QCOMPARE(monitor.label8[0], QStringLiteral("01"));
        QCOMPARE(monitor.label8[1], QStringLiteral("00"));
    }

    void rangeChangeKeepsSmallestRangeInCaptions()
    {
        Recording s;
        s.feed(reading(0, 0, 1234, 3, FrameEncoder::Divisor100)); // V
        s.feed(reading(0, 0, 5678, 2, FrameEncoder::Divisor10));  // mV
        s.feed(reading(0, 0, 4321, 3, 5)); // V again; code 5 names no divisor, so /10 holds
        QCOMPARE(s.value(3), QStringLiteral("432.1"));
        QCOMPARE(s.record().prefixCaption[0], QStringLiteral("2"));
        QCOMPARE(s.record().divisorCaption[0], QStringLiteral("10"));
        QVERIFY(s.session.state().rangeMixed[0]);
    }

    void framesThatRecordNothing_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("status frame") << FrameEncoder::encodeStatus({0x12, 0x34, 0x56, 0x78, 0x9A});
        // Every reason the reader rejects a frame is its own test; one stands for them here.
        QTest::newRow("digits not BCD") << QByteArray::fromHex("ff00301a0000");
        // Decimal-point codes 3 and 7 name no divisor, and no earlier frame gave one.
        QTest::newRow("overload before any divisor") << FrameEncoder::encodeOverload({0, 0, 3, 0, 7, false});
    }
    void framesThatRecordNothing()
    {
        QFETCH(QByteArray, frame);
        Recording s;
        s.session.state().timeoutTicks = 4;
        s.feed(frame);
        QCOMPARE(s.serial.inBufferCount(), 0);
        QCOMPARE(s.session.state().timeoutTicks, qint16(0)); // the receiver is alive all the same
        for (int channel = 0; channel < ChannelCount; ++channel)
            QCOMPARE(s.record().nextRow(channel), 1);
        QVERIFY(s.session.monitor().channelEntries.isEmpty());
        QCOMPARE(s.session.monitor().bigValue, QStringLiteral("-????.?"));
        s.feed(dcv(7));
        QCOMPARE(s.value(1), QStringLiteral("7"));
    }
};

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
