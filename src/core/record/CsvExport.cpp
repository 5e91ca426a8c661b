#include "core/record/CsvExport.h"

#include <QDir>
#include <QSaveFile>

#include "core/record/RecordStore.h"

namespace CsvExport
{

namespace
{

bool rowHasText(const RecordStore &record, int row)
{
    for (int column = 0; column < RecordStore::ColumnCount; ++column)
        if (!record.cell(row, column).isEmpty()) return true;
    return false;
}

void appendLine(QByteArray &out, const RecordStore &record, int row)
{
    QString line;
    for (int column = 0; column < RecordStore::ColumnCount; ++column) {
        if (column > 0) line += QLatin1Char(',');
        line += quoteField(record.cell(row, column));
    }
    out += line.toUtf8();
    out += "\r\n";
}

} // namespace

QString quoteField(const QString &text)
{
    static constexpr QLatin1String needsQuotes(",\"\r\n");
    bool quote = false;
    for (const QChar ch : text)
        quote = quote || needsQuotes.contains(ch);
    if (!quote) return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray toCsv(const RecordStore &record)
{
    int lastRow = record.gridRowCount() - 1;
    while (lastRow > 0 && !rowHasText(record, lastRow))
        --lastRow;

    QByteArray out;
    for (int row = 0; row <= lastRow; ++row)
        appendLine(out, record, row);
    return out;
}

bool write(const RecordStore &record, const QString &path, QString *errorText)
{
    return writeBytes(toCsv(record), path, errorText);
}

bool writeBytes(const QByteArray &csv, const QString &path, QString *errorText)
{
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(csv) >= 0 && file.commit();
    if (!written && errorText)
        *errorText = QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    return written;
}

} // namespace CsvExport
