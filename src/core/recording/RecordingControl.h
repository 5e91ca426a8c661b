#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>
#include <utility>

#include "core/recording/LinkLossWatch.h"
#include "core/recording/LogFile.h"
#include "core/recording/RecordingStatus.h"

struct AcquisitionState;
class Alarm;
class Clock;
class FrameDecoder;
class LinkProber;
class MonitorFields;
class Prompts;
class RecordReset;
class RecordSaver;
class RecordStore;
class SerialControl;
class UserSettings;

// Starting, pausing, resuming and stopping recordings, the one-second supervision timer
// with its time-out question, Clear record and the question that offers to save. Owns the
// recording state. A port lost while recording pauses the record until the port opens again.
class RecordingControl : public QObject
{
    Q_OBJECT
public:
    struct Collaborators {
        SerialControl &serial;
        Clock &clock;
        Prompts &prompts;
        LinkProber &link;
        FrameDecoder &decoder;
        AcquisitionState &state;
        RecordStore &record;
        MonitorFields &monitor;
        Alarm &alarm;
        RecordReset &reset;
        RecordSaver &saver;
        UserSettings &settings;
    };
    explicit RecordingControl(const Collaborators &collaborators, QObject *parent = nullptr);

    const RecordingStatus &status() const { return m_status; }
    RecordingStatus &status() { return m_status; }

    // Start: new record, resume, or new record on an existing link. While the lost port is
    // awaited it is tried at once, and the waiting goes on when it is still missing.
    void start();
    void pause(); // also ends the waiting for a lost port: the recording stays paused
    void stop();
    void timerTick();    // one tick of the supervision timer (tests call it directly)
    void clearCommand(); // Edit > Clear record
    // Offers to save a record whose file does not exist and is not being written. False when
    // the user asked for the save and it failed: the record must then be kept as it is.
    bool reAutoSave();
    // The program is about to close: the automatic saves under way are finished, an unsaved
    // record is offered for saving, with Cancel to stay. True when the program may close.
    bool confirmClose();
    // A function change or a full table: the record is handed to the saver and a new one
    // begins on the open port at once. Where no folder can take the file, the recording stops
    // and the record stays in the table.
    void restartRecord();
    // The record in the table is dropped on purpose (Clear record, Open, No to saving it).
    void discardRecord() { Q_EMIT recordDiscarded(); }

    // The Setup dialog's hidden load while no recording runs: the setup group read again from
    // the store, the alarm switched off.
    void reloadSetup();

    bool timerEnabled() const { return m_timerEnabled; }
    void disableTimer();
    // false in tests that drive timerTick() and lossWatch().tick() by hand
    void setTimerRunsByItself(bool on);

    // Paused by a lost port, which is tried again each second.
    bool waitingForPort() const { return m_lossWatch.isWatching(); }
    LinkLossWatch &lossWatch() { return m_lossWatch; }
    // Close All and the program's end: the record stays paused, the port is no longer tried.
    void endWaiting() { m_lossWatch.end(); }

    // The log file that marks a running record: recordsFolder()/data.log.
    const LogFile &logFile() const { return m_logFile; }

    // The questions an unattended run answers by rule, in the language of the windows.
    static QString timeOutQuestion();
    static QString clearTitle();

Q_SIGNALS:
    // A recording begins after start-up or a Stop: every child window is closed first.
    void windowsResetNeeded();
    // Monitor, table and graph are to be shown for the record that starts.
    void recordWindowsNeeded();
    // A record was opened anew (after ClearRecord and its stamp).
    void recordStarted();
    // The record in the table is to go unsaved, as the user chose.
    void recordDiscarded();
    // A record was split off on the open port and the next began, in `durationNs`.
    void recordSplit(qint64 durationNs);

private:
    void restoreDisplay(); // what the big display showed before "LOST"
    void startOnNewLink(); // Start while unlinked: link first, then a new record
    void resume();         // Start while paused: the same record goes on
    void startOnLink();    // Start on a link that is still up: a new record
    void beginNextRecordOnPort();
    bool openPortForRecording();
    void enterRecording();
    void abandonRecording(const QString &message);
    void startTimer();
    bool recordUnsaved() const;
    QString saveQuestionText() const;

    void dataSet();
    void onPortLost(const QString &reason);
    void onPortBack();

    Collaborators m_;
    RecordingStatus m_status;
    LogFile m_logFile;
    QTimer m_timer;
    LinkLossWatch m_lossWatch;
    // The big display before a lost port showed "LOST"; put back when the record resumes.
    std::optional<std::pair<QString, QString>> m_displayBeforeLoss;
    bool m_timerRunsByItself = true;
    bool m_timerEnabled = false;
    // The recording has the port open (from Start or resume until Pause or Stop).
    bool m_onPort = false;
    bool m_stopping = false; // inside stop(), whose settle wait lets events run
};
