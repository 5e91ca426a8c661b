// The whole path from a receiver on a real pseudo-terminal through QSerialPort, the link,
// the decoder and the record, to the workbooks of a record split.
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/common/AppPaths.h"
#include "core/common/Clock.h"
#include "core/link/FrameEncoder.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/WorkbookSaver.h"
#include "core/session/Session.h"
#include "core/settings/SettingsStore.h"
#include "core/simulator/Pty.h"
#include "core/workbook/XlsxReader.h"
#include "support/PtyReceiver.h"
#include "support/ScriptedPrompts.h"

namespace
{

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

const QByteArray StatusFrame = bytes({0xFE, 0, 0, 0, 0, 0});

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
        session.recording().run();
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
    void recordsFramesArrivingOverThePty();
    void pauseDropsWhatArrivesMeanwhile();
    void splitOverThePtyKeepsEveryReading();
};

void TestEndToEnd::recordsFramesArrivingOverThePty()
{
    PtyRig rig;
    QVERIFY(rig.pty.isValid());
    QVERIFY(rig.start());
    QCOMPARE(rig.serial.rThreshold(), 6);

    // Two stray bytes, then channel 1, 2 s, no prefix, DCV, digits 0012, "+", divisor 1, in two reads.
    rig.pty.write(bytes({0x12, 0x34, 0xFF, 0x00, 0x30}));
    QTest::qWait(60);
    QCOMPARE(rig.record().nextRow(0), 1);
    rig.pty.write(bytes({0x12, 0x00, 0x00}));
    QTRY_COMPARE(rig.record().cell(1, 3), QStringLiteral("12"));
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
    QCOMPARE(rig.record().cell(1, 1), RecordStore::shortDate(QDate::currentDate()));
    QCOMPARE(rig.record().cell(1, 4), QStringLiteral("V"));
    QCOMPARE(rig.session.monitor().bigValue, QStringLiteral("12"));

    // A backlog of overload, negative zero and status frames drains in one go.
    rig.pty.write(bytes({0xFF, 0x00, 0x30, 0xBA, 0xA0, 0x00}) + bytes({0xFF, 0x00, 0x30, 0x00, 0x00, 0x08}) +
                  StatusFrame);
    QTRY_COMPARE(rig.record().cell(3, 3), QStringLiteral("-0"));
    QCOMPARE(rig.record().cell(2, 3), QStringLiteral("+OL"));
    QCOMPARE(rig.record().nextRow(0), 4);
    QCOMPARE(rig.session.state().timeoutTicks, qint16(0));
}

// What the receiver sends during a pause is kept by the driver: it is dropped at the resume, and
// the record numbers on with the frames that come after it, at their own times.
void TestEndToEnd::pauseDropsWhatArrivesMeanwhile()
{
    PtyRig rig;
    QVERIFY(rig.start());
    const QByteArray frame = bytes({0xFF, 0x00, 0x30, 0x05, 0x00, 0x00});
    rig.pty.write(frame);
    QTRY_COMPARE(rig.record().nextRow(0), 2);

    rig.session.recording().pause();
    QVERIFY(rig.session.status().paused());
    QVERIFY(!rig.serial.isOpen());
    const QByteArray sentWhilePaused = bytes({0xFF, 0x00, 0x30, 0x77, 0x00, 0x00});
    for (int i = 0; i < 5; ++i)
        rig.pty.write(sentWhilePaused);
    QTest::qWait(1100); // the next reading comes in another second than the pause's

    rig.session.recording().run();
    QVERIFY(rig.session.status().running());
    QTest::qWait(200);
    QCOMPARE(rig.record().nextRow(0), 2);
    const QTime sent = QTime::currentTime();
    rig.pty.write(frame);
    QTRY_COMPARE(rig.record().nextRow(0), 3);
    QCOMPARE(rig.record().cell(2, 0), QStringLiteral("0002"));
    QCOMPARE(rig.record().cell(2, RecordStore::valueColumn(0)), QStringLiteral("5"));
    // The time of the frame itself, not of the resume (a second on at most, as any sample may be).
    const QTime recorded = QTime::fromString(rig.record().cell(2, RecordStore::timeColumn(0)), u"hh:mm:ss");
    QVERIFY2(qAbs(recorded.secsTo(sent)) <= 1, qPrintable(recorded.toString() + u' ' + sent.toString()));
}

// Six meters flood two full records and more over the pseudo-terminal, each reading a step of a
// ramp of its own. At each 9,999-row split the record is written in the background while the
// readings waiting and arriving go into the next record: every reading is found once, in order,
// in the workbooks and the table. At the second split the records folder cannot take the file
// and the per-user folder does.
void TestEndToEnd::splitOverThePtyKeepsEveryReading()
{
    constexpr int Channels = 6;
    constexpr int PerChannel = 2 * RecordStore::MaxSampleRows + 300;
    PtyRig rig;
    const QTemporaryDir &fallback = rig.fallback;
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
    const QStringList second = QDir(fallback.path()).entryList({QStringLiteral("*.xlsx")});
    QCOMPARE(first.size(), 1);
    QCOMPARE(second.size(), 1);
    const QString secondPath = QDir::toNativeSeparators(fallback.filePath(second.first()));
    // The workbook's fallback is told once; the journal follows it there unasked.
    QCOMPARE(rig.prompts.messageTexts().size(), 1);
    const QString told = rig.prompts.messageTexts().first();
    QCOMPARE(QDir(fallback.path()).entryList({QStringLiteral("*.journal")}).size(), 1);
    QVERIFY2(told.startsWith(
                 QStringLiteral("The record could not be saved in the records folder (/dev/null/records/")) &&
                 told.endsWith(QStringLiteral("). It was saved as ") + secondPath + u'.'),
             qPrintable(told));

    QList<SheetCells> sheets(2);
    QString error;
    QVERIFY2(XlsxReader().read(rig.dir.filePath(first.first()), &sheets[0], &error), qPrintable(error));
    QVERIFY2(XlsxReader().read(fallback.filePath(second.first()), &sheets[1], &error), qPrintable(error));
    for (int k = 0; k < Channels; ++k) {
        QList<int> found;
        for (const SheetCells &cells : std::as_const(sheets))
            for (int row = 8; row <= cells.rowCount(); ++row)
                if (const SheetCell cell = cells.at(row, 3 * k + 4); cell.type == SheetCell::Type::Number)
                    found << int(cell.number);
        for (int row = 1; row < rig.record().gridRowCount(); ++row)
            if (const QString text = rig.record().cell(row, RecordStore::valueColumn(k)); !text.isEmpty())
                found << text.toInt();
        QList<int> sent;
        for (int n = 0; n < PerChannel; ++n)
            sent << n % CountingSteps;
        QCOMPARE(found, sent);
    }
    AppPaths::setRecordsFolderOverride({});
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
