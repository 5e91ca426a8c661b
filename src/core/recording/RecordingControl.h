#pragma once
#include <QObject>
#include <QString>
#include <QTimer>

#include "core/recording/LogFile.h"

class Session;

// Starting, pausing, resuming and stopping recordings, the one-second supervision timer
// with its time-out question, Clear record and the question that offers to save.
// The check marks of Start, Pause, Stop and Connect in CommandState are the recording state.
class RecordingControl : public QObject
{
    Q_OBJECT
public:
    explicit RecordingControl(Session &session);

    void run(); // Start: new record, resume, or new record on an existing link
    void pause();
    void stop();
    void timerTick();     // one tick of the supervision timer (tests call it directly)
    void clearCommand();  // Edit > Clear record
    void reAutoSave();    // offers to save a record whose file does not exist
    void clearRecord();   // empties the record and the monitor for a new record
    void restartRecord(); // stop, save without a dialog, start anew (function change, 9999 rows)

    // The Setup dialog's alarm part as its load leaves it while no recording runs, with the
    // setup group read again from the store (what unloading the dialog amounts to).
    void reloadSetup();

    bool timerEnabled() const { return m_timerEnabled; }
    void disableTimer();
    // false in tests that drive timerTick() by hand
    void setTimerRunsByItself(bool on);

    // The log file that marks a running record: recordsFolder()/data.log.
    const LogFile &logFile() const { return m_logFile; }

Q_SIGNALS:
    // A record was opened anew (after ClearRecord and its stamp).
    void recordStarted();

private:
    void startOnNewLink(); // Start while unlinked: link first, then a new record
    void resume();         // Start while paused: the same record goes on
    void startOnLink();    // Start on a link that is still up: a new record
    void checkRecording();
    void showRecordWindows();
    bool openPortForRecording();
    void abandonRecording(const QString &message);
    void discardInput(); // what waits at the port and any frame begun before
    void startTimer();
    void deleteLogFile();
    void dataSet();
    void onPortLost(const QString &reason);

    Session &m_session;
    LogFile m_logFile;
    QTimer m_timer;
    bool m_timerRunsByItself = true;
    bool m_timerEnabled = false;
    // The recording has the port open (from Start or resume until Pause or Stop).
    bool m_onPort = false;
    bool m_stopping = false; // inside stop(), whose settle wait lets events run
};
