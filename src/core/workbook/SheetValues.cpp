#include "core/workbook/SheetValues.h"

#include <QLocale>
#include <algorithm>
#include <cstdlib>

#include "core/common/NumberFormat.h"
#include "core/workbook/SheetDates.h"

namespace SheetValues
{

std::optional<double> timeSerial(const QString &text)
{
    // Read by hand: a record has up to 60,000 of them, and QTime::fromString is slow.
    if (text.size() != 8 || text.at(2) != u':' || text.at(5) != u':') return std::nullopt;
    const auto field = [&text](int at) {
        const char16_t tens = text.at(at).unicode();
        const char16_t ones = text.at(at + 1).unicode();
        if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9') return 99;
        return (tens - u'0') * 10 + (ones - u'0');
    };
    const int hours = field(0);
    const int minutes = field(3);
    const int seconds = field(6);
    if (hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
    return (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

double dateSerial(const QDate &date)
{
    // Day 60 is the 1900 system's 29 February 1900, so later days count from 30 December 1899.
    return double(QDate(1899, 12, 30).daysTo(date));
}

std::optional<QDate> parseDate(const QString &text, const QString &format, const QDate &near)
{
    QDate date = QLocale::system().toDate(text.trimmed(), format);
    if (!date.isValid()) return std::nullopt;
    if (!format.contains(QLatin1String("yyyy"))) {
        // QLocale reads "yy" as 19yy; the record's dates lie near its stamp.
        const int yearInCentury = date.year() % 100;
        const int nearCentury = near.year() - near.year() % 100;
        int best = nearCentury + yearInCentury;
        for (int candidate : {best - 100, best + 100})
            if (std::abs(candidate - near.year()) < std::abs(best - near.year())) best = candidate;
        date = date.addYears(best - date.year());
    }
    return date;
}

QString dateNumberFormat(const QString &format)
{
    static const QString separators = QStringLiteral("/-., ");
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            // quoted text; '' is a quote character
            qsizetype end = i + 1;
            while (end < format.size() && format.at(end) != u'\'')
                ++end;
            const QString literal = end == i + 1 ? QStringLiteral("'") : format.mid(i + 1, end - i - 1);
            for (const QChar l : literal)
                out += separators.contains(l) ? QString(l) : QStringLiteral("\\") + l;
            i = end + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (c == u'd') {
            out += QString(qMin<qsizetype>(run, 4), u'd');
        } else if (c == u'M') {
            out += QString(qMin<qsizetype>(run, 4), u'm');
        } else if (c == u'y') {
            out += run >= 4 ? QStringLiteral("yyyy") : QStringLiteral("yy");
        } else {
            for (qsizetype k = 0; k < run; ++k)
                out += separators.contains(c) ? QString(c) : QStringLiteral("\\") + c;
        }
        i += run;
    }
    return out;
}

int decimalPlaces(QStringView decimalText)
{
    const QStringView trimmed = decimalText.trimmed();
    const qsizetype point = trimmed.indexOf(u'.');
    return point < 0 ? 0 : int(trimmed.size() - point - 1);
}

QChar zeroSign(QStringView decimalText)
{
    const QStringView trimmed = decimalText.trimmed();
    return trimmed == u"+0" || trimmed == u"-0" ? trimmed.front() : QChar();
}

QString decimalsNumberFormat(int places, QChar sign)
{
    const QString digits = places <= 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(places, u'0');
    return sign.isNull() ? digits : u'"' + QString(sign) + u'"' + digits;
}

int placesOfNumberFormat(QStringView code, QChar *sign)
{
    const auto isSign = [](QChar c) { return c == u'+' || c == u'-'; };
    QChar literal;
    if (code.size() > 3 && code.at(0) == u'"' && code.at(2) == u'"' && isSign(code.at(1))) {
        literal = code.at(1);
        code = code.mid(3);
    } else if (code.size() > 2 && code.at(0) == u'\\' && isSign(code.at(1))) {
        literal = code.at(1);
        code = code.mid(2);
    } else if (code.size() > 1 && isSign(code.at(0))) {
        literal = code.at(0);
        code = code.mid(1);
    }
    *sign = QChar();
    int places = -1;
    if (code == u"0")
        places = 0;
    else if (code.size() >= 3 && code.startsWith(u"0.") &&
             std::all_of(code.begin() + 2, code.end(), [](QChar c) { return c == u'0'; }))
        places = int(code.size() - 2);
    if (places >= 0) *sign = literal;
    return places;
}

QString decimalText(double number, int places, QChar sign)
{
    const QString digits = NumberFormat::format(number, decimalsNumberFormat(places));
    return sign.isNull() ? digits : sign + digits;
}

std::optional<double> decimalNumber(const QString &text)
{
    bool numeric = false;
    const double number = NumberFormat::parseNumber(text, &numeric);
    if (!numeric) return std::nullopt;
    const QChar sign = zeroSign(text);
    if (decimalText(sign.isNull() ? number : 0.0, decimalPlaces(text), sign) != text) return std::nullopt;
    return number;
}

NumberStyle numberStyleOfCode(QStringView code)
{
    QChar sign;
    const int places = placesOfNumberFormat(code, &sign);
    return {SheetDates::numberFormatOfCode(code), places, sign.unicode()};
}

NumberStyle numberStyleOfBuiltIn(int id)
{
    // 1 is "0" and 2 is "0.00".
    return {SheetDates::numberFormatOfBuiltIn(id), id == 1 ? 0 : id == 2 ? 2 : -1, 0};
}

} // namespace SheetValues
