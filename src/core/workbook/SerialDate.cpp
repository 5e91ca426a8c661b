#include "core/workbook/SerialDate.h"

#include <cmath>

namespace SerialDate
{
namespace
{

constexpr qint64 MsPerDay = 86'400'000;
constexpr qint64 LastSerialDay = 2'958'465; // 31 December 9999
constexpr qint64 FirstExactDay = 61;        // 1 March 1900, past the phantom leap day

QDate zeroDate()
{
    return QDate(1899, 12, 30);
}

} // namespace

QDateTime toDateTime(double serial)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= double(LastSerialDay + 1)) return {};
    const qint64 ms = std::llround(serial * double(MsPerDay));
    const qint64 day = ms / MsPerDay;
    const int msOfDay = int(ms % MsPerDay);
    if (day > LastSerialDay) return {};
    QDate date;
    if (day == 0)
        date = zeroDate();
    else if (day < 60)
        date = zeroDate().addDays(day + 1);
    else if (day == 60)
        date = QDate(1900, 2, 28);
    else
        date = zeroDate().addDays(day);
    // UTC, so that no daylight-saving gap of the local zone moves the time read.
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(msOfDay), Qt::UTC);
}

double fromDateTime(const QDateTime &when)
{
    qint64 day = zeroDate().daysTo(when.date());
    if (day >= 2 && day < FirstExactDay) --day;
    return double(day) + double(when.time().msecsSinceStartOfDay()) / double(MsPerDay);
}

} // namespace SerialDate
