// The whole path from a receiver on a real pseudo-terminal through QSerialPort, the link,
// the decoder and the record, to the workbooks of a record split. (Stray bytes, overloads and -0
// are the decoder tests', the port's read threshold the link tests'.)
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/common/AppPaths.h"
#include "core/common/Clock.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/record/RecordStore.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "core/settings/SettingsStore.h"
#include "core/simulator/Pty.h"
#include "support/PtyReceiver.h"
#include "support/RecordFixture.h"
#include "support/ScriptedPrompts.h"

namespace
{

const QByteArray StatusFrame = QByteArray::fromHex("fe0000000000");

// A session on the real serial control, whose port 1 is a raw pseudo-terminal the test writes to.
struct PtyRig {
    PtyRig()
        : store(dir.filePath(QStringLiteral("settings.ini"))), serial(PortDirectory({pty.slavePath()})),
          session(serial, clock, prompts, store)
    {
        AppPaths::setRecordsFolderOverride(dir.path());
        session.workbookSaver().setFallbackFolder(fallback.path());
        session.startUp();
        session.recording().setTimerRunsByItself(false);
    }
    ~PtyRig() { AppPaths::setRecordsFolderOverride({}); }

    // Start: the receiver proves it is alive with a status frame every tenth of a second while
    // the probe listens (what waited before the port opened is dropped as it opens).
    bool start()
    {
        QTimer alive;
        QObject::connect(&alive, &QTimer::timeout, [this] { pty.write(StatusFrame); });
        alive.start(100);
        session.recording().start();
        return session.status().running();
    }
    RecordStore &record() { return session.record(); }

    QTemporaryDir dir;
    QTemporaryDir fallback;
    Pty pty;
    SettingsStore store;
    QtSerialControl serial;
    SystemClock clock;
    ScriptedPrompts prompts;
    Session session;
};

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:

    // What the receiver sends during a pause is kept by the driver: it is dropped at the resume, and
    // the record numbers on with the frames that come after it, at their own times.
    void pauseDropsWhatArrivesMeanwhile()
    {
        PtyRig rig;
        QVERIFY(rig.start());
        const QByteArray frame = QByteArray::fromHex("ff0030050000");
        rig.pty.write(frame);
        QTRY_COMPARE(rig.record().nextRow(0), 2);
        rig.session.recording().pause();
        QVERIFY(!rig.serial.isOpen());
        rig.pty.write(QByteArray::fromHex("ff0030770000").repeated(5)); // sent while paused
        QTest::qWait(1100); // the next reading comes in another second than the pause's
        rig.session.recording().start();
        QTest::qWait(200);
        QCOMPARE(rig.record().nextRow(0), 2);
        const QTime sent = QTime::currentTime();
        rig.pty.write(frame);
        QTRY_COMPARE(rig.record().nextRow(0), 3);
        QCOMPARE(rig.record().cell(2, RecordStore::valueColumn(0)), QStringLiteral("5"));
        // The time of the frame itself, not of the resume (a second on at most, as any sample may be).
        const QTime recorded =
            QTime::fromString(rig.record().cell(2, RecordStore::timeColumn(0)), u"hh:mm:ss");
        QVERIFY2(qAbs(recorded.secsTo(sent)) <= 1, qPrintable(recorded.toString() + u' ' + sent.toString()));
    }
    // Six meters flood two full records and more over the pseudo-terminal, each reading a step of a
    // ramp of its own. At each 9,999-row split the record is written in the background while the
    // readings waiting and arriving go into the next record: every reading is found once, in order,
    // in the workbooks and the table. At the second split the records folder cannot take the file
    // and the per-user folder does.
    void splitOverThePtyKeepsEveryReading()
    {
        constexpr int Channels = 6;
        constexpr int PerChannel = 2 * RecordStore::MaxSampleRows + 300;
        PtyRig rig;
        int splits = 0;
        QObject::connect(&rig.session.recording(), &RecordingControl::recordSplit, [&splits] {
            if (++splits == 1) AppPaths::setRecordsFolderOverride(QStringLiteral("/dev/null/records"));
        });
        QVERIFY(rig.start());
        ReceiverSimulator simulator(rig.pty);
        simulator.setMeters(countingMeters(Channels));
        simulator.setOptions(floodOptions(Channels * PerChannel));
        simulator.start();
        const auto lastValue = [&rig](int channel) {
            const int row = rig.record().nextRow(channel) - 1;
            return rig.record().cell(row, RecordStore::valueColumn(channel));
        };
        const QString lastSent = QString::number((PerChannel - 1) % CountingSteps);
        QTRY_VERIFY_WITH_TIMEOUT(!simulator.isRunning() && lastValue(Channels - 1) == lastSent, 60000);
        QCOMPARE(simulator.framesSent(), Channels * PerChannel);
        rig.session.recording().stop();
        rig.session.workbookSaver().waitForSaves();
        QCOMPARE(splits, 2);
        const QStringList first = QDir(rig.dir.path()).entryList({QStringLiteral("*.xlsx")});
        const QStringList second = QDir(rig.fallback.path()).entryList({QStringLiteral("*.xlsx")});
        QCOMPARE(first.size(), 1);
        QCOMPARE(second.size(), 1);
        // The workbook's fallback is told once (its text is the workbook wiring tests'); the journal
        // follows it there unasked.
        QCOMPARE(rig.prompts.messageTexts().size(), 1);
        QCOMPARE(QDir(rig.fallback.path()).entryList({QStringLiteral("*.journal")}).size(), 1);
        const QString firstBook = rig.dir.filePath(first.first());
        const QString secondBook = rig.fallback.filePath(second.first());
        QStringList sent;
        for (int n = 0; n < PerChannel; ++n)
            sent << QString::number(n % CountingSteps);
        for (int k = 0; k < Channels; ++k)
            QCOMPARE(workbookValues(firstBook, k) + workbookValues(secondBook, k) +
                         tableValues(rig.record(), k),
                     sent);
        AppPaths::setRecordsFolderOverride({});
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
