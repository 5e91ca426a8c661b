#pragma once
#include <QByteArray>
#include <QString>

// One recorded sample as other programs receive it: the channel as the user numbers it (1..6),
// the record's stamp and the row's Index (together a key unique across records), the local
// date and time with its UTC offset (ISO 8601, seconds), the value in the function's base unit
// and the table's own texts.
struct PublishedSample {
    int channel = 0;
    QString record; // yymmdd_hhnnss, as the record's file name has it
    int row = 0;
    QString time;
    QByteArray value; // the number in `unit`, exact to the reading's digits; empty: none
    QString unit;     // the function's base unit: V, A, Ω, F, Hz, %
    QString text;     // the value cell: digits as shown, or "+OL"/"-OL"
    QString textUnit; // the unit cell: "mV", "KΩ", ...
    QString function;
    // Not published with each sample; what announcing the channel needs.
    QString name;      // the channel's name in the record's header
    int intervalS = 0; // the interval the meter's frames announce; 0: unknown
};

namespace SampleFormat
{

// {"channel":1,"record":"…","row":12,"time":"…","value":0.0059,"unit":"V","text":"5.9",
//  "text_unit":"mV","function":"DCV","overload":false}
QByteArray json(const PublishedSample &sample);
// "channel,record,row,time,value,unit,text,text_unit,function,overload"
QByteArray csvHeader();
// One RFC 4180 line of the same fields, CRLF-terminated.
QByteArray csvLine(const PublishedSample &sample);

// The sample's value and unit from the table's texts: the value in the function's base unit,
// made from the text's digits by moving the decimal point ("5.9" mV → "0.0059" V). A unit
// without a known prefix, or an unknown function, keeps the table's unit as it is.
void setBaseValue(PublishedSample &sample);
// The number of a cell text with its decimal point moved `exponent` places, as JSON writes it
// ("+05.90", 0 → "5.9"; "5.9", -3 → "0.0059"); empty for an overload or a text that holds
// no number.
QByteArray scaledNumber(QStringView text, int exponent);
bool isOverload(const QString &text);
// A JSON string literal, quotes included.
void appendJsonString(QByteArray &out, QStringView text);

} // namespace SampleFormat
