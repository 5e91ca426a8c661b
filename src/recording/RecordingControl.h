#pragma once
#include <QObject>
#include <QTimer>

class Session;

// Starting, pausing, resuming and stopping recordings, the one-second supervision timer
// with its time-out question, Clear record and the question that offers to save.
class RecordingControl : public QObject {
    Q_OBJECT
public:
    explicit RecordingControl(Session &session);

    void run();            // Start: new record, resume, or new record on an existing link
    void pause();
    void stop();
    void timerTick();      // one tick of the supervision timer (tests call it directly)
    void clearCommand();   // Edit > Clear record
    void reAutoSave();     // offers to save a record whose file does not exist
    void clearRecord();    // empties the record and the monitor for a new record
    void restartRecord();  // stop, save without a dialog, start anew (function change, 9999 rows)

    bool timerEnabled() const { return m_timerEnabled; }
    // false in tests that drive timerTick() by hand
    void setTimerRunsByItself(bool on) { m_timerRunsByItself = on; }

Q_SIGNALS:
    // A record was opened anew (after ClearRecord and its stamp).
    void recordStarted();

private:
    void startTimer();
    void stopTimer();
    void openPortForRecording();
    void newRecordFiles();

    Session &m_session;
    QTimer m_timer;
    bool m_timerRunsByItself = true;
    bool m_timerEnabled = false;
};
