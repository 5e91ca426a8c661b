#pragma once
#include <QDate>
#include <QString>
#include <optional>

// The record's texts as spreadsheet values: times and dates as serial days of the 1900 date
// system with a number format that shows them as the record table does, so that a
// spreadsheet can compute and plot with them.
namespace SheetValues
{

// The fraction of a day of an "hh:nn:ss" time; none when the text is no such time.
std::optional<double> timeSerial(const QString &text);
inline constexpr char TimeNumberFormat[] = "hh:mm:ss";

// The serial day of a date (from 1 March 1900 on, where the 1900 system counts whole days).
double dateSerial(const QDate &date);

// The date a short date text of `format` (a QLocale date format) stands for. A two-digit
// year is put in the century that brings the date nearest to `near`.
std::optional<QDate> parseDate(const QString &text, const QString &format, const QDate &near);

// The spreadsheet number format showing a date as the QLocale date format `format` does.
QString dateNumberFormat(const QString &format);

// The places after the point of a decimal text, and the number format showing a number with
// that many: "0", "0.0", "0.00", ... A whole zero the record shows with its sign ("+0", "-0")
// gets the sign as a literal before it: "\"+\"0".
int decimalPlaces(QStringView decimalText);
QChar zeroSign(QStringView decimalText); // '+' or '-' for such a zero, else none
QString decimalsNumberFormat(int places, QChar sign = {});
// The places of such a format code, and its sign in `sign`; -1 for any other code.
int placesOfNumberFormat(QStringView code, QChar *sign);

} // namespace SheetValues
