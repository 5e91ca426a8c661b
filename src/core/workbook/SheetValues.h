#pragma once
#include <QDate>
#include <QString>
#include <optional>

#include "core/workbook/SheetCells.h"

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
// The places of such a format code, and its sign in `sign`; -1 for any other code. The sign is
// read however a spreadsheet spells a literal: quoted ("+"), escaped (\+) or bare (+).
int placesOfNumberFormat(QStringView code, QChar *sign);

// The text a number shows in the format of `places` and `sign`.
QString decimalText(double number, int places, QChar sign = {});
// The number a decimal text stands for when that number, written with the text's places (and
// the sign of a signed whole zero), shows the text again; none for any other text ("+OL").
std::optional<double> decimalNumber(const QString &text);

// What a cell's number format makes of a number: what it is, and the places and sign of a
// plain decimal format (as SheetCell::decimals and SheetCell::sign).
struct NumberStyle {
    SheetCell::NumberFormat format = SheetCell::NumberFormat::General;
    int decimals = -1;
    char16_t sign = 0;
};
// Of a format code as a file writes it, and of a built-in format number written without one.
NumberStyle numberStyleOfCode(QStringView code);
NumberStyle numberStyleOfBuiltIn(int id);

} // namespace SheetValues
