// The receiver simulator, the frame encoder and the serial control on a pseudo-terminal.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "link/FrameEncoder.h"
#include "link/MeterSetup.h"
#include "link/PortDirectory.h"
#include "link/Pty.h"
#include "link/QtSerialControl.h"
#include "link/ReceiverSimulator.h"
#include "support/PtyReceiver.h"

using FrameEncoder::Header;

namespace
{

Header header(int channel, int interval, int prefix, int function, int decimal, bool negative)
{
    Header h;
    h.channel = channel;
    h.intervalCode = interval;
    h.prefixCode = prefix;
    h.functionCode = function;
    h.decimalCode = decimal;
    h.negative = negative;
    return h;
}

// A control whose port 1 is the pty's slave, set up as the link leaves it.
std::unique_ptr<QtSerialControl> controlOn(const Pty &pty, int threshold = 0)
{
    auto control = std::make_unique<QtSerialControl>(PortDirectory({pty.slavePath()}));
    control->setCommPort(1);
    control->setSettings(QStringLiteral("9600,n,8,1"));
    control->setRThreshold(threshold);
    return control;
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encodeReading_data();
    void encodeReading();
    void encodeOverloadAndStatus();
    void meterPatterns();
    void meterOptions();
    void randomWalkIsSeededAndBounded();
    void meterSetup_data();
    void meterSetup();
    void portDirectory();
    void portDirectoryFromEnvironment();
    void settingsString_data();
    void settingsString();
    void permissionMessageNamesTheGroup();

    void allByteValuesPassUnchanged();
    void inputLenAndClear();
    void splitFrameRaisesOneEventWhenComplete();
    void bytesWrittenBeforeOpenAreKept();
    void missingDevicesAreNoSuchPort();
    void secondOpenerIsRefused();
    void portLostOnceWhenMasterCloses();
    void nestedArrivalWaitsForHandler();
    void simulatorFramesArriveThroughPty();
    void toolWritesFramesToFile();
    void toolServesPty();
};

void TestSimulator::encodeReading_data()
{
    QTest::addColumn<Header>("fields");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("DCV 12, no prefix")
        << header(0, 0, 3, 0, 0, false) << 12 << QByteArray::fromHex("ff0030120000");
    QTest::newRow("BCD both bytes") << header(1, 4, 2, 1, 4, false) << 1234
                                    << QByteArray::fromHex("ff1421341204");
    QTest::newRow("negative, divisor 1000")
        << header(5, 3, 5, 9, 1, true) << 9876 << QByteArray::fromHex("ff5359769809");
    QTest::newRow("zero") << header(2, 1, 0, 6, 2, true) << 0 << QByteArray::fromHex("ff210600000a");
    QTest::newRow("clamped") << header(0, 0, 3, 0, 0, false) << 12345 << QByteArray::fromHex("ff0030999900");
    QTest::newRow("raw codes kept") << header(3, 9, 7, 12, 7, false) << 5
                                    << QByteArray::fromHex("ff397c050007");
}

void TestSimulator::encodeReading()
{
    QFETCH(Header, fields);
    QFETCH(int, digits);
    QFETCH(QByteArray, expected);
    QCOMPARE(FrameEncoder::encodeReading(fields, digits).toHex(' '), expected.toHex(' '));
}

void TestSimulator::encodeOverloadAndStatus()
{
    QCOMPARE(FrameEncoder::encodeOverload(header(2, 0, 2, 0, 4, false)), QByteArray::fromHex("ff2020baa004"));
    QCOMPARE(FrameEncoder::encodeOverload(header(0, 0, 3, 0, 0, true)), QByteArray::fromHex("ff0030baa008"));
    QCOMPARE(FrameEncoder::encodeStatus(), QByteArray::fromHex("fe0000000000"));
    QCOMPARE(FrameEncoder::encodeStatus({1, 2, 3, 4, 5}), QByteArray::fromHex("fe0102030405"));
    QCOMPARE(FrameEncoder::divisorOf(FrameEncoder::decimalCodeOf(100)), 100);
    QCOMPARE(FrameEncoder::divisorOf(3), 0);
}

void TestSimulator::meterPatterns()
{
    SimulatedMeter sine;
    sine.pattern = SimulatedMeter::Pattern::Sine;
    sine.minimum = -10;
    sine.maximum = 10;
    sine.periodS = 8; // 2 s frames: 0, +max, 0, -max
    sine.decimalCode = FrameEncoder::Divisor10;
    MeterSignal sineSignal(sine);
    QCOMPARE(sineSignal.nextFrame(), QByteArray::fromHex("ff0030000004"));
    QCOMPARE(sineSignal.nextFrame(), QByteArray::fromHex("ff0030000104")); // +10.0
    sineSignal.nextFrame();
    QCOMPARE(sineSignal.nextFrame(), QByteArray::fromHex("ff003000010c")); // -10.0

    SimulatedMeter ramp;
    ramp.pattern = SimulatedMeter::Pattern::Ramp;
    ramp.minimum = 0;
    ramp.maximum = 40;
    ramp.periodS = 8;
    MeterSignal rampSignal(ramp);
    QList<QByteArray> frames;
    for (int i = 0; i < 5; ++i)
        frames.append(rampSignal.nextFrame());
    QCOMPARE(frames.at(1), QByteArray::fromHex("ff0030100000")); // 10
    QCOMPARE(frames.at(3), QByteArray::fromHex("ff0030300000")); // 30
    QCOMPARE(frames.at(4), frames.at(0));                        // wrapped

    SimulatedMeter big; // a reading beyond four digits is an overload
    big.level = 12000;
    QCOMPARE(MeterSignal(big).nextFrame(), QByteArray::fromHex("ff0030baa000"));
}

void TestSimulator::meterOptions()
{
    SimulatedMeter meter;
    meter.level = 5;
    meter.overloadEvery = 3;
    meter.rangeChangeEvery = 2;
    meter.functionSwitchAfter = 4;
    meter.prefixCode = 5;
    MeterSignal signal(meter);
    QList<QByteArray> frames;
    for (int i = 0; i < 6; ++i)
        frames.append(signal.nextFrame());
    QCOMPARE(frames.at(0), QByteArray::fromHex("ff0050050000"));
    QCOMPARE(frames.at(2), QByteArray::fromHex("ff0040baa000")); // 3rd: overload, range K
    QCOMPARE(frames.at(3), QByteArray::fromHex("ff0040050000")); // 4th: range K
    QCOMPARE(frames.at(4), QByteArray::fromHex("ff0051050000")); // 5th: ACV, back to M
    QCOMPARE(frames.at(5), QByteArray::fromHex("ff0051baa000"));
}

void TestSimulator::randomWalkIsSeededAndBounded()
{
    SimulatedMeter walk;
    walk.pattern = SimulatedMeter::Pattern::RandomWalk;
    walk.minimum = 1;
    walk.maximum = 3;
    walk.seed = 7;
    MeterSignal a(walk);
    MeterSignal b(walk);
    walk.seed = 8;
    MeterSignal c(walk);
    bool differs = false;
    for (int i = 0; i < 200; ++i) {
        const QByteArray frame = a.nextFrame();
        QCOMPARE(frame, b.nextFrame());
        differs = differs || frame != c.nextFrame();
        const int digits = (quint8(frame[4]) >> 4) * 1000 + (quint8(frame[4]) & 15) * 100 +
                           (quint8(frame[3]) >> 4) * 10 + (quint8(frame[3]) & 15);
        QVERIFY2(digits >= 1 && digits <= 3, qPrintable(frame.toHex()));
    }
    QVERIFY(differs);
}

void TestSimulator::meterSetup_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("firstFrame"); // empty: the setup is refused
    QTest::newRow("example")
        << "ch=0,fn=DCV,prefix=m,dp=10,interval=2s,pattern=sine,min=-100,max=100,period=60"
        << QByteArray::fromHex("ff0020000004");
    QTest::newRow("codes") << "ch=5,fn=6,prefix=4,dp=1000,interval=4,value=1.5"
                           << QByteArray::fromHex("ff5446001501");
    QTest::newRow("names any case") << "ch=1,fn=continuity,prefix=none,interval=1m,value=7"
                                    << QByteArray::fromHex("ff1339070000");
    QTest::newRow("explicit time, nearest code")
        << "interval=25s,value=1" << QByteArray::fromHex("ff0230010000");
    QTest::newRow("raw codes") << "icode=9,dpcode=6,value=1" << QByteArray::fromHex("ff0930010006");
    QTest::newRow("micro, kilo") << "prefix=u,value=2" << QByteArray::fromHex("ff0010020000");
    QTest::newRow("channel 6") << "ch=6" << QByteArray();
    QTest::newRow("unknown function") << "fn=VDC" << QByteArray();
    QTest::newRow("divisor 5") << "dp=5" << QByteArray();
    QTest::newRow("unknown key") << "colour=red" << QByteArray();
    QTest::newRow("no value") << "ch" << QByteArray();
    QTest::newRow("min above max") << "min=5,max=1" << QByteArray();
}

void TestSimulator::meterSetup()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, firstFrame);
    QString error;
    const std::optional<SimulatedMeter> meter = MeterSetup::parse(setup, 1, &error);
    if (firstFrame.isEmpty()) {
        QVERIFY(!meter);
        QVERIFY(!error.isEmpty());
        return;
    }
    QVERIFY2(meter, qPrintable(error));
    QCOMPARE(MeterSignal(*meter).nextFrame().toHex(' '), firstFrame.toHex(' '));
}

void TestSimulator::portDirectory()
{
    QCOMPARE(PortDirectory::parseList(QStringLiteral(" /dev/a, ,/dev/b ")),
             (QStringList{QStringLiteral("/dev/a"), QString(), QStringLiteral("/dev/b")}));
    QVERIFY(PortDirectory::parseList(QStringLiteral("  ")).isEmpty());

    const QStringList ordered = PortDirectory::orderPorts(
        {QStringLiteral("/dev/ttyS10"), QStringLiteral("/dev/ttyUSB10"), QStringLiteral("/dev/ttyS2"),
         QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyUSB2")});
    QCOMPARE(ordered, (QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyUSB2"),
                                   QStringLiteral("/dev/ttyUSB10"), QStringLiteral("/dev/ttyS2"),
                                   QStringLiteral("/dev/ttyS10")}));

    const PortDirectory fixed({QStringLiteral("/dev/a"), QString(), QStringLiteral("/dev/c")});
    QCOMPARE(fixed.deviceFor(1), QStringLiteral("/dev/a"));
    QCOMPARE(fixed.deviceFor(2), QString());
    QCOMPARE(fixed.deviceFor(3), QStringLiteral("/dev/c"));
    QCOMPARE(fixed.deviceFor(4), QString());
    QCOMPARE(fixed.deviceFor(0), QString());
    QCOMPARE(fixed.deviceFor(17), QString());
}

void TestSimulator::portDirectoryFromEnvironment()
{
    qputenv("VOLTRIX_PORTS", "/dev/env1,/dev/env2");
    QCOMPARE(PortDirectory::fromSources(QStringLiteral("/dev/cli")).devices(),
             QStringList{QStringLiteral("/dev/cli")});
    QCOMPARE(PortDirectory::fromSources(QString()).deviceFor(2), QStringLiteral("/dev/env2"));
    qunsetenv("VOLTRIX_PORTS");
    QVERIFY(!PortDirectory::fromSources(QString()).isFixed());
}

void TestSimulator::settingsString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("receiver") << "9600,n,8,1" << true << 9600 << int(QSerialPort::NoParity) << 8
                              << int(QSerialPort::OneStop);
    QTest::newRow("other") << "19200,E,7,2" << true << 19200 << int(QSerialPort::EvenParity) << 7
                           << int(QSerialPort::TwoStop);
    QTest::newRow("one and a half") << "1200, o ,5,1.5" << true << 1200 << int(QSerialPort::OddParity) << 5
                                    << int(QSerialPort::OneAndHalfStop);
    QTest::newRow("parity x") << "9600,x,8,1" << false << 0 << 0 << 0 << 0;
    QTest::newRow("9 bits") << "9600,n,9,1" << false << 0 << 0 << 0 << 0;
    QTest::newRow("three fields") << "9600,n,8" << false << 0 << 0 << 0 << 0;
    QTest::newRow("baud text") << "fast,n,8,1" << false << 0 << 0 << 0 << 0;
}

void TestSimulator::settingsString()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QtSerialControl::LineSettings parsed;
    QCOMPARE(QtSerialControl::parseSettings(text, &parsed), valid);
    QtSerialControl control;
    control.setSettings(QStringLiteral("4800,n,8,1"));
    control.setSettings(text);
    if (!valid) {
        QCOMPARE(control.lineSettings().baudRate, 4800); // the previous settings stay
        return;
    }
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QCOMPARE(control.lineSettings().baudRate, baud);
    QCOMPARE(int(control.lineSettings().parity), parity);
    QCOMPARE(int(control.lineSettings().dataBits), dataBits);
    QCOMPARE(int(control.lineSettings().stopBits), stopBits);
}

void TestSimulator::permissionMessageNamesTheGroup()
{
#ifdef Q_OS_LINUX
    QCOMPARE(QtSerialControl::permissionMessage(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("dialout")),
             QStringLiteral("Permission denied on /dev/ttyUSB0. Add your user to the dialout group "
                            "(sudo usermod -aG dialout $USER) and log in again."));
    QVERIFY(QtSerialControl::permissionMessage(QStringLiteral("/dev/ttyS0"), QStringLiteral("uucp"))
                .contains(QStringLiteral("usermod -aG uucp $USER")));
    QVERIFY(QtSerialControl::permissionMessage(QStringLiteral("/dev/ttyS0"), QStringLiteral("root"))
                .contains(QStringLiteral("dialout group")));
#else
    QSKIP("the group advice is for Linux");
#endif
}

void TestSimulator::allByteValuesPassUnchanged()
{
    Pty pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    auto control = controlOn(pty);
    QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(char(value));
    QVERIFY(pty.write(all + all));
    QTRY_COMPARE(control->inBufferCount(), 512);
    control->setInputLen(0);
    QCOMPARE(control->input(), all + all);
    QCOMPARE(control->inBufferCount(), 0);
}

void TestSimulator::inputLenAndClear()
{
    Pty pty;
    auto control = controlOn(pty);
    QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
    QVERIFY(pty.write(QByteArray::fromHex("0102030405060708")));
    QTRY_COMPARE(control->inBufferCount(), 8);
    control->setInputLen(1);
    QCOMPARE(control->input(), QByteArray::fromHex("01"));
    control->setInputLen(5);
    QCOMPARE(control->input(), QByteArray::fromHex("0203040506"));
    QCOMPARE(control->input(), QByteArray::fromHex("0708")); // fewer than asked
    QCOMPARE(control->input(), QByteArray());

    QVERIFY(pty.write(QByteArray(10, 'x')));
    QTRY_COMPARE(control->inBufferCount(), 10);
    control->clearInput();
    QCOMPARE(control->inBufferCount(), 0);

    QVERIFY(pty.write(QByteArray(3, 'y')));
    QTRY_COMPARE(control->inBufferCount(), 3);
    control->close();
    QVERIFY(!control->isOpen());
    QCOMPARE(control->inBufferCount(), 0); // closing discards what waited
}

void TestSimulator::splitFrameRaisesOneEventWhenComplete()
{
    Pty pty;
    auto control = controlOn(pty, 6);
    QSignalSpy events(control.get(), &SerialControl::onComm);
    QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
    QVERIFY(pty.write(QByteArray::fromHex("ff0030")));
    QTRY_COMPARE(control->inBufferCount(), 3);
    QTest::qWait(20);
    QCOMPARE(events.count(), 0);
    QVERIFY(pty.write(QByteArray::fromHex("120000")));
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(control->commEvent(), SerialControl::ReceiveEvent);
    control->setInputLen(0);
    QCOMPARE(control->input(), QByteArray::fromHex("ff0030120000"));

    control->setRThreshold(0); // no events while probing
    QVERIFY(pty.write(QByteArray::fromHex("ff0030120000")));
    QTRY_COMPARE(control->inBufferCount(), 6);
    QCOMPARE(events.count(), 1);
}

void TestSimulator::bytesWrittenBeforeOpenAreKept()
{
    Pty pty;
    auto control = controlOn(pty);
    QVERIFY(pty.write(QByteArray::fromHex("ff0030120000")));
    QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
    QTRY_COMPARE(control->inBufferCount(), 6); // open() itself discards nothing
}

void TestSimulator::missingDevicesAreNoSuchPort()
{
    QtSerialControl control(PortDirectory({QStringLiteral("/dev/voltrix-no-such-device"), QString()}));
    for (const int port : {1, 2, 3, 16, 17, 0}) {
        control.setCommPort(port);
        QCOMPARE(control.open(), SerialControl::OpenResult::NoSuchPort);
        QVERIFY(!control.isOpen());
        QVERIFY(control.lastOpenError().contains(QStringLiteral("COM%1").arg(port)));
    }
}

void TestSimulator::secondOpenerIsRefused()
{
    Pty pty;
    auto first = controlOn(pty);
    auto second = controlOn(pty);
    QCOMPARE(first->open(), SerialControl::OpenResult::Opened);
    const SerialControl::OpenResult result = second->open();
    if (result == SerialControl::OpenResult::Opened) QSKIP("this system does not lock serial devices");
    QCOMPARE(result, SerialControl::OpenResult::Failed); // in use: no permission to fix
    QVERIFY2(second->lastOpenError().contains(QStringLiteral("in use")), qPrintable(second->lastOpenError()));
    first->close();
    QCOMPARE(second->open(), SerialControl::OpenResult::Opened);
}

void TestSimulator::portLostOnceWhenMasterCloses()
{
    Pty pty;
    auto control = controlOn(pty, 6);
    QSignalSpy lost(control.get(), &SerialControl::portLost);
    QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
    pty.closeMaster();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!control->isOpen());
    QVERIFY(lost.first().first().toString().contains(pty.slavePath()));
    QTest::qWait(50); // an error storm would show up as more signals or an open port
    QCOMPARE(lost.count(), 1);
    QVERIFY(!control->isOpen());
    QCOMPARE(control->inBufferCount(), 0);
}

void TestSimulator::nestedArrivalWaitsForHandler()
{
    // A receive handler that pumps events (a message box, a save) must not be entered again
    // by data arriving meanwhile; that data is announced once it returns.
    Pty pty;
    auto control = controlOn(pty, 6);
    int depth = 0;
    int deepest = 0;
    int calls = 0;
    connect(control.get(), &SerialControl::onComm, this, [&] {
        ++depth;
        ++calls;
        deepest = std::max(deepest, depth);
        control->setInputLen(6);
        control->input();
        if (calls == 1) {
            pty.write(QByteArray::fromHex("ff0030120000"));
            QTest::qWait(50);
        }
        --depth;
    });
    QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
    QVERIFY(pty.write(QByteArray::fromHex("ff0030110000")));
    QTRY_COMPARE(calls, 2);
    QCOMPARE(deepest, 1);
    QCOMPARE(control->inBufferCount(), 0);
}

void TestSimulator::simulatorFramesArriveThroughPty()
{
    PtyReceiver receiver;
    QVERIFY(receiver.isValid());
    auto control = controlOn(receiver.pty(), 6);
    QByteArray sent;
    QByteArray received;
    connect(&receiver.simulator(), &ReceiverSimulator::frameSent, this,
            [&](const QByteArray &f) { sent += f; });
    connect(control.get(), &SerialControl::onComm, this, [&] {
        control->setInputLen(0);
        received += control->input();
    });
    QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
    SimulatorOptions options = PtyReceiver::fast();
    options.timeFactor = 400; // 2 s frames every 5 ms
    options.frameLimit = 12;
    options.statusEveryMs = 4000;
    QSignalSpy finished(&receiver.simulator(), &ReceiverSimulator::finished);
    receiver.start(ReceiverSimulator::demoScene(), options);
    QTRY_COMPARE(finished.count(), 1);
    QTRY_COMPARE(received.size(), 12 * FrameEncoder::FrameSize);
    QCOMPARE(received, sent);
    QVERIFY(sent.contains(char(FrameEncoder::StatusStart)));
    QCOMPARE(receiver.simulator().bytesDropped(), 0);
}

void TestSimulator::toolWritesFramesToFile()
{
    if (ExternalReceiver::program().isEmpty()) QSKIP("VOLTRIX_SIM is not set");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("frames.bin"));
    ExternalReceiver tool;
    QVERIFY2(tool.start({QStringLiteral("--device"), file, QStringLiteral("--demo"),
                         QStringLiteral("--count"), QStringLiteral("9"), QStringLiteral("--time-factor"),
                         QStringLiteral("1000"), QStringLiteral("--overload-every"), QStringLiteral("2")}),
             qPrintable(tool.errorString()));
    QCOMPARE(tool.devicePath(), file);
    QCOMPARE(tool.waitForExit(), 0);
    QFile frames(file);
    QVERIFY(frames.open(QIODevice::ReadOnly));
    const QByteArray bytes = frames.readAll();
    QCOMPARE(bytes.size(), 9 * FrameEncoder::FrameSize);
    for (int i = 0; i < 9; ++i)
        QCOMPARE(quint8(bytes[i * 6]), FrameEncoder::ReadingStart);
    QVERIFY(bytes.contains(QByteArray::fromHex("baa0")));
}

void TestSimulator::toolServesPty()
{
    if (ExternalReceiver::program().isEmpty()) QSKIP("VOLTRIX_SIM is not set");
    ExternalReceiver tool;
    QVERIFY2(tool.start({QStringLiteral("--meter"), QStringLiteral("ch=2,fn=Hz,value=50,interval=500ms")}),
             qPrintable(tool.errorString()));
    QtSerialControl control(PortDirectory({tool.devicePath()}));
    control.setCommPort(1);
    QCOMPARE(control.open(), SerialControl::OpenResult::Opened);
    QTRY_VERIFY(control.inBufferCount() >= 6);
    control.setInputLen(6);
    QCOMPARE(control.input(), QByteArray::fromHex("ff2036500000"));
    QSignalSpy lost(&control, &SerialControl::portLost);
    tool.stop();
    QTRY_COMPARE(lost.count(), 1);
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
