#pragma once
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "core/common/WindowHooks.h"
#include "core/recordfiles/RecordWorkbook.h"
#include "core/workbook/WorkbookSaveQueue.h"

class MonitorFields;
class Prompts;
class WindowVisibility;

// Saves the record as a workbook: silently at a record split or function change, and by the
// Save Data command with its file dialog (as a workbook or as the table's CSV). The automatic
// save makes sure at once that a folder takes the file (the records folder, else the per-user
// data folder), so a split never empties a record that exists nowhere else, and then writes a
// snapshot of the record in the background while the next record runs. A background write that
// fails tries the per-user data folder too. Existing workbooks are never overwritten silently.
class WorkbookSaver final : public RecordSaver
{
public:
    struct Collaborators {
        RecordWorkbookSources sources;
        const WindowVisibility &windows;
        Prompts &prompts;
        ProgressHooks &progress;
        MonitorFields &fileField; // the record's file name, which follows the name it is saved under
    };
    explicit WorkbookSaver(const Collaborators &collaborators);

    // Writes the record to `path` as Save Data does once the file is chosen: a ".csv" name
    // gets the table as CSV, any other a workbook (".xls" becomes ".xlsx", ".xlsx" is added to
    // any other name; `path` is then changed to the name written), after which the record counts
    // as saved and goes by the workbook's name. False with the reason, naming the file, in `error`.
    bool saveAs(QString *path, QString *error);

    ~WorkbookSaver() override;

    bool autoSave(QString *error) override;
    bool isSaving(const QString &recordFileName) const override;
    void waitForSaves() override;
    // Save Data as the save question runs it: the record, whatever windows are shown.
    bool saveDataCommand() override;
    // Save Data from the menu, pop-up or Ctrl+S: a record whose table is hidden is not offered.
    bool saveDataFromMenu();
    QString savedPathFor(const QString &recordFileName) const override;
    QString writtenPathFor(const QString &recordFileName) const override;

    // Where an automatic save goes when the records folder cannot take it; by default the
    // per-user data folder.
    void setFallbackFolder(const QString &folder) { m_fallbackFolder = folder; }
    QString fallbackFolder() const { return m_fallbackFolder; }
    // Removes the staged files a killed program left in the records and fallback folders.
    void removeAbandonedFiles() const;
    // A record opened from `path` is kept there already: it is not asked to be saved again.
    void noteOpened(const QString &recordFileName, const QString &path);
    // Told after every save of the record as a workbook (the automatic save, Save Data and the
    // save question, not a CSV) with the record's file name ("yymmdd_hhnnss.xlsx") and the path
    // of the file written.
    void setSavedListener(std::function<void(const QString &recordFileName, const QString &path)> listener)
    {
        m_savedListener = std::move(listener);
    }
    // What was done about an automatic save that could be written nowhere, for the user's message.
    struct AutoSaveFailure {
        bool recordingStopped = false;
        QString journalPath; // where the record's samples are kept; "" = nowhere
    };
    // Runs, before the user is told, when an automatic save could be written nowhere: the
    // recording is to stop rather than split off more records that cannot be kept, and the
    // record's journal is to stay.
    void setAutoSaveFailedHandler(std::function<AutoSaveFailure(const QString &recordFileName)> handler)
    {
        m_autoSaveFailed = std::move(handler);
    }
    // What writes a record into its staged file on the saving thread (tests).
    void setBackgroundWriter(WorkbookSaveQueue::Writer writer) { m_queue->setWriter(std::move(writer)); }

    static QString NotAnyRecordText()
    {
        return QCoreApplication::translate("WorkbookSaver", "Not any record!");
    }
    static QString SaveFilters()
    {
        return QCoreApplication::translate("WorkbookSaver", "Excel File(*.xlsx);;CSV File(*.csv)");
    }
    static QString ProgressCaption() { return QCoreApplication::translate("WorkbookSaver", "Save file"); }
    static QString ProgressLabel() { return QCoreApplication::translate("WorkbookSaver", "Save file....."); }

private:
    // An automatic save taken over and not finished yet, with the files it may end up in.
    struct InFlight {
        QString recordFileName;
        QStringList paths;
    };

    // Save Data's write, with its progress.
    bool writeWorkbook(const QString &path, QString *error) const;
    QString freeAutoSavePath(const QString &folder, const QString &recordFileName) const;
    // Every automatic save ends here, on this object's thread, written or not.
    void autoSaveFinished(const WorkbookSaveQueue::Outcome &outcome);
    void tellSaved(const QString &recordFileName, const QString &path) const;

    Collaborators m_;
    QString m_fallbackFolder;
    QHash<QString, QString> m_savedPaths; // record file name -> the file it was saved as
    std::function<void(const QString &, const QString &)> m_savedListener;
    QList<InFlight> m_inFlight; // in the order they finish
    std::function<AutoSaveFailure(const QString &)> m_autoSaveFailed;
    std::unique_ptr<WorkbookSaveQueue> m_queue;
};
