#pragma once
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "core/common/ChannelCount.h"
#include "core/record/RecordStore.h"
#include "core/workbook/SheetCells.h"

// What a record workbook holds, read back into the texts the program shows. The sheet is
// laid out as the export writes it: channel k (0..5) owns sheet columns c = 3k + 3 .. c + 2
// (time, value, unit); rows 2 to 5 carry the summary, row 7 the header, rows 8 on the
// samples. Nothing here touches a live object: the caller puts each text where it belongs.

// One channel's summary (sheet rows 2 to 5 and its row-7 name).
struct ImportedChannel {
    QString functionName; // (2, c): the table window's function caption of the channel
    bool present = false; // functionName is not blank: the channel took part in the record
    QString name;         // (7, c + 1): the channel's name (header cell of its value column)
    QString average;      // (3, c + 1): the monitor's average field of the channel
    QString unit;         // (3, c + 2): the channel's unit
    QString maxTime;      // (4, c) as "hh:nn:ss": the statistics' time of the maximum
    QString maximum;      // (4, c + 1): the monitor's maximum field of the channel
    QString maxUnit;      // (4, c + 2): the statistics' unit at the maximum
    QString minTime;      // (5, c) as "hh:nn:ss"
    QString minimum;      // (5, c + 1)
    QString minUnit;      // (5, c + 2)
};

// One data row of the record table, its 20 cells in table column order.
using ImportedRow = std::array<QString, RecordStore::ColumnCount>;

struct ImportedRecord {
    // The last channel whose summary is read: the integer nearest to
    // (used columns - 2) / 3 - 1, at most 5; -1 or less reads none.
    int lastChannel = -1;
    // Summaries of channels 0..lastChannel; every channel's `name` is read.
    std::array<ImportedChannel, ChannelCount> channels;
    // The monitor's main display entries, "<channel + 1>_<name>", for the present channels.
    QStringList channelList;
    // The first present channel, which becomes the main channel; -1 when none is present.
    int mainChannel = -1;
    // The monitor's type field: the main channel's function name ("" when none is present).
    QString typeText;
    // The main channel the workbook was saved with, told by its main-channel block (columns
    // U..W), else by the column its chart plots; -1 when neither tells.
    int savedMainChannel = -1;
    // The block is there: the main channel's range was mixed. Its unit column W tells the
    // common prefix code, the decimals of its value column V the divisor (0 when no value
    // is a number).
    bool mainRangeMixed = false;
    int commonPrefix = -1;
    int mainDivisor = 0;
    // The channel Open shows first: the saved main channel when present, else the first present.
    int shownChannel() const;
    // Table rows 1, 2, .. from the sheet's rows from 8 on that hold a cell: index "0000", date
    // as shown, and per channel time "hh:nn:ss", value with the decimals of its number format
    // (else "###0.0####"), unit. At most RecordStore::MaxSampleRows.
    std::vector<ImportedRow> rows;
    // The sample rows the sheet holds (its rows from 8 on with a cell), maybe more than `rows`.
    int sheetSampleRows = 0;

    bool truncated() const { return sheetSampleRows > int(rows.size()); }
    // The table's grid rows after loading: header, the rows, and the empty row being filled.
    int gridRowCount() const { return int(rows.size()) + 2; }
    // The first visible grid row, so that the last 7 grid rows show.
    int firstVisibleRow() const { return gridRowCount() > 7 ? gridRowCount() - 7 : 1; }
};

// Applies the import rules to a record sheet.
ImportedRecord importRecord(const SheetCells &sheet);

// The Open command's reading of a chosen file, without its dialogs and windows.
struct WorkbookOpening {
    enum class Outcome {
        Loaded,     // `record` holds the file's record; `message` is set when rows were left out
        Blank,      // the file is empty (0 bytes): show `message`, empty the "File" field
        Unreadable, // not a workbook, or a damaged one: show `message`, empty the "File" field
    };
    Outcome outcome = Outcome::Unreadable;
    // The file's name without its folders: the record stamp and the monitor's "File" field.
    QString fileName;
    // For a message box, or "" when there is nothing to say.
    QString message;
    ImportedRecord record;
};

inline QString blankFileMessage()
{
    return QCoreApplication::translate("WorkbookImport", " This file is blank !");
}

WorkbookOpening openWorkbook(const QString &path, SheetReader &reader);
