#include "core/recording/RecordingControl.h"

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Clock.h"
#include "core/common/Files.h"
#include "core/common/Prompts.h"
#include "core/link/FrameDecoder.h"
#include "core/link/LinkProber.h"
#include "core/link/SerialControl.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/recording/RecordStore.h"
#include "core/session/Session.h"
#include "core/session/WindowHooks.h"
#include "core/settings/SettingsStore.h"

#include <QDir>
#include <QScopedValueRollback>
#include <limits>

namespace
{

constexpr int TimerIntervalMs = 1000;
constexpr int TimeoutTicks = 10;   // the question comes at the tick after this many
constexpr int StopSettleMs = 150;  // lets the last receive events run before the port closes
constexpr int ResumeSettleMs = 50; // lets stale input arrive before it is discarded

const QString Run = QStringLiteral("mnrun");
const QString Pause = QStringLiteral("mnpause");
const QString Stop = QStringLiteral("mnstop");

} // namespace

RecordingControl::RecordingControl(Session &session) : m_session(session)
{
    m_timer.setParent(this);
    m_timer.setInterval(TimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RecordingControl::timerTick);
    connect(&m_session.serial(), &SerialControl::portLost, this, &RecordingControl::onPortLost);
}

void RecordingControl::run()
{
    CommandState &commands = m_session.commands();
    // A Start inside Stop's settle wait (a click, or the restart of a record split by a frame
    // arriving then) would open a record that the rest of the Stop closes under a running timer.
    // One during Connect's probe would find no link, stop, and so end the probe too.
    if (commands.running() || m_stopping || m_session.link().isProbing()) return;
    AcquisitionState &state = m_session.state();
    if (state.resetPending != 0) {
        m_session.commandProcs().closeAll();
        state.resetPending = 0;
    }
    if (!state.linkUp)
        startOnNewLink();
    else if (commands.paused())
        resume();
    else
        startOnLink();
}

void RecordingControl::startOnNewLink()
{
    CommandState &commands = m_session.commands();
    AcquisitionState &state = m_session.state();
    RecordStore &record = m_session.record();

    checkRecording();
    showRecordWindows();
    // The previous record is offered for saving before the table is emptied for the link;
    // asked after the link, the question would always find the table empty and an unsaved
    // record would be lost without a word.
    if (!m_session.monitor().file.isEmpty()) reAutoSave();
    record.setGridRowCount(1);
    record.setGridRowCount(2);

    m_session.link().linkOn();
    if (!state.linkUp) {
        stop();
        // Connect may still carry the mark of the previous record's link.
        commands.applyUnlinked();
        return;
    }
    // A Stop or Pause pressed while the link was probed wins over a link that came up anyway.
    if (!commands.running()) {
        stop();
        return;
    }
    commands.applyLinked();

    clearRecord();
    deleteLogFile();
    dataSet();
    if (!openPortForRecording()) return;
    commands.applyRecording();
    record.resetCounters();
    discardInput();
    startTimer();
}

void RecordingControl::resume()
{
    showRecordWindows();
    checkRecording();
    m_session.commands().applyRecording();
    if (!openPortForRecording()) return;
    waitMs(m_session.clock(), ResumeSettleMs);
    if (!m_onPort) return; // a Stop or Pause during the wait stands
    discardInput();
    startTimer();
}

void RecordingControl::startOnLink()
{
    showRecordWindows();
    checkRecording();
    m_session.commands().applyRecording();
    if (!m_session.monitor().file.isEmpty()) reAutoSave();
    clearRecord();
    if (!openPortForRecording()) return;
    deleteLogFile();
    dataSet();
    m_session.record().resetCounters();
    discardInput();
    startTimer();
}

void RecordingControl::checkRecording()
{
    CommandState &commands = m_session.commands();
    commands.setChecked(Run, true);
    commands.setChecked(Stop, false);
    commands.setChecked(Pause, false);
}

void RecordingControl::showRecordWindows()
{
    const CommandState &commands = m_session.commands();
    Commands &procs = m_session.commandProcs();
    if (!commands.isChecked(QStringLiteral("mnmo"))) procs.toggleMonitor();
    if (!commands.isChecked(QStringLiteral("mntab"))) procs.toggleTable();
    if (!commands.isChecked(QStringLiteral("mngr"))) procs.toggleGraph();
}

bool RecordingControl::openPortForRecording()
{
    SerialControl &serial = m_session.serial();
    if (!serial.isOpen() && serial.open() != SerialControl::OpenResult::Opened) {
        // The receiver answered moments ago, so the port vanished or was taken in between.
        // Recording on a closed port would leave a Start that can neither time out nor resume.
        QString text = LinkProber::linkErrorText();
        const QString reason = serial.lastOpenError();
        if (!reason.isEmpty()) text += QLatin1Char('\n') + reason;
        abandonRecording(text);
        return false;
    }
    serial.setInputLen(0);
    m_onPort = true;
    return true;
}

void RecordingControl::abandonRecording(const QString &message)
{
    stop();
    // The link is gone with the port: Connect shows unlinked and the next Start links anew.
    m_session.state().linkUp = false;
    m_session.commands().applyUnlinked();
    m_session.prompts().message(message, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
}

// A lost port while recording is handled at once rather than left to the time-out question:
// its Yes would pause (nothing to do on a closed port) and then Start (ignored while Start is
// checked), leaving a record that neither runs nor stops.
void RecordingControl::onPortLost(const QString &reason)
{
    if (!m_onPort) return; // a probe's port: the link reports its own failure
    QString text = QStringLiteral("The receiver's port was lost");
    if (!reason.isEmpty()) text += QStringLiteral(" (") + reason + QLatin1Char(')');
    text += QStringLiteral(". The recording was stopped.");
    abandonRecording(text);
}

void RecordingControl::pause()
{
    m_session.state().alarmActive = false;
    SerialControl &serial = m_session.serial();
    if (!serial.isOpen()) return;
    disableTimer();
    serial.close();
    m_onPort = false;
    CommandState &commands = m_session.commands();
    commands.setChecked(Run, false);
    commands.setChecked(Stop, false);
    commands.setChecked(Pause, true);
    commands.applyPaused();
}

void RecordingControl::stop()
{
    const QScopedValueRollback<bool> stopping(m_stopping, true);
    disableTimer();
    CommandState &commands = m_session.commands();
    SerialControl &serial = m_session.serial();
    const bool recordOpen = serial.isOpen() || commands.paused();
    commands.setChecked(Run, false);
    commands.setChecked(Stop, true);
    commands.setChecked(Pause, false);
    if (recordOpen) waitMs(m_session.clock(), StopSettleMs);
    // Closed whenever open, also after a lost port, which leaves no paused or open state.
    m_logFile.close();
    if (serial.isOpen()) serial.close();
    discardInput();
    m_onPort = false;
    commands.applyStopped();

    m_session.alarm().disarm();
    m_session.state().resetPending = 5;
    reloadSetup();
}

void RecordingControl::reloadSetup()
{
    Settings &settings = m_session.settings();
    settings.loadSetup(m_session.store(), false);
    AcquisitionState &state = m_session.state();
    state.selectedPort = settings.portIndex;

    AlarmSetup &alarm = m_session.alarmSetup();
    alarm.hiText = settings.T1Hi;
    alarm.lowText = settings.T1Low;
    alarm.choice = settings.T1_CK;
    // No recording runs after Stop, so the load leaves the alarm switched off.
    alarm.checkEnabled = false;
    alarm.checked = false;
    alarm.controlsEnabled = false;
    state.alarmEnabled = false;
    m_session.monitor().clearAlarmDisplay();
    m_session.monitor().notify();
}

void RecordingControl::timerTick()
{
    if (!m_timerEnabled) return;
    AcquisitionState &state = m_session.state();
    if (state.alarmActive) m_session.alarm().beepH();
    if (state.timeoutTicks < std::numeric_limits<qint16>::max()) ++state.timeoutTicks;
    if (state.timeoutTicks <= TimeoutTicks || m_session.serial().inBufferCount() > 0) return;

    disableTimer();
    const Prompts::Answer answer = m_session.prompts().message(
        QStringLiteral("Time out! Continue to receive data now? "), QStringLiteral("Real time data"),
        Prompts::Buttons::YesNo, Prompts::Icon::None);
    // While the question was open the user may have paused or stopped; that command stands.
    if (!m_session.commands().running()) return;
    if (answer == Prompts::Answer::Yes) {
        pause();
        run();
    } else {
        stop();
    }
}

void RecordingControl::clearCommand()
{
    const CommandState &commands = m_session.commands();
    if (commands.running() || commands.paused()) {
        const Prompts::Answer answer = m_session.prompts().message(
            QStringLiteral("(Clear record ") + QStringLiteral(").  Recording! Do you want to clear?"),
            QStringLiteral("Clear record!"), Prompts::Buttons::YesNo, Prompts::Icon::Question);
        if (answer != Prompts::Answer::Yes) return;
    }
    reAutoSave();
    stop();
    clearRecord();
}

void RecordingControl::reAutoSave()
{
    const CommandState &commands = m_session.commands();
    if (!commands.isChecked(QStringLiteral("mntab")) || m_session.record().cell(1, 1).isEmpty()) return;
    const MonitorFields &monitor = m_session.monitor();
    if (!commands.isChecked(QStringLiteral("mnmo")) || monitor.file.isEmpty()) return;
    const QString name = monitor.file.trimmed();
    if (name.isEmpty()) return;
    if (fileExists(m_session.saver().savedPathFor(name)) || fileExists(name)) return;
    const Prompts::Answer answer = m_session.prompts().message(
        QStringLiteral("(") + name + QStringLiteral(").  This record didn't saved ! Do you want to save?"),
        QStringLiteral("Save File!"), Prompts::Buttons::YesNo, Prompts::Icon::Question);
    if (answer == Prompts::Answer::Yes) m_session.saver().saveDataCommand();
}

void RecordingControl::clearRecord()
{
    m_session.record().clearRecord(m_session.channelNames());
    MonitorFields &monitor = m_session.monitor();
    monitor.reset();
    m_session.power().resetStart();
    m_session.state().clearChannels();
    m_session.statistics().clear();
    m_session.graph().setPageBox(QStringLiteral("0"));
    monitor.clearChannelList();
    AlarmSetup &alarm = m_session.alarmSetup();
    alarm.units.clear();
    alarm.unitIndex = -1;
    CommandState &commands = m_session.commands();
    commands.setEnabled(QStringLiteral("mnSaveData"), true);
    commands.setEnabled(QStringLiteral("pop_SaveData"), true);
    monitor.notify();
}

void RecordingControl::restartRecord()
{
    stop();
    m_session.saver().autoSave();
    run();
}

void RecordingControl::deleteLogFile()
{
    m_logFile.deleteLogFile();
}

void RecordingControl::dataSet()
{
    RecordStore &record = m_session.record();
    record.stampRecord(m_session.clock().now());
    m_session.monitor().file = RecordStore::fileNameForStamp(record.stamp());
    m_session.monitor().notify();
    m_logFile.open();
    Q_EMIT recordStarted();
}

void RecordingControl::discardInput()
{
    m_session.serial().clearInput();
    // A frame torn by the last close would otherwise be completed with the new bytes.
    m_session.decoder().discardPending();
}

void RecordingControl::startTimer()
{
    m_session.state().timeoutTicks = 0;
    m_timerEnabled = true;
    if (m_timerRunsByItself) m_timer.start();
}

void RecordingControl::disableTimer()
{
    m_timerEnabled = false;
    m_timer.stop();
}

void RecordingControl::setTimerRunsByItself(bool on)
{
    m_timerRunsByItself = on;
    if (on && m_timerEnabled)
        m_timer.start();
    else
        m_timer.stop();
}
