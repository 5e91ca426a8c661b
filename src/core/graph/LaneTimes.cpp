#include "core/graph/LaneTimes.h"

#include <QTime>
#include <algorithm>
#include <array>
#include <cmath>

namespace LaneTimes
{

qint64 place(int secondsOfDay, qint64 notBefore)
{
    const qint64 dayStart = notBefore >= 0 ? notBefore / Day * Day : -((-notBefore + Day - 1) / Day) * Day;
    const qint64 sameDay = dayStart + secondsOfDay;
    return sameDay >= notBefore ? sameDay : sameDay + Day;
}

int firstOfDay(const QVector<int> &firstRowTimes)
{
    if (firstRowTimes.isEmpty()) return 0;
    QVector<int> times = firstRowTimes;
    std::sort(times.begin(), times.end());
    // The pause before times[i] (the one before the first wraps round midnight).
    int first = times.front();
    int longest = times.front() + int(Day) - times.back();
    for (int i = 1; i < times.size(); ++i) {
        if (times.at(i) - times.at(i - 1) > longest) {
            longest = times.at(i) - times.at(i - 1);
            first = times.at(i);
        }
    }
    return first;
}

} // namespace LaneTimes

void ChannelTimeline::append(qint64 seconds)
{
    qint64 shortest = m_shortest.empty() ? 0 : m_shortest.back();
    if (!m_seconds.empty()) {
        const qint64 step = seconds - m_seconds.back();
        if (step > 0 && (shortest == 0 || step < shortest)) shortest = step;
    }
    m_seconds.push_back(seconds);
    m_shortest.push_back(shortest);
}

void ChannelTimeline::truncate(int size)
{
    const std::size_t kept = std::min(m_seconds.size(), std::size_t(std::max(0, size)));
    m_seconds.resize(kept);
    m_shortest.resize(kept);
}

void ChannelTimeline::clear()
{
    m_seconds.clear();
    m_shortest.clear();
}

int ChannelTimeline::rowAtOrAfter(double seconds) const
{
    const auto found = std::lower_bound(m_seconds.begin(), m_seconds.end(), seconds,
                                        [](qint64 time, double value) { return double(time) < value; });
    return int(found - m_seconds.begin()) + 1;
}

std::pair<int, int> ChannelTimeline::rowsWithin(qint64 from, qint64 to) const
{
    const auto first = std::lower_bound(m_seconds.begin(), m_seconds.end(), from);
    const auto last = std::upper_bound(m_seconds.begin(), m_seconds.end(), to);
    return {int(first - m_seconds.begin()) + 1, int(last - m_seconds.begin())};
}

qint64 ChannelTimeline::shortestStep() const
{
    return std::max<qint64>(m_shortest.empty() ? 0 : m_shortest.back(), 2);
}

qint64 ChannelTimeline::joinLimit() const
{
    return shortestStep() * 5 / 2;
}

namespace LaneTimeAxis
{

namespace
{

constexpr qint64 Minute = 60;
constexpr qint64 Hour = 3600;
constexpr qint64 Day = LaneTimes::Day;
constexpr std::array<qint64, 26> RoundSteps{
    1,          2,           5,           10,          15,          20,       30,       Minute,   2 * Minute,
    5 * Minute, 10 * Minute, 15 * Minute, 20 * Minute, 30 * Minute, Hour,     2 * Hour, 3 * Hour, 6 * Hour,
    12 * Hour,  Day,         2 * Day,     7 * Day,     14 * Day,    28 * Day, 91 * Day, 364 * Day};

QString dayText(qint64 day, const QDate &firstDay)
{
    if (!firstDay.isValid()) return QStringLiteral("+%1d").arg(day);
    return firstDay.addDays(day).toString(QStringLiteral("MM-dd"));
}

int characters(qint64 step, bool days)
{
    if (step >= Day) return 5;
    return (step < Minute ? 8 : 5) + (days ? 6 : 0);
}

qint64 dayOf(qint64 at)
{
    return at >= 0 ? at / Day : -((-at + Day - 1) / Day);
}

} // namespace

Steps steps(qint64 from, qint64 to, double width, double fontPixels)
{
    Steps found;
    const qint64 span = std::max<qint64>(to - from, 0);
    found.days = span >= Day;
    found.step = RoundSteps.back();
    for (const qint64 candidate : RoundSteps) {
        // A label's digits, and room between labels.
        const double room = (0.62 * characters(candidate, found.days) + 3.0) * fontPixels;
        if (double(span / candidate + 1) * room <= width) {
            found.step = candidate;
            break;
        }
    }
    // From a whole step after the day's midnight (any step under a day divides the day).
    const qint64 midnight = dayOf(from) * Day;
    found.first = midnight + (from - midnight + found.step - 1) / found.step * found.step;
    found.last = std::max(to, from);
    return found;
}

// A label names what its step needs; over a day or more, the day comes first so that no two
// labels read the same.
QString text(qint64 at, const Steps &steps, const QDate &firstDay)
{
    const qint64 day = dayOf(at);
    if (steps.step >= Day) return dayText(day, firstDay);
    const QTime time = QTime(0, 0).addSecs(int(at - day * Day));
    const QString clock =
        time.toString(steps.step < Minute ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm"));
    return steps.days ? dayText(day, firstDay) + u' ' + clock : clock;
}

QVector<Tick> ticks(qint64 from, qint64 to, double width, double fontPixels, const QDate &firstDay)
{
    const Steps axis = steps(from, to, width, fontPixels);
    QVector<Tick> found;
    for (qint64 at = axis.first; at <= axis.last; at += axis.step)
        found.append({at, text(at, axis, firstDay)});
    return found;
}

} // namespace LaneTimeAxis
