#pragma once
#include <QByteArray>
#include <QString>

// One recorded sample as other programs receive it: the channel as the user numbers it (1..6),
// the record row's Index, the local date and time (ISO 8601, seconds) and the table's texts.
struct PublishedSample {
    int channel = 0;
    int row = 0;
    QString time;
    QString text; // the value cell: digits as shown, or "+OL"/"-OL"
    QString unit;
    QString function;
};

namespace SampleFormat
{

// {"channel":1,"row":12,"time":"…","value":5.9,"text":"5.9","unit":"V","function":"DCV","overload":false}
QByteArray json(const PublishedSample &sample);
// "channel,row,time,value,text,unit,function,overload"
QByteArray csvHeader();
// One RFC 4180 line of the same fields, CRLF-terminated.
QByteArray csvLine(const PublishedSample &sample);

// The cell's number as JSON writes it ("+5.90" → "5.90", "-.5" → "-0.5"); empty for an
// overload or a text that holds no number.
QByteArray jsonNumber(const QString &text);
bool isOverload(const QString &text);
// A JSON string literal, quotes included.
void appendJsonString(QByteArray &out, QStringView text);

} // namespace SampleFormat
