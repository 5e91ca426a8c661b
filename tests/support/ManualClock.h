#pragma once
#include <functional>

#include "core/common/Clock.h"

// A clock that moves only when told: advance() moves the tick counter and the time of day
// together, sleepMs() passes the time at once, and processEvents() runs pending Qt events,
// then an optional hook (e.g. feed serial bytes) and then moves on by a configurable step.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(const QDateTime &start = QDateTime(QDate(2024, 3, 15), QTime(9, 30, 0)),
                         qint64 startTick = 100000);

    qint64 tickMs() const override { return m_tick; }
    QDateTime now() const override { return m_now; }
    void sleepMs(int ms) override;
    void processEvents() override;

    void advance(qint64 ms);
    void setTickMs(qint64 tick) { m_tick = tick; } // jumps the counter alone (wrap-around tests)
    void setProcessEventsStep(int ms) { m_processEventsStep = ms; }
    void setOnProcessEvents(std::function<void()> hook) { m_onProcessEvents = std::move(hook); }

    int processEventsCalls() const { return m_processEventsCalls; }

private:
    qint64 m_tick;
    QDateTime m_now;
    int m_processEventsStep = 0;
    int m_processEventsCalls = 0;
    std::function<void()> m_onProcessEvents;
};
