#include "core/common/Clock.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>

qint64 SystemClock::tickMs() const
{
    // Milliseconds since boot, like the classic tick counter: never 0 while the program runs,
    // which callers use as "no tick taken yet".
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

void SystemClock::sleepMs(int ms)
{
    QThread::msleep(ulong(qMax(0, ms)));
}

void SystemClock::processEvents()
{
    QCoreApplication::processEvents();
}

void waitMs(Clock &clock, int ms)
{
    qint64 start = clock.tickMs();
    for (;;) {
        clock.processEvents();
        const qint64 now = clock.tickMs();
        if (now < start) // the counter went backwards: measure from here
            start = now;
        if (now - start >= ms) return;
        clock.sleepMs(1); // without this the wait spins one core at 100%
    }
}
