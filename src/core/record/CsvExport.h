#pragma once
#include <QByteArray>
#include <QString>

class RecordStore;

// The record table as comma-separated values (RFC 4180, UTF-8 without byte-order mark, CRLF
// line ends): the header row, then the data rows up to the last one holding any text. Empty
// rows in between are kept, so a line's position still matches its row; the empty row kept
// ready at the end of a record is left out.
namespace CsvExport
{

// One field, quoted when it holds a comma, a double quote, CR or LF (quotes doubled).
QString quoteField(const QString &text);

QByteArray toCsv(const RecordStore &record);

// Writes the file completely or not at all (an existing file is replaced only on success).
// On failure returns false and, when errorText is given, a text naming the file and the cause.
bool write(const RecordStore &record, const QString &path, QString *errorText = nullptr);
// The same for CSV made elsewhere.
bool writeBytes(const QByteArray &csv, const QString &path, QString *errorText = nullptr);

} // namespace CsvExport
