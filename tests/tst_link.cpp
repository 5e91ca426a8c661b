// Linking to the receiver: the probe of the configured port and the port scan; the serial control
// on a pseudo-terminal and the simulator tool.
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "core/acquisition/AcquisitionState.h"
#include "core/link/FrameEncoder.h"
#include "core/link/LinkProber.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/settings/Settings.h"
#include "core/simulator/Pty.h"
#include "support/FakeSerialControl.h"
#include "support/ManualClock.h"
#include "support/PtyReceiver.h"
#include "support/ScriptedPrompts.h"

using Ports = QSet<int>;
Q_DECLARE_METATYPE(Ports)

namespace
{
const QString LinkError = QStringLiteral("Link error ! Please check your connector.");
const QString Denied = QtSerialControl::permissionMessage(QStringLiteral("/dev/ttyUSB0"), QString());

// The prober alone, configured on COM3 with auto-scan off, on the fake port and clock unless
// real ones are given.
struct Rig {
    explicit Rig(SerialControl *realSerial = nullptr, Clock *realClock = nullptr)
        : prober(
              {realSerial ? *realSerial : serial, realClock ? *realClock : clock, prompts, state, settings})
    {
        settings.autoScan = 0;
        settings.selePort = 1;
        state.link.selectedPort = 2;
        clock.setProcessEventsStep(9); // fewer turns of each wait
    }
    void autoScan() { settings.autoScan = 1, settings.selePort = 0; }

    FakeSerialControl serial; // the collaborators come first, so they exist before the prober
    ManualClock clock;
    ScriptedPrompts prompts;
    AcquisitionState state;
    Settings settings;
    LinkProber prober;
};

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

class TestLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void linkOn_data()
    {
        QTest::addColumn<int>("setup"); // 0: "Select port" ticked, 1: neither box, 2: auto-scan
        QTest::addColumn<Ports>("answering");
        QTest::addColumn<Ports>("denied");
        QTest::addColumn<Ports>("inUse");
        QTest::addColumn<QList<int>>("attempts");
        QTest::addColumn<QStringList>("told"); // the same at every attempt
        const QList<int> com3{3, 3, 3};
        QList<int> everyPort; // three passes
        for (int i = 0; i < 3 * 16; ++i)
            everyPort << 1 + i % 16;
        const QString onCom3 = LinkError + QStringLiteral("\nCOM 3");
        const auto row = [](const char *name, int setup, const QList<int> &attempts, const QStringList &told,
                            const Ports &answering = {}, const Ports &denied = {}, const Ports &inUse = {}) {
            QTest::newRow(name) << setup << answering << denied << inUse << attempts << told;
        };
        row("configured port", 0, com3, {onCom3});
        row("neither box ticked", 1, com3, {onCom3}); // the port buttons still name COM3
        row("scan finds COM5", 2, {1, 2, 3, 4, 5}, {}, {5});
        // Told once per attempt, not once per try.
        row("permission denied", 0, com3, {Denied, onCom3}, {}, {3, 4});
        row("permission denied, scan", 2, everyPort, {Denied, LinkError}, {}, {3, 4});
        // One port in use: realPorts() below.
        row("ports in use, scan", 2, everyPort,
            {LinkError +
             "\nCOM 2, COM 5 are in use by other programs. Close those programs, then try again."},
            {}, {}, {5, 2});
    }
    void linkOn()
    {
        QFETCH(int, setup);
        QFETCH(Ports, answering);
        QFETCH(Ports, denied);
        QFETCH(Ports, inUse);
        QFETCH(QList<int>, attempts);
        QFETCH(QStringList, told);
        Rig rig;
        if (setup == 1) rig.settings.selePort = 0;
        if (setup == 2) rig.autoScan();
        rig.serial.setAnsweringPorts(answering);
        rig.serial.setPermissionDenied(denied, Denied);
        rig.serial.setInUse(inUse);
        for (int attempt = 0; attempt < 2; ++attempt) {
            rig.prompts.clear();
            rig.serial.resetLog();
            rig.prober.linkOn();
            QCOMPARE(rig.prompts.messageTexts(), told);
            QVERIFY(!rig.serial.isOpen());
            QCOMPARE(rig.state.link.up, told.isEmpty());
            if (attempt == 0) QCOMPARE(rig.serial.openAttempts(), attempts);
            // The icons; the title and buttons: the recording's test.
            for (const ScriptedPrompts::Call &call : rig.prompts.calls())
                QCOMPARE(call.icon, call.text == Denied ? Prompts::Icon::Critical : Prompts::Icon::None);
        }
        QCOMPARE(rig.serial.rThreshold(), told.isEmpty() ? 6 : 0);
    }
    // Only a Stop or Pause given while the scan runs ends it, silently; one given before (its
    // mark stays until the next Start) does not. Closing the program ends it for good.
    void scanGivesUp_data()
    {
        QTest::addColumn<int>("stopAfter"); // attempts; -1: Stop given before the scan
        QTest::addColumn<bool>("closing");
        QTest::addColumn<int>("attempts");
        QTest::newRow("Stop given before") << -1 << false << 5;
        QTest::newRow("Stop or Pause during") << 2 << false << 2;
        QTest::newRow("the program closes") << 2 << true << 2;
    }
    void scanGivesUp()
    {
        QFETCH(int, stopAfter);
        QFETCH(bool, closing);
        QFETCH(int, attempts);
        Rig rig;
        rig.autoScan();
        rig.serial.setAnsweringPorts({5});
        if (stopAfter < 0) rig.prober.stopGiven();
        rig.clock.setOnProcessEvents([&] {
            if (rig.serial.openAttempts().size() != stopAfter) return;
            closing ? rig.prober.abandon() : rig.prober.stopGiven();
        });
        QSignalSpy shown(&rig.prober, &LinkProber::scanShown);
        QSignalSpy closed(&rig.prober, &LinkProber::scanClosed);
        rig.prober.linkOn();
        QCOMPARE(shown.count(), 1);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(rig.serial.openAttempts().size(), attempts);
        QCOMPARE(rig.state.link.up, stopAfter < 0);
        QVERIFY(rig.prompts.calls().isEmpty());
        rig.state.link.up = false;
        rig.prober.linkOn(); // after a Stop a new scan runs; after closing none
        QCOMPARE(rig.serial.openAttempts().size() > attempts, !closing);
    }
    void nestedConnectDuringProbeIsIgnored()
    {
        Rig rig;
        rig.clock.setOnProcessEvents([&] {
            rig.prober.linkOn(); // each ignored while the probe runs
            rig.prober.scan();
        });
        rig.prober.linkOn();
        QCOMPARE(rig.serial.openAttempts(), (QList<int>{3, 3, 3}));
        QCOMPARE(rig.prompts.messageTexts(), QStringList{LinkError + QStringLiteral("\nCOM 3")});
    }
    // Real ports: COM1 exists but stays silent, COM2 to COM4 do not exist, COM5 is the receiver,
    // unless another program holds it.
    void realPorts_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("scan finds the receiver behind missing ports") << false;
        QTest::newRow("the receiver's port held by another program") << true;
    }
    void realPorts()
    {
        QFETCH(bool, held);
        Pty silent;
        PtyReceiver receiver;
        receiver.start();
        QtSerialControl serial(PortDirectory({silent.slavePath(), QStringLiteral("/dev/voltrix-none"),
                                              QString(), QString(), receiver.devicePath()}));
        SystemClock clock;
        Rig rig(&serial, &clock);
        QSerialPort other(receiver.devicePath());
        if (held) {
            QVERIFY(other.open(QIODevice::ReadWrite));
            rig.state.link.selectedPort = 4;
            rig.prober.linkOn();
            const QString com5 = QStringLiteral("COM 5 (%1)").arg(receiver.devicePath());
            QCOMPARE(rig.prompts.messageTexts(),
                     QStringList{LinkError + '\n' + com5 + '\n' + com5 +
                                 " is in use by another program. Close that program, then try again."});
            return;
        }
        rig.autoScan();
        rig.prober.linkOn();
        QVERIFY(rig.state.link.up);
        QCOMPARE(serial.commPort(), 5);
        QCOMPARE(rig.prober.labelLeft(), 1080 + 80); // one silent port passed: found in the first pass
        QVERIFY(!serial.isOpen());                   // left closed, ready for the recording
        QCOMPARE(serial.rThreshold(), 6);
        QVERIFY(rig.prompts.calls().isEmpty());
    }
    // The demonstration's slow meter reports once a minute; in between, the status frame every second
    // (at a hundred times real time: every 10 ms) is all that arrives from it.
    void aliveReceiverSendsStatusFramesBetweenSlowReadings()
    {
        QList<SimulatedMeter> scene = ReceiverSimulator::demoScene();
        const auto slow = std::find_if(scene.cbegin(), scene.cend(), [](const SimulatedMeter &m) {
            return ReceiverSimulator::intervalMsOf(m.intervalCode) == 60000;
        });
        QVERIFY(slow != scene.cend());
        PtyReceiver receiver;
        receiver.start({*slow});
        auto control = controlOn(receiver.pty());
        QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
        QByteArray bytes;
        QTRY_VERIFY2((bytes += control->input()).count(char(FrameEncoder::StatusStart)) >= 20,
                     qPrintable(bytes.toHex()));
    }
    void allByteValuesPassUnchanged()
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
    }
    void portLostOnceWhenMasterCloses()
    {
        Pty pty;
        auto control = controlOn(pty, 6);
        QSignalSpy lost(control.get(), &SerialControl::portLost);
        QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
        pty.closeMaster();
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!lost.first().first().toString().isEmpty()); // the system's reason
        QVERIFY(control->portName().contains(pty.slavePath()));
        // An error storm would show up as more signals on the next turns of the event loop.
        bool turned = false;
        QTimer::singleShot(0, this, [&turned] { turned = true; });
        QTRY_VERIFY(turned);
        QCOMPARE(lost.count(), 1);
        QVERIFY(!control->isOpen());
    }
    void nestedArrivalWaitsForHandler()
    {
        // A receive handler that pumps events (a message box, a save) must not be entered again
        // by data arriving meanwhile; that data is announced once it returns.
        Pty pty;
        auto control = controlOn(pty, 6);
        int depth = 0, deepest = 0, calls = 0;
        connect(control.get(), &SerialControl::onComm, this, [&] {
            deepest = std::max(deepest, ++depth);
            control->setInputLen(6);
            control->input();
            if (++calls == 1) {
                pty.write(QByteArray::fromHex("ff0030120000"));
                QTRY_COMPARE(control->inBufferCount(), 6); // events run until the frame is in
            }
            --depth;
        });
        QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
        QVERIFY(pty.write(QByteArray::fromHex("ff0030110000")));
        QTRY_COMPARE(calls, 2);
        QCOMPARE(deepest, 1);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
