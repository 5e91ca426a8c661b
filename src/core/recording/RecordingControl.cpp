#include "core/recording/RecordingControl.h"

#include <QCoreApplication>

#include <QElapsedTimer>
#include <QScopedValueRollback>
#include <QTextStream>
#include <limits>
#include <tuple>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/Clock.h"
#include "core/common/Files.h"
#include "core/common/Prompts.h"
#include "core/common/WindowHooks.h"
#include "core/link/FrameDecoder.h"
#include "core/link/LinkProber.h"
#include "core/link/SerialControl.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordReset.h"
#include "core/settings/UserSettings.h"

namespace
{

constexpr int TimerIntervalMs = 1000;
constexpr int TimeoutTicks = 10;   // the question comes at the tick after this many
constexpr int StopSettleMs = 150;  // lets the last receive events run before the port closes
constexpr int ResumeSettleMs = 50; // lets stale input arrive before it is discarded

} // namespace

RecordingControl::RecordingControl(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators),
      m_lossWatch(collaborators.serial, collaborators.clock, collaborators.monitor, this)
{
    m_timer.setParent(this);
    m_timer.setInterval(TimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &RecordingControl::timerTick);
    connect(&m_.serial, &SerialControl::portLost, this, &RecordingControl::onPortLost);
    connect(&m_lossWatch, &LinkLossWatch::portBack, this, &RecordingControl::onPortBack);
    connect(&m_.decoder, &FrameDecoder::frameReceived, this, [this] { m_.state.link.timeoutTicks = 0; });
}

void RecordingControl::start()
{
    // A Start inside Stop's settle wait (a click, or the restart of a record split by a frame
    // arriving then) would open a record that the rest of the Stop closes under a running timer.
    // One during Connect's probe would find no link, stop, and so end the probe too.
    if (m_status.running() || m_stopping || m_.link.isProbing()) return;
    if (m_lossWatch.isWatching()) {
        m_lossWatch.retryNow(); // resumes through onPortBack() when the port opens
        return;
    }
    AcquisitionState &state = m_.state;
    if (state.resetPending != ResetPending::None) {
        Q_EMIT windowsResetNeeded();
        state.resetPending = ResetPending::None;
    }
    if (!state.link.up)
        startOnNewLink();
    else if (m_status.paused())
        resume();
    else
        startOnLink();
}

void RecordingControl::startOnNewLink()
{
    m_status.setMode(RecordingMode::Linking);
    Q_EMIT recordWindowsNeeded();
    // The link comes first: a Start that finds no receiver leaves the previous record, its
    // file name and its statistics as they were.
    m_.link.linkOn();
    if (!m_.state.link.up) {
        stop();
        // Connect may still carry the mark of the previous record's link.
        m_status.setLinked(false);
        return;
    }
    // A Stop or Pause pressed while the link was probed wins over a link that came up anyway.
    if (!m_status.running()) {
        stop();
        return;
    }
    m_status.setLinked(true);
    // The previous record is offered for saving before the table is emptied.
    if (!reAutoSave()) {
        stop();
        return;
    }

    m_.reset.clearRecord();
    m_logFile.deleteLogFile();
    dataSet();
    if (!openPortForRecording()) return;
    enterRecording();
    m_.record.resetCounters();
    m_.decoder.discardInput();
    startTimer();
}

void RecordingControl::resume()
{
    Q_EMIT recordWindowsNeeded();
    enterRecording();
    // Readings the receiver sent during the pause belong to no record, and would carry the
    // time of the resume: none is decoded until the settle wait is over.
    m_.decoder.setDiscarding(true);
    if (!openPortForRecording()) {
        m_.decoder.setDiscarding(false);
        return;
    }
    restoreDisplay();
    waitMs(m_.clock, ResumeSettleMs);
    m_.decoder.setDiscarding(false);
    if (!m_onPort) return; // a Stop or Pause during the wait stands
    m_.decoder.discardInput();
    startTimer();
}

void RecordingControl::startOnLink()
{
    Q_EMIT recordWindowsNeeded();
    enterRecording();
    if (!reAutoSave()) {
        stop();
        return;
    }
    m_.reset.clearRecord();
    if (!openPortForRecording()) return;
    m_logFile.deleteLogFile();
    dataSet();
    m_.record.resetCounters();
    m_.decoder.discardInput();
    startTimer();
}

void RecordingControl::enterRecording()
{
    m_status.setLinked(true);
    m_status.setMode(RecordingMode::Recording);
}

bool RecordingControl::openPortForRecording()
{
    SerialControl &serial = m_.serial;
    if (!serial.isOpen() && serial.open() != SerialControl::OpenResult::Opened) {
        // The receiver answered moments ago, so the port vanished or was taken in between.
        // Recording on a closed port would leave a Start that can neither time out nor resume.
        const QString reason = serial.lastOpenError(); // names the port itself
        abandonRecording(LinkProber::linkErrorText() + QLatin1Char('\n') +
                         (reason.isEmpty() ? serial.portName() : reason));
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
    m_.state.link.up = false;
    m_status.setLinked(false);
    m_.prompts.message(message, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
}

// A lost port (an unplugged adapter) pauses the record as Pause does, with no question that
// would hold an unattended run, and the port is tried again until it opens or a command ends
// the waiting. The supervision timer is off meanwhile, so no time-out question comes either.
void RecordingControl::onPortLost(const QString &reason)
{
    // A probe's port: the link reports its own failure. A Stop under way closes the record anyway.
    if (!m_onPort || m_stopping) return;
    QTextStream(stderr) << "voltrix: " << m_.serial.portName() << " was lost: " << reason
                        << "; waiting for it to come back" << Qt::endl;
    m_.state.main.alarmActive = false;
    disableTimer();
    m_onPort = false;
    // The big display must not go on showing the last reading as if it were live.
    m_displayBeforeLoss = std::make_pair(m_.monitor.bigValue, m_.monitor.bigUnit);
    m_.monitor.bigValue = QStringLiteral("LOST");
    m_.monitor.bigUnit.clear();
    m_.monitor.notify();
    m_status.setMode(RecordingMode::Paused);
    m_lossWatch.begin();
}

void RecordingControl::restoreDisplay()
{
    if (!m_displayBeforeLoss) return;
    std::tie(m_.monitor.bigValue, m_.monitor.bigUnit) = *std::exchange(m_displayBeforeLoss, std::nullopt);
    m_.monitor.notify();
}

void RecordingControl::onPortBack()
{
    QTextStream(stderr) << "voltrix: " << m_.serial.portName() << " is back after "
                        << LinkLossWatch::durationText(m_lossWatch.lastLossMs() / 1000)
                        << "; recording goes on" << Qt::endl;
    resume();
}

void RecordingControl::pause()
{
    m_.state.main.alarmActive = false;
    // The user takes over from the waiting: the record resumes only at Start.
    m_lossWatch.end();
    SerialControl &serial = m_.serial;
    if (!serial.isOpen()) return;
    disableTimer();
    serial.close();
    m_onPort = false;
    m_status.setMode(RecordingMode::Paused);
}

void RecordingControl::stop()
{
    const QScopedValueRollback<bool> stopping(m_stopping, true);
    m_lossWatch.end();
    // A stopped record shows its last reading, not a link that is no longer waited for.
    restoreDisplay();
    disableTimer();
    SerialControl &serial = m_.serial;
    const bool recordOpen = serial.isOpen() || m_status.paused();
    m_status.setMode(RecordingMode::Stopping);
    if (recordOpen) waitMs(m_.clock, StopSettleMs);
    m_logFile.close();
    if (serial.isOpen()) serial.close();
    m_.decoder.discardInput();
    m_onPort = false;
    m_status.setMode(RecordingMode::Stopped);

    m_.alarm.disarm();
    m_.state.resetPending = ResetPending::Idle;
    reloadSetup();
}

void RecordingControl::reloadSetup()
{
    m_.settings.loadSetup(false);
    m_.state.link.selectedPort = m_.settings.values().portIndex;
    m_.alarm.loadSetup(m_.settings.values());
}

void RecordingControl::timerTick()
{
    if (!m_timerEnabled) return;
    AcquisitionState &state = m_.state;
    if (state.main.alarmActive) m_.alarm.beepH();
    if (state.link.timeoutTicks < std::numeric_limits<qint16>::max()) ++state.link.timeoutTicks;
    if (state.link.timeoutTicks <= TimeoutTicks || m_.decoder.inputWaiting()) return;

    disableTimer();
    const Prompts::Answer answer = m_.prompts.message(
        timeOutQuestion(), QCoreApplication::translate("RecordingControl", "Real time data"),
        Prompts::Buttons::YesNo, Prompts::Icon::None);
    // While the question was open the user may have paused or stopped; that command stands.
    if (!m_status.running()) return;
    if (answer == Prompts::Answer::Yes) {
        pause();
        start();
    } else {
        stop();
    }
}

void RecordingControl::clearCommand()
{
    if (m_status.running() || m_status.paused()) {
        const Prompts::Answer answer =
            m_.prompts.message(QCoreApplication::translate(
                                   "RecordingControl", "(Clear record ).  Recording! Do you want to clear?"),
                               clearTitle(), Prompts::Buttons::YesNo, Prompts::Icon::Question);
        if (answer != Prompts::Answer::Yes) return;
    }
    if (!reAutoSave()) return;
    discardRecord();
    stop();
    m_.reset.clearRecord();
}

// Decided from the record itself, whatever windows are shown: a first sample, a file name and
// no saved file.
bool RecordingControl::recordUnsaved() const
{
    const QString name = m_.monitor.file.trimmed();
    if (m_.record.cell(1, 1).isEmpty() || name.isEmpty() || m_.saver.isSaving(name)) return false;
    return !fileExists(m_.saver.savedPathFor(name)) && !fileExists(name);
}

QString RecordingControl::timeOutQuestion()
{
    return QCoreApplication::translate("RecordingControl", "Time out! Continue to receive data now? ");
}

QString RecordingControl::clearTitle()
{
    return QCoreApplication::translate("RecordingControl", "Clear record!");
}

QString RecordingControl::saveQuestionText() const
{
    return QCoreApplication::translate("RecordingControl",
                                       "(%1).  This record didn't saved ! Do you want to save?")
        .arg(m_.monitor.file.trimmed());
}

bool RecordingControl::reAutoSave()
{
    if (!recordUnsaved()) return true;
    const Prompts::Answer answer =
        m_.prompts.message(saveQuestionText(), QCoreApplication::translate("RecordingControl", "Save File!"),
                           Prompts::Buttons::YesNo, Prompts::Icon::Question);
    if (answer == Prompts::Answer::Yes) return m_.saver.saveDataCommand();
    discardRecord();
    return true;
}

bool RecordingControl::confirmClose()
{
    // Records split off are written before the program ends, and their failures told.
    m_.saver.waitForSaves();
    if (!recordUnsaved()) return true;
    const Prompts::Answer answer =
        m_.prompts.message(saveQuestionText(), QCoreApplication::translate("RecordingControl", "Save File!"),
                           Prompts::Buttons::YesNoCancel, Prompts::Icon::Question);
    if (answer == Prompts::Answer::Cancel) return false;
    if (answer != Prompts::Answer::Yes) {
        discardRecord();
        return true;
    }
    // What is saved is the record as it ends; a save that fails keeps the program open.
    if (!m_status.stopped() && m_status.mode() != RecordingMode::Idle) stop();
    return m_.saver.saveDataCommand();
}

void RecordingControl::restartRecord()
{
    QElapsedTimer took;
    took.start();
    // A frame decoded in Stop's settle wait closes the record as ever; the Start that follows
    // finds the Stop under way and leaves it stopped.
    const bool onOpenPort = m_onPort && !m_stopping;
    if (!onOpenPort) stop();
    QString error;
    if (!m_.saver.autoSave(&error)) {
        if (onOpenPort) stop();
        // Restarting would empty the table of a record that exists nowhere else.
        m_.prompts.message(QCoreApplication::translate(
                               "RecordingControl", "The record could not be saved automatically (%1). The "
                                                   "recording was stopped; the record is kept in the table.")
                               .arg(error),
                           applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    if (!onOpenPort) {
        start();
        return;
    }
    beginNextRecordOnPort();
    Q_EMIT recordSplit(took.nsecsElapsed());
}

// The record ends as Stop ends it and the next begins as a Start on the link begins one, but
// the port stays open: what waits in it, a frame begun included, and what still comes goes
// into the new record.
void RecordingControl::beginNextRecordOnPort()
{
    disableTimer();
    m_logFile.close();
    m_.alarm.disarm();
    reloadSetup();

    Q_EMIT recordWindowsNeeded();
    m_.reset.clearRecord();
    m_logFile.deleteLogFile();
    dataSet();
    m_.record.resetCounters();
    startTimer();
}

void RecordingControl::dataSet()
{
    m_lossWatch.forgetLosses();
    m_.record.stampRecord(m_.clock.now());
    m_.monitor.file = RecordStore::fileNameForStamp(m_.record.stamp());
    m_.monitor.notify();
    m_logFile.open();
    Q_EMIT recordStarted();
}

void RecordingControl::startTimer()
{
    m_.state.link.timeoutTicks = 0;
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
    m_lossWatch.setRunsByItself(on);
    m_timerRunsByItself = on;
    if (on && m_timerEnabled)
        m_timer.start();
    else
        m_timer.stop();
}
