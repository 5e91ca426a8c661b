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

    void fieldsAndNormalisation_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QList<int>>("fields"); // channel interval prefix function divisor negative digits
        QTest::newRow("DCV -12.34 V, interval 3") << reading(1, 0, 1234, 3, FrameEncoder::Divisor100, true, 3)
                                                  << QList<int>{1, 3, 3, 0, 100, 1, 1234};
        QTest::newRow("DCA below a milliampere shows A")
            << reading(0, 2, 42, 1) << QList<int>{0, 0, 3, 2, 1, 0, 42};
        QTest::newRow("ACA keeps m") << reading(0, 3, 42, 2) << QList<int>{0, 0, 2, 3, 1, 0, 42};
        QTest::newRow("Duty has no prefix") << reading(0, 7, 500, 2) << QList<int>{0, 0, 3, 7, 1, 0, 500};
        QTest::newRow("interval 15 passes")
            << reading(4, 4, 9999, 5, 0, false, 15) << QList<int>{4, 15, 5, 4, 1, 0, 9999};
    }

    void fieldsAndNormalisation()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QList<int>, fields);
        FrameReader reader;
        reader.append(frame);
        const auto read = reader.next();
        QVERIFY(read && read->kind == FrameReader::Frame::Kind::Reading);
        const MeterReading &r = read->reading;
        QCOMPARE((QList<int>{r.channel, r.intervalCode, r.prefixCode, r.functionCode, r.divisor,
                             int(r.negative), r.digits}),
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
