#pragma once
#include <QString>
#include <array>
#include <utility>

#include "core/common/ChannelCount.h"
#include "core/record/RecordTable.h"

// One extreme of a channel as the statistics hold it.
struct WorkbookExtreme {
    QString time;  // "hh:nn:ss" of the sample
    QString value; // the value text as shown, "+OL"/"-OL" included
    QString unit;  // the unit of `value`
};

// The summary figures of one channel.
struct WorkbookChannelSummary {
    bool hasStatistics = false; // the channel's maximum has a row in the record
    QString average;            // the average text as shown
    QString unit;               // the channel's unit (the unit of the average)
    WorkbookExtreme maximum;
    WorkbookExtreme minimum;
};

// Everything a record workbook is made from, as plain values that share nothing with the live
// record: it can be written on another thread while the record goes on. Of the table the
// writer reads the cells, the per-channel function, prefix and divisor captions, and the stamp.
struct WorkbookRecord {
    explicit WorkbookRecord(RecordTable recordTable) : table(std::move(recordTable)) {}

    RecordTable table;
    std::array<WorkbookChannelSummary, ChannelCount> channels;

    int mainChannel = 0;         // 0..5
    int mainFunction = 0;        // function code of the main channel
    int mainRowCount = 0;        // samples of the main channel in the record
    bool mainRangeMixed = false; // the main channel's prefix changed in a range-switching function
    QString mainDisplayUnit;     // the unit of the monitor's main display
    bool titleShown = false;     // the graph title is switched on
    QString title;               // the graph title text
};
