#pragma once
#include "core/workbook/WorkbookImport.h"

#include <QCoreApplication>

struct AcquisitionState;
class MonitorFields;
class ProgressHooks;
class RecordStore;
class Statistics;

// Puts a record read from a workbook where the program shows a record: the table's rows,
// header and function captions, each channel's unit and statistics, the monitor's channel
// list, received-channel count and type, and the main channel's block in one prefix (its
// mixed range, common prefix and divisor). The table has been reset before. The main channel
// is chosen afterwards by selecting its entry in the channel list.
class RecordImport
{
public:
    struct Collaborators {
        RecordStore &record;
        MonitorFields &monitor;
        Statistics &statistics;
        AcquisitionState &state;
        ProgressHooks &progress;
    };
    explicit RecordImport(const Collaborators &collaborators) : m_(collaborators) {}

    void apply(const ImportedRecord &imported);

    static QString ProgressCaption() { return QCoreApplication::translate("RecordImport", "Open file"); }
    static QString ProgressLabel() { return QCoreApplication::translate("RecordImport", "Open file....."); }

private:
    Collaborators m_;
};
