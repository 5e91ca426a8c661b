#include "core/recording/LinkLossWatch.h"

#include <QCoreApplication>

#include "core/common/Clock.h"
#include "core/link/SerialControl.h"
#include "core/monitor/MonitorFields.h"

LinkLossWatch::LinkLossWatch(SerialControl &serial, Clock &clock, MonitorFields &monitor, QObject *parent)
    : QObject(parent), m_serial(serial), m_clock(clock), m_monitor(monitor)
{
    m_timer.setParent(this);
    m_timer.setInterval(TickIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &LinkLossWatch::tick);
}

QString LinkLossWatch::durationText(qint64 seconds)
{
    seconds = qMax<qint64>(0, seconds);
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    const QString minutesSeconds = two(seconds / 60 % 60) + QLatin1Char(':') + two(seconds % 60);
    if (seconds < 3600) return minutesSeconds;
    return QString::number(seconds / 3600) + QLatin1Char(':') + minutesSeconds;
}

void LinkLossWatch::begin()
{
    if (m_watching) return;
    m_watching = true;
    ++m_losses;
    m_lostAt = m_lastTry = m_clock.tickMs();
    if (m_runsByItself) m_timer.start();
    showLoss();
}

void LinkLossWatch::end()
{
    if (!m_watching) return;
    m_timer.stop();
    m_lastLossMs = lostMs();
    m_earlierMs += m_lastLossMs;
    m_watching = false;
    showLoss();
}

void LinkLossWatch::forgetLosses()
{
    m_earlierMs = 0;
    m_losses = m_watching ? 1 : 0;
}

void LinkLossWatch::tick()
{
    if (!m_watching) return;
    showLoss();
    if (m_clock.tickMs() - m_lastTry >= RetryIntervalMs) tryPort();
}

void LinkLossWatch::retryNow()
{
    if (m_watching) tryPort();
}

void LinkLossWatch::tryPort()
{
    m_lastTry = m_clock.tickMs();
    if (m_serial.open() != SerialControl::OpenResult::Opened) return;
    end();
    Q_EMIT portBack();
}

qint64 LinkLossWatch::lostMs() const
{
    return m_watching ? m_clock.tickMs() - m_lostAt : 0;
}

void LinkLossWatch::showLoss()
{
    QString text;
    if (m_watching)
        text =
            QCoreApplication::translate("LinkLossWatch", "Link lost %1").arg(durationText(lostMs() / 1000));
    else if (m_losses == 1)
        text = QCoreApplication::translate("LinkLossWatch", "Link lost once, %1")
                   .arg(durationText(m_earlierMs / 1000));
    else if (m_losses > 1)
        text = QCoreApplication::translate("LinkLossWatch", "Link lost %1 times, %2")
                   .arg(m_losses)
                   .arg(durationText(m_earlierMs / 1000));
    if (text == m_monitor.linkLoss) return;
    m_monitor.linkLoss = text;
    m_monitor.notify();
}

void LinkLossWatch::setRunsByItself(bool on)
{
    m_runsByItself = on;
    if (on && m_watching)
        m_timer.start();
    else
        m_timer.stop();
}
