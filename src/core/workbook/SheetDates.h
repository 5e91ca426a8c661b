#pragma once
#include <QDateTime>
#include <QStringView>

#include "core/workbook/SheetCells.h"

// Workbook serial numbers: days since the workbook's epoch, the time of day as the fraction.
// Shared by every workbook reader so that the file format never changes how a cell reads.
namespace SheetDates
{

// Days between the 1904 and the 1900 date system's day 0.
inline constexpr double days1904To1900 = 1462;

// The 1900 system counts a 29 February 1900 that never was (serial 60): serials below 61 are
// one day off the plain day count. Serials are rounded to the millisecond first, since
// 08:00 is stored as 0.33333..., a hair below the true value. Serials below 1 are times of
// day alone, on the classic zero date 1899-12-30. Invalid for NaN, negative serials, serial
// 60 and anything past 9999-12-31. The result is in UTC only so that no time zone shifts
// it: take its date() and time().
QDateTime dateTimeOfSerial(double serial);
// The time of day of a serial (its fraction, rounded to the millisecond); a fraction that
// rounds up to a whole day gives 00:00. Invalid for NaN and negative serials.
QTime timeOfSerial(double serial);
// The 1900-system serial of a date and time (the inverse of dateTimeOfSerial); NaN for an
// invalid one or one before 1900-01-01.
double serialOfDateTime(const QDateTime &when);
// The fraction of a day of a time of day; NaN for an invalid time.
double serialOfTime(const QTime &time);

// A number read from a workbook kept in the 1904 system, as the 1900 system gives it. Only
// dates move: a time of day, or a duration, is the same number in both systems.
double toSystem1900(double number, SheetCell::NumberFormat format);

// What a number format says a number is. `code` is a format code as stored in the file
// ("yyyy/mm/dd", "hh:mm:ss", "[h]:mm", "0.00"); only its first section counts, and quoted
// text, escaped characters, fills and colour or locale brackets are no letters of it.
SheetCell::NumberFormat numberFormatOfCode(QStringView code);
// The same for the built-in format numbers that files refer to without writing the code
// (14..22 and 45..47, plus the East Asian date numbers 27..36 and 50..58).
SheetCell::NumberFormat numberFormatOfBuiltIn(int id);

} // namespace SheetDates
