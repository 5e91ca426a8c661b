#include "core/common/NumberFormat.h"

#include <QByteArray>
#include <charconv>
#include <cmath>

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
// before the point: 0.0123 is {"123", -1}, 1200 is {"12", 4}.
struct DecimalDigits {
    QByteArray digits;
    int pointPosition = 0;
};

// The shortest text that reads back as the same double is the decimal value the user
// meant, so 2.675 rounds to 2.68 although the binary value is slightly below.
DecimalDigits shortestDigits(double magnitude)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    const QByteArray text(buffer, int(result.ptr - buffer)); // "d.ddde+XX"
    const qsizetype e = text.indexOf('e');
    DecimalDigits d;
    d.digits = text.left(e);
    d.digits.replace('.', QByteArray());
    d.pointPosition = text.mid(e + 1).toInt() + 1;
    return d;
}

// Rounds half away from zero (on the magnitude, so up) to `decimals` places.
void roundTo(DecimalDigits &d, int decimals)
{
    const qsizetype keep = qsizetype(d.pointPosition) + decimals;
    if (keep >= d.digits.size()) return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits.at(keep) >= '5';
    d.digits.truncate(keep);
    if (!up) return;
    qsizetype i = keep - 1;
    while (i >= 0 && d.digits.at(i) == '9')
        d.digits[i--] = '0';
    if (i >= 0) {
        d.digits[i] = char(d.digits.at(i) + 1);
    } else {
        d.digits.prepend('1');
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
    const bool isZero = d.digits.isEmpty(); // the digits never start with "0"

    QByteArray integer;
    QByteArray fraction;
    if (!isZero) {
        if (d.pointPosition > 0) {
            integer = d.digits.left(d.pointPosition);
            integer.append(QByteArray(qMax(0, d.pointPosition - int(d.digits.size())), '0'));
            fraction = d.digits.mid(d.pointPosition);
        } else {
            fraction = QByteArray(-d.pointPosition, '0') + d.digits;
        }
    }
    if (integer.size() < p.minIntegerDigits)
        integer.prepend(QByteArray(p.minIntegerDigits - integer.size(), '0'));
    fraction = fraction.leftJustified(p.maxDecimals, '0', true);
    while (fraction.size() > p.minDecimals && fraction.endsWith('0'))
        fraction.chop(1);

    // A negative value that rounds to zero, and -0 itself, show no sign: the reading
    // "-00.0" of a meter is displayed as "0.0".
    QString text;
    if (value < 0 && !isZero) text += u'-';
    text += QLatin1String(integer);
    if (p.hasPoint) text += u'.' + QLatin1String(fraction);
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

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

QString formatDateAndTime(QDate date, QTime time, QStringView picture)
{
    if (!date.isValid() || !time.isValid()) return {};
    QString out;
    bool afterHour = false; // "mm" following an hour field means minutes, as in "hh:mm"
    qsizetype i = 0;
    while (i < picture.size()) {
        const QChar c = picture.at(i).toLower();
        qsizetype run = 1;
        while (i + run < picture.size() && picture.at(i + run).toLower() == c)
            ++run;
        const bool pair = run >= 2;
        qsizetype used = pair ? 2 : 1;
        if (c == u'y' && run >= 4) {
            out += QString::number(date.year()).rightJustified(4, u'0');
            used = 4;
        } else if (c == u'y' && pair) {
            out += twoDigits(date.year() % 100);
        } else if (c == u'm' && afterHour) {
            out += pair ? twoDigits(time.minute()) : QString::number(time.minute());
        } else if (c == u'm') {
            out += pair ? twoDigits(date.month()) : QString::number(date.month());
        } else if (c == u'd') {
            out += pair ? twoDigits(date.day()) : QString::number(date.day());
        } else if (c == u'h') {
            out += pair ? twoDigits(time.hour()) : QString::number(time.hour());
        } else if (c == u'n') {
            out += pair ? twoDigits(time.minute()) : QString::number(time.minute());
        } else if (c == u's') {
            out += pair ? twoDigits(time.second()) : QString::number(time.second());
        } else {
            out += picture.at(i);
            ++i;
            continue;
        }
        afterHour = c == u'h';
        i += used;
    }
    return out;
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

    QByteArray digits;
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
        digits.append(char(c.unicode()));
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
