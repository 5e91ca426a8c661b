// Linking to the receiver: the probe of the configured port and the port scan.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "common/Prompts.h"
#include "link/LinkProber.h"
#include "link/PortDirectory.h"
#include "link/QtSerialControl.h"
#include "settings/SettingsStore.h"
#include "shell/CommandState.h"
#include "shell/Session.h"
#include "support/FakeSerialControl.h"
#include "support/ManualClock.h"
#include "support/PtyReceiver.h"
#include "support/ScriptedPrompts.h"

namespace
{

const QString LinkError = QStringLiteral("Link error ! Please check your connector.");
const QString DeniedText =
    QStringLiteral("Permission denied on /dev/ttyUSB0. Add your user to the dialout group "
                   "(sudo usermod -aG dialout $USER) and log in again.");

// A session around any serial control, with auto-scan off by default.
struct Rig {
    explicit Rig(SerialControl &control, Clock &clock)
        : store(dir.filePath(QStringLiteral("settings.ini"))), session(control, clock, prompts, store)
    {
        session.settings().autoScan = 0;
        session.settings().selePort = 1;
    }
    LinkProber &link() { return session.link(); }
    void configurePort(int index) { session.state().selectedPort = qint16(index); }
    void autoScan() { session.settings().autoScan = 1, session.settings().selePort = 0; }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    SettingsStore store;
    Session session;
};

// The seams come first, so they exist before the session that uses them.
struct FakeSeams {
    FakeSerialControl serial;
    ManualClock clock;
};

struct FakeRig : FakeSeams, Rig {
    FakeRig() : Rig(serial, clock) {}
};

} // namespace

class TestLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void configuredPortProbedThreeTimes();
    void portKeptWhenNotSelected();
    void answerWithinTheProbeWindow_data();
    void answerWithinTheProbeWindow();
    void linkLeavesPortClosedWithThreshold_data();
    void linkLeavesPortClosedWithThreshold();
    void alreadyLinkedDoesNothing();
    void scanSkipsMissingPortsAndLinksInFirstPass();
    void failedScanTriesEveryPortThreeTimes();
    void scanAbandonedByStopOrPause_data();
    void scanAbandonedByStopOrPause();
    void stopDuringScanEndsIt();
    void closingTheProgramEndsTheScanSilently();
    void permissionDeniedToldOnce_data();
    void permissionDeniedToldOnce();
    void nestedConnectDuringProbeIsIgnored();
    void linksToSimulatorOnPty();
    void scanFindsSimulatorBehindMissingPorts();
};

void TestLink::configuredPortProbedThreeTimes()
{
    FakeRig rig;
    rig.configurePort(2);
    const qint64 start = rig.clock.tickMs();
    rig.link().linkOn();

    QCOMPARE(rig.serial.openAttempts(), (QList<int>{3, 3, 3}));
    QCOMPARE(rig.serial.closeCount(), 3);
    QVERIFY(!rig.serial.isOpen());
    QVERIFY(!rig.session.state().linkUp);
    QCOMPARE(rig.serial.settings(), QStringLiteral("9600,n,8,1"));
    QCOMPARE(rig.serial.handshaking(), 0);
    QCOMPARE(rig.serial.inputMode(), 1);
    QCOMPARE(rig.serial.inBufferSize(), 3072);
    QCOMPARE(rig.serial.rThreshold(), 0);
    QCOMPARE(rig.serial.inputLen(), 0);
    // each try: 100 ms asleep, then just over a second of waiting
    const qint64 spent = rig.clock.tickMs() - start;
    QVERIFY2(spent > 3 * 1100 && spent <= 3 * 1102, qPrintable(QString::number(spent)));

    QCOMPARE(rig.prompts.calls().size(), 1);
    const ScriptedPrompts::Call call = rig.prompts.lastCall();
    QCOMPARE(call.text, LinkError);
    QCOMPARE(call.title, applicationTitle());
    QCOMPARE(call.buttons, Prompts::Buttons::Ok);
    QCOMPARE(call.icon, Prompts::Icon::None);
}

void TestLink::portKeptWhenNotSelected()
{
    FakeRig rig;
    rig.session.settings().selePort = 0;
    rig.configurePort(2);
    rig.serial.setCommPort(7);
    rig.link().linkOn();
    QCOMPARE(rig.serial.openAttempts(), (QList<int>{7, 7, 7}));
}

void TestLink::answerWithinTheProbeWindow_data()
{
    QTest::addColumn<int>("answerAfterMs"); // since the end of the 100 ms sleep of the first try
    QTest::addColumn<bool>("linkedOnFirstTry");
    QTest::newRow("waiting already") << 0 << true;
    QTest::newRow("after 950 ms") << 950 << true;
    QTest::newRow("after 1100 ms") << 1100 << false;
}

void TestLink::answerWithinTheProbeWindow()
{
    QFETCH(int, answerAfterMs);
    QFETCH(bool, linkedOnFirstTry);
    FakeRig rig;
    const qint64 sleepEnds = rig.clock.tickMs() + LinkProber::ProbeSleepMs;
    bool fed = false;
    rig.clock.setOnProcessEvents([&] {
        if (!fed && rig.serial.isOpen() && rig.clock.tickMs() - sleepEnds >= answerAfterMs)
            fed = rig.serial.feed(QByteArray::fromHex("ff0030120000"));
    });
    rig.link().linkOn();
    QVERIFY(rig.session.state().linkUp); // a late answer still links on the second try
    QCOMPARE(rig.serial.openAttempts().size(), linkedOnFirstTry ? 1 : 2);
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestLink::linkLeavesPortClosedWithThreshold_data()
{
    QTest::addColumn<bool>("scan");
    QTest::addColumn<int>("port");
    QTest::newRow("configured COM1") << false << 1;
    QTest::newRow("configured COM16") << false << 16;
    QTest::newRow("scan finds COM9") << true << 9;
}

void TestLink::linkLeavesPortClosedWithThreshold()
{
    QFETCH(bool, scan);
    QFETCH(int, port);
    FakeRig rig;
    rig.configurePort(port - 1);
    if (scan) rig.autoScan();
    rig.serial.setAnsweringPorts({port});
    rig.link().linkOn();
    QVERIFY(rig.session.state().linkUp);
    QVERIFY(!rig.serial.isOpen());
    QCOMPARE(rig.serial.rThreshold(), 6);
    QCOMPARE(rig.serial.commPort(), port);
    QCOMPARE(rig.serial.openedPorts().last(), port);
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestLink::alreadyLinkedDoesNothing()
{
    FakeRig rig;
    rig.session.state().linkUp = true;
    QSignalSpy shown(&rig.link(), &LinkProber::scanShown);
    rig.link().linkOn();
    rig.link().scan();
    QVERIFY(rig.serial.openAttempts().isEmpty());
    QCOMPARE(shown.count(), 0);
}

void TestLink::scanSkipsMissingPortsAndLinksInFirstPass()
{
    FakeRig rig;
    rig.autoScan();
    rig.serial.setExistingPorts({1, 2, 5, 6});
    rig.serial.setAnsweringPorts({5});
    QSignalSpy shown(&rig.link(), &LinkProber::scanShown);
    QSignalSpy moved(&rig.link(), &LinkProber::progressMoved);
    QSignalSpy closed(&rig.link(), &LinkProber::scanClosed);
    const qint64 start = rig.clock.tickMs();
    rig.link().linkOn();

    QVERIFY(rig.session.state().linkUp);
    QCOMPARE(rig.serial.openAttempts(), (QList<int>{1, 2, 3, 4, 5}));
    QCOMPARE(rig.serial.openedPorts(), (QList<int>{1, 2, 5}));
    QCOMPARE(rig.serial.commPort(), 5);
    // two silent ports cost 1.1 s each, the missing ones nothing, the answering one 100 ms
    QVERIFY(rig.clock.tickMs() - start <= 2 * 1102 + 100);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(moved.at(1).first().toInt(), 1080 + 2 * 80);
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestLink::failedScanTriesEveryPortThreeTimes()
{
    FakeRig rig;
    rig.clock.setProcessEventsStep(9); // fewer turns of the wait; its length is tested above
    rig.autoScan();
    rig.serial.setExistingPorts({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16});
    QList<int> positions;
    connect(&rig.link(), &LinkProber::progressMoved, this, [&](int left) { positions.append(left); });
    QSignalSpy closed(&rig.link(), &LinkProber::scanClosed);
    rig.link().scan();

    QCOMPARE(rig.serial.openAttempts().size(), 48);
    QCOMPARE(rig.serial.openedPorts().size(), 45);
    QVERIFY(!rig.session.state().linkUp);
    QVERIFY(!rig.serial.isOpen());
    QCOMPARE(rig.prompts.messageTexts(), QStringList{LinkError});
    QCOMPARE(rig.prompts.lastCall().icon, Prompts::Icon::None);
    QCOMPARE(rig.prompts.lastCall().title, applicationTitle());
    QCOMPARE(closed.count(), 1);

    // the label walks right by 80 twips per silent port and starts over at 1000 once past 2100
    QList<int> expected;
    int left = 1080;
    for (int pass = 0; pass < 3; ++pass) {
        for (int port = 1; port <= 16; ++port) {
            if (left > 2100) expected.append(left = 1000);
            if (port != 15) expected.append(left += 80);
        }
    }
    QCOMPARE(positions, expected);
    QCOMPARE(rig.link().labelLeft(), expected.last());
}

void TestLink::scanAbandonedByStopOrPause_data()
{
    QTest::addColumn<QString>("item");
    QTest::newRow("Stop") << QStringLiteral("mnstop");
    QTest::newRow("Pause") << QStringLiteral("mnpause");
}

void TestLink::scanAbandonedByStopOrPause()
{
    QFETCH(QString, item);
    FakeRig rig;
    rig.autoScan();
    rig.serial.setAnsweringPorts({1});
    rig.session.commands().setChecked(item, true);
    QSignalSpy shown(&rig.link(), &LinkProber::scanShown);
    QSignalSpy closed(&rig.link(), &LinkProber::scanClosed);
    rig.link().linkOn();
    QCOMPARE(shown.count(), 1);
    QCOMPARE(closed.count(), 1);
    QVERIFY(rig.serial.openAttempts().isEmpty());
    QVERIFY(!rig.session.state().linkUp);
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestLink::closingTheProgramEndsTheScanSilently()
{
    FakeRig rig;
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

void TestLink::stopDuringScanEndsIt()
{
    FakeRig rig;
    rig.autoScan();
    rig.clock.setOnProcessEvents([&] {
        if (rig.serial.openAttempts().size() == 2)
            rig.session.commands().setChecked(QStringLiteral("mnstop"), true);
    });
    rig.link().scan();
    QCOMPARE(rig.serial.openAttempts(), (QList<int>{1, 2}));
    QVERIFY(!rig.serial.isOpen());
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestLink::permissionDeniedToldOnce_data()
{
    QTest::addColumn<bool>("scan");
    QTest::newRow("configured port") << false;
    QTest::newRow("scan") << true;
}

void TestLink::permissionDeniedToldOnce()
{
    QFETCH(bool, scan);
    FakeRig rig;
    rig.clock.setProcessEventsStep(9);
    rig.configurePort(2);
    if (scan) rig.autoScan();
    rig.serial.setPermissionDenied({3, 4}, DeniedText);
    rig.link().linkOn();

    QCOMPARE(rig.prompts.messageTexts(), (QStringList{DeniedText, LinkError}));
    const ScriptedPrompts::Call told = rig.prompts.calls().first();
    QCOMPARE(told.title, applicationTitle());
    QCOMPARE(told.buttons, Prompts::Buttons::Ok);
    QCOMPARE(told.icon, Prompts::Icon::Critical);
    QVERIFY(!rig.session.state().linkUp);
    QCOMPARE(rig.serial.openAttempts().count(3), 3);

    // told again on the next attempt
    rig.prompts.clear();
    rig.link().linkOn();
    QCOMPARE(rig.prompts.messageTexts(), (QStringList{DeniedText, LinkError}));
}

void TestLink::nestedConnectDuringProbeIsIgnored()
{
    FakeRig rig;
    rig.configurePort(0);
    int nested = 0;
    rig.clock.setOnProcessEvents([&] {
        if (nested++ == 0) {
            rig.link().linkOn();
            rig.link().scan();
        }
    });
    rig.link().linkOn();
    QCOMPARE(rig.serial.openAttempts(), (QList<int>{1, 1, 1}));
    QCOMPARE(rig.prompts.messageTexts(), QStringList{LinkError});
}

void TestLink::linksToSimulatorOnPty()
{
    PtyReceiver receiver;
    QVERIFY(receiver.isValid());
    receiver.start();
    QtSerialControl serial(PortDirectory({receiver.devicePath()}));
    SystemClock clock;
    Rig rig(serial, clock);
    rig.configurePort(0);
    rig.link().linkOn();
    QVERIFY(rig.session.state().linkUp);
    QVERIFY(!serial.isOpen());
    QCOMPARE(serial.rThreshold(), 6);
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestLink::scanFindsSimulatorBehindMissingPorts()
{
    // COM1 exists but stays silent, COM2 to COM4 do not exist, COM5 is the receiver.
    Pty silent;
    PtyReceiver receiver;
    receiver.start();
    QtSerialControl serial(PortDirectory({silent.slavePath(), QStringLiteral("/dev/voltrix-none"), QString(),
                                          QString(), receiver.devicePath()}));
    SystemClock clock;
    Rig rig(serial, clock);
    rig.autoScan();
    rig.link().linkOn();
    QVERIFY(rig.session.state().linkUp);
    QCOMPARE(serial.commPort(), 5);
    QVERIFY(!serial.isOpen());
    QCOMPARE(rig.link().labelLeft(), 1080 + 80);
}

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
