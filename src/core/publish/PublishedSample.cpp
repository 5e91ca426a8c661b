#include "core/publish/PublishedSample.h"

#include "core/measurement/MeasurementTables.h"
#include "core/record/CsvExport.h"

namespace SampleFormat
{

namespace
{

constexpr int PrefixExponents[Measurement::PrefixCount] = {-9, -6, -3, 0, 3, 6};
constexpr qsizetype MaxDigits = 17;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

void appendField(QByteArray &out, const char *name, QStringView text)
{
    out += ",\"";
    out += name;
    out += "\":";
    appendJsonString(out, text);
}

} // namespace

bool isOverload(const QString &text)
{
    return text.endsWith(QLatin1String("OL"));
}

QByteArray scaledNumber(QStringView text, int exponent)
{
    text = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    QByteArray digits;
    qsizetype point = -1; // digits before the decimal point
    for (; i < text.size(); ++i) {
        if (isDigit(text[i]))
            digits += char(text[i].unicode());
        else if ((text[i] == u'.' || text[i] == u',') && point < 0)
            point = digits.size();
        else
            return {};
    }
    // A reading has four digits; a cell of many more is no reading, and a JSON reader may refuse
    // its number as out of range.
    if (digits.isEmpty() || digits.size() > MaxDigits) return {};
    if (point < 0) point = digits.size();
    point += exponent;
    if (point < 0) {
        digits.prepend(QByteArray(-point, '0'));
        point = 0;
    } else if (point > digits.size()) {
        digits.append(QByteArray(point - digits.size(), '0'));
    }
    QByteArray whole = digits.left(point);
    QByteArray fraction = digits.mid(point);
    qsizetype lead = 0;
    while (lead < whole.size() && whole[lead] == '0')
        ++lead;
    whole.remove(0, lead);
    while (fraction.endsWith('0'))
        fraction.chop(1);
    if (whole.isEmpty()) whole = "0";
    QByteArray number = negative && (whole != "0" || !fraction.isEmpty()) ? "-" + whole : whole;
    if (!fraction.isEmpty()) number += '.' + fraction;
    return number;
}

void setBaseValue(PublishedSample &s)
{
    int exponent = 0;
    s.unit = s.textUnit;
    const int code = Measurement::functionCodeOf(s.function);
    const QString base = code >= 0 ? Measurement::unitText(code) : QString();
    if (!base.isEmpty() && s.textUnit.endsWith(base)) {
        const QStringView prefix = QStringView(s.textUnit).chopped(base.size());
        for (int p = 0; p < Measurement::PrefixCount; ++p) {
            if (prefix != Measurement::prefixText(p)) continue;
            exponent = PrefixExponents[p];
            s.unit = base;
            break;
        }
    }
    s.value = isOverload(s.text) ? QByteArray() : scaledNumber(s.text, exponent);
}

void appendJsonString(QByteArray &out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    const auto append = [&out](unsigned char c) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    };
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x80) { // the rest as UTF-8; JSON's own characters are all ASCII
            for (const char c : text.mid(i).toUtf8())
                append(static_cast<unsigned char>(c));
            break;
        }
        append(static_cast<unsigned char>(text[i].unicode()));
    }
    out += '"';
}

QByteArray json(const PublishedSample &s)
{
    QByteArray out;
    out.reserve(220);
    out += "{\"channel\":";
    out += QByteArray::number(s.channel);
    appendField(out, "record", s.record);
    out += ",\"row\":";
    out += QByteArray::number(s.row);
    appendField(out, "time", s.time);
    out += ",\"value\":";
    out += s.value.isEmpty() ? QByteArray("null") : s.value;
    appendField(out, "unit", s.unit);
    appendField(out, "text", s.text);
    appendField(out, "text_unit", s.textUnit);
    appendField(out, "function", s.function);
    out += isOverload(s.text) ? ",\"overload\":true}" : ",\"overload\":false}";
    return out;
}

QByteArray csvHeader()
{
    return QByteArrayLiteral("channel,record,row,time,value,unit,text,text_unit,function,overload\r\n");
}

QByteArray csvLine(const PublishedSample &s)
{
    const QString line =
        QString::number(s.channel) + u',' + CsvExport::quoteField(s.record) + u',' + QString::number(s.row) +
        u',' + CsvExport::quoteField(s.time) + u',' + QString::fromLatin1(s.value) + u',' +
        CsvExport::quoteField(s.unit) + u',' + CsvExport::quoteField(s.text) + u',' +
        CsvExport::quoteField(s.textUnit) + u',' + CsvExport::quoteField(s.function) + u',' +
        (isOverload(s.text) ? QLatin1String("true") : QLatin1String("false")) + QLatin1String("\r\n");
    return line.toUtf8();
}

} // namespace SampleFormat
