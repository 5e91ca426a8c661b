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
using Buttons = Prompts::Buttons;
using Icon = Prompts::Icon;

namespace
{

constexpr int ReceiverPort = 3; // COM3, configured as setup_commp 2 with auto-scan off
const QString FirstFile = QStringLiteral("240315_093000.xlsx"); // the ManualClock's start
const QString TimeoutText = QStringLiteral("Time out! Continue to receive data now? ");
const QString ClearText = QStringLiteral("(Clear record ).  Recording! Do you want to clear?");
const QString LinkErrorText = QStringLiteral("Link error ! Please check your connector.");

QString saveText(const QString &name)
{
    return QStringLiteral("(") + name + QStringLiteral(").  This record didn't saved ! Do you want to save?");
}

// Saves as the workbook writer does: a file of the record's name in the records folder, so the
// save question knows the record as saved. Notes what the record held at the moment of saving.
class RecordingSaver final : public RecordSaver
{
public:
    explicit RecordingSaver(Session &session) : m_session(session) {}
    void autoSave() override
    {
        ++autoSaves;
        note();
        QFile file(QDir(AppPaths::recordsFolder()).filePath(m_session.monitor().file));
        QVERIFY(file.open(QIODevice::WriteOnly));
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
// prompts and its own settings store and records folder.
struct Rig {
    Rig()
    {
        QDir().mkpath(recordsFolder());
        AppPaths::setRecordsFolderOverride(recordsFolder());
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("settings.ini")));
        store->save(QStringLiteral("setup_autoScan"), QStringLiteral("0"));
        store->save(QStringLiteral("setup_selePort"), QStringLiteral("1"));
        store->save(QStringLiteral("setup_commp"), QString::number(ReceiverPort - 1));
        serial.setAnsweringPorts({ReceiverPort});
        session = std::make_unique<Session>(serial, clock, prompts, *store);
        saver = std::make_unique<RecordingSaver>(*session);
        session->setRecordSaver(saver.get());
        session->startUp();
        recording().setTimerRunsByItself(false);
    }
    ~Rig()
    {
        session->setRecordSaver(nullptr);
        AppPaths::setRecordsFolderOverride(QString());
    }

    QString recordsFolder() const { return dir.filePath(QStringLiteral("records")); }
    QString inRecords(const QString &name) const { return QDir(recordsFolder()).filePath(name); }
    RecordingControl &recording() const { return session->recording(); }
    CommandState &commands() const { return session->commands(); }
    RecordStore &record() const { return session->record(); }
    bool checked(const char *item) const { return commands().isChecked(QLatin1String(item)); }

    // One reading of channel 0 (DCV, no prefix) arriving on the open port.
    void receive(int digits = 1234)
    {
        FrameEncoder::Header header;
        header.channel = 0;
        header.functionCode = 0;
        header.prefixCode = 3;
        QVERIFY(serial.feed(FrameEncoder::encodeReading(header, digits)));
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            recording().timerTick();
    }
    // Marks the current record as saved, as a workbook of its name would.
    void markSaved() const
    {
        QFile file(inRecords(session->monitor().file));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    FakeSerialControl serial;
    ManualClock clock;
    ScriptedPrompts prompts;
    std::unique_ptr<Session> session;
    std::unique_ptr<RecordingSaver> saver;
};

void verifyCall(const ScriptedPrompts::Call &call, const QString &text, const QString &title, Buttons buttons,
                Icon icon)
{
    QCOMPARE(call.text, text);
    QCOMPARE(call.title, title);
    QVERIFY(call.buttons == buttons);
    QVERIFY(call.icon == icon);
}

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startLinksAndStartsANewRecord();
    void startWhileRecordingDoesNothing();
    void pauseAndResumeContinueTheRecord();
    void pauseWithPortClosedOnlySilences();
    void timeOutAsksAtTheEleventhTick();
    void timeOutWaitsWhileInputWaits();
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
    void portThatWillNotOpenAtStartStops();
    void restartSavesAndStartsANewRecord();
    void connectTogglesTheLink();
    void connectWithoutReceiverChangesNothing();
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

    QVERIFY(rig.prompts.calls().isEmpty());
    QVERIFY(rig.session->state().linkUp);
    QVERIFY(rig.serial.isOpen());
    QCOMPARE(rig.serial.commPort(), ReceiverPort);
    QCOMPARE(rig.serial.inBufferCount(), 0); // the probe's answer was discarded
    QVERIFY(rig.recording().timerEnabled());
    QCOMPARE(rig.session->state().resetPending, qint16(0));
    QCOMPARE(started.count(), 1);

    // Recording row of the enable table
    QVERIFY(rig.checked("mnrun") && !rig.checked("mnpause") && !rig.checked("mnstop"));
    QVERIFY(rig.checked("mnconnect"));
    QVERIFY(!rig.commands().isEnabled(QStringLiteral("mnfile")));
    QVERIFY(!rig.commands().isButtonEnabled(QStringLiteral("start")));
    QVERIFY(!rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("stop")));
    QVERIFY(rig.commands().isEnabled(QStringLiteral("mnSaveData")));

    // the first Start shows monitor, table and graph
    QVERIFY(rig.checked("mnmo") && rig.checked("mntab") && rig.checked("mngr"));
    QVERIFY(!rig.checked("mnpower"));

    QCOMPARE(rig.record().stamp(), QStringLiteral("20240315_093000"));
    QCOMPARE(rig.session->monitor().file, FirstFile);
    QCOMPARE(rig.record().gridRowCount(), 2);
    QCOMPARE(rig.record().cell(0, RecordStore::valueColumn(0)), QStringLiteral("Ch1"));

    QVERIFY(rig.recording().logFile().isOpen());
    QCOMPARE(QFileInfo(LogFile::path()).size(), 0);

    rig.receive();
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));

    rig.recording().stop();
    QVERIFY(!rig.recording().logFile().isOpen());
    QVERIFY(!rig.serial.isOpen());
    QVERIFY(rig.checked("mnstop") && !rig.checked("mnrun"));
    QVERIFY(rig.checked("mnconnect")); // Stop leaves the link as it is
    QCOMPARE(rig.session->state().resetPending, qint16(5));
}

void TestRecording::startWhileRecordingDoesNothing()
{
    Rig rig;
    rig.recording().run();
    rig.receive();
    rig.serial.resetLog();
    rig.clock.advance(5000);

    rig.recording().run();

    QCOMPARE(rig.record().stamp(), QStringLiteral("20240315_093000"));
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
    QVERIFY(rig.serial.openAttempts().isEmpty());
    QCOMPARE(rig.serial.closeCount(), 0);
    QVERIFY(rig.prompts.calls().isEmpty());
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

    QVERIFY(!rig.serial.isOpen());
    QVERIFY(!rig.recording().timerEnabled());
    QVERIFY(!rig.session->state().alarmActive);
    QVERIFY(rig.checked("mnpause") && !rig.checked("mnrun") && !rig.checked("mnstop"));
    QVERIFY(!rig.commands().isButtonEnabled(QStringLiteral("pause")));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("start")));
    QVERIFY(!rig.serial.feed(QByteArray(6, '\0'))); // frames sent while paused are lost

    rig.clock.advance(60000);
    rig.session->state().timeoutTicks = 7;
    rig.recording().run();

    QVERIFY(rig.serial.isOpen());
    QVERIFY(rig.recording().timerEnabled());
    QCOMPARE(rig.session->state().timeoutTicks, qint16(0));
    QVERIFY(rig.checked("mnrun") && !rig.checked("mnpause"));
    QCOMPARE(rig.serial.inBufferCount(), 0);
    QCOMPARE(rig.record().stamp(), QStringLiteral("20240315_093000"));
    QVERIFY(rig.prompts.calls().isEmpty());
    rig.clock.advance(2000);
    rig.receive();
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
    QCOMPARE(rig.record().cell(3, 0), QStringLiteral("0003"));
    QCOMPARE(rig.record().nextRow(0), 4);
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
    QVERIFY(rig.checked("mnstop") && !rig.checked("mnpause"));
    QVERIFY(!rig.serial.isOpen());
}

void TestRecording::timeOutAsksAtTheEleventhTick()
{
    Rig rig;
    rig.recording().run();
    rig.ticks(8);
    rig.receive(); // a frame header starts the count anew
    rig.ticks(10);
    QVERIFY(rig.prompts.calls().isEmpty());
    QVERIFY(rig.recording().timerEnabled());

    rig.prompts.queueAnswer(Answer::No);
    rig.ticks(1);

    QCOMPARE(rig.prompts.calls().size(), 1);
    verifyCall(rig.prompts.lastCall(), TimeoutText, QStringLiteral("Real time data"), Buttons::YesNo,
               Icon::None);
}

void TestRecording::timeOutWaitsWhileInputWaits()
{
    Rig rig;
    rig.recording().run();
    rig.ticks(10);
    QVERIFY(rig.serial.feed(QByteArray::fromHex("ff00"))); // part of a frame, below the threshold
    rig.ticks(3);
    QVERIFY(rig.prompts.calls().isEmpty());
    QVERIFY(rig.recording().timerEnabled());

    rig.serial.clearInput();
    rig.prompts.queueAnswer(Answer::No);
    rig.ticks(1);
    QCOMPARE(rig.prompts.messageTexts(), QStringList{TimeoutText});
}

void TestRecording::timeOutAnswer_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes resumes the same record") << true;
    QTest::newRow("No stops") << false;
}

void TestRecording::timeOutAnswer()
{
    QFETCH(bool, yes);
    Rig rig;
    rig.recording().run();
    rig.receive();
    rig.serial.resetLog();
    rig.prompts.queueAnswer(yes ? Answer::Yes : Answer::No);

    rig.ticks(11);

    QCOMPARE(rig.prompts.messageTexts(), QStringList{TimeoutText});
    QCOMPARE(rig.record().stamp(), QStringLiteral("20240315_093000"));
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
    if (yes) {
        QCOMPARE(rig.serial.closeCount(), 1); // closed and opened again
        QCOMPARE(rig.serial.openedPorts(), QList<int>{ReceiverPort});
        QVERIFY(rig.serial.isOpen());
        QVERIFY(rig.checked("mnrun") && !rig.checked("mnpause") && !rig.checked("mnstop"));
        QVERIFY(rig.recording().timerEnabled());
        QCOMPARE(rig.session->state().timeoutTicks, qint16(0));
        QVERIFY(rig.recording().logFile().isOpen());
        rig.ticks(10);
        QCOMPARE(rig.prompts.calls().size(), 1);
    } else {
        QVERIFY(!rig.serial.isOpen());
        QVERIFY(rig.checked("mnstop") && !rig.checked("mnrun"));
        QVERIFY(!rig.recording().timerEnabled());
        QVERIFY(!rig.recording().logFile().isOpen());
        QCOMPARE(rig.session->state().resetPending, qint16(5));
    }
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
    const bool wasRunning = rig.checked("mnrun");
    rig.prompts.queueAnswer(yes ? Answer::Yes : Answer::No);

    rig.recording().clearCommand();

    if (asked) {
        QCOMPARE(rig.prompts.calls().size(), 1);
        verifyCall(rig.prompts.lastCall(), ClearText, QStringLiteral("Clear record!"), Buttons::YesNo,
                   Icon::Question);
    } else {
        QVERIFY(rig.prompts.calls().isEmpty());
    }
    if (cleared) {
        QVERIFY(rig.checked("mnstop") && !rig.checked("mnrun") && !rig.checked("mnpause"));
        QVERIFY(!rig.serial.isOpen());
        QCOMPARE(rig.record().gridRowCount(), 2);
        QVERIFY(rig.record().cell(1, 1).isEmpty());
        QVERIFY(rig.session->monitor().file.isEmpty());
        QCOMPARE(rig.session->monitor().bigValue, QStringLiteral("-????.?"));
        QVERIFY(rig.session->monitor().channelEntries.isEmpty());
        QVERIFY(!rig.session->state().channelPresent[0]);
    } else {
        QCOMPARE(rig.checked("mnrun"), wasRunning);
        QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001"));
        QCOMPARE(rig.session->monitor().file, FirstFile);
        QCOMPARE(rig.session->monitor().channelEntries, QStringList{QStringLiteral("1_Ch1")});
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

    QVERIFY(!rig.prompts.calls().isEmpty());
    verifyCall(rig.prompts.calls().first(), saveText(FirstFile), QStringLiteral("Save File!"), Buttons::YesNo,
               Icon::Question);
    QCOMPARE(rig.saver->commandSaves, yes ? 1 : 0);
    if (yes) QCOMPARE(rig.saver->firstDateAtSave, firstDate);
    QCOMPARE(rig.saver->autoSaves, 0);
    QCOMPARE(rig.record().gridRowCount(), 2);
    QVERIFY(rig.record().cell(1, 1).isEmpty());
    if (receiverStays) {
        QCOMPARE(rig.prompts.calls().size(), 1);
        QVERIFY(rig.checked("mnrun"));
        QCOMPARE(rig.record().stamp(), QStringLiteral("20240315_093100"));
        QCOMPARE(rig.session->monitor().file, QStringLiteral("240315_093100.xlsx"));
    } else {
        QCOMPARE(rig.prompts.messageTexts().last(), LinkErrorText);
        QVERIFY(rig.checked("mnstop"));
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
    QTest::newRow("no record file") << "no file" << false;
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
        rig.session->commandProcs().toggleTable();
    else if (situation == QLatin1String("monitor hidden"))
        rig.session->commandProcs().toggleMonitor();
    else if (situation == QLatin1String("no file"))
        rig.session->monitor().file = QStringLiteral("  ");
    rig.session->monitor().file = QStringLiteral(" ") + rig.session->monitor().file + QStringLiteral(" ");

    rig.recording().reAutoSave();

    QCOMPARE(rig.prompts.calls().size(), asked ? 1 : 0);
    if (asked) QCOMPARE(rig.prompts.lastCall().text, saveText(FirstFile)); // blanks removed
}

void TestRecording::failedLinkAtStartStops()
{
    Rig rig;
    rig.serial.setAnsweringPorts({});

    rig.recording().run();

    QCOMPARE(rig.prompts.calls().size(), 1);
    verifyCall(rig.prompts.lastCall(), LinkErrorText, applicationTitle(), Buttons::Ok, Icon::None);
    QVERIFY(!rig.session->state().linkUp);
    QVERIFY(rig.checked("mnstop") && !rig.checked("mnrun") && !rig.checked("mnpause"));
    QVERIFY(!rig.checked("mnconnect"));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("start")));
    QVERIFY(!rig.recording().timerEnabled());
    QVERIFY(!rig.recording().logFile().isOpen());
    QCOMPARE(rig.session->state().resetPending, qint16(5));
    QCOMPARE(rig.record().gridRowCount(), 2);
    QVERIFY(rig.serial.openAttempts().size() == 3); // three tries on COM3 only
    QVERIFY(!rig.serial.isOpen());
}

void TestRecording::stopReloadsTheAlarmSetupSwitchedOff()
{
    Rig rig;
    rig.recording().run();
    AlarmSetup &alarm = rig.session->alarmSetup();
    alarm.checkEnabled = alarm.checked = alarm.controlsEnabled = true;
    alarm.hiText = QStringLiteral("5"); // an edit never confirmed with OK
    rig.session->state().alarmEnabled = true;
    rig.session->state().alarmActive = true;
    rig.session->monitor().label8[2] = QStringLiteral("5");
    rig.session->monitor().soundingImageVisible = true;
    rig.store->save(QStringLiteral("setup_T1Hi"), QStringLiteral("42"));
    rig.store->save(QStringLiteral("setup_T1_CK"), QStringLiteral("1"));

    rig.recording().stop();

    QVERIFY(!alarm.checkEnabled && !alarm.checked && !alarm.controlsEnabled);
    QCOMPARE(alarm.hiText, QStringLiteral("42"));
    QCOMPARE(alarm.choice, 1);
    QVERIFY(!rig.session->state().alarmEnabled);
    QVERIFY(!rig.session->state().alarmActive);
    QCOMPARE(rig.session->monitor().label8[2], QStringLiteral("-"));
    QCOMPARE(rig.session->monitor().label8[3], QStringLiteral("-"));
    QVERIFY(rig.session->monitor().label8[4].isEmpty());
    QVERIFY(!rig.session->monitor().soundingImageVisible && !rig.session->monitor().armedImageVisible);
}

void TestRecording::lostPortStopsTheRecording()
{
    Rig rig;
    rig.recording().run();
    rig.receive();

    rig.serial.loseDevice(QStringLiteral("device removed"));

    QCOMPARE(rig.prompts.calls().size(), 1);
    verifyCall(rig.prompts.lastCall(),
               QStringLiteral("The receiver's port was lost (device removed). The recording was stopped."),
               applicationTitle(), Buttons::Ok, Icon::Warning);
    QVERIFY(rig.checked("mnstop") && !rig.checked("mnrun"));
    QVERIFY(!rig.recording().timerEnabled());
    QVERIFY(!rig.recording().logFile().isOpen());
    QVERIFY(!rig.session->state().linkUp);
    QVERIFY(!rig.checked("mnconnect"));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QCOMPARE(rig.record().cell(1, 0), QStringLiteral("0001")); // the record stays for saving

    // the next Start links anew and records again
    rig.prompts.queueAnswer(Answer::No);
    rig.recording().run();
    QVERIFY(rig.checked("mnrun"));
    QVERIFY(rig.serial.isOpen());
}

void TestRecording::portThatWillNotOpenAtStartStops()
{
    Rig rig;
    rig.recording().run();
    rig.recording().pause();
    rig.serial.setPermissionDenied({ReceiverPort}, QStringLiteral("COM3 is in use."));

    rig.recording().run();

    QCOMPARE(rig.prompts.calls().size(), 1);
    verifyCall(rig.prompts.lastCall(), LinkErrorText + QStringLiteral("\nCOM3 is in use."),
               applicationTitle(), Buttons::Ok, Icon::Warning);
    QVERIFY(rig.checked("mnstop") && !rig.checked("mnrun") && !rig.checked("mnpause"));
    QVERIFY(!rig.recording().timerEnabled());
    QVERIFY(!rig.session->state().linkUp);
}

void TestRecording::restartSavesAndStartsANewRecord()
{
    Rig rig;
    rig.recording().run();
    rig.receive();
    rig.clock.advance(5000);

    rig.recording().restartRecord();

    QCOMPARE(rig.saver->autoSaves, 1);
    QCOMPARE(rig.saver->stampAtSave, QStringLiteral("20240315_093000"));
    QVERIFY(!rig.saver->firstDateAtSave.isEmpty());
    QVERIFY(rig.prompts.calls().isEmpty()); // the automatic save made the file the question looks for
    QVERIFY(rig.checked("mnrun"));
    QVERIFY(rig.recording().timerEnabled());
    QVERIFY(rig.serial.isOpen());
    QVERIFY(rig.record().stamp() != QStringLiteral("20240315_093000"));
    QVERIFY(rig.record().stamp().startsWith(QStringLiteral("20240315_09300")));
    QVERIFY(rig.record().cell(1, 1).isEmpty());
}

void TestRecording::connectTogglesTheLink()
{
    Rig rig;
    Commands &procs = rig.session->commandProcs();

    procs.connectCommand();
    QVERIFY(rig.session->state().linkUp);
    QVERIFY(rig.checked("mnconnect"));
    QVERIFY(!rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QVERIFY(!rig.serial.isOpen());
    QCOMPARE(rig.serial.rThreshold(), 6);

    procs.connectCommand();
    QVERIFY(!rig.session->state().linkUp);
    QVERIFY(!rig.checked("mnconnect"));
    QVERIFY(rig.commands().isButtonEnabled(QStringLiteral("connect")));
    QVERIFY(rig.checked("mnstop"));

    // Connect while recording ends the recording
    rig.recording().run();
    QVERIFY(rig.checked("mnconnect"));
    procs.connectCommand();
    QVERIFY(rig.checked("mnstop") && !rig.checked("mnrun"));
    QVERIFY(!rig.serial.isOpen());
    QVERIFY(!rig.session->state().linkUp);
    QVERIFY(rig.prompts.calls().isEmpty());
}

void TestRecording::connectWithoutReceiverChangesNothing()
{
    Rig rig;
    rig.serial.setAnsweringPorts({});
    QSignalSpy changes(&rig.commands(), &CommandState::changed);

    rig.session->commandProcs().connectCommand();

    QCOMPARE(rig.prompts.messageTexts(), QStringList{LinkErrorText});
    QVERIFY(!rig.session->state().linkUp);
    QCOMPARE(changes.count(), 0);
}

void TestRecording::closeAllHidesEveryWindow()
{
    Rig rig;
    rig.recording().run();
    rig.session->commandProcs().togglePower();
    QVERIFY(rig.checked("mnpower"));

    rig.session->commandProcs().closeAll();

    QVERIFY(!rig.checked("mngr") && !rig.checked("mntab") && !rig.checked("mnmo") && !rig.checked("mnpower"));
    QVERIFY(!rig.recording().timerEnabled());
    QVERIFY(!rig.session->state().linkUp);
    rig.session->commandProcs().closeAll(); // nothing visible: nothing toggles back on
    QVERIFY(!rig.checked("mngr") && !rig.checked("mntab") && !rig.checked("mnmo") && !rig.checked("mnpower"));
}

void TestRecording::graphToggleSetsTheLastPage()
{
    Rig rig;
    PageBoxSpy graph;
    rig.session->setGraphHooks(&graph);
    Commands &procs = rig.session->commandProcs();

    procs.toggleGraph(); // no record file yet: only the check mark
    QVERIFY(rig.checked("mngr"));
    QCOMPARE(graph.tickTexts, 0);
    QVERIFY(graph.pageBox.isEmpty());

    rig.session->monitor().file = FirstFile;
    rig.record().setGridRowCount(252); // 250 rows, 100 per page at factor 1.0 -> 2.5 -> 3
    rig.session->settings().timeAxisFactor = 1.0f;
    procs.toggleGraph();
    QVERIFY(!rig.checked("mngr"));
    QCOMPARE(graph.tickTexts, 1);
    QCOMPARE(graph.pageBox, (QStringList{QStringLiteral("0"), QStringLiteral("3")}));

    rig.session->settings().timeAxisFactor = 0.25f; // 250 / 100 / 0.25 = 10 exactly
    graph.pageBox.clear();
    procs.toggleGraph();
    QCOMPARE(graph.pageBox, (QStringList{QStringLiteral("0"), QStringLiteral("10")}));
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
    Commands &procs = rig.session->commandProcs();
    QSignalSpy popups(&procs, &Commands::popupRequested);
    QSignalSpy missing(&procs, &Commands::commandUnavailable);
    QSignalSpy changes(&rig.commands(), &CommandState::changed);

    procs.toolbarClicked(key);

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
    QVERIFY(rig.recording().timerEnabled());
    QVERIFY(!timer->isActive()); // driven by hand in these tests

    rig.recording().setTimerRunsByItself(true);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    rig.recording().pause();
    QVERIFY(!timer->isActive());
    QVERIFY(!rig.recording().timerEnabled());
    rig.recording().run();
    QVERIFY(timer->isActive());
}

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
