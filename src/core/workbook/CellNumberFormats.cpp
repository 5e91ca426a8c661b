#include "core/workbook/CellNumberFormats.h"

#include <vector>

namespace CellNumberFormats
{
namespace
{

using Kind = SheetCell::NumberFormat;

Kind combine(bool date, bool time)
{
    if (date && time) return Kind::DateTime;
    if (date) return Kind::Date;
    if (time) return Kind::Time;
    return Kind::General;
}

bool startsWithNoCase(QStringView text, qsizetype at, QStringView word)
{
    return text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// A bracketed part: "[h]", "[mm]", "[ss]" are elapsed times; colours, conditions and
// locales ("[Red]", "[<100]", "[$-409]") are not date parts.
bool isElapsedTime(QStringView inside)
{
    if (inside.isEmpty()) return false;
    const QChar first = inside.front().toLower();
    if (first != u'h' && first != u'm' && first != u's') return false;
    for (QChar c : inside)
        if (c.toLower() != first) return false;
    return true;
}

} // namespace

Kind ofBuiltIn(int formatId)
{
    switch (formatId) {
    case 14:
    case 15:
    case 16:
    case 17:
        return Kind::Date;
    case 18:
    case 19:
    case 20:
    case 21:
    case 45:
    case 46:
    case 47:
        return Kind::Time;
    case 22:
        return Kind::DateTime;
    // East Asian locales' built-in dates and times
    case 27:
    case 28:
    case 29:
    case 30:
    case 31:
    case 34:
    case 35:
    case 36:
    case 50:
    case 51:
    case 52:
    case 53:
    case 54:
    case 57:
    case 58:
        return Kind::Date;
    case 32:
    case 33:
    case 55:
    case 56:
        return Kind::Time;
    default:
        return Kind::General;
    }
}

Kind ofCode(QStringView code)
{
    // 'm' is a month unless it stands next to an hour or a second: "h:mm", "mm:ss".
    enum class Token { Date, Hour, Minute, Second, MonthOrMinute };
    std::vector<Token> tokens;
    bool ampm = false;
    qsizetype i = 0;
    while (i < code.size()) {
        const QChar c = code.at(i);
        const QChar lower = c.toLower();
        if (c == u';') break;
        if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            i = end < 0 ? code.size() : end + 1;
            continue;
        }
        if (c == u'\\' || c == u'_' || c == u'*') {
            i += 2;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            const QStringView inside = code.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (isElapsedTime(inside)) {
                const QChar unit = inside.front().toLower();
                tokens.push_back(unit == u'h' ? Token::Hour : unit == u's' ? Token::Second : Token::Minute);
            }
            i = end < 0 ? code.size() : end + 1;
            continue;
        }
        if (lower == u'a' && (startsWithNoCase(code, i, u"am/pm") || startsWithNoCase(code, i, u"a/p"))) {
            ampm = true;
            i += startsWithNoCase(code, i, u"am/pm") ? 5 : 3;
            continue;
        }
        qsizetype run = 1;
        while (i + run < code.size() && code.at(i + run).toLower() == lower)
            ++run;
        if (lower == u'y' || lower == u'd')
            tokens.push_back(Token::Date);
        else if (lower == u'h')
            tokens.push_back(Token::Hour);
        else if (lower == u's')
            tokens.push_back(Token::Second);
        else if (lower == u'm')
            tokens.push_back(Token::MonthOrMinute);
        i += run;
    }

    bool date = false;
    bool time = ampm;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        switch (tokens[t]) {
        case Token::Date:
            date = true;
            break;
        case Token::Hour:
        case Token::Minute:
        case Token::Second:
            time = true;
            break;
        case Token::MonthOrMinute: {
            const bool afterHour = t > 0 && tokens[t - 1] == Token::Hour;
            const bool beforeSecond = t + 1 < tokens.size() && tokens[t + 1] == Token::Second;
            (afterHour || beforeSecond ? time : date) = true;
            break;
        }
        }
    }
    return combine(date, time);
}

} // namespace CellNumberFormats
