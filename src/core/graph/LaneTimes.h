#pragma once
#include <QDate>
#include <QString>
#include <QVector>
#include <utility>
#include <vector>

// The lanes' one time axis. A record keeps each sample's time of day ("hh:nn:ss") and, per row,
// the date the row was opened; the lanes place samples on one clock: seconds from midnight of
// the record's first day.
namespace LaneTimes
{

constexpr qint64 Day = 86400;

// The first moment at or after `notBefore` whose time of day is `secondsOfDay`.
qint64 place(int secondsOfDay, qint64 notBefore);

// The record's first moment as a time of day, from the times of the first row (one per channel
// that has sent a sample, seconds of day): the one that follows the longest pause between
// them, so that a record begun just before midnight starts before its first samples after it.
int firstOfDay(const QVector<int> &firstRowTimes);

} // namespace LaneTimes

// The times of one channel's samples on the record's clock, in row order.
class ChannelTimeline
{
public:
    // One more sample, at `seconds` (not before the previous one).
    void append(qint64 seconds);
    void truncate(int size); // keeps rows 1..size
    void clear();
    int size() const { return int(m_seconds.size()); }
    qint64 at(int row) const { return m_seconds[std::size_t(row - 1)]; } // 1-based
    // The first row at or after `seconds`; size() + 1 when there is none.
    int rowAtOrAfter(double seconds) const;
    // Rows whose times lie in from..to, both included: first > last when there are none.
    std::pair<int, int> rowsWithin(qint64 from, qint64 to) const;
    // The shortest time between two of its samples (2 s at the least, as the meters' shortest
    // interval).
    qint64 shortestStep() const;
    // Samples further apart than this have a gap between them where the channel sent nothing:
    // two and a half of its shortest step.
    qint64 joinLimit() const;

private:
    std::vector<qint64> m_seconds;
    std::vector<qint64> m_shortest; // the shortest step up to each row; 0 before any
};

// The time labels of an axis from..to (seconds on the record's clock, day 0 being
// `firstDay`): at whole multiples of a round step (seconds, minutes, hours or days), as many
// as `width` pixels hold with text `fontPixels` high; each label distinct.
namespace LaneTimeAxis
{

// Where the labels stand: every `step` seconds from `first` up to `last`.
struct Steps {
    qint64 first = 0;
    qint64 last = 0;
    qint64 step = 1;
    bool days = false; // the axis spans a day or more: labels name the day
};
Steps steps(qint64 from, qint64 to, double width, double fontPixels);
QString text(qint64 at, const Steps &steps, const QDate &firstDay);

struct Tick {
    qint64 at = 0;
    QString text;
};
QVector<Tick> ticks(qint64 from, qint64 to, double width, double fontPixels, const QDate &firstDay);

} // namespace LaneTimeAxis
