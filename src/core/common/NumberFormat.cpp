#include "core/common/NumberFormat.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace NumberFormat
{
namespace
{

struct NumericPicture {
    int minIntegerDigits = 0; // placeholders from the first "0" up to the point
    int minDecimals = 0;      // up to and including the last "0" after the point
    int maxDecimals = 0;      // every placeholder after the point
    bool hasPoint = false;
};

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

NumericPicture parsePicture(QStringView picture)
{
    NumericPicture p;
    const qsizetype point = picture.indexOf(u'.');
    p.hasPoint = point >= 0;
    const QStringView integerPart = p.hasPoint ? picture.left(point) : picture;
    bool zeroSeen = false;
    for (QChar c : integerPart) {
        zeroSeen = zeroSeen || c == u'0';
        if (zeroSeen && isPlaceholder(c)) ++p.minIntegerDigits;
    }
    if (p.hasPoint) {
        for (QChar c : picture.mid(point + 1)) {
            if (!isPlaceholder(c)) continue;
            ++p.maxDecimals;
            if (c == u'0') p.minDecimals = p.maxDecimals;
        }
    }
    return p;
}

// A magnitude as decimal digits without leading zeros and the count of them that stand
// before the point: 0.0123 is {"123", -1}, 1200 is {"12", 4}. Kept on the stack: the import
// formats some 100,000 numbers.
struct DecimalDigits {
    char digits[24]; // a double's shortest form has at most 17, rounding adds one
    int count = 0;
    int pointPosition = 0;
};

// The shortest text that reads back as the same double is the decimal value the user
// meant, so 2.675 rounds to 2.68 although the binary value is slightly below.
DecimalDigits shortestDigits(double magnitude)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    DecimalDigits d; // from "d.ddde+XX"
    const char *at = buffer;
    for (; at < result.ptr && *at != 'e'; ++at)
        if (*at != '.') d.digits[d.count++] = *at;
    const bool negativeExponent = at + 1 < result.ptr && at[1] == '-';
    int exponent = 0;
    for (const char *digit = at + 2; digit < result.ptr; ++digit)
        exponent = exponent * 10 + (*digit - '0');
    d.pointPosition = (negativeExponent ? -exponent : exponent) + 1;
    return d;
}

// Rounds half away from zero (on the magnitude, so up) to `decimals` places.
void roundTo(DecimalDigits &d, int decimals)
{
    const qsizetype keep = qsizetype(d.pointPosition) + decimals;
    if (keep >= d.count) return;
    if (keep < 0) {
        d.count = 0;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.count = int(keep);
    if (!up) return;
    int i = d.count - 1;
    while (i >= 0 && d.digits[i] == '9')
        d.digits[i--] = '0';
    if (i >= 0) {
        ++d.digits[i];
    } else {
        std::memmove(d.digits + 1, d.digits, std::size_t(d.count));
        d.digits[0] = '1';
        ++d.count;
        ++d.pointPosition;
    }
}

} // namespace

QString format(double value, QStringView picture)
{
    // There is no classic text for these; an empty text is never taken for a number.
    if (!std::isfinite(value)) return {};

    const NumericPicture p = parsePicture(picture);
    DecimalDigits d = value == 0 ? DecimalDigits{} : shortestDigits(std::fabs(value));
    roundTo(d, p.maxDecimals);
    const bool isZero = d.count == 0; // the digits never start with "0"

    // The integer part: digits before the point, zeros up to it, leading zeros the picture asks for.
    const int integerDigits = isZero ? 0 : qBound(0, d.pointPosition, d.count);
    const int integerZeros = isZero ? 0 : qMax(0, d.pointPosition - d.count);
    const int integerPad = qMax(0, p.minIntegerDigits - integerDigits - integerZeros);
    // Place j after the point; the zeros of the "#" places at the end are dropped.
    const auto fractionDigit = [&d](int j) {
        const int at = d.pointPosition + j;
        return at >= 0 && at < d.count ? d.digits[at] : '0';
    };
    int decimals = p.maxDecimals;
    while (decimals > p.minDecimals && fractionDigit(decimals - 1) == '0')
        --decimals;

    // A negative value that rounds to zero, and -0 itself, show no sign: the reading
    // "-00.0" of a meter is displayed as "0.0".
    const bool sign = value < 0 && !isZero;
    QString text(qsizetype(sign) + integerPad + integerDigits + integerZeros +
                     (p.hasPoint ? 1 + decimals : 0),
                 Qt::Uninitialized);
    QChar *out = text.data();
    if (sign) *out++ = u'-';
    out = std::fill_n(out, integerPad, u'0');
    for (int i = 0; i < integerDigits; ++i)
        *out++ = QLatin1Char(d.digits[i]);
    out = std::fill_n(out, integerZeros, u'0');
    if (p.hasPoint) {
        *out++ = u'.';
        for (int j = 0; j < decimals; ++j)
            *out++ = QLatin1Char(fractionDigit(j));
    }
    return text;
}

QString formatText(const QString &text, QStringView picture)
{
    bool ok = false;
    const double value = parseNumber(text, &ok);
    return ok ? format(value, picture) : text;
}

namespace
{

// A date or time text is made in place, then copied into its QString at once.
using TextBuffer = QVarLengthArray<QChar, 32>;

// QString::number(n).rightJustified(width, u'0'), without the temporaries.
void appendNumber(TextBuffer &out, int n, int width)
{
    if (n < 0) {
        const QString text = QString::number(n).rightJustified(width, u'0');
        out.append(text.constData(), text.size());
        return;
    }
    char reversed[12];
    int length = 0;
    do {
        reversed[length++] = char('0' + n % 10);
        n /= 10;
    } while (n > 0);
    for (int i = length; i < width; ++i)
        out.append(u'0');
    while (length > 0)
        out.append(QLatin1Char(reversed[--length]));
}

QChar lowered(QChar c)
{
    return c.unicode() < 0x80 ? QChar(c.unicode() | (c >= u'A' && c <= u'Z' ? 0x20 : 0)) : c.toLower();
}

QString formatDateAndTime(QDate date, QTime time, QStringView picture)
{
    if (!date.isValid() || !time.isValid()) return {};
    TextBuffer out;
    bool afterHour = false; // "mm" following an hour field means minutes, as in "hh:mm"
    qsizetype i = 0;
    while (i < picture.size()) {
        const QChar c = lowered(picture.at(i));
        qsizetype run = 1;
        while (i + run < picture.size() && lowered(picture.at(i + run)) == c)
            ++run;
        const bool pair = run >= 2;
        qsizetype used = pair ? 2 : 1;
        if (c == u'y' && run >= 4) {
            appendNumber(out, date.year(), 4);
            used = 4;
        } else if (c == u'y' && pair) {
            appendNumber(out, date.year() % 100, 2);
        } else if (c == u'm' && afterHour) {
            appendNumber(out, time.minute(), pair ? 2 : 1);
        } else if (c == u'm') {
            appendNumber(out, date.month(), pair ? 2 : 1);
        } else if (c == u'd') {
            appendNumber(out, date.day(), pair ? 2 : 1);
        } else if (c == u'h') {
            appendNumber(out, time.hour(), pair ? 2 : 1);
        } else if (c == u'n') {
            appendNumber(out, time.minute(), pair ? 2 : 1);
        } else if (c == u's') {
            appendNumber(out, time.second(), pair ? 2 : 1);
        } else {
            out.append(picture.at(i));
            ++i;
            continue;
        }
        afterHour = c == u'h';
        i += used;
    }
    return out.isEmpty() ? QString() : QString(out.constData(), out.size());
}

} // namespace

QString formatDateTime(const QDateTime &when, QStringView picture)
{
    return formatDateAndTime(when.date(), when.time(), picture);
}

QString formatTime(const QTime &when, QStringView picture)
{
    // A bare time of day carries the classic zero date.
    return formatDateAndTime(QDate(1899, 12, 30), when, picture);
}

double parseNumber(QStringView text, bool *ok)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;

    bool negative = false;
    if (begin < end && (text.at(begin) == u'+' || text.at(begin) == u'-'))
        negative = text.at(begin++) == u'-';

    QVarLengthArray<char, 32> digits;
    bool pointSeen = false;
    bool digitSeen = false;
    for (qsizetype i = begin; i < end; ++i) {
        const QChar c = text.at(i);
        if (c == u'.' && !pointSeen) {
            pointSeen = true;
        } else if (c >= u'0' && c <= u'9') {
            digitSeen = true;
        } else {
            digits.clear();
            break;
        }
        digits.push_back(char(c.unicode()));
    }

    double value = 0;
    const bool parsed =
        digitSeen && !digits.isEmpty() &&
        std::from_chars(digits.constData(), digits.constData() + digits.size(), value).ec == std::errc();
    if (ok) *ok = parsed;
    if (!parsed) return 0;
    return negative ? -value : value;
}

bool isNumeric(QStringView text)
{
    bool ok = false;
    parseNumber(text, &ok);
    return ok;
}

} // namespace NumberFormat
