#include "core/workbook/WorkbookImport.h"

#include <QCoreApplication>

#include <QFileInfo>
#include <cmath>

#include "core/common/ChannelCount.h"
#include "core/common/Files.h"
#include "core/common/NumberFormat.h"
#include "core/measurement/MeasurementTables.h"
#include "core/workbook/SheetDates.h"
#include "core/workbook/SheetValues.h"

namespace
{

constexpr int FunctionRow = 2;
constexpr int AverageRow = 3;
constexpr int MaximumRow = 4;
constexpr int MinimumRow = 5;
constexpr int HeaderRow = 7;
constexpr int FirstSampleRow = 8;
constexpr int MainBlockColumn = 21; // U: time, V: value, W: unit

const QString TimePicture = QStringLiteral("hh:nn:ss");
const QString IndexPicture = QStringLiteral("0000");
const QString ValuePicture = QStringLiteral("###0.0####");

int firstSheetColumn(int channel)
{
    return 3 * channel + 3;
}

QString timeOfDay(const QDateTime &when)
{
    return NumberFormat::formatTime(when.time(), TimePicture);
}

// A cell's value as the table shows a cell taken over unchanged.
QString shownText(const SheetCell &cell)
{
    switch (cell.type) {
    case SheetCell::Type::Empty:
        return {};
    case SheetCell::Type::Text:
    case SheetCell::Type::Error:
        return cell.text;
    case SheetCell::Type::Boolean:
        return cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case SheetCell::Type::Number:
        break;
    }
    const QDateTime when = SheetDates::dateTimeOfSerial(cell.number);
    if (when.isValid()) {
        switch (cell.format) {
        case SheetCell::NumberFormat::General:
            break;
        case SheetCell::NumberFormat::Time:
            return timeOfDay(when);
        case SheetCell::NumberFormat::Date:
            return RecordStore::shortDate(when.date());
        case SheetCell::NumberFormat::DateTime:
            return RecordStore::shortDate(when.date()) + u' ' + timeOfDay(when);
        }
    }
    return QString::number(cell.number, 'g', 15);
}

// A cell formatted by a numeric picture; a text that is no number passes unchanged.
QString pictureText(const SheetCell &cell, const QString &picture)
{
    if (cell.type == SheetCell::Type::Number) return NumberFormat::format(cell.number, picture);
    if (cell.type == SheetCell::Type::Text) return NumberFormat::formatText(cell.text, picture);
    return shownText(cell);
}

// A sample value: a number written with the reading's decimals in its format shows them again
// ("1.20" stays "1.20"); any other as the import has always shown it.
QString valueText(const SheetCell &cell)
{
    if (cell.type == SheetCell::Type::Number && cell.decimals >= 0)
        return SheetValues::decimalText(cell.number, cell.decimals, QChar(cell.sign));
    return pictureText(cell, ValuePicture);
}

// A summary figure: as a sample value when its format shows decimals, else as shown.
QString figureText(const SheetCell &cell)
{
    return cell.type == SheetCell::Type::Number && cell.decimals >= 0 ? valueText(cell) : shownText(cell);
}

// The main channel a workbook was saved with, from its main-channel block's header
// "Main Display(Ch<n>)"; -1 without one.
int blockChannel(const SheetCell &header)
{
    static const QString start = QStringLiteral("Main Display(Ch");
    if (header.type != SheetCell::Type::Text || !header.text.startsWith(start) || !header.text.endsWith(u')'))
        return -1;
    bool ok = false;
    const int channel = QStringView(header.text).mid(start.size()).chopped(1).toInt(&ok);
    return ok && channel >= 0 && channel < ChannelCount ? channel : -1;
}

// A cell formatted as a time of day: a number is a serial day, a text that reads as a time
// is written again in 24-hour form, any other text passes unchanged.
QString timeText(const SheetCell &cell)
{
    if (cell.type == SheetCell::Type::Number) {
        const QDateTime when = SheetDates::dateTimeOfSerial(cell.number);
        return when.isValid() ? timeOfDay(when) : shownText(cell);
    }
    if (cell.type == SheetCell::Type::Text) {
        const QString text = cell.text.trimmed();
        for (const char *pattern : {"h:m:s", "h:m", "h:m:s AP", "h:m AP", "h:m:s ap", "h:m ap"}) {
            const QTime time = QTime::fromString(text, QLatin1String(pattern));
            if (time.isValid()) return NumberFormat::formatTime(time, TimePicture);
        }
        return cell.text;
    }
    return shownText(cell);
}

// The date column: rows share their date, and the locale's date text is slow to make, so the
// last one made is kept.
class DateTexts
{
public:
    QString text(const SheetCell &cell)
    {
        if (cell.type != SheetCell::Type::Number || cell.format != SheetCell::NumberFormat::Date)
            return shownText(cell);
        if (cell.number != m_serial || m_text.isNull()) {
            m_serial = cell.number;
            m_text = shownText(cell);
        }
        return m_text;
    }

private:
    double m_serial = 0;
    QString m_text;
};

ImportedRow importRow(const SheetCells &sheet, int sheetRow, DateTexts &dates)
{
    ImportedRow row;
    row[0] = pictureText(sheet.at(sheetRow, 1), IndexPicture);
    row[1] = dates.text(sheet.at(sheetRow, 2));
    for (int channel = 0; channel < ChannelCount; ++channel) {
        const int c = firstSheetColumn(channel);
        row[std::size_t(RecordStore::timeColumn(channel))] = timeText(sheet.at(sheetRow, c));
        row[std::size_t(RecordStore::valueColumn(channel))] = valueText(sheet.at(sheetRow, c + 1));
        row[std::size_t(RecordStore::unitColumn(channel))] = shownText(sheet.at(sheetRow, c + 2));
    }
    return row;
}

// The main channel from its block, or from the value column of the chart, and the block's
// prefix and divisor.
void readMainChannel(const SheetCells &sheet, ImportedRecord *record)
{
    const int block = blockChannel(sheet.at(HeaderRow, MainBlockColumn + 1));
    const int plotted = sheet.chartValuesColumn() - 4; // a channel's value column is 3k + 4
    if (block >= 0)
        record->savedMainChannel = block;
    else if (plotted >= 0 && plotted % 3 == 0 && plotted / 3 < ChannelCount)
        record->savedMainChannel = plotted / 3;
    record->mainRangeMixed = block >= 0;
    if (!record->mainRangeMixed) return;
    for (const int row : sheet.filledRows(FirstSampleRow)) {
        const SheetCell &unit = sheet.at(row, MainBlockColumn + 2);
        if (record->commonPrefix < 0 && unit.type == SheetCell::Type::Text)
            record->commonPrefix = Measurement::prefixCodeOfUnit(unit.text);
        // Automatic saves of older workbooks hold the values as texts.
        const SheetCell &value = sheet.at(row, MainBlockColumn + 1);
        const int places = value.type == SheetCell::Type::Number ? value.decimals
                           : value.type == SheetCell::Type::Text && NumberFormat::isNumeric(value.text)
                               ? SheetValues::decimalPlaces(value.text)
                               : -1;
        if (record->mainDivisor == 0 && places >= 0 && places <= 3)
            record->mainDivisor = int(std::lround(std::pow(10, places)));
        if (record->commonPrefix >= 0 && record->mainDivisor > 0) return;
    }
}

ImportedChannel importSummary(const SheetCells &sheet, int channel)
{
    const int c = firstSheetColumn(channel);
    ImportedChannel imported;
    imported.functionName = shownText(sheet.at(FunctionRow, c));
    imported.present = !imported.functionName.trimmed().isEmpty();
    imported.average = figureText(sheet.at(AverageRow, c + 1));
    imported.unit = shownText(sheet.at(AverageRow, c + 2));
    imported.maxTime = timeText(sheet.at(MaximumRow, c));
    imported.maximum = figureText(sheet.at(MaximumRow, c + 1));
    imported.maxUnit = shownText(sheet.at(MaximumRow, c + 2));
    imported.minTime = timeText(sheet.at(MinimumRow, c));
    imported.minimum = figureText(sheet.at(MinimumRow, c + 1));
    imported.minUnit = shownText(sheet.at(MinimumRow, c + 2));
    return imported;
}

} // namespace

ImportedRecord importRecord(const SheetCells &sheet)
{
    ImportedRecord record;
    record.lastChannel = qMin(5, int(std::lround((sheet.columnCount() - 2) / 3.0 - 1)));
    for (int channel = 0; channel <= record.lastChannel; ++channel) {
        ImportedChannel &imported = record.channels[std::size_t(channel)];
        imported = importSummary(sheet, channel);
        if (!imported.present) continue;
        const QString name = shownText(sheet.at(HeaderRow, firstSheetColumn(channel) + 1));
        record.channelList.append(QString::number(channel + 1) + u'_' + name);
        if (record.mainChannel < 0) {
            record.mainChannel = channel;
            record.typeText = imported.functionName;
        }
    }
    // The header takes every channel's name, read or not.
    for (int channel = 0; channel < ChannelCount; ++channel)
        record.channels[std::size_t(channel)].name =
            shownText(sheet.at(HeaderRow, firstSheetColumn(channel) + 1));

    readMainChannel(sheet, &record);

    // Rows without a cell are no samples: a stray cell far down adds one row, not a million.
    const std::vector<int> sampleRows = sheet.filledRows(FirstSampleRow);
    record.sheetSampleRows = int(sampleRows.size());
    const int loaded = qMin(record.sheetSampleRows, RecordStore::MaxSampleRows);
    record.rows.reserve(std::size_t(loaded));
    DateTexts dates;
    for (int t = 0; t < loaded; ++t)
        record.rows.push_back(importRow(sheet, sampleRows[std::size_t(t)], dates));
    return record;
}

int ImportedRecord::shownChannel() const
{
    return savedMainChannel >= 0 && channels[std::size_t(savedMainChannel)].present ? savedMainChannel
                                                                                    : mainChannel;
}

WorkbookOpening openWorkbook(const QString &path, SheetReader &reader)
{
    WorkbookOpening opening;
    opening.fileName = fileNameOfPath(path);
    const QFileInfo file(path);
    // A folder, a named pipe or a device is no workbook; reading a pipe would wait for ever.
    if (file.exists() && !file.isFile()) {
        opening.outcome = WorkbookOpening::Outcome::Unreadable;
        opening.message = sheetReadFailure(opening.fileName, QStringLiteral("it is not a file"));
        return opening;
    }
    if (file.isFile() && file.size() == 0) {
        opening.outcome = WorkbookOpening::Outcome::Blank;
        opening.message = blankFileMessage();
        return opening;
    }
    SheetCells sheet;
    QString error;
    if (!reader.read(path, &sheet, &error)) {
        opening.outcome = WorkbookOpening::Outcome::Unreadable;
        opening.message = error;
        return opening;
    }
    opening.outcome = WorkbookOpening::Outcome::Loaded;
    opening.record = importRecord(sheet);
    if (opening.record.truncated())
        opening.message =
            QCoreApplication::translate("WorkbookImport",
                                        "\"%1\" holds %2 sample rows, more than a record can hold: only the "
                                        "first %3 were loaded.")
                .arg(opening.fileName)
                .arg(opening.record.sheetSampleRows)
                .arg(RecordStore::MaxSampleRows);
    return opening;
}
