#include "core/measurement/MeasurementTables.h"

#include <QFile>
#include <QStringDecoder>
#include <iterator>

#include "core/common/Files.h"
#include "core/common/NumberFormat.h"

namespace Measurement
{
namespace
{

struct FunctionRow {
    QStringView name;
    QStringView unit;
    float low;
    float high;
    float multiplier;
    QStringView limitFormat;
};

constexpr FunctionRow functionTable[FunctionCount] = {
    {u"DCV", u"V", -1000, 1000, 1, u"###0.000"},
    {u"ACV", u"V", 0, 1000, 1, u"###0.0"},
    {u"DCA", u"A", -1000, 1000, 1, u"###0.0"},
    {u"ACA", u"A", 0, 1000, 1, u"###0.0"},
    {u"OHM", u"\u03A9", 0, 40.5f, 1e6f, u"#######0.0"},
    {u"CAP", u"F", 0, 102, 1e-6f, u"###0.000000000"},
    {u"Hz", u"Hz", 0, 5, 1e6f, u"#######0.000"},
    {u"Duty", u"%", 0.1f, 99.9f, 1, u"##0.0"},
    {u"Diode", u"V", -1, 1, 1, u"#0.000"},
    {u"Continuity", u"\u03A9", 0, 405, 1, u"###0.0"},
};

constexpr QStringView prefixTexts[PrefixCount] = {u"n", u"u", u"m", u"", u"K", u"M"};
constexpr float prefixFactors[PrefixCount] = {1e-9f, 1e-6f, 0.001f, 1, 1000, 1e6f};

bool isFunction(int code)
{
    return code >= 0 && code < FunctionCount;
}
bool isPrefix(int code)
{
    return code >= 0 && code < PrefixCount;
}

// One display limit: the table limit in the prefix's unit, cut to the limit format's
// decimals and read back at single precision.
double displayLimit(int functionCode, float limit, int prefixCode)
{
    const FunctionRow &row = functionTable[functionCode];
    double quotient = double(limit) * double(row.multiplier) / double(prefixFactor(prefixCode));
    if (functionCode != OHM && functionCode != CAP && functionCode != Hz) quotient = double(float(quotient));
    const double rounded =
        NumberFormat::parseNumber(NumberFormat::format(quotient, row.limitFormat), nullptr);
    return double(float(rounded));
}

// The items of a classic sequential-input file: separated by commas or line ends, blanks
// around an item dropped, a quoted item taken verbatim. Blank lines give no item.
QStringList inputItems(const QString &text)
{
    QStringList items;
    const auto isLineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text.at(i) == u' ' || text.at(i) == u'\t'))
            ++i;
        if (i < n && isLineEnd(text.at(i))) {
            ++i;
            continue;
        }
        if (i == n) break;
        if (text.at(i) == u'"') {
            qsizetype close = text.indexOf(u'"', i + 1);
            if (close < 0) close = n;
            items << text.mid(i + 1, close - i - 1);
            i = close + 1;
            while (i < n && text.at(i) != u',' && !isLineEnd(text.at(i)))
                ++i; // anything between the closing quote and the separator is ignored
        } else {
            const qsizetype start = i;
            while (i < n && text.at(i) != u',' && !isLineEnd(text.at(i)))
                ++i;
            items << text.mid(start, i - start).trimmed();
        }
        if (i < n && text.at(i) == u',')
            ++i;
        else if (i < n && text.at(i) == u'\r')
            i += (i + 1 < n && text.at(i + 1) == u'\n') ? 2 : 1;
        else if (i < n)
            ++i;
    }
    return items;
}

// Lines of text a person could have typed: no control characters but tabs and line ends, no
// line longer than MaxLabelLineLength.
bool isShortText(const QString &text)
{
    int lineLength = 0;
    for (const QChar c : text) {
        if (c == u'\r' || c == u'\n') {
            lineLength = 0;
            continue;
        }
        if (c != u'\t' && c.category() == QChar::Other_Control) return false;
        if (++lineLength > MaxLabelLineLength) return false;
    }
    return true;
}

} // namespace

QString functionName(int functionCode)
{
    return isFunction(functionCode) ? functionTable[functionCode].name.toString() : QString();
}

QString unitText(int functionCode)
{
    return isFunction(functionCode) ? functionTable[functionCode].unit.toString() : QString();
}

QString prefixText(int prefixCode)
{
    return isPrefix(prefixCode) ? prefixTexts[prefixCode].toString() : QString();
}

float prefixFactor(int prefixCode)
{
    return isPrefix(prefixCode) ? prefixFactors[prefixCode] : 1.0f;
}

float lowLimit(int functionCode)
{
    return isFunction(functionCode) ? functionTable[functionCode].low : 0.0f;
}

float highLimit(int functionCode)
{
    return isFunction(functionCode) ? functionTable[functionCode].high : 0.0f;
}

QString limitFormat(int functionCode)
{
    return isFunction(functionCode) ? functionTable[functionCode].limitFormat.toString() : QString();
}

int functionCodeOf(const QString &name)
{
    for (int code = 0; code < FunctionCount; ++code) {
        if (functionTable[code].name == name) return code;
    }
    return -1;
}

int prefixCodeOfUnit(const QString &unit)
{
    if (!unit.isEmpty()) {
        for (int code = 0; code < PrefixCount; ++code) {
            if (code != NoPrefix && prefixTexts[code].front() == unit.front()) return code;
        }
    }
    return NoPrefix;
}

bool displayLimits(int functionCode, int prefixCode, DisplayLimits *limits)
{
    if (!isFunction(functionCode) || !limits) return false;
    limits->upper = displayLimit(functionCode, functionTable[functionCode].high, prefixCode);
    limits->lower = displayLimit(functionCode, functionTable[functionCode].low, prefixCode);
    return true;
}

LabelFile readLabelFile(const QString &path)
{
    if (!fileExists(path)) return {};
    const LabelFile unreadable{LabelFile::Status::Unreadable, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return unreadable;
    // One byte over the limit tells a file at the limit from a longer one.
    const QByteArray bytes = file.read(MaxLabelFileBytes + 1);
    if (bytes.size() > MaxLabelFileBytes) return unreadable;
    // Written by hand in any editor: UTF-8 when it decodes cleanly, else Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    if (!isShortText(text)) return unreadable;
    const QStringList items = inputItems(text);
    return {LabelFile::Status::Read, items.isEmpty() ? QString() : items.last()};
}

} // namespace Measurement
