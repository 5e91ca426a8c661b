// Frames: the reader alone on bytes cut anywhere, and a recording that decodes its readings into
// the record and the monitor.
#include <QtTest>

#include "core/commands/CommandState.h"
#include "core/link/FrameDecoder.h"
#include "core/link/FrameEncoder.h"
#include "core/link/FrameReader.h"
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

// A session that links on the fake port and records.
struct Recording : RecordingSession {
    Recording() { start(); }
    const RecordStore &record() { return session.record(); }
    QString value(int row, int channel = 0) { return record().cell(row, RecordStore::valueColumn(channel)); }
};

// Every frame the reader gives for `stream` cut into `chunk`-byte pieces: "R<channel>:<digits>/<divisor>",
// "S" for a status frame, "x" for a rejected one.
QStringList framesOf(const QByteArray &stream, int chunk)
{
    FrameReader reader;
    QStringList frames;
    using Kind = FrameReader::Frame::Kind;
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        reader.append(stream.mid(at, chunk));
        while (const auto frame = reader.next()) {
            const MeterReading &r = frame->reading;
            frames << (frame->kind == Kind::Status     ? QStringLiteral("S")
                       : frame->kind == Kind::Rejected ? QStringLiteral("x")
                                                       : QStringLiteral("R%1:%2%3/%4")
                                                             .arg(r.channel)
                                                             .arg(r.overload ? "OL" : "")
                                                             .arg(r.digits)
                                                             .arg(r.divisor));
        }
    }
    return frames;
}

} // namespace

class TestFrames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void streams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QStringList>("frames");
        const QByteArray a = reading(0, 0, 1234, 3, FrameEncoder::Divisor100);
        const QByteArray b = reading(5, 2, 7);
        QTest::newRow("two frames") << a + b << QStringList{"R0:1234/100", "R5:7/1"};
        QTest::newRow("noise before, between and after")
            << QByteArray::fromHex("0001") + a + QByteArray::fromHex("1234567890abcdef") + b +
                   QByteArray::fromHex("42")
            << QStringList{"R0:1234/100", "R5:7/1"};
        QTest::newRow("status frame")
            << FrameEncoder::encodeStatus({1, 2, 3, 4, 5}) + b << QStringList{"S", "R5:7/1"};
        // A frame that lost two bytes runs into the next one: its tail is rejected and the next
        // frame is found inside it.
        QTest::newRow("torn frame") << a.left(4) + b << QStringList{"x", "R5:7/1"};
        QTest::newRow("overload") << FrameEncoder::encodeOverload({2, 0, 3, 0, FrameEncoder::Divisor10, true})
                                  << QStringList{"R2:OL0/10"};
        // Decimal-point codes 3 and 7 name no divisor: the previous frame's holds, and before
        // any there is none to divide by.
        QTest::newRow("no divisor yet") << reading(0, 0, 5, 3, 3) << QStringList{"x"};
        QTest::newRow("divisor carried")
            << a + reading(0, 0, 5, 3, 7) << QStringList{"R0:1234/100", "R0:5/100"};
        QTest::newRow("channel 6") << QByteArray::fromHex("ff6030120000") << QStringList{"x"};
        QTest::newRow("function 10") << QByteArray::fromHex("ff003a120000") << QStringList{"x"};
        QTest::newRow("prefix 6") << QByteArray::fromHex("ff0060120000") << QStringList{"x"};
        QTest::newRow("digits not BCD") << QByteArray::fromHex("ff00301a0000") << QStringList{"x"};
        QTest::newRow("half an overload mark") << QByteArray::fromHex("ff0030ba0000") << QStringList{"x"};
        QTest::newRow("start bytes only")
            << QByteArray(13, char(0xff)) << QStringList{"x", "x", "x", "x", "x", "x", "x", "x"};
    }

    void streams()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QStringList, frames);
        // However the bytes are split, the same frames come out.
        for (int chunk = 1; chunk <= stream.size(); ++chunk)
            QVERIFY2(framesOf(stream, chunk) == frames,
                     qPrintable(QStringLiteral("chunks of %1").arg(chunk)));
    }

    // The encoder's bytes, exactly, and the fields the reader takes from them: currents below a
    // milliampere and the functions without ranges lose their prefix.
    void encodedFrames_data()
    {
        QTest::addColumn<FrameEncoder::Header>("header"); // digits -1: the overload mark
        QTest::addColumn<int>("digits");
        QTest::addColumn<QByteArray>("bytes");
        // channel interval prefix function divisor negative digits overload
        QTest::addColumn<QList<int>>("fields");
        const auto row = [](const char *name, FrameEncoder::Header h, int digits, const char *hex,
                            const QList<int> &fields) {
            QTest::newRow(name) << h << digits << QByteArray::fromHex(hex) << fields;
        };
        row("DCV 12", {0, 0, 3, 0, 0, false}, 12, "ff0030120000", {0, 0, 3, 0, 1, 0, 12, 0});
        row("BCD, /10", {1, 4, 2, 1, 4, false}, 1234, "ff1421341204", {1, 4, 2, 1, 10, 0, 1234, 0});
        row("Continuity /1000", {5, 3, 5, 9, 1, true}, 9876, "ff5359769809", {5, 3, 3, 9, 1000, 1, 9876, 0});
        row("-0, /100", {2, 1, 0, 6, 2, true}, 0, "ff210600000a", {2, 1, 0, 6, 100, 1, 0, 0});
        row("four digits", {0, 0, 3, 0, 0, false}, 12345, "ff0030999900", {0, 0, 3, 0, 1, 0, 9999, 0});
        row("overload keeps /10", {2, 0, 2, 0, 4, false}, -1, "ff2020baa004", {2, 0, 2, 0, 10, 0, 0, 1});
        row("negative overload", {0, 0, 3, 0, 0, true}, -1, "ff0030baa008", {0, 0, 3, 0, 1, 1, 0, 1});
        row("DCA below 1 mA in A", {0, 0, 1, 2, 0, false}, 42, "ff0012420000", {0, 0, 3, 2, 1, 0, 42, 0});
        row("Duty has no prefix", {0, 0, 2, 7, 0, false}, 500, "ff0027000500", {0, 0, 3, 7, 1, 0, 500, 0});
        row("interval 15", {4, 15, 5, 4, 0, false}, 9999, "ff4f54999900", {4, 15, 5, 4, 1, 0, 9999, 0});
    }
    void encodedFrames()
    {
        QFETCH(FrameEncoder::Header, header);
        QFETCH(int, digits);
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, fields);
        const QByteArray frame =
            digits < 0 ? FrameEncoder::encodeOverload(header) : FrameEncoder::encodeReading(header, digits);
        QCOMPARE(frame.toHex(' '), bytes.toHex(' '));
        FrameReader reader;
        reader.append(frame);
        const auto read = reader.next();
        QVERIFY(read && read->kind == FrameReader::Frame::Kind::Reading);
        const MeterReading &r = read->reading;
        QCOMPARE((QList<int>{r.channel, r.intervalCode, r.prefixCode, r.functionCode, r.divisor,
                             int(r.negative), r.digits, int(r.overload)}),
                 fields);
    }

    void bytesWantedFollowsTheFrameBegun()
    {
        FrameReader reader;
        QCOMPARE(reader.bytesWanted(), 6);
        reader.append(QByteArray::fromHex("0102ff0030")); // noise goes at once, the frame begun stays
        QVERIFY(!reader.next());
        QCOMPARE(reader.bufferedBytes(), 3);
        QCOMPARE(reader.bytesWanted(), 3);
        reader.clear();
        QCOMPARE(reader.bufferedBytes(), 0);
        QCOMPARE(reader.bytesWanted(), 6);
        reader.append(QByteArray::fromHex("aabbcc")); // noise alone leaves nothing held
        QVERIFY(!reader.next());
        QCOMPARE(reader.bufferedBytes(), 0);
    }

    // What one frame puts into the record and the monitor; an empty list: nothing.
    void oneFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QStringList>("valueAndUnit");
        QTest::newRow("-0, divisor 1") << reading(0, 0, 0, 3, 0, true) << QStringList{"-0", "V"};
        QTest::newRow("+0, divisor 1") << reading(0, 0, 0) << QStringList{"+0", "V"};
        QTest::newRow("-0, divisor 10") << reading(0, 0, 0, 3, 4, true) << QStringList{"0.0", "V"};
        QTest::newRow("-0123, divisor 10") << reading(0, 0, 123, 3, 4, true) << QStringList{"-12.3", "V"};
        QTest::newRow("0005, divisor 1000") << reading(0, 0, 5, 3, 1) << QStringList{"0.005", "V"};
        QTest::newRow("OHM K") << reading(0, 4, 42, 4) << QStringList{"42", QStringLiteral("K\u03A9")};
        QTest::newRow("status frame")
            << FrameEncoder::encodeStatus({0x12, 0x34, 0x56, 0x78, 0x9A}) << QStringList();
        // Every reason the reader rejects a frame is its own test; one stands for them here.
        QTest::newRow("digits not BCD") << QByteArray::fromHex("ff00301a0000") << QStringList();
        // Decimal-point codes 3 and 7 name no divisor, and no earlier frame gave one.
        QTest::newRow("overload before any divisor")
            << FrameEncoder::encodeOverload({0, 0, 3, 0, 7, false}) << QStringList();
    }
    void oneFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QStringList, valueAndUnit);
        Recording s;
        s.session.state().timeoutTicks = 4;
        s.feed(frame);
        QCOMPARE(s.serial.inBufferCount(), 0);
        QCOMPARE(s.session.state().timeoutTicks, qint16(0)); // the receiver is alive whatever it sent
        const bool recorded = !valueAndUnit.isEmpty();
        for (int channel = 0; channel < ChannelCount; ++channel)
            QCOMPARE(s.record().nextRow(channel), recorded && channel == 0 ? 2 : 1);
        const MonitorFields &monitor = s.session.monitor();
        QCOMPARE(monitor.channelEntries, recorded ? QStringList{QStringLiteral("1_Ch1")} : QStringList());
        if (!recorded) {
            QCOMPARE(monitor.bigValue, QStringLiteral("-????.?"));
            s.feed(reading(0, 0, 7));
            QCOMPARE(s.value(1), QStringLiteral("7"));
            return;
        }
        QCOMPARE((QStringList{s.value(1), s.record().cell(1, 4)}), valueAndUnit);
        QCOMPARE((QStringList{monitor.bigValue, monitor.bigUnit}), valueAndUnit);
    }

    // Only an overload on the function's top range enters the statistics; DCV's own ranges: the
    // monitor's statistics tests.
    void overloadAdmission_data()
    {
        QTest::addColumn<FrameEncoder::Header>("header");
        QTest::addColumn<bool>("counted");
        QTest::newRow("OHM K /100") << FrameEncoder::Header{2, 0, 4, 4, FrameEncoder::Divisor100} << false;
        QTest::newRow("Diode, prefix normalised")
            << FrameEncoder::Header{2, 0, 0, 8, FrameEncoder::Divisor1000} << true;
    }
    void overloadAdmission()
    {
        QFETCH(FrameEncoder::Header, header);
        QFETCH(bool, counted);
        Recording s;
        s.feed(FrameEncoder::encodeReading(header, 5));
        const QString first = s.value(1, 2);
        s.feed(FrameEncoder::encodeOverload(header));
        QCOMPARE(s.value(2, 2), QStringLiteral("+OL"));
        QCOMPARE(s.session.statistics().channel(2).maximum.text, counted ? QStringLiteral("+OL") : first);
        QVERIFY(!s.session.state().skipStats[2]); // the skip holds for that one sample
    }

    void functionChangeRestartsRecord()
    {
        Recording s;
        s.feed(reading(0, 0, 12));
        s.feed(reading(0, 0, 13));
        const QString firstStamp = s.record().stamp();
        s.clock.advance(2000);
        QStringList saved;
        s.setOnAutoSave([&] { saved << s.value(1) << s.value(2) << s.value(3); });
        const auto waitsClosesClears = [&s] {
            return QList<int>{s.clock.processEventsCalls(), s.serial.closeCount(), s.serial.clearCount()};
        };
        const QList<int> before = waitsClosesClears();
        // The meter now measures ACV: that reading belongs to no record, the one waiting behind it
        // and half a frame after that go on into the new record, with no wait and the port open.
        const QByteArray halfFrame = reading(0, 1, 232).left(3);
        s.feed(reading(0, 1, 230) + reading(0, 1, 231) + halfFrame);

        QCOMPARE(saved, (QStringList{"12", "13", ""}));
        QCOMPARE(s.autoSaves(), 1);
        QCOMPARE(waitsClosesClears(), before);
        QVERIFY(s.session.status().running());
        QVERIFY(s.record().stamp() != firstStamp);
        QCOMPARE(s.record().functionCaption[0], QStringLiteral("ACV"));
        QCOMPARE(s.value(1), QStringLiteral("231"));
        s.feed(reading(0, 1, 232).mid(3));
        QCOMPARE(s.value(2), QStringLiteral("232"));
        QCOMPARE(s.record().nextRow(0), 3);
    }

    // The store's nudge of a sample's time, given the bytes waiting: ten frames at once, and while
    // eight or more wait behind a frame its time is not moved on.
    void backlogKeepsTheSecond()
    {
        Recording b;
        b.feed(reading(0, 0, 1));
        QByteArray burst;
        for (int i = 0; i < 10; ++i)
            burst += reading(0, 0, i);
        b.clock.advance(5000);
        b.feed(burst);
        QCOMPARE((QStringList{b.record().cell(2, 2), b.record().cell(3, 2), b.record().cell(4, 2)}),
                 (QStringList{"09:30:05", "09:30:05", "09:30:06"}));
        QCOMPARE(b.record().nextRow(0), 12);
    }

    // The interval shown is the main channel's alone; a range change keeps the smallest range in
    // the captions, and a code that names no divisor keeps the one before.
    void intervalAndRangeCaptions()
    {
        Recording s;
        const MonitorFields &monitor = s.session.monitor();
        s.feed(reading(0, 0, 1234, 3, FrameEncoder::Divisor100)); // V, every 2 s
        s.feed(reading(1, 0, 1, 3, 0, false, 3));                 // channel 2, every minute
        QCOMPARE((QStringList{monitor.label8[0], monitor.label8[1]}), (QStringList{"00", "02"}));
        s.feed(reading(0, 0, 5678, 2, FrameEncoder::Divisor10, false, 3)); // mV, every minute
        QCOMPARE((QStringList{monitor.label8[0], monitor.label8[1]}), (QStringList{"01", "00"}));
        s.feed(reading(0, 0, 4321, 3, 5, false, 3)); // V again, code 5
        QCOMPARE(s.value(3), QStringLiteral("432.1"));
        QCOMPARE((QStringList{s.record().prefixCaption[0], s.record().divisorCaption[0]}),
                 (QStringList{"2", "10"}));
        QVERIFY(s.session.state().rangeMixed[0]);
    }
};

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_decoder.moc"
