// Linking to the receiver: the probe of the configured port and the port scan.
#include <QSignalSpy>
#include <QTest>

#include "core/acquisition/AcquisitionState.h"
#include "core/link/LinkProber.h"
#include "core/link/QtSerialControl.h"
#include "core/settings/Settings.h"
#include "support/FakeSerialControl.h"
#include "support/ManualClock.h"
#include "support/PtyReceiver.h"
#include "support/ScriptedPrompts.h"

namespace
{
const QString LinkError = QStringLiteral("Link error ! Please check your connector.");
// The probe of the configured port names it.
const QString LinkErrorOnCom3 = LinkError + QStringLiteral("\nCOM 3");

// The prober alone, with auto-scan off, on the fake port and clock unless real ones are given.
struct Rig {
    explicit Rig(SerialControl *realSerial = nullptr, Clock *realClock = nullptr)
        : prober({realSerial ? *realSerial : serial, realClock ? *realClock : clock, prompts, state, settings,
                  [this] { return stopOrPause; }})
    {
        settings.autoScan = 0;
        settings.selePort = 1;
        clock.setProcessEventsStep(9); // fewer turns of each wait
    }
    LinkProber &link() { return prober; }
    bool linked() { return state.linkUp; }
    void configurePort(int index) { state.selectedPort = qint16(index); }
    void autoScan() { settings.autoScan = 1, settings.selePort = 0; }

    FakeSerialControl serial; // the collaborators come first, so they exist before the prober
    ManualClock clock;
    ScriptedPrompts prompts;
    AcquisitionState state;
    Settings settings;
    bool stopOrPause = false;
    LinkProber prober;
};
} // namespace

class TestLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void configuredPortProbedThreeTimes_data();
    void configuredPortProbedThreeTimes();
    void scanAbandoned_data();
    void scanAbandoned();
    void closingTheProgramEndsTheScanSilently();
    void permissionDeniedToldOnEachAttempt_data();
    void permissionDeniedToldOnEachAttempt();
    void nestedConnectDuringProbeIsIgnored();
    void scanFindsReceiverBehindMissingPorts();
};

void TestLink::configuredPortProbedThreeTimes_data()
{
    QTest::addColumn<qint16>("selePort");
    QTest::newRow("Select port ticked") << qint16(1);
    QTest::newRow("neither box ticked") << qint16(0); // the port buttons still name COM3
}

void TestLink::configuredPortProbedThreeTimes()
{
    QFETCH(qint16, selePort);
    Rig rig;
    rig.settings.selePort = selePort;
    rig.configurePort(2);
    rig.link().linkOn();
    QCOMPARE(rig.serial.openAttempts(), (QList<int>{3, 3, 3}));
    QVERIFY(!rig.serial.isOpen());
    QVERIFY(!rig.linked());
    QCOMPARE(rig.prompts.messageTexts(), QStringList{LinkErrorOnCom3});
    const ScriptedPrompts::Call call = rig.prompts.lastCall();
    QCOMPARE(call.title, QStringLiteral("Voltrix"));
    QCOMPARE(call.buttons, Prompts::Buttons::Ok);
    QCOMPARE(call.icon, Prompts::Icon::None);
}

void TestLink::scanAbandoned_data()
{
    QTest::addColumn<int>("afterAttempts"); // 0: Stop or Pause given before the scan starts
    QTest::newRow("Stop or Pause first") << 0;
    QTest::newRow("Stop during the scan") << 2;
}

void TestLink::scanAbandoned()
{
    QFETCH(int, afterAttempts);
    Rig rig;
    rig.autoScan();
    rig.serial.setAnsweringPorts({5});
    rig.stopOrPause = afterAttempts == 0;
    rig.clock.setOnProcessEvents([&] {
        if (rig.serial.openAttempts().size() == afterAttempts) rig.stopOrPause = true;
    });
    QSignalSpy shown(&rig.link(), &LinkProber::scanShown);
    QSignalSpy closed(&rig.link(), &LinkProber::scanClosed);
    rig.link().linkOn();
    QCOMPARE(shown.count(), 1);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(rig.serial.openAttempts().size(), afterAttempts);
    QVERIFY(!rig.serial.isOpen());
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestLink::closingTheProgramEndsTheScanSilently()
{
    Rig rig;
    rig.autoScan();
    rig.clock.setOnProcessEvents([&] {
        if (rig.serial.openAttempts().size() == 2) rig.link().abandon();
    });
    QSignalSpy closed(&rig.link(), &LinkProber::scanClosed);
    rig.link().linkOn();
    QCOMPARE(rig.serial.openAttempts().size(), 2);
    QCOMPARE(closed.count(), 1);
    QVERIFY(rig.prompts.calls().isEmpty());
    rig.link().linkOn(); // nothing starts any more
    QCOMPARE(rig.serial.openAttempts().size(), 2);
}

void TestLink::permissionDeniedToldOnEachAttempt_data()
{
    QTest::addColumn<bool>("scan");
    QTest::newRow("configured port") << false;
    QTest::newRow("scan") << true;
}

void TestLink::permissionDeniedToldOnEachAttempt()
{
    QFETCH(bool, scan);
    const QString denied = QtSerialControl::permissionMessage(QStringLiteral("/dev/ttyUSB0"), QString());
    QCOMPARE(denied, QStringLiteral("Permission denied on /dev/ttyUSB0. Add your user to the dialout group "
                                    "(sudo usermod -aG dialout $USER) and log in again."));
    Rig rig;
    rig.configurePort(2);
    if (scan) rig.autoScan();
    rig.serial.setPermissionDenied({3, 4}, denied);
    for (int attempt = 0; attempt < 2; ++attempt) { // told once per attempt, not once per try
        rig.prompts.clear();
        rig.link().linkOn();
        QCOMPARE(rig.prompts.messageTexts(), (QStringList{denied, scan ? LinkError : LinkErrorOnCom3}));
        QCOMPARE(rig.prompts.calls().first().title, QStringLiteral("Voltrix"));
        QCOMPARE(rig.prompts.calls().first().buttons, Prompts::Buttons::Ok);
        QCOMPARE(rig.prompts.calls().first().icon, Prompts::Icon::Critical);
    }
}

void TestLink::nestedConnectDuringProbeIsIgnored()
{
    Rig rig;
    rig.configurePort(0);
    rig.clock.setOnProcessEvents([&] {
        rig.link().linkOn(); // each ignored while the probe runs
        rig.link().scan();
    });
    rig.link().linkOn();
    QCOMPARE(rig.serial.openAttempts(), (QList<int>{1, 1, 1}));
    QCOMPARE(rig.prompts.messageTexts(), QStringList{LinkError + QStringLiteral("\nCOM 1")});
}

void TestLink::scanFindsReceiverBehindMissingPorts()
{
    // COM1 exists but stays silent, COM2 to COM4 do not exist, COM5 is the receiver.
    Pty silent;
    PtyReceiver receiver;
    receiver.start();
    QtSerialControl serial(PortDirectory({silent.slavePath(), QStringLiteral("/dev/voltrix-none"), QString(),
                                          QString(), receiver.devicePath()}));
    SystemClock clock;
    Rig rig(&serial, &clock);
    rig.autoScan();
    rig.link().linkOn();
    QVERIFY(rig.linked());
    QCOMPARE(serial.commPort(), 5);
    QCOMPARE(rig.link().labelLeft(), 1080 + 80); // one silent port passed: found in the first pass
    QVERIFY(!serial.isOpen());                   // left closed, ready for the recording
    QCOMPARE(serial.rThreshold(), 6);
    QVERIFY(rig.prompts.calls().isEmpty());
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
