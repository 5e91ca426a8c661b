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

// Every frame the reader gives for the `pieces`, each cut into `chunk`-byte parts and sent 150 ms
// after the one before: "R<channel>:<digits>/<divisor>", "S" for a status frame, "x" for a
// rejected one.
QStringList framesOf(const QByteArrayList &pieces, int chunk)
{
    FrameReader reader;
    QStringList frames;
    using Kind = FrameReader::Frame::Kind;
    for (qsizetype piece = 0; piece < pieces.size(); ++piece) {
        for (qsizetype at = 0; at < pieces[piece].size(); at += chunk) {
            reader.append(pieces[piece].mid(at, chunk), 150 * piece);
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
        QTest::addColumn<QByteArrayList>("pieces"); // sent with a pause between them
        QTest::addColumn<QStringList>("frames");
        const QByteArray a = reading(0, 0, 1234, 3, FrameEncoder::Divisor100);
        const QByteArray b = reading(5, 2, 7);
        const auto row = [](const char *name, const QByteArrayList &pieces, const QStringList &frames) {
            QTest::newRow(name) << pieces << frames;
        };
        row("noise before, between and after",
            {QByteArray::fromHex("0001") + a + QByteArray::fromHex("1234567890abcdef") + b +
             QByteArray::fromHex("42")},
            {"R0:1234/100", "R5:7/1"});
        row("status frame", {FrameEncoder::encodeStatus({1, 2, 3, 4, 5}) + b}, {"S", "R5:7/1"});
        // A frame that lost bytes runs into the next one, which begins inside it.
        row("torn frame", {a.left(4) + b}, {"x", "R5:7/1"});
        row("torn by one byte", {b + a.left(5) + b}, {"R5:7/1", "x", "R5:7/1"});
        // A frame cut short by a pause is not completed by what comes after it.
        const QByteArray cut = QByteArray::fromHex("ff00300100");
        row("cut short, a frame after the pause", {b + cut, a}, {"R5:7/1", "x", "R0:1234/100"});
        row("cut short, a stray byte after the pause", {b + cut, QByteArray(1, '\0') + a},
            {"R5:7/1", "x", "R0:1234/100"});
        // Decimal-point codes 3 and 7 name no divisor: the previous frame's holds, and before any
        // there is none to divide by, which only the overload mark does without.
        row("overload before any divisor", {FrameEncoder::encodeOverload({2, 0, 3, 0, 7, true})},
            {"R2:OL0/0"});
        row("no divisor yet", {reading(0, 0, 5, 3, 3) + b}, {"x", "R5:7/1"});
        row("divisor carried", {a + reading(0, 0, 5, 3, 7)}, {"R0:1234/100", "R0:5/100"});
        // A frame that fails the checks goes whole when a frame follows it, or a pause: channel 6
        // and 16, function 10, prefix 6, low and high digits not BCD, half an overload mark, a status
        // start inside, a reading start inside, a status frame with a start inside.
        for (const char *hex :
             {"ff6030120000", "ffff30120000", "ff003a120000", "ff0060120000", "ff00301a0000", "ff003012a000",
              "ff0030ba0000", "ff703012fe00", "ff00301200ff", "fe00ff000000"}) {
            row(hex, {a + QByteArray::fromHex(hex) + b}, {"R0:1234/100", "x", "R5:7/1"});
            row(QByteArray(hex).append(" + pause").constData(), {a + QByteArray::fromHex(hex), "0" + b},
                {"R0:1234/100", "x", "R5:7/1"});
        }
        row("start bytes only", {QByteArray(13, char(0xff)) + b}, {"x", "x", "x", "R5:7/1"});
    }
    void streams()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(QStringList, frames);
        // However the bytes are split, the same frames come out.
        for (int chunk = 1; chunk <= pieces.join().size(); ++chunk)
            QVERIFY2(framesOf(pieces, chunk) == frames,
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
    // What one frame puts into the record and the monitor. A frame that is no reading comes between
    // two that are, the second after a pause and a stray byte: only those two are recorded.
    void oneFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QStringList>("valueAndUnit"); // empty: no reading
        QTest::newRow("-0, divisor 1") << reading(0, 0, 0, 3, 0, true) << QStringList{"-0", "V"};
        QTest::newRow("+0, divisor 1") << reading(0, 0, 0) << QStringList{"+0", "V"};
        QTest::newRow("-0, divisor 10") << reading(0, 0, 0, 3, 4, true) << QStringList{"0.0", "V"};
        QTest::newRow("-0123, divisor 10") << reading(0, 0, 123, 3, 4, true) << QStringList{"-12.3", "V"};
        QTest::newRow("0005, divisor 1000") << reading(0, 0, 5, 3, 1) << QStringList{"0.005", "V"};
        QTest::newRow("OHM K") << reading(0, 4, 42, 4) << QStringList{"42", QStringLiteral("K\u03A9")};
        // Decimal-point codes 3 and 7 name no divisor, and no earlier frame gave one.
        QTest::newRow("overload before any divisor")
            << FrameEncoder::encodeOverload({0, 0, 3, 0, 7, true}) << QStringList{"-OL", "V"};
        // Every frame the reader rejects is its own test; these stand for them here: the one read as
        // channel 4's "-0" A, and a frame cut short by a pause whose next byte would complete it.
        QTest::newRow("channel 16") << QByteArray::fromHex("ffff30120000") << QStringList();
        QTest::newRow("cut short") << QByteArray::fromHex("ff00300100") << QStringList();
    }
    void oneFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QStringList, valueAndUnit);
        Recording s;
        QStringList values = valueAndUnit.mid(0, 1);
        if (valueAndUnit.isEmpty()) {
            s.feed(reading(0, 0, 7) + frame);
            s.clock.advance(150);
            s.feed(QByteArray::fromHex("00") + reading(0, 0, 8));
            values = QStringList{"7", "8"};
            valueAndUnit = QStringList{"8", "V"};
        } else {
            s.feed(frame);
        }
        QCOMPARE(s.serial.inBufferCount(), 0);
        for (int channel = 0; channel < ChannelCount; ++channel)
            QCOMPARE(s.record().nextRow(channel), channel == 0 ? values.size() + 1 : 1);
        for (int row = 1; row <= values.size(); ++row)
            QCOMPARE(s.value(row), values[row - 1]);
        const MonitorFields &monitor = s.session.monitor();
        QCOMPARE(monitor.channelEntries, QStringList{QStringLiteral("1_Ch1")});
        QCOMPARE((QStringList{s.value(values.size()), s.record().cell(values.size(), 4)}), valueAndUnit);
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
        QVERIFY(!s.session.state().channels.skipStats[2]); // the skip holds for that one sample
    }
    // The reading that tells of the change is the new record's first; the one waiting behind it
    // and a frame completed during the save go on into the new record, with no wait and the port
    // open.
    void functionChangeRestartsRecord()
    {
        Recording s;
        s.feed(reading(0, 0, 12));
        s.feed(reading(0, 0, 13));
        const QString firstStamp = s.record().stamp();
        s.clock.advance(2000);
        QStringList saved;
        // The save takes its time; the rest of the half frame arrives meanwhile, and raises no event.
        s.setOnAutoSave([&] {
            saved << s.value(1) << s.value(2) << s.value(3);
            s.clock.advance(200);
            s.feed(reading(0, 1, 232).mid(3));
        });
        const auto waitsClosesClears = [&s] {
            return QList<int>{s.clock.processEventsCalls(), s.serial.closeCount(), s.serial.clearCount()};
        };
        const QList<int> before = waitsClosesClears();
        const QByteArray halfFrame = reading(0, 1, 232).left(3);
        s.feed(reading(0, 1, 230) + reading(0, 1, 231) + halfFrame); // the meter now measures ACV
        QCOMPARE(saved, (QStringList{"12", "13", ""}));
        QCOMPARE(s.autoSaves(), 1);
        QCOMPARE(waitsClosesClears(), before);
        QVERIFY(s.session.status().running());
        QVERIFY(s.record().stamp() != firstStamp);
        QCOMPARE(s.record().functionCaption[0], QStringLiteral("ACV"));
        QCOMPARE((QStringList{s.value(1), s.value(2), s.value(3)}), (QStringList{"230", "231", "232"}));
        QCOMPARE(s.record().nextRow(0), 4);
        QCOMPARE(s.session.monitor().type, QStringLiteral("ACV"));
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
        const MonitorFields::Interval &interval = s.session.monitor().interval;
        s.feed(reading(0, 0, 1234, 3, FrameEncoder::Divisor100)); // V, every 2 s
        s.feed(reading(1, 0, 1, 3, 0, false, 3));                 // channel 2, every minute
        QCOMPARE((QStringList{interval.minutes, interval.seconds}), (QStringList{"00", "02"}));
        s.feed(reading(0, 0, 5678, 2, FrameEncoder::Divisor10, false, 3)); // mV, every minute
        QCOMPARE((QStringList{interval.minutes, interval.seconds}), (QStringList{"01", "00"}));
        s.feed(reading(0, 0, 4321, 3, 5, false, 3)); // V again, code 5
        QCOMPARE(s.value(3), QStringLiteral("432.1"));
        QCOMPARE((QStringList{s.record().prefixCaption[0], s.record().divisorCaption[0]}),
                 (QStringList{"2", "10"}));
        QVERIFY(s.session.state().channels.rangeMixed[0]);
    }
};

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_decoder.moc"
