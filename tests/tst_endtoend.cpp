// The whole path from a receiver on a real pseudo-terminal through QSerialPort, the link,
// the decoder and the record, and the program itself run unattended from its command line.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "core/commands/CommandState.h"
#include "core/common/AppPaths.h"
#include "core/common/Clock.h"
#include "core/link/FrameEncoder.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/monitor/AlarmSound.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/WorkbookSaver.h"
#include "core/session/Session.h"
#include "core/session/UnattendedRun.h"
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

// A session on the real serial control, whose port 1 is a raw pseudo-terminal the test writes
// to: its own, or the one behind `device`.
struct PtyRig {
    explicit PtyRig(const QString &device = QString())
        : store(dir.filePath(QStringLiteral("settings.ini"))),
          serial(PortDirectory({device.isEmpty() ? pty.slavePath() : device})),
          session(serial, clock, prompts, store)
    {
        AppPaths::setRecordsFolderOverride(dir.path());
        session.startUp();
        session.recording().setTimerRunsByItself(false);
    }
    ~PtyRig() { AppPaths::setRecordsFolderOverride({}); }

    // Start: the receiver proves it is alive with a status frame every tenth of a second while
    // the probe listens (what waited before the port opened is dropped as it opens).
    bool start()
    {
        QTimer alive;
        QObject::connect(&alive, &QTimer::timeout, [this] { line->write(StatusFrame); });
        alive.start(100);
        session.recording().run();
        return session.status().running();
    }
    RecordStore &record() { return session.record(); }

    QTemporaryDir dir;
    Pty pty;
    Pty *line = &pty; // where start() shows the receiver alive
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
    void frameSplitOverTwoReadsIsKept();
    void pauseAndResumeContinueTheRowNumbering();
    void unpluggedReceiverResumesTheRecordWhenBack();
    void unsavedRecordIsKeptWhenTheUserSaysSave();
    void alarmStatisticsAndTimeOutOverThePty();
    void simulatorFillsTheRecord();
    void splitOverThePtyKeepsEveryReading();
    void commandLineRecordsToCsv();
    void commandLineRecordsAcrossAnUnpluggedReceiver_data();
    void commandLineRecordsAcrossAnUnpluggedReceiver();
    void commandLineWithoutReceiverEndsWithoutWaiting();
    void helpAndVersionWithoutADisplay();
    void commandLineDurationLimits();
};

void TestEndToEnd::recordsFramesArrivingOverThePty()
{
    PtyRig rig;
    QVERIFY(rig.pty.isValid());
    QVERIFY(rig.start());
    QCOMPARE(rig.serial.rThreshold(), 6);

    // Two stray bytes, then channel 1, 2 s, no prefix, DCV, digits 0012, "+", divisor 1.
    rig.pty.write(bytes({0x12, 0x34, 0xFF, 0x00, 0x30, 0x12, 0x00, 0x00}));
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

void TestEndToEnd::frameSplitOverTwoReadsIsKept()
{
    PtyRig rig;
    QVERIFY(rig.start());
    const QByteArray frame = bytes({0xFF, 0x10, 0x20, 0x56, 0x34, 0x02}); // channel 2, mV, 34.56
    rig.pty.write(frame.left(4));
    QTest::qWait(60);
    QCOMPARE(rig.record().nextRow(1), 1);
    rig.pty.write(frame.mid(4));
    QTRY_COMPARE(rig.record().cell(1, RecordStore::valueColumn(1)), QStringLiteral("34.56"));
    QCOMPARE(rig.record().cell(1, RecordStore::unitColumn(1)), QStringLiteral("mV"));
}

void TestEndToEnd::pauseAndResumeContinueTheRowNumbering()
{
    PtyRig rig;
    QVERIFY(rig.start());
    const QByteArray frame = bytes({0xFF, 0x00, 0x30, 0x05, 0x00, 0x00});
    rig.pty.write(frame);
    QTRY_COMPARE(rig.record().nextRow(0), 2);

    rig.session.recording().pause();
    QVERIFY(rig.session.status().paused());
    QVERIFY(!rig.serial.isOpen());
    // What the receiver sends during the pause is kept by the driver, and is not recorded.
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

// The adapter is unplugged mid-record (Qt reports a read error on the vanished device) and
// plugged in again later under the same path: the record pauses meanwhile and then goes on, the
// readings of both sides in one record.
void TestEndToEnd::unpluggedReceiverResumesTheRecordWhenBack()
{
    ReplugReceiver receiver;
    QString error;
    QVERIFY2(receiver.plugIn(&error), qPrintable(error));
    PtyRig rig(receiver.devicePath());
    rig.line = &receiver.receiver().pty();
    rig.session.recording().setTimerRunsByItself(true); // the lost port is tried by itself
    const RecordingControl &recording = rig.session.recording();
    const MonitorFields &monitor = rig.session.monitor();
    QVERIFY(rig.start());
    const auto send = [&](int value) {
        QVERIFY(receiver.receiver().pty().write(FrameEncoder::encodeReading(FrameEncoder::Header{}, value)));
    };
    send(1);
    send(2);
    QTRY_COMPARE(rig.record().nextRow(0), 3);
    const QString stamp = rig.record().stamp();
    const QString file = monitor.file;

    receiver.unplug();
    QTRY_VERIFY(recording.waitingForPort());
    QVERIFY(rig.session.status().paused());
    QVERIFY(!rig.serial.isOpen());
    QCOMPARE(monitor.bigValue, QStringLiteral("LOST")); // not the last reading as if live
    QTest::qWait(1300);                                 // a try that finds no device
    QVERIFY(recording.waitingForPort());
    QVERIFY2(monitor.linkLoss.startsWith(QStringLiteral("Link lost 00:0")), qPrintable(monitor.linkLoss));

    QVERIFY2(receiver.plugIn(&error), qPrintable(error));
    QTRY_VERIFY_WITH_TIMEOUT(recording.timerEnabled(), 3000); // recording, past the resume's settle wait
    QVERIFY(rig.session.status().running());
    send(3);
    QTRY_COMPARE(rig.record().nextRow(0), 4);
    QTest::qWait(50);
    QCOMPARE(rig.record().nextRow(0), 4); // nothing twice
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(rig.record().cell(row, 0), QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')));
        QCOMPARE(rig.record().cell(row, RecordStore::valueColumn(0)), QString::number(row));
    }
    QCOMPARE(rig.record().stamp(), stamp);
    QCOMPARE(monitor.file, file);
    QVERIFY2(monitor.linkLoss.startsWith(QStringLiteral("Link lost once, 00:0")),
             qPrintable(monitor.linkLoss));
    QVERIFY(rig.prompts.calls().isEmpty()); // nobody was asked anything
    rig.session.recording().stop();
}

void TestEndToEnd::unsavedRecordIsKeptWhenTheUserSaysSave()
{
    PtyRig rig;
    QVERIFY(rig.start());
    rig.pty.write(bytes({0xFF, 0x00, 0x30, 0x05, 0x00, 0x00}));
    QTRY_COMPARE(rig.record().nextRow(0), 2);
    const QString name = rig.session.monitor().file;
    rig.session.recording().stop();

    rig.prompts.queueAnswer(Prompts::Answer::Yes);
    const QString saved = rig.dir.filePath(QStringLiteral("kept.xlsx"));
    rig.prompts.queueFileName(saved);
    QVERIFY(rig.start());
    QCOMPARE(rig.prompts.calls().at(0).title, QStringLiteral("Save File!"));
    QCOMPARE(rig.prompts.calls().at(1).kind, ScriptedPrompts::Kind::SaveFile);
    SheetCells cells;
    QString error;
    QVERIFY2(XlsxReader().read(saved, &cells, &error), qPrintable(error));
    QCOMPARE(cells.at(8, 4).number, 5.0); // the reading, kept
}

void TestEndToEnd::alarmStatisticsAndTimeOutOverThePty()
{
    struct CountingSound final : AlarmSound {
        void play() override { ++plays; }
        int plays = 0;
    } sound;
    PtyRig rig;
    rig.session.setAlarmSound(&sound);
    rig.store.save(QStringLiteral("setup_Alarm"), QStringLiteral("1"));
    rig.store.save(QStringLiteral("setup_unit"), QStringLiteral("1")); // "V"
    rig.session.alarmSetup().choice = 0;
    rig.session.alarmSetup().hiText = QStringLiteral("1");
    QVERIFY(rig.start());

    // DCV in mV against a high limit of 1 V: 999.9 mV stays quiet, 1000 mV sounds.
    FrameEncoder::Header mV;
    mV.prefixCode = 2;
    mV.decimalCode = FrameEncoder::Divisor10;
    rig.pty.write(FrameEncoder::encodeReading(mV, 9999));
    QTRY_COMPARE(rig.record().nextRow(0), 2);
    QVERIFY(rig.session.state().alarmEnabled);
    QVERIFY(!rig.session.state().alarmActive);
    FrameEncoder::Header wholeMV = mV;
    wholeMV.decimalCode = FrameEncoder::Divisor1;
    rig.pty.write(FrameEncoder::encodeReading(wholeMV, 1000));
    QTRY_COMPARE(rig.record().nextRow(0), 3);
    QCOMPARE(rig.record().cell(2, 3), QStringLiteral("1000"));
    QVERIFY(rig.session.state().alarmActive);
    QVERIFY(rig.session.monitor().soundingImageVisible);
    rig.pty.write(FrameEncoder::encodeReading(mV, 1000)); // 100.0 mV: quiet again
    QTRY_COMPARE(rig.record().nextRow(0), 4);
    QVERIFY(!rig.session.state().alarmActive);

    // A range change to volts rescales the running sum, so the average continues in V.
    FrameEncoder::Header volts = mV;
    volts.prefixCode = 3;
    volts.decimalCode = FrameEncoder::Divisor1000;
    rig.pty.write(FrameEncoder::encodeReading(volts, 1500)); // 1.500 V
    QTRY_COMPARE(rig.record().nextRow(0), 5);
    QVERIFY(rig.session.state().alarmActive);
    // (999.9 + 1000 + 100.0) mV + 1500 mV over four samples = 0.899975 V
    QCOMPARE(rig.session.monitor().stats[0], QStringLiteral("0.900"));
    QCOMPARE(rig.session.monitor().stats[3], QStringLiteral("V"));
    QCOMPARE(rig.session.monitor().stats[1], QStringLiteral("1.500"));

    // The supervision timer sounds the alarm each second and asks at the 11th silent tick.
    rig.prompts.queueAnswer(Prompts::Answer::Yes);
    for (int tick = 1; tick <= 10; ++tick)
        rig.session.recording().timerTick();
    QVERIFY(rig.prompts.calls().isEmpty());
    QCOMPARE(sound.plays, 10);
    rig.session.recording().timerTick();
    QCOMPARE(rig.prompts.calls().size(), 1);
    QCOMPARE(rig.prompts.lastCall().text, QStringLiteral("Time out! Continue to receive data now? "));
    QCOMPARE(rig.prompts.lastCall().title, QStringLiteral("Real time data"));
    QVERIFY(rig.prompts.lastCall().buttons == Prompts::Buttons::YesNo);
    QVERIFY(rig.prompts.lastCall().icon == Prompts::Icon::None);
    // Yes: the port is closed and reopened and the same record goes on.
    QVERIFY(rig.session.status().running());
    QVERIFY(rig.session.recording().timerEnabled());
    rig.pty.write(FrameEncoder::encodeReading(volts, 500));
    QTRY_COMPARE(rig.record().nextRow(0), 6);

    // No at the next time-out stops the recording.
    rig.prompts.queueAnswer(Prompts::Answer::No);
    for (int tick = 1; tick <= 11; ++tick)
        rig.session.recording().timerTick();
    QVERIFY(rig.session.status().stopped());
    QVERIFY(!rig.serial.isOpen());
    rig.session.setAlarmSound(nullptr);
}

void TestEndToEnd::simulatorFillsTheRecord()
{
    QTemporaryDir dir;
    PtyReceiver receiver;
    QVERIFY(receiver.isValid());
    receiver.start(ReceiverSimulator::demoScene());
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    QtSerialControl serial(PortDirectory({QString(), receiver.devicePath()})); // COM 1 does not exist
    SystemClock clock;
    ScriptedPrompts prompts;
    Session session(serial, clock, prompts, store);
    AppPaths::setRecordsFolderOverride(dir.path());
    session.startUp();
    session.recording().setTimerRunsByItself(false);

    session.recording().run();
    QVERIFY(session.status().running());
    QCOMPARE(serial.commPort(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(session.record().sampleRows() > 3, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(session.record().channelCount(), 6, 10000); // one meter reports once a minute
    QCOMPARE(session.monitor().channelEntries.size(), 6);
    QCOMPARE(session.monitor().type, QStringLiteral("DCV"));
    session.recording().stop();
    AppPaths::setRecordsFolderOverride({});
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
    QTemporaryDir fallback;
    PtyRig rig;
    rig.session.workbookSaver().setFallbackFolder(fallback.path());
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
    // The journal cannot be written there either, and says so once; the workbook's fallback is
    // told once.
    QStringList fallbackNotes;
    for (const ScriptedPrompts::Call &call : rig.prompts.calls())
        if (call.text.startsWith(QStringLiteral("The record could not be saved"))) fallbackNotes << call.text;
    QCOMPARE(fallbackNotes.size(), 1);
    const QString told = fallbackNotes.first();
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

void TestEndToEnd::commandLineRecordsToCsv()
{
    const QString app = qEnvironmentVariable("VOLTRIX_APP");
    if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
    QTemporaryDir dir;
    ExternalReceiver receiver;
    QVERIFY2(receiver.start(
                 {QStringLiteral("--meter"),
                  QStringLiteral("ch=0,fn=DCV,prefix=m,dp=100,pattern=constant,value=12.34,interval=2s"),
                  QStringLiteral("--meter"),
                  QStringLiteral("ch=3,fn=ACA,dp=10,pattern=constant,value=5,interval=2s"),
                  QStringLiteral("--time-factor"), QStringLiteral("4")}),
             qPrintable(receiver.errorString()));

    QProcess program;
    program.setProcessEnvironment(isolatedEnvironment(QDir(dir.path())));
    const QString output = dir.filePath(QStringLiteral("rec.csv"));
    program.start(app, {QStringLiteral("--ports"), receiver.devicePath(), QStringLiteral("--record"),
                        QStringLiteral("--duration"), QStringLiteral("3"), QStringLiteral("--output"), output,
                        QStringLiteral("--quit")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);

    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.first(),
             QStringLiteral("Index,Date,Time,Ch1,Unit,Time,Ch2,Unit,Time,Ch3,Unit,Time,Ch4,Unit,"
                            "Time,Ch5,Unit,Time,Ch6,Unit"));
    QVERIFY2(lines.size() >= 4, qPrintable(lines.join('\n')));
    const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    for (int row = 1; row < lines.size(); ++row) {
        const QStringList cells = lines.at(row).split(QLatin1Char(','));
        QCOMPARE(cells.size(), RecordStore::ColumnCount);
        QCOMPARE(cells.at(0), QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')));
        QVERIFY(!cells.at(1).isEmpty());
        if (cells.at(3).isEmpty()) // a channel may have one sample less in the last row
            continue;
        QVERIFY(time.match(cells.at(2)).hasMatch());
        QCOMPARE(cells.at(3), QStringLiteral("12.34"));
        QCOMPARE(cells.at(4), QStringLiteral("mV"));
        if (!cells.at(12).isEmpty()) {
            QCOMPARE(cells.at(12), QStringLiteral("5.0"));
            QCOMPARE(cells.at(13), QStringLiteral("A"));
        }
        for (int column : {5, 6, 7, 8, 9, 10, 14, 15, 16, 17, 18, 19})
            QVERIFY(cells.at(column).isEmpty());
    }
}

// The same unattended: the duration runs on through the gap, and the record written at its end
// holds the readings of both receivers; one that never comes back is waited for until then.
void TestEndToEnd::commandLineRecordsAcrossAnUnpluggedReceiver_data()
{
    QTest::addColumn<bool>("back");
    QTest::addColumn<int>("duration");
    QTest::addColumn<QString>("readings"); // the channel's values in the CSV
    QTest::newRow("plugged in again") << true << 5 << QStringLiteral("^12( 12)* 34( 34)*$");
    QTest::newRow("never back") << false << 3 << QStringLiteral("^12( 12)*$");
}

void TestEndToEnd::commandLineRecordsAcrossAnUnpluggedReceiver()
{
    QFETCH(bool, back);
    QFETCH(int, duration);
    QFETCH(QString, readings);
    const QString app = qEnvironmentVariable("VOLTRIX_APP");
    if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
    QTemporaryDir dir;
    ReplugReceiver receiver;
    QString error;
    QVERIFY2(receiver.plugIn(&error), qPrintable(error));
    SimulatorOptions options;
    options.timeFactor = 4; // a reading every half second
    SimulatedMeter meter;
    meter.level = 12;
    receiver.receiver().start({meter}, options);

    QProcess program;
    program.setProcessEnvironment(isolatedEnvironment(QDir(dir.path())));
    const QString output = dir.filePath(QStringLiteral("rec.csv"));
    program.start(app, {QStringLiteral("--ports"), receiver.devicePath(), QStringLiteral("--record"),
                        QStringLiteral("--duration"), QString::number(duration), QStringLiteral("--output"),
                        output, QStringLiteral("--quit")});
    QString said;
    const auto heard = [&](const QString &text) {
        said += QString::fromUtf8(program.readAllStandardError());
        return said.contains(text);
    };
    QTRY_VERIFY_WITH_TIMEOUT(heard(QStringLiteral("voltrix: recording for %1 s").arg(duration)), 20000);
    QTest::qWait(1200);
    receiver.unplug();
    QTRY_VERIFY_WITH_TIMEOUT(heard(QStringLiteral(" was lost: ")), 5000);
    if (back) {
        QVERIFY2(receiver.plugIn(&error), qPrintable(error));
        meter.level = 34;
        receiver.receiver().start({meter}, options);
        QTRY_VERIFY_WITH_TIMEOUT(heard(QStringLiteral(" is back after 00:0")), 5000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(program.state(), QProcess::NotRunning, 30000); // the receiver needs events
    heard({});
    QVERIFY2(program.exitCode() == 0, qPrintable(said));
    const QString port = QStringLiteral("voltrix: COM 1 (%1) ").arg(receiver.devicePath());
    QVERIFY2(said.contains(port + QStringLiteral("was lost: ")), qPrintable(said));
    QCOMPARE(said.contains(port + QStringLiteral("is back after 00:0")), back);

    QFile file(output);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QStringList values;
    for (int row = 1; row < lines.size(); ++row) {
        const QStringList cells = lines.at(row).split(QLatin1Char(','));
        QCOMPARE(cells.at(0), QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')));
        values << cells.at(3);
    }
    // The first receiver's readings, then the second's: one record, nothing between or twice.
    const QString sequence = values.join(u' ');
    QVERIFY2(QRegularExpression(readings).match(sequence).hasMatch(), qPrintable(sequence));
}

void TestEndToEnd::commandLineWithoutReceiverEndsWithoutWaiting()
{
    const QString app = qEnvironmentVariable("VOLTRIX_APP");
    if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
    QTemporaryDir dir;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    program.setProcessEnvironment(env);
    program.start(app, {QStringLiteral("--ports"), dir.filePath(QStringLiteral("no-such-device")),
                        QStringLiteral("--record"), QStringLiteral("--quit")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 1);
    const QString said = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(said.contains(QStringLiteral("[Voltrix] Link error ! Please check your connector. -> OK")),
             qPrintable(said));
}

// Help and version print and succeed anywhere, a machine without a display included.
void TestEndToEnd::helpAndVersionWithoutADisplay()
{
    const QString app = qEnvironmentVariable("VOLTRIX_APP");
    if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
    for (const QString &option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        program.setProcessEnvironment(env);
        program.start(app, {option});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        QVERIFY2(option == u"--help" ? out.contains(QStringLiteral("--record")) : out.startsWith(u"Voltrix "),
                 qPrintable(out));
    }
}

void TestEndToEnd::commandLineDurationLimits()
{
    // The stop timer counts milliseconds in an int: longer durations used to wrap around.
    for (const int seconds : {-1, 0, 2147483, 2147484, 4300000}) {
        UnattendedRun::Plan plan;
        plan.record = true;
        plan.durationSeconds = seconds;
        QCOMPARE(UnattendedRun::checkPlan(plan).isEmpty(), seconds >= 0 && seconds <= 2147483);
    }
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
