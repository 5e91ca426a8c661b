#pragma once
#include <QDateTime>

// Workbooks keep dates and times as serial day numbers: the whole part counts days, the
// fraction is the time of day. Both workbook readers convert through here.
namespace SerialDate
{

// Days from the 1900 date system's day zero to the 1904 system's: a serial of a workbook
// kept in the 1904 system plus this is the same moment in the 1900 system.
constexpr double Offset1904 = 1462;

// The moment a serial of the 1900 date system stands for, rounded to the millisecond (a
// time kept as 0.333... is 08:00:00.000, not 07:59:59.999). Serial 1 is 1 January 1900;
// serials below 1 are times of day alone and carry the classic zero date 30 December 1899.
// The system counts a 29 February 1900 that never was (serial 60): it is given as
// 28 February, and serials from 61 on are exact. Invalid for negative, non-finite or
// serials past 31 December 9999. The result is in UTC only so that no time zone shifts it:
// take its date() and time().
QDateTime toDateTime(double serial);

// The serial of the 1900 date system for `when` (date and time of day, no time zone).
// Dates before 1 January 1900 give the classic count from 30 December 1899.
double fromDateTime(const QDateTime &when);

} // namespace SerialDate
