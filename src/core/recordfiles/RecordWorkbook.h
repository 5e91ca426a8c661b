#pragma once
#include "core/workbook/WorkbookRecord.h"

struct AcquisitionState;
class MonitorFields;
class RecordStore;
class Statistics;
struct Settings;

// The live objects a record workbook is made from.
struct RecordWorkbookSources {
    const RecordStore &record;
    const AcquisitionState &state;
    const Statistics &statistics;
    const MonitorFields &monitor;
    const Settings &settings;
};

// The record as the workbook writer takes it, a snapshot that shares nothing live: the table, each channel's
// summary as the statistics hold it, the main channel and the graph title.
WorkbookRecord recordWorkbook(const RecordWorkbookSources &sources);
