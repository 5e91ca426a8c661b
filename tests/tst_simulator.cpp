// The serial control on a pseudo-terminal and the simulator tool.
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

#include "core/link/FrameEncoder.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/simulator/Pty.h"
#include "support/PtyReceiver.h"

namespace
{
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
        QTest::qWait(50); // an error storm would show up as more signals or an open port
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
                QTest::qWait(50);
            }
            --depth;
        });
        QCOMPARE(control->open(), SerialControl::OpenResult::Opened);
        QVERIFY(pty.write(QByteArray::fromHex("ff0030110000")));
        QTRY_COMPARE(calls, 2);
        QCOMPARE(deepest, 1);
    }

    void toolAnnouncesItsDeviceFirst()
    {
        if (ExternalReceiver::program().isEmpty()) QSKIP("VOLTRIX_SIM is not set");
        ExternalReceiver tool; // start() takes the device path from the tool's first line
        QVERIFY2(
            tool.start({QStringLiteral("--meter"), QStringLiteral("ch=2,fn=Hz,value=50,interval=500ms")}),
            qPrintable(tool.errorString()));
        QVERIFY2(tool.devicePath().startsWith(QLatin1String("/dev/")), qPrintable(tool.devicePath()));
        QtSerialControl control(PortDirectory({tool.devicePath()}));
        QCOMPARE(control.open(), SerialControl::OpenResult::Opened);
        QTRY_VERIFY(control.inBufferCount() >= 6);
        control.setInputLen(6);
        QCOMPARE(control.input(), QByteArray::fromHex("ff2036500000"));
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
