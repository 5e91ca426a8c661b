#include "core/workbook/SheetDates.h"

#include <cmath>

namespace SheetDates
{

namespace
{

constexpr qint64 msPerDay = 86'400'000;
// The last serial QDate and the formats can show: 9999-12-31.
constexpr double lastSerial = 2'958'465;

// The serial rounded to whole milliseconds; -1 when it is no serial at all.
qint64 roundedMs(double serial)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= lastSerial + 1) return -1;
    return std::llround(serial * double(msPerDay));
}

QDate dateOfDay(qint64 days)
{
    // Serials below 1 are times of day alone and carry the classic zero date; day 1 is
    // 1900-01-01; from day 61 on, the phantom 29 February has been counted.
    if (days == 0) return QDate(1899, 12, 30);
    return (days < 61 ? QDate(1899, 12, 31) : QDate(1899, 12, 30)).addDays(days);
}

} // namespace

QDateTime dateTimeOfSerial(double serial)
{
    const qint64 ms = roundedMs(serial);
    if (ms < 0) return {};
    const qint64 days = ms / msPerDay;
    if (days == 60) return {};
    const QDate date = dateOfDay(days);
    if (!date.isValid() || date.year() > 9999) return {};
    // UTC, so that no daylight-saving gap of the local zone moves the time read.
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms % msPerDay)), Qt::UTC);
}

QTime timeOfSerial(double serial)
{
    if (!std::isfinite(serial) || serial < 0) return {};
    const double fraction = serial - std::floor(serial);
    return QTime::fromMSecsSinceStartOfDay(int(std::llround(fraction * double(msPerDay)) % msPerDay));
}

double serialOfDateTime(const QDateTime &when)
{
    if (!when.isValid() || when.date().year() < 1900) return qQNaN();
    qint64 days = QDate(1899, 12, 30).daysTo(when.date());
    if (days < 61) --days;
    return double(days) + serialOfTime(when.time());
}

double serialOfTime(const QTime &time)
{
    if (!time.isValid()) return qQNaN();
    return double(time.msecsSinceStartOfDay()) / double(msPerDay);
}

double toSystem1900(double number, SheetCell::NumberFormat format)
{
    const bool isDate =
        format == SheetCell::NumberFormat::Date || format == SheetCell::NumberFormat::DateTime;
    return isDate ? number + days1904To1900 : number;
}

SheetCell::NumberFormat numberFormatOfCode(QStringView code)
{
    bool date = false;
    bool time = false;
    bool month = false; // "m" that is not minutes: a date
    QChar previous;     // the last date or time letter seen, for telling minutes from months
    bool minutesPending = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i).toLower();
        if (c == u';') break;
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            if (end < 0) break;
            i = end;
            continue;
        }
        if (c == u'\\' || c == u'_' || c == u'*') { // the next character is literal or a fill
            ++i;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            if (end < 0) break;
            // Elapsed-time brackets are time letters; colours and locales are not.
            const QStringView inner = code.mid(i + 1, end - i - 1);
            if (!inner.isEmpty() && inner.size() <= 3) {
                const QChar unit = inner.at(0).toLower();
                bool same = true;
                for (const QChar each : inner)
                    same = same && each.toLower() == unit;
                if (same && (unit == u'h' || unit == u'm' || unit == u's')) {
                    time = true;
                    previous = unit;
                }
            }
            i = end;
            continue;
        }
        if (code.mid(i, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0) {
            time = true;
            i += 4;
            continue;
        }
        if (code.mid(i, 3).compare(u"a/p", Qt::CaseInsensitive) == 0) {
            time = true;
            i += 2;
            continue;
        }
        if (c == u'y' || c == u'd') {
            date = true;
            if (minutesPending) month = true;
            minutesPending = false;
            previous = c;
        } else if (c == u'h') {
            time = true;
            if (minutesPending) month = true;
            minutesPending = false;
            previous = c;
        } else if (c == u's') {
            time = true;
            minutesPending = false; // "mm:ss": those m were minutes
            previous = c;
        } else if (c == u'm') {
            while (i + 1 < code.size() && code.at(i + 1).toLower() == u'm')
                ++i;
            if (previous == u'h')
                time = true; // "hh:mm"
            else
                minutesPending = true; // minutes only when seconds follow
            previous = c;
        }
    }
    if (minutesPending) month = true;
    date = date || month;
    if (date && time) return SheetCell::NumberFormat::DateTime;
    if (date) return SheetCell::NumberFormat::Date;
    if (time) return SheetCell::NumberFormat::Time;
    return SheetCell::NumberFormat::General;
}

SheetCell::NumberFormat numberFormatOfBuiltIn(int id)
{
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58))
        return SheetCell::NumberFormat::Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47))
        return SheetCell::NumberFormat::Time;
    if (id == 22) return SheetCell::NumberFormat::DateTime;
    return SheetCell::NumberFormat::General;
}

} // namespace SheetDates
