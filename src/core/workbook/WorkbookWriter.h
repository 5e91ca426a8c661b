#pragma once
#include <QCoreApplication>
#include <QString>
#include <functional>

#include "core/workbook/WorkbookRecord.h"

class RecordStore;
class StagedFile;

// Writes a record as an .xlsx workbook: one sheet "Sheet1" with the summary block, the header
// row 7, every sample row from row 8, the main channel in one prefix (columns U..W) when its
// range was mixed, and a line chart of the main channel. Every save writes the same cells: a
// numeric sample value, and a summary figure (average, maximum, minimum) that a number shows
// again, is a number whose format shows the reading's decimals, so that a spreadsheet plots
// and sums it and the reader gets the shown text back; "+OL"/"-OL" stay texts. The file is complete
// or not there: it is written under a temporary name beside the target and then renamed over it.
class WorkbookWriter
{
public:
    // Called after each sample row: row 1..rowCount.
    using Progress = std::function<void(int row, int rowCount)>;

    explicit WorkbookWriter(Progress progress = {});

    // False on failure, with `errorText` naming the file and the cause; the target is then
    // as it was before.
    bool write(const WorkbookRecord &record, const QString &path, QString *errorText = nullptr) const;
    // The same into `file`, created already by a caller that made sure its folder takes it.
    bool write(const WorkbookRecord &record, StagedFile &file, QString *errorText = nullptr) const;

private:
    Progress m_progress;
};

// Names and texts around a record workbook file.
namespace WorkbookFiles
{

inline constexpr char Suffix[] = "xlsx";
inline constexpr char SaveDialogTitle[] = QT_TRANSLATE_NOOP("WorkbookSaver", "Save File");
inline constexpr char DialogFilter[] = "Excel File(*.xlsx)";

// True when the record has a first sample row (its date cell is filled).
bool hasRecord(const RecordStore &record);

// The workbook's name without suffix for a record file name ("240305_140709.xlsx" gives
// "240305_140709", "bench.xls" gives "bench").
QString baseName(const QString &recordFileName);

// Where the automatic save writes: `folder`, then the base name and ".xlsx".
QString autoSavePath(const QString &folder, const QString &recordFileName);

} // namespace WorkbookFiles
