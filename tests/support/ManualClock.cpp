#include "support/ManualClock.h"

#include <QCoreApplication>

ManualClock::ManualClock(const QDateTime &start, qint64 startTick) : m_tick(startTick), m_now(start) {}

void ManualClock::sleepMs(int ms)
{
    advance(qMax(0, ms));
}

void ManualClock::processEvents()
{
    ++m_processEventsCalls;
    QCoreApplication::processEvents();
    if (m_onProcessEvents) m_onProcessEvents();
    advance(m_processEventsStep);
}

void ManualClock::advance(qint64 ms)
{
    m_tick += ms;
    m_now = m_now.addMSecs(ms);
}
