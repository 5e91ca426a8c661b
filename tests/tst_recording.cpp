#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "common/AppPaths.h"
#include "link/FrameEncoder.h"
#include "monitor/MonitorFields.h"
#include "recording/LogFile.h"
#include "recording/RecordStore.h"
#include "recording/RecordingControl.h"
#include "settings/SettingsStore.h"
#include "shell/CommandState.h"
#include "shell/Commands.h"
#include "shell/Session.h"
#include "shell/WindowHooks.h"
#include "support/FakeSerialControl.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"

using Answer = Prompts::Answer;

namespace
{

constexpr int ReceiverPort = 3;                               // COM3: setup_commp 2 with auto-scan off
const QString FirstStamp = QStringLiteral("20240315_093000"); // the ManualClock's start
const QString FirstFile = QStringLiteral("240315_093000.xlsx");
const QString TimeoutQuestion =
    QStringLiteral("Time out! Continue to receive data now?  | Real time data | YesNo | None");
const QString ClearQuestion =
    QStringLiteral("(Clear record ).  Recording! Do you want to clear? | Clear record! | YesNo | Question");
const QString LinkError = QStringLiteral("Link error ! Please check your connector. | Voltrix | Ok | None");

QString saveQuestion(const QString &name)
{
    return QStringLiteral("(") + name +
           QStringLiteral(
               ").  This record didn't saved ! Do you want to save? | Save File! | YesNo | Question");
}

// text | title | buttons | icon
QString describe(const ScriptedPrompts::Call &call)
{
    static const char *const icons[] = {"None", "Question", "Information", "Warning", "Critical"};
    return call.text + QStringLiteral(" | ") + call.title +
           (call.buttons == Prompts::Buttons::YesNo ? QStringLiteral(" | YesNo | ")
                                                    : QStringLiteral(" | Ok | ")) +
           QLatin1String(icons[int(call.icon)]);
}

// Saves as the workbook writer will: the automatic save makes a file of the record's name in the
// records folder, which the save question takes as saved. Notes the record at the moment of saving.
class NotingSaver final : public RecordSaver
{
public:
    explicit NotingSaver(Session &session) : m_session(session) {}
    void autoSave() override
    {
        ++autoSaves;
        note();
        QFile(QDir(AppPaths::recordsFolder()).filePath(m_session.monitor().file)).open(QIODevice::WriteOnly);
    }
    void saveDataCommand() override
    {
        ++commandSaves;
        note();
    }

    int autoSaves = 0;
    int commandSaves = 0;
    QString firstDateAtSave;
    QString stampAtSave;

private:
    void note()
    {
        firstDateAtSave = m_session.record().cell(1, 1);
        stampAtSave = m_session.record().stamp();
    }
    Session &m_session;
};

class PageBoxSpy final : public GraphHooks
{
public:
    void tickText() override { ++tickTexts; }
    void setPageBox(const QString &text) override { pageBox << text; }
    int tickTexts = 0;
    QStringList pageBox;
};

// A session on a fake port with a receiver on COM3, a clock that moves only when told, scripted
// prompts, and a settings store and records folder of its own.
struct Rig {
    Rig()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("records")));
        AppPaths::setRecordsFolderOverride(dir.filePath(QStringLiteral("records")));
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("settings.ini")));
        store->save(QStringLiteral("setup_autoScan"), QStringLiteral("0"));
        store->save(QStringLiteral("setup_selePort"), QStringLiteral("1"));
        store->save(QStringLiteral("setup_commp"), QString::number(ReceiverPort - 1));
        serial.setAnsweringPorts({ReceiverPort});
        session = std::make_unique<Session>(serial, clock, prompts, *store);
        saver = std::make_unique<NotingSaver>(*session);
        session->setRecordSaver(saver.get());
        session->startUp();
        recording().setTimerRunsByItself(false);
    }
    ~Rig()
    {
        session->setRecordSaver(nullptr);
        AppPaths::setRecordsFolderOverride(QString());
    }

    RecordingControl &recording() const { return session->recording(); }
    Commands &procs() const { return session->commandProcs(); }
    CommandState &commands() const { return session->commands(); }
    RecordStore &record() const { return session->record(); }
    MonitorFields &monitor() const { return session->monitor(); }
    bool checked(const char *item) const { return commands().isChecked(QLatin1String(item)); }

    // The recording state in one line: the checked recording items, then what is up.
    QString status() const
    {
        QStringList words;
        for (const char *item : {"mnrun", "mnpause", "mnstop", "mnconnect"}) {
            if (checked(item)) words << QString::fromLatin1(item + 2);
        }
        if (session->state().linkUp) words << QStringLiteral("link");
        if (serial.isOpen()) words << QStringLiteral("port");
        if (recording().timerEnabled()) words << QStringLiteral("timer");
        if (recording().logFile().isOpen()) words << QStringLiteral("log");
        return words.join(QLatin1Char(' '));
    }
    QStringList asked() const
    {
        QStringList calls;
        for (const ScriptedPrompts::Call &call : prompts.calls())
            calls << describe(call);
        return calls;
    }

    // One reading of channel 0 (DCV, no prefix) arriving on the open port.
    void receive()
    {
        FrameEncoder::Header header;
        QVERIFY(serial.feed(FrameEncoder::encodeReading(header, 1234)));
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            recording().timerTick();
    }
    // The current record as a saved workbook of its name would leave it.
    void markSaved() const
    {
        QFile(QDir(AppPaths::recordsFolder()).filePath(monitor().file)).open(QIODevice::WriteOnly);
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    FakeSerialControl serial;
    ManualClock clock;
    ScriptedPrompts prompts;
    std::unique_ptr<Session> session;
    std::unique_ptr<NotingSaver> saver;
};

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startLinksAndStartsANewRecord();
    void pauseAndResumeContinueTheRecord();
    void pauseWithPortClosedOnlySilences();
    void timeOutComesAtTheEleventhQuietTick();
    void timeOutAnswer_data();
    void timeOutAnswer();
    void clearRecordAsksOnlyWhileRecording_data();
    void clearRecordAsksOnlyWhileRecording();
    void startAfterStopOffersToSave_data();
    void startAfterStopOffersToSave();
    void saveOfferNeedsAVisibleUnsavedRecord_data();
    void saveOfferNeedsAVisibleUnsavedRecord();
    void failedLinkAtStartStops();
    void stopReloadsTheAlarmSetupSwitchedOff();
    void lostPortStopsTheRecording();
    void portThatWillNotReopenStops();
    void restartSavesAndStartsANewRecord();
    void connectTogglesTheLink();
    void closeAllHidesEveryWindow();
    void graphToggleSetsTheLastPage();
    void toolbarDispatch_data();
    void toolbarDispatch();
    void timerRunsByItself();
};

void TestRecording::startLinksAndStartsANewRecord()
{
    Rig rig;
    QFile oldLog(LogFile::path());
    QVERIFY(oldLog.open(QIODevice::WriteOnly));
    oldLog.write("left over");
    oldLog.close();
    QSignalSpy started(&rig.recording(), &RecordingControl::recordStarted);

    rig.recording().run();

    QCOMPARE(rig.status(), QStringLiteral("run connect link port timer log"));
    QVERIFY(rig.asked().isEmpty());
    QCOMPARE(rig.serial.openedPorts(), (QList<int>{ReceiverPort, ReceiverPort})); // probe, record
    QCOMPARE(rig.serial.inBufferCount(), 0); // the probe's answer was discarded
    QVERIFY(!rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QVERIFY(rig.checked("mnmo") && rig.checked("mntab") && rig.checked("mngr") && !rig.checked("mnpower"));
    QCOMPARE(started.count(), 1);
    QCOMPARE(rig.record().stamp(), FirstStamp);
    QCOMPARE(rig.monitor().file, FirstFile);
    QCOMPARE(rig.record().cell(0, RecordStore::valueColumn(0)), QStringLiteral("Ch1"));
    QCOMPARE(QFileInfo(LogFile::path()).size(), 0);

    rig.receive();
    rig.clock.advance(5000);
    rig.recording().run(); // already recording: nothing happens
    QCOMPARE(rig.serial.openAttempts().size(), 2);
    QCOMPARE(rig.record().stamp(), FirstStamp);
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));

    rig.recording().stop();
    QCOMPARE(rig.status(), QStringLiteral("stop connect link")); // Stop leaves the link alone
    QCOMPARE(rig.session->state().resetPending, qint16(5));
}

void TestRecording::pauseAndResumeContinueTheRecord()
{
    Rig rig;
    rig.recording().run();
    rig.receive();
    rig.clock.advance(2000);
    rig.receive();
    rig.session->state().alarmActive = true;

    rig.recording().pause();
    QCOMPARE(rig.status(), QStringLiteral("pause connect link log"));
    QVERIFY(!rig.session->state().alarmActive);
    QVERIFY(!rig.serial.feed(QByteArray(6, '\0'))); // what the receiver sends now is lost

    rig.clock.advance(60000);
    rig.session->state().timeoutTicks = 7;
    rig.recording().run();
    QCOMPARE(rig.status(), QStringLiteral("run connect link port timer log"));
    QCOMPARE(rig.session->state().timeoutTicks, qint16(0));
    QCOMPARE(rig.serial.inBufferCount(), 0);
    QCOMPARE(rig.record().stamp(), FirstStamp);
    QVERIFY(rig.asked().isEmpty());

    rig.clock.advance(2000);
    rig.receive();
    QCOMPARE(rig.record().cell(3, 0), QStringLiteral("0003"));
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
}

void TestRecording::pauseWithPortClosedOnlySilences()
{
    Rig rig;
    rig.recording().run();
    rig.recording().stop();
    rig.session->state().alarmActive = true;
    rig.session->state().alarmEnabled = true;
    QSignalSpy changes(&rig.commands(), &CommandState::changed);

    rig.recording().pause();

    QVERIFY(!rig.session->state().alarmActive);
    QVERIFY(rig.session->state().alarmEnabled);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(rig.status(), QStringLiteral("stop connect link"));
}

void TestRecording::timeOutComesAtTheEleventhQuietTick()
{
    Rig rig;
    rig.recording().run();
    rig.ticks(8);
    rig.receive(); // a frame header starts the count anew
    rig.ticks(10);
    QVERIFY(rig.asked().isEmpty());

    QVERIFY(rig.serial.feed(QByteArray::fromHex("ff00"))); // part of a frame waits
    rig.ticks(3);
    QVERIFY(rig.asked().isEmpty());
    QVERIFY(rig.recording().timerEnabled());

    rig.serial.clearInput();
    rig.prompts.queueAnswer(Answer::No);
    rig.ticks(1);
    QCOMPARE(rig.asked(), QStringList{TimeoutQuestion});
}

void TestRecording::timeOutAnswer_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("status");
    QTest::newRow("Yes resumes the same record") << true << "run connect link port timer log";
    QTest::newRow("No stops") << false << "stop connect link";
}

void TestRecording::timeOutAnswer()
{
    QFETCH(bool, yes);
    QFETCH(QString, status);
    Rig rig;
    rig.recording().run();
    rig.receive();
    rig.serial.resetLog();
    rig.prompts.queueAnswer(yes ? Answer::Yes : Answer::No);

    rig.ticks(11);

    QCOMPARE(rig.asked(), QStringList{TimeoutQuestion});
    QCOMPARE(rig.status(), status);
    QCOMPARE(rig.record().stamp(), FirstStamp);
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
    QCOMPARE(rig.serial.closeCount(), 1);
    QCOMPARE(rig.serial.openedPorts().size(), yes ? 1 : 0); // Yes closes and reopens
    rig.ticks(10);
    QCOMPARE(rig.asked().size(), 1);
}

void TestRecording::clearRecordAsksOnlyWhileRecording_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("recording, Yes") << "recording" << true << true << true;
    QTest::newRow("recording, No") << "recording" << false << true << false;
    QTest::newRow("paused, Yes") << "paused" << true << true << true;
    QTest::newRow("paused, No") << "paused" << false << true << false;
    QTest::newRow("stopped") << "stopped" << false << false << true;
}

void TestRecording::clearRecordAsksOnlyWhileRecording()
{
    QFETCH(QString, state);
    QFETCH(bool, yes);
    QFETCH(bool, asked);
    QFETCH(bool, cleared);
    Rig rig;
    rig.recording().run();
    rig.receive();
    rig.markSaved();
    if (state == QLatin1String("paused"))
        rig.recording().pause();
    else if (state == QLatin1String("stopped"))
        rig.recording().stop();
    const QString before = rig.status();
    rig.prompts.queueAnswer(yes ? Answer::Yes : Answer::No);

    rig.recording().clearCommand();

    QCOMPARE(rig.asked(), asked ? QStringList{ClearQuestion} : QStringList());
    if (cleared) {
        QCOMPARE(rig.status(), QStringLiteral("stop connect link"));
        QCOMPARE(rig.record().gridRowCount(), 2);
        QVERIFY(rig.record().cell(1, 1).isEmpty());
        QVERIFY(rig.monitor().file.isEmpty());
        QCOMPARE(rig.monitor().bigValue, QStringLiteral("-????.?"));
        QVERIFY(rig.monitor().channelEntries.isEmpty());
        QVERIFY(!rig.session->state().channelPresent[0]);
    } else {
        QCOMPARE(rig.status(), before);
        QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
        QCOMPARE(rig.monitor().file, FirstFile);
        QCOMPARE(rig.monitor().channelEntries, QStringList{QStringLiteral("1_Ch1")});
    }
}

void TestRecording::startAfterStopOffersToSave_data()
{
    QTest::addColumn<bool>("receiverStays");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes saves") << true << true;
    QTest::newRow("No goes on") << true << false;
    // asked before the table is emptied for the link, so a failed link loses nothing unasked
    QTest::newRow("link then fails") << false << true;
}

void TestRecording::startAfterStopOffersToSave()
{
    QFETCH(bool, receiverStays);
    QFETCH(bool, yes);
    Rig rig;
    rig.recording().run();
    rig.receive();
    const QString firstDate = rig.record().cell(1, 1);
    rig.recording().stop();
    rig.clock.advance(60000);
    if (!receiverStays) rig.serial.setAnsweringPorts({});
    rig.prompts.queueAnswer(yes ? Answer::Yes : Answer::No);

    rig.recording().run();

    QStringList expected{saveQuestion(FirstFile)};
    if (!receiverStays) expected << LinkError;
    QCOMPARE(rig.asked(), expected);
    QCOMPARE(rig.saver->commandSaves, yes ? 1 : 0);
    QCOMPARE(rig.saver->firstDateAtSave, yes ? firstDate : QString());
    QCOMPARE(rig.record().gridRowCount(), 2);
    QVERIFY(rig.record().cell(1, 1).isEmpty());
    if (receiverStays) {
        QCOMPARE(rig.status(), QStringLiteral("run connect link port timer log"));
        QCOMPARE(rig.monitor().file, QStringLiteral("240315_093100.xlsx"));
    } else {
        QCOMPARE(rig.status(), QStringLiteral("stop")); // the old link's Connect mark goes too
        QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));
    }
}

void TestRecording::saveOfferNeedsAVisibleUnsavedRecord_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("asked");
    QTest::newRow("unsaved") << "unsaved" << true;
    QTest::newRow("saved in the records folder") << "saved" << false;
    QTest::newRow("empty table") << "empty" << false;
    QTest::newRow("table hidden") << "table hidden" << false;
    QTest::newRow("monitor hidden") << "monitor hidden" << false;
    QTest::newRow("blank record file name") << "no file" << false;
}

void TestRecording::saveOfferNeedsAVisibleUnsavedRecord()
{
    QFETCH(QString, situation);
    QFETCH(bool, asked);
    Rig rig;
    rig.recording().run();
    if (situation != QLatin1String("empty")) rig.receive();
    rig.recording().stop();
    if (situation == QLatin1String("saved"))
        rig.markSaved();
    else if (situation == QLatin1String("table hidden"))
        rig.procs().toggleTable();
    else if (situation == QLatin1String("monitor hidden"))
        rig.procs().toggleMonitor();
    else if (situation == QLatin1String("no file"))
        rig.monitor().file.clear();
    rig.monitor().file = QStringLiteral(" ") + rig.monitor().file + QStringLiteral(" ");

    rig.recording().reAutoSave();

    QCOMPARE(rig.asked(), asked ? QStringList{saveQuestion(FirstFile)} : QStringList());
}

void TestRecording::failedLinkAtStartStops()
{
    Rig rig;
    rig.serial.setAnsweringPorts({});

    rig.recording().run();

    QCOMPARE(rig.asked(), QStringList{LinkError});
    QCOMPARE(rig.status(), QStringLiteral("stop"));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QCOMPARE(rig.session->state().resetPending, qint16(5));
    QCOMPARE(rig.record().gridRowCount(), 2);
    QCOMPARE(rig.serial.openAttempts(), (QList<int>{ReceiverPort, ReceiverPort, ReceiverPort}));
}

void TestRecording::stopReloadsTheAlarmSetupSwitchedOff()
{
    Rig rig;
    rig.recording().run();
    AlarmSetup &alarm = rig.session->alarmSetup();
    alarm.checkEnabled = alarm.checked = alarm.controlsEnabled = true;
    alarm.hiText = QStringLiteral("5"); // an edit never confirmed with OK
    rig.session->state().alarmEnabled = rig.session->state().alarmActive = true;
    rig.monitor().label8[2] = QStringLiteral("5");
    rig.monitor().soundingImageVisible = true;
    rig.store->save(QStringLiteral("setup_T1Hi"), QStringLiteral("42"));
    rig.store->save(QStringLiteral("setup_T1_CK"), QStringLiteral("1"));

    rig.recording().stop();

    QVERIFY(!alarm.checkEnabled && !alarm.checked && !alarm.controlsEnabled);
    QCOMPARE(alarm.hiText, QStringLiteral("42"));
    QCOMPARE(alarm.choice, 1);
    QVERIFY(!rig.session->state().alarmEnabled && !rig.session->state().alarmActive);
    QCOMPARE(rig.monitor().label8[2], QStringLiteral("-"));
    QVERIFY(!rig.monitor().soundingImageVisible && !rig.monitor().armedImageVisible);
}

void TestRecording::lostPortStopsTheRecording()
{
    Rig rig;
    rig.recording().run();
    rig.receive();

    rig.serial.loseDevice(QStringLiteral("device removed"));

    QCOMPARE(rig.asked(), QStringList{QStringLiteral("The receiver's port was lost (device removed). The "
                                                     "recording was stopped. | Voltrix | Ok | Warning")});
    QCOMPARE(rig.status(), QStringLiteral("stop"));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001")); // kept for saving

    rig.prompts.queueAnswer(Answer::No); // to the save question
    rig.recording().run();
    QCOMPARE(rig.status(), QStringLiteral("run connect link port timer log"));
}

void TestRecording::portThatWillNotReopenStops()
{
    Rig rig;
    rig.recording().run();
    rig.recording().pause();
    rig.serial.setPermissionDenied({ReceiverPort}, QStringLiteral("COM3 is in use."));

    rig.recording().run();

    QCOMPARE(rig.asked(), QStringList{QStringLiteral("Link error ! Please check your connector.\nCOM3 is in "
                                                     "use. | Voltrix | Ok | Warning")});
    QCOMPARE(rig.status(), QStringLiteral("stop"));
}

void TestRecording::restartSavesAndStartsANewRecord()
{
    Rig rig;
    rig.recording().run();
    rig.receive();
    rig.clock.advance(5000);

    rig.recording().restartRecord();

    QCOMPARE(rig.saver->autoSaves, 1);
    QCOMPARE(rig.saver->stampAtSave, FirstStamp);
    QVERIFY(!rig.saver->firstDateAtSave.isEmpty());
    QVERIFY(rig.asked().isEmpty()); // the automatic save made the file the question looks for
    QCOMPARE(rig.status(), QStringLiteral("run connect link port timer log"));
    QCOMPARE(rig.record().stamp(), QStringLiteral("20240315_093005"));
    QVERIFY(rig.record().cell(1, 1).isEmpty());
}

void TestRecording::connectTogglesTheLink()
{
    Rig rig;
    rig.serial.setAnsweringPorts({});
    rig.procs().connectCommand(); // no receiver: told, nothing changes
    QCOMPARE(rig.asked(), QStringList{LinkError});
    QCOMPARE(rig.status(), QString());
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));

    rig.serial.setAnsweringPorts({ReceiverPort});
    rig.procs().connectCommand();
    QCOMPARE(rig.status(), QStringLiteral("connect link"));
    QVERIFY(!rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QCOMPARE(rig.serial.rThreshold(), 6);

    rig.procs().connectCommand();
    QCOMPARE(rig.status(), QStringLiteral("stop"));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));

    rig.recording().run();
    rig.procs().connectCommand(); // unlinking ends the recording
    QCOMPARE(rig.status(), QStringLiteral("stop"));
    QCOMPARE(rig.asked().size(), 1);
}

void TestRecording::closeAllHidesEveryWindow()
{
    Rig rig;
    rig.recording().run();
    rig.procs().togglePower();
    QVERIFY(rig.checked("mnpower"));

    rig.procs().closeAll();

    QVERIFY(!rig.checked("mngr") && !rig.checked("mntab") && !rig.checked("mnmo") && !rig.checked("mnpower"));
    QVERIFY(!rig.recording().timerEnabled());
    QVERIFY(!rig.session->state().linkUp);
}

void TestRecording::graphToggleSetsTheLastPage()
{
    Rig rig;
    PageBoxSpy graph;
    rig.session->setGraphHooks(&graph);

    rig.procs().toggleGraph(); // no record file yet: only the check mark
    QVERIFY(rig.checked("mngr"));
    QCOMPARE(graph.tickTexts, 0);
    QVERIFY(graph.pageBox.isEmpty());

    rig.monitor().file = FirstFile;
    rig.record().setGridRowCount(252); // 250 rows at 100 per page
    rig.session->settings().timeAxisFactor = 1.0f;
    rig.procs().toggleGraph();
    QVERIFY(!rig.checked("mngr"));
    QCOMPARE(graph.tickTexts, 1);
    QCOMPARE(graph.pageBox, (QStringList{QStringLiteral("0"), QStringLiteral("3")})); // 2.5 up
    rig.session->setGraphHooks(nullptr);
}

void TestRecording::toolbarDispatch_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("popup");
    QTest::addColumn<QString>("unavailable");
    QTest::addColumn<QString>("checkedAfter");
    QTest::newRow("save") << "save"
                          << "pop"
                          << ""
                          << "";
    QTest::newRow("print") << "print"
                           << "pop_print"
                           << ""
                           << "";
    QTest::newRow("open") << "open"
                          << ""
                          << "mnopen"
                          << "";
    QTest::newRow("help") << "help"
                          << ""
                          << "mnhe"
                          << "";
    QTest::newRow("monitor") << "monitor"
                             << ""
                             << ""
                             << "mnmo";
    QTest::newRow("grid") << "grid"
                          << ""
                          << ""
                          << "mntab";
    QTest::newRow("graph") << "graph"
                           << ""
                           << ""
                           << "mngr";
    QTest::newRow("power") << "power"
                           << ""
                           << ""
                           << "mnpower";
    QTest::newRow("connect") << "connect"
                             << ""
                             << ""
                             << "mnconnect";
    QTest::newRow("start") << "start"
                           << ""
                           << ""
                           << "mnrun";
    QTest::newRow("unknown key") << "Start"
                                 << ""
                                 << ""
                                 << "";
}

void TestRecording::toolbarDispatch()
{
    QFETCH(QString, key);
    QFETCH(QString, popup);
    QFETCH(QString, unavailable);
    QFETCH(QString, checkedAfter);
    Rig rig;
    QSignalSpy popups(&rig.procs(), &Commands::popupRequested);
    QSignalSpy missing(&rig.procs(), &Commands::commandUnavailable);
    QSignalSpy changes(&rig.commands(), &CommandState::changed);

    rig.procs().toolbarClicked(key);

    QCOMPARE(popups.count(), popup.isEmpty() ? 0 : 1);
    if (!popup.isEmpty()) QCOMPARE(popups.first().first().toString(), popup);
    QCOMPARE(missing.count(), unavailable.isEmpty() ? 0 : 1);
    if (!unavailable.isEmpty()) QCOMPARE(missing.first().first().toString(), unavailable);
    if (checkedAfter.isEmpty())
        QCOMPARE(changes.count(), 0);
    else
        QVERIFY(rig.commands().isChecked(checkedAfter));
}

void TestRecording::timerRunsByItself()
{
    Rig rig;
    const auto *timer = rig.recording().findChild<QTimer *>();
    QVERIFY(timer);
    rig.recording().run();
    QVERIFY(rig.recording().timerEnabled() && !timer->isActive()); // driven by hand here

    rig.recording().setTimerRunsByItself(true);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    rig.recording().pause();
    QVERIFY(!timer->isActive() && !rig.recording().timerEnabled());
    rig.recording().run();
    QVERIFY(timer->isActive());
}

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
