// The frame reader alone: bytes in chunks of any size, readings out.
#include <QtTest>

#include "core/link/FrameEncoder.h"
#include "core/link/FrameReader.h"

namespace
{

QByteArray reading(int channel, int function, int digits, int prefix = 3, int decimalCode = 0,
                   bool negative = false, int interval = 0)
{
    return FrameEncoder::encodeReading({channel, interval, prefix, function, decimalCode, negative}, digits);
}

// Every frame the reader gives for `stream` cut into `chunk`-byte pieces: "R<channel>:<digits>/<divisor>",
// "S" for a status frame, "x" for a rejected one.
QStringList framesOf(const QByteArray &stream, int chunk)
{
    FrameReader reader;
    QStringList frames;
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        reader.append(stream.mid(at, chunk));
        while (const auto frame = reader.next()) {
            switch (frame->kind) {
            case FrameReader::Frame::Kind::Reading:
                frames << QStringLiteral("R%1:%2%3/%4")
                              .arg(frame->reading.channel)
                              .arg(frame->reading.overload ? QStringLiteral("OL") : QString())
                              .arg(frame->reading.digits)
                              .arg(frame->reading.divisor);
                break;
            case FrameReader::Frame::Kind::Status:
                frames << QStringLiteral("S");
                break;
            case FrameReader::Frame::Kind::Rejected:
                frames << QStringLiteral("x");
                break;
            }
        }
    }
    return frames;
}

} // namespace

class TestFrameReader : public QObject
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
        QTest::addColumn<QList<int>>(
            "fields"); // channel interval prefix function divisor negative digits overload
        const auto row = [](const char *name, FrameEncoder::Header h, int digits, const char *hex,
                            const QList<int> &fields) {
            QTest::newRow(name) << h << digits << QByteArray::fromHex(hex) << fields;
        };
        row("DCV 12, no prefix", {0, 0, 3, 0, 0, false}, 12, "ff0030120000", {0, 0, 3, 0, 1, 0, 12, 0});
        row("BCD both bytes, divisor 10", {1, 4, 2, 1, 4, false}, 1234, "ff1421341204",
            {1, 4, 2, 1, 10, 0, 1234, 0});
        row("Continuity, negative, divisor 1000", {5, 3, 5, 9, 1, true}, 9876, "ff5359769809",
            {5, 3, 3, 9, 1000, 1, 9876, 0});
        row("negative zero, divisor 100", {2, 1, 0, 6, 2, true}, 0, "ff210600000a",
            {2, 1, 0, 6, 100, 1, 0, 0});
        row("clamped to four digits", {0, 0, 3, 0, 0, false}, 12345, "ff0030999900",
            {0, 0, 3, 0, 1, 0, 9999, 0});
        row("overload keeps decimal code", {2, 0, 2, 0, 4, false}, -1, "ff2020baa004",
            {2, 0, 2, 0, 10, 0, 0, 1});
        row("negative overload", {0, 0, 3, 0, 0, true}, -1, "ff0030baa008", {0, 0, 3, 0, 1, 1, 0, 1});
        row("DCA below a milliampere shows A", {0, 0, 1, 2, 0, false}, 42, "ff0012420000",
            {0, 0, 3, 2, 1, 0, 42, 0});
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
};

QTEST_GUILESS_MAIN(TestFrameReader)
#include "tst_framereader.moc"
