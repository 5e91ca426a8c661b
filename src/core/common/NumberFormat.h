#pragma once
#include <QDateTime>
#include <QString>
#include <QStringView>

// The program's one formatter for the classic picture patterns its file formats and
// displays were defined with.
//
// Numeric pictures: "0" is a digit always shown, "#" a digit shown only when significant,
// "." the decimal point. The number is rounded half away from zero on its decimal value
// to as many places as the picture has after the point ("###0.00", "##0.000", "0000",
// "###0.0####" keeps up to five places and drops trailing zeros of the "#" places).
// A picture of only "#" shows nothing for 0, as the classic formatter did. A negative value
// that rounds to zero shows no sign ("-0.04" with "0.0" is "0.0"). Infinity and NaN give "".
namespace NumberFormat
{

QString format(double value, QStringView picture);
// A numeric text formatted by `picture`; any other text ("+OL", "") is returned unchanged.
QString formatText(const QString &text, QStringView picture);

// Date and time pictures: "yyyy" "yy" "mm" "dd" "hh" "nn" "ss" (24-hour; "nn" = minutes,
// "mm" right after "hh" also means minutes), other characters copied as they are.
QString formatDateTime(const QDateTime &when, QStringView picture);
QString formatTime(const QTime &when, QStringView picture);

// Parses a decimal number the way the classic "is numeric" test accepted it:
// optional blanks and sign, digits with at most one ".", no exponent. ok=false otherwise.
double parseNumber(QStringView text, bool *ok);
bool isNumeric(QStringView text);

} // namespace NumberFormat
