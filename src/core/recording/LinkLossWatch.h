#pragma once
#include <QObject>
#include <QString>
#include <QTimer>

class Clock;
class MonitorFields;
class SerialControl;

// After the receiver's port was lost while recording: tries to open the same port again, at
// most once a second, and says in the monitor how long the link has been lost ("Link lost
// 00:12") and, once that is over, how often and how long it was lost in the record ("Link lost
// once, 00:13", "Link lost 2 times, 00:20").
class LinkLossWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryIntervalMs = 1000;
    // Finer than a second, so the shown time never skips one.
    static constexpr int TickIntervalMs = 250;

    LinkLossWatch(SerialControl &serial, Clock &clock, MonitorFields &monitor, QObject *parent = nullptr);

    bool isWatching() const { return m_watching; }
    void begin(); // the port was just lost: the first try comes a second later
    // The waiting is over, by the port's return or a command; the loss counts until now.
    void end();
    void forgetLosses();                               // a new record has none yet
    qint64 lastLossMs() const { return m_lastLossMs; } // the loss that ended last

    void tick();     // one step of the watch (tests call it directly)
    void retryNow(); // tries the port at once, e.g. at Start while waiting

    // false in tests that drive tick() by hand
    void setRunsByItself(bool on);

    static QString durationText(qint64 seconds); // "00:12", "59:59", "1:00:00"

Q_SIGNALS:
    // The port opened again; the watch has ended.
    void portBack();

private:
    void tryPort();
    void showLoss();
    qint64 lostMs() const;

    SerialControl &m_serial;
    Clock &m_clock;
    MonitorFields &m_monitor;
    QTimer m_timer;
    bool m_runsByItself = true;
    bool m_watching = false;
    qint64 m_lostAt = 0;    // tick of the loss being watched
    qint64 m_lastTry = 0;   // tick of the last open attempt
    qint64 m_earlierMs = 0; // the record's losses that are over
    qint64 m_lastLossMs = 0;
    int m_losses = 0; // the record's losses, the one watched included
};
