#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "core/link/FrameEncoder.h"

class Pty;
class QTimer;

// One simulated clamp meter: what it measures and how its reading moves.
struct SimulatedMeter {
    enum class Pattern { Constant, Ramp, Sine, RandomWalk };

    int channel = 0;      // 0..5
    int intervalCode = 0; // 0..4, announced in every frame
    int intervalMs = 0;   // 0 = the interval code's time
    int functionCode = 0; // 0..9
    int prefixCode = 3;   // 0..5
    int decimalCode = 0;  // 0 (divisor 1), 1 (1000), 2 (100), 4 (10); others are sent as given
    Pattern pattern = Pattern::Constant;
    double minimum = 0; // the reading's range, in the display's units
    double maximum = 100;
    double level =
        std::numeric_limits<double>::quiet_NaN(); // constant value and walk start; NaN = middle of the range
    double periodS = 60;                          // ramp and sine, in simulated seconds
    quint32 seed = 1;                             // random walk

    int overloadEvery = 0;       // every Nth frame is an overload mark
    int rangeChangeEvery = 0;    // the prefix toggles to a neighbouring range every N frames
    int functionSwitchAfter = 0; // after N frames the meter measures `switchToFunction`
    int switchToFunction = -1;   // -1 = the next function code
    int startDelayMs = -1;       // first frame; -1 = spread the meters over one interval

    int effectiveIntervalMs() const;
};

// The frames of one meter, one after the other; pure, so tests can step it without timers.
class MeterSignal
{
public:
    explicit MeterSignal(const SimulatedMeter &meter);

    QByteArray nextFrame();
    // The reading of frame `n` (1-based), before rounding to digits.
    double valueAt(int n) const;

private:
    SimulatedMeter m_meter;
    std::mt19937 m_random;
    double m_walk;
    int m_frames = 0;
};

struct SimulatorOptions {
    // A live receiver proves it is alive between readings; 0 sends none, as one that died.
    int statusEveryMs = 1000;
    bool strayBytes = false; // one to three bytes that are no start byte before each reading
    double timeFactor = 1.0; // > 1 runs faster than real time
    int frameLimit = 0;      // stop after this many frames (readings and status); 0 = never
    quint32 seed = 1;        // stray bytes
    // The meters send in turn, their intervals aside (these only time the readings' values), as
    // fast as the reader takes the frames, and no faster than floodRate frames a second when that
    // is above 0. A reader that falls behind holds the sending back: no frame is dropped.
    bool flood = false;
    int floodRate = 0;
};

// A receiver that sends its meters' frames over a file descriptor (a pty master, a serial
// device, a regular file). When nobody reads a pty, its buffer fills; the simulator then drops
// whole frames, as a receiver talking to an idle port would, instead of blocking (unless it
// floods, see SimulatorOptions).
class ReceiverSimulator : public QObject
{
    Q_OBJECT
public:
    // `fd` stays owned by the caller and must outlive the simulator.
    explicit ReceiverSimulator(int fd, QObject *parent = nullptr);
    explicit ReceiverSimulator(Pty &pty, QObject *parent = nullptr);
    ~ReceiverSimulator() override;

    void setMeters(const QList<SimulatedMeter> &meters);
    QList<SimulatedMeter> meters() const { return m_meters; }
    void setOptions(const SimulatorOptions &options);
    SimulatorOptions options() const { return m_options; }

    // Six varied meters at 2 s: DCV sine, ACV ramp, DCA random walk, ACA constant,
    // OHM random walk, Hz sine, on channels 0..5.
    static QList<SimulatedMeter> demoScene(quint32 seed = 1);
    // 2 s, 10 s, 30 s, 1 min, 2 min; 0 outside 0..4.
    static int intervalMsOf(int intervalCode);

    void start();
    void stop();
    bool isRunning() const { return m_running; }
    int framesSent() const { return m_framesSent; }


Q_SIGNALS:
    // A frame was made; it may have been dropped when nobody drains the descriptor.
    void frameSent(const QByteArray &bytes);
    void finished();                          // the frame limit was reached
    void outputClosed(const QString &reason); // the descriptor failed; the simulator stopped

private:
    void sendMeterFrame(int index);
    void sendFloodFrames();
    void sendStatusFrame();
    void send(const QByteArray &bytes, bool countsAsFrame);
    void flush();
    int scaled(int simulatedMs) const;

    int m_fd;
    QList<SimulatedMeter> m_meters;
    SimulatorOptions m_options;
    std::vector<std::unique_ptr<MeterSignal>> m_signals;
    std::vector<QTimer *> m_timers; // children
    QTimer *m_statusTimer = nullptr;
    QTimer *m_floodTimer = nullptr;
    QElapsedTimer m_floodClock;
    qint64 m_floodFrames = 0;
    int m_nextMeter = 0;
    std::mt19937 m_strayRandom;
    QByteArray m_pending;
    bool m_running = false;
    int m_run = 0; // start() count: first shots of an earlier run are ignored
    int m_framesSent = 0;
};
