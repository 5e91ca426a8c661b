#include "core/simulator/ReceiverSimulator.h"

#include "core/measurement/MeasurementTables.h"
#include "core/simulator/Pty.h"

#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace
{

// More than this waiting unsent means nobody is reading: drop instead of queueing forever.
constexpr qsizetype PendingLimit = 4096;
// A flood sends at most this many frames a millisecond, so a reader in the same thread gets its turn.
constexpr qint64 FloodBurst = 256;
constexpr double Pi = 3.14159265358979323846;

int neighbourPrefix(int prefixCode)
{
    return prefixCode < 5 ? prefixCode + 1 : prefixCode - 1;
}

} // namespace

int SimulatedMeter::effectiveIntervalMs() const
{
    return intervalMs > 0 ? intervalMs : std::max(1, ReceiverSimulator::intervalMsOf(intervalCode));
}

MeterSignal::MeterSignal(const SimulatedMeter &meter)
    : m_meter(meter), m_random(meter.seed),
      m_walk(std::isnan(meter.level) ? (meter.minimum + meter.maximum) / 2 : meter.level)
{
}

double MeterSignal::valueAt(int n) const
{
    const double low = m_meter.minimum;
    const double high = m_meter.maximum;
    const double seconds = double(n - 1) * m_meter.effectiveIntervalMs() / 1000.0;
    const double period = m_meter.periodS > 0 ? m_meter.periodS : 60.0;
    switch (m_meter.pattern) {
    case SimulatedMeter::Pattern::Constant:
        return std::isnan(m_meter.level) ? (low + high) / 2 : m_meter.level;
    case SimulatedMeter::Pattern::Ramp:
        return low + (high - low) * std::fmod(seconds / period, 1.0);
    case SimulatedMeter::Pattern::Sine:
        return (low + high) / 2 + (high - low) / 2 * std::sin(2 * Pi * seconds / period);
    case SimulatedMeter::Pattern::RandomWalk:
        return m_walk;
    }
    return low;
}

QByteArray MeterSignal::nextFrame()
{
    ++m_frames;
    const int n = m_frames;
    if (m_meter.pattern == SimulatedMeter::Pattern::RandomWalk && n > 1) {
        std::uniform_real_distribution<double> step(-1.0, 1.0);
        const double span = m_meter.maximum - m_meter.minimum;
        m_walk = std::clamp(m_walk + step(m_random) * span / 20, m_meter.minimum, m_meter.maximum);
    }
    const double value = valueAt(n);

    FrameEncoder::Header header;
    header.channel = m_meter.channel;
    header.intervalCode = m_meter.intervalCode;
    header.prefixCode = m_meter.prefixCode;
    header.functionCode = m_meter.functionCode;
    header.decimalCode = m_meter.decimalCode;
    header.negative = value < 0;
    if (m_meter.rangeChangeEvery > 0 && ((n - 1) / m_meter.rangeChangeEvery) % 2 == 1)
        header.prefixCode = neighbourPrefix(m_meter.prefixCode);
    if (m_meter.functionSwitchAfter > 0 && n > m_meter.functionSwitchAfter)
        header.functionCode =
            m_meter.switchToFunction >= 0 ? m_meter.switchToFunction : (m_meter.functionCode + 1) % 10;

    const int divisor = std::max(1, FrameEncoder::divisorOf(m_meter.decimalCode));
    const double digits = std::round(std::abs(value) * divisor);
    if ((m_meter.overloadEvery > 0 && n % m_meter.overloadEvery == 0) || digits > FrameEncoder::MaxDigits)
        return FrameEncoder::encodeOverload(header);
    return FrameEncoder::encodeReading(header, int(digits));
}

ReceiverSimulator::ReceiverSimulator(int fd, QObject *parent) : QObject(parent), m_fd(fd) {}

ReceiverSimulator::ReceiverSimulator(Pty &pty, QObject *parent) : ReceiverSimulator(pty.masterFd(), parent) {}

ReceiverSimulator::~ReceiverSimulator() = default;

void ReceiverSimulator::setMeters(const QList<SimulatedMeter> &meters)
{
    m_meters = meters;
}

void ReceiverSimulator::setOptions(const SimulatorOptions &options)
{
    m_options = options;
}

int ReceiverSimulator::intervalMsOf(int intervalCode)
{
    return Measurement::intervalSeconds(intervalCode) * 1000;
}

QList<SimulatedMeter> ReceiverSimulator::demoScene(quint32 seed)
{
    using Pattern = SimulatedMeter::Pattern;
    auto meter = [seed](int channel, int function, int prefix, int decimal, Pattern pattern, double low,
                        double high, double period) {
        SimulatedMeter m;
        m.channel = channel;
        m.functionCode = function;
        m.prefixCode = prefix;
        m.decimalCode = decimal;
        m.pattern = pattern;
        m.minimum = low;
        m.maximum = high;
        m.periodS = period;
        m.seed = seed + quint32(channel);
        return m;
    };
    // One meter reports once a minute: between its readings only status frames show that the
    // receiver is alive.
    auto slow = [](SimulatedMeter m) {
        m.intervalCode = 3;
        return m;
    };
    using namespace FrameEncoder;
    return {
        meter(0, 0, 3, Divisor100, Pattern::Sine, -12, 12, 60),            // DCV, -12.00 .. 12.00 V
        meter(1, 1, 3, Divisor10, Pattern::Ramp, 210, 240, 120),           // ACV, 210.0 .. 240.0 V
        meter(2, 2, 3, Divisor1000, Pattern::RandomWalk, 0.2, 4.5, 0),     // DCA, 0.200 .. 4.500 A
        slow(meter(3, 3, 3, Divisor10, Pattern::Constant, 12.5, 12.5, 0)), // ACA, 12.5 A, once a minute
        meter(4, 4, 4, Divisor100, Pattern::RandomWalk, 1, 47, 0),         // OHM, 1.00 .. 47.00 kOhm
        meter(5, 6, 3, Divisor100, Pattern::Sine, 49.5, 50.5, 30),         // Hz, 49.50 .. 50.50 Hz
    };
}

int ReceiverSimulator::scaled(int simulatedMs) const
{
    const double factor = m_options.timeFactor > 0 ? m_options.timeFactor : 1.0;
    return std::max(1, int(std::lround(simulatedMs / factor)));
}

void ReceiverSimulator::start()
{
    stop();
    m_running = true;
    ++m_run;
    m_strayRandom.seed(m_options.seed);
    m_signals.clear();
    const int count = int(m_meters.size());
    for (const SimulatedMeter &meter : std::as_const(m_meters))
        m_signals.push_back(std::make_unique<MeterSignal>(meter));
    if (m_options.flood) {
        m_nextMeter = 0;
        m_floodFrames = 0;
        m_floodClock.start();
        m_floodTimer = new QTimer(this);
        m_floodTimer->setTimerType(Qt::PreciseTimer);
        connect(m_floodTimer, &QTimer::timeout, this, &ReceiverSimulator::sendFloodFrames);
        m_floodTimer->start(1);
    }
    for (int i = 0; i < count && !m_options.flood; ++i) {
        const SimulatedMeter &meter = m_meters.at(i);
        const int interval = meter.effectiveIntervalMs();
        // Spread the meters over one interval, as independent meters are.
        const int delay = meter.startDelayMs >= 0 ? meter.startDelayMs : interval / count * i;
        auto *timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        timer->setInterval(scaled(interval));
        connect(timer, &QTimer::timeout, this, [this, i] { sendMeterFrame(i); });
        m_timers.push_back(timer);
        QTimer::singleShot(delay > 0 ? scaled(delay) : 0, timer, [this, timer, i, run = m_run] {
            if (!m_running || run != m_run) return;
            timer->start();
            sendMeterFrame(i);
        });
    }
    if (m_options.statusEveryMs > 0) {
        m_statusTimer = new QTimer(this);
        m_statusTimer->setTimerType(Qt::PreciseTimer);
        connect(m_statusTimer, &QTimer::timeout, this, &ReceiverSimulator::sendStatusFrame);
        m_statusTimer->start(scaled(m_options.statusEveryMs));
    }
}

void ReceiverSimulator::stop()
{
    m_running = false;
    // stop() may run inside a timer's own timeout: delete later, never under its feet.
    for (QTimer *timer : m_timers) {
        timer->stop();
        timer->deleteLater();
    }
    m_timers.clear();
    for (QTimer **timer : {&m_statusTimer, &m_floodTimer}) {
        if (!*timer) continue;
        (*timer)->stop();
        (*timer)->deleteLater();
        *timer = nullptr;
    }
}

void ReceiverSimulator::sendMeterFrame(int index)
{
    if (!m_running || index >= int(m_signals.size())) return;
    if (m_options.strayBytes) {
        std::uniform_int_distribution<int> count(1, 3);
        std::uniform_int_distribution<int> value(0x00, 0xFD);
        QByteArray stray;
        for (int n = count(m_strayRandom); n > 0; --n)
            stray.append(char(value(m_strayRandom)));
        send(stray, false);
    }
    send(m_signals[size_t(index)]->nextFrame(), true);
}

void ReceiverSimulator::sendFloodFrames()
{
    qint64 allowed = FloodBurst;
    if (m_options.floodRate > 0)
        allowed = std::min(allowed, m_floodClock.elapsed() * m_options.floodRate / 1000 - m_floodFrames);
    for (qint64 n = 0; n < allowed && m_running && !m_signals.empty(); ++n) {
        flush();
        if (!m_pending.isEmpty()) return; // the reader is behind: it sets the pace
        const int meter = m_nextMeter;
        m_nextMeter = (m_nextMeter + 1) % int(m_signals.size());
        ++m_floodFrames;
        sendMeterFrame(meter);
    }
}

void ReceiverSimulator::sendStatusFrame()
{
    if (m_running) send(FrameEncoder::encodeStatus(), true);
}

void ReceiverSimulator::send(const QByteArray &bytes, bool countsAsFrame)
{
    if (m_fd < 0) return;
    flush();
    // A reader that does not keep up loses frames, as the receiver's own buffer would.
    if (m_options.flood || m_pending.size() + bytes.size() <= PendingLimit) m_pending.append(bytes);
    flush();
    if (countsAsFrame) {
        ++m_framesSent;
        Q_EMIT frameSent(bytes);
        if (m_options.frameLimit > 0 && m_framesSent >= m_options.frameLimit) {
            stop();
            Q_EMIT finished();
        }
    }
}

void ReceiverSimulator::flush()
{
    while (!m_pending.isEmpty() && m_fd >= 0) {
        const ssize_t written = ::write(m_fd, m_pending.constData(), size_t(m_pending.size()));
        if (written >= 0) {
            m_pending.remove(0, written);
            continue;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return; // the reader is behind; try again with the next frame
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        m_fd = -1;
        stop();
        Q_EMIT outputClosed(reason);
        return;
    }
}
