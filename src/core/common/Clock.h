#pragma once
#include <QDateTime>
#include <QtGlobal>

// The clock and the millisecond tick counter, behind one seam so tests can drive time.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual qint64 tickMs() const = 0; // monotonic milliseconds
    virtual QDateTime now() const = 0; // local date and time
    virtual void sleepMs(int ms) = 0;  // blocks without pumping events
    virtual void processEvents() = 0;  // lets pending events run
};

class SystemClock final : public Clock
{
public:
    qint64 tickMs() const override;
    QDateTime now() const override;
    void sleepMs(int ms) override;
    void processEvents() override;
};

// Waits `ms` milliseconds while pending events (serial receive, timer, clicks) keep running.
void waitMs(Clock &clock, int ms);
