#include "core/publish/PublishedSample.h"

#include <QLocale>
#include <cmath>

#include "core/record/CsvExport.h"

namespace SampleFormat
{

namespace
{

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// -?(0|[1-9][0-9]*)(\.[0-9]+)? : what a JSON number may look like without an exponent.
bool isJsonNumber(const QByteArray &n)
{
    qsizetype i = n.startsWith('-') ? 1 : 0;
    const qsizetype intStart = i;
    while (i < n.size() && isDigit(n[i]))
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && n[intStart] == '0')) return false;
    if (i == n.size()) return true;
    if (n[i] != '.') return false;
    const qsizetype fraction = ++i;
    while (i < n.size() && isDigit(n[i]))
        ++i;
    return i == n.size() && i > fraction;
}

} // namespace

bool isOverload(const QString &text)
{
    return text.endsWith(QLatin1String("OL"));
}

QByteArray jsonNumber(const QString &text)
{
    if (text.isEmpty() || isOverload(text)) return {};
    QByteArray n = text.trimmed().toLatin1();
    if (n.startsWith('+')) n.remove(0, 1);
    if (isJsonNumber(n)) return n;
    // Anything else that still reads as a number ("-.5", "5.", a decimal comma) is written anew.
    bool ok = false;
    const double value = QString::fromLatin1(n).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(value)) return {};
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
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
    out.reserve(160);
    out += "{\"channel\":";
    out += QByteArray::number(s.channel);
    out += ",\"row\":";
    out += QByteArray::number(s.row);
    out += ",\"time\":";
    appendJsonString(out, s.time);
    out += ",\"value\":";
    const QByteArray number = jsonNumber(s.text);
    out += number.isEmpty() ? QByteArray("null") : number;
    out += ",\"text\":";
    appendJsonString(out, s.text);
    out += ",\"unit\":";
    appendJsonString(out, s.unit);
    out += ",\"function\":";
    appendJsonString(out, s.function);
    out += isOverload(s.text) ? ",\"overload\":true}" : ",\"overload\":false}";
    return out;
}

QByteArray csvHeader()
{
    return QByteArrayLiteral("channel,row,time,value,text,unit,function,overload\r\n");
}

QByteArray csvLine(const PublishedSample &s)
{
    const QString line =
        QString::number(s.channel) + u',' + QString::number(s.row) + u',' + CsvExport::quoteField(s.time) +
        u',' + QString::fromLatin1(jsonNumber(s.text)) + u',' + CsvExport::quoteField(s.text) + u',' +
        CsvExport::quoteField(s.unit) + u',' + CsvExport::quoteField(s.function) + u',' +
        (isOverload(s.text) ? QLatin1String("true") : QLatin1String("false")) + QLatin1String("\r\n");
    return line.toUtf8();
}

} // namespace SampleFormat
