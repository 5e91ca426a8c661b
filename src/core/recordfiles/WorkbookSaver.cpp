#include "core/recordfiles/WorkbookSaver.h"
#include <QCoreApplication>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "core/common/AppPaths.h"
#include "core/common/Files.h"
#include "core/common/Prompts.h"
#include "core/common/SaveFileNames.h"
#include "core/layout/WindowVisibility.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/workbook/StagedFile.h"
#include "core/workbook/WorkbookWriter.h"

namespace
{

bool isCsvPath(const QString &path)
{
    return QFileInfo(path).suffix().toLower() == QLatin1String("csv");
}

} // namespace

WorkbookSaver::WorkbookSaver(const Collaborators &collaborators)
    : m_(collaborators), m_fallbackFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)),
      m_queue(std::make_unique<WorkbookSaveQueue>(
          [](const WorkbookRecord &record, StagedFile &file, QString *error) {
              return WorkbookWriter().write(record, file, error);
          },
          [this](const WorkbookSaveQueue::Outcome &outcome) { autoSaveFinished(outcome); }))
{
}

WorkbookSaver::~WorkbookSaver() = default;

bool WorkbookSaver::writeWorkbook(const QString &path, QString *error) const
{
    const WorkbookRecord workbook = recordWorkbook(m_.sources);
    m_.progress.showProgress(ProgressCaption(), ProgressLabel(),
                             std::max(0, m_.sources.record.gridRowCount() - 2));
    const bool written =
        WorkbookWriter([this](int row, int) { m_.progress.setProgress(row); }).write(workbook, path, error);
    m_.progress.closeProgress();
    return written;
}

// The automatic save's file in `folder`, or, when that name is taken already (an earlier record
// begun in the same second, saved or still being saved), the first free numbered name beside it.
// Where the file lands is settled only when it is written (StagedFile::Existing::TakeNextName).
QString WorkbookSaver::freeAutoSavePath(const QString &folder, const QString &recordFileName) const
{
    const auto taken = [this](const QString &path) {
        if (QFileInfo::exists(path)) return true;
        for (const InFlight &save : m_inFlight)
            if (save.paths.contains(path)) return true;
        return false;
    };
    const QString path = WorkbookFiles::autoSavePath(folder, recordFileName);
    return firstFreeName([&](int n) { return StagedFile::numberedPath(path, n); }, taken);
}

bool WorkbookSaver::autoSave(QString *error)
{
    if (!WorkbookFiles::hasRecord(m_.sources.record)) return true; // nothing to keep
    const QString name = m_.sources.monitor.file.trimmed();
    QStringList folders{AppPaths::recordsFolder()};
    if (!m_fallbackFolder.isEmpty() && m_fallbackFolder != folders.first()) folders << m_fallbackFolder;
    QStringList failures;
    for (int i = 0; i < folders.size(); ++i) {
        // The staged file proves that the folder takes the workbook before the record is let go.
        QDir().mkpath(folders.at(i));
        const QString path = freeAutoSavePath(folders.at(i), name);
        // The name is only a first choice: another program may take it before the file is written.
        auto file = std::make_unique<StagedFile>(path, StagedFile::Existing::TakeNextName);
        QString cause;
        if (!file->create(&cause)) {
            failures << QDir::toNativeSeparators(path) + QStringLiteral(": ") + cause;
            continue;
        }
        const QString fallbackPath =
            i + 1 < folders.size() ? freeAutoSavePath(folders.at(i + 1), name) : QString();
        m_inFlight.append({name, {path, fallbackPath}});
        m_queue->add({name, recordWorkbook(m_.sources), std::move(file), fallbackPath, failures});
        return true;
    }
    if (error) *error = failures.join(QStringLiteral("; "));
    return false;
}

void WorkbookSaver::autoSaveFinished(const WorkbookSaveQueue::Outcome &outcome)
{
    if (!m_inFlight.isEmpty()) m_inFlight.removeFirst();
    const QString reasons = outcome.failures.join(QStringLiteral("; "));
    if (!outcome.path.isEmpty()) {
        m_savedPaths.insert(outcome.recordFileName, outcome.path);
        tellSaved(outcome.recordFileName, outcome.path);
        if (!outcome.failures.isEmpty())
            m_.prompts.message(
                QCoreApplication::translate(
                    "WorkbookSaver",
                    "The record could not be saved in the records folder (%1). It was saved as %2.")
                    .arg(reasons, QDir::toNativeSeparators(outcome.path)),
                applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    const AutoSaveFailure done =
        m_autoSaveFailed ? m_autoSaveFailed(outcome.recordFileName) : AutoSaveFailure{};
    QString text =
        QCoreApplication::translate("WorkbookSaver", "The record %1 could not be saved automatically (%2).")
            .arg(outcome.recordFileName, reasons);
    if (done.recordingStopped)
        text += QCoreApplication::translate("WorkbookSaver", " The recording was stopped.");
    if (!done.journalPath.isEmpty())
        text +=
            QCoreApplication::translate(
                "WorkbookSaver", " Its samples are kept in the journal %1, which the next start recovers.")
                .arg(QDir::toNativeSeparators(done.journalPath));
    m_.prompts.message(text, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
}

bool WorkbookSaver::isSaving(const QString &recordFileName) const
{
    const QString name = recordFileName.trimmed();
    return std::any_of(m_inFlight.cbegin(), m_inFlight.cend(),
                       [&name](const InFlight &save) { return save.recordFileName == name; });
}

void WorkbookSaver::waitForSaves()
{
    m_queue->waitForAll();
}

bool WorkbookSaver::saveDataFromMenu()
{
    if (m_.windows.isShown(ChildWindow::Table)) return saveDataCommand();
    m_.prompts.message(NotAnyRecordText(), applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::None);
    return false;
}

bool WorkbookSaver::saveDataCommand()
{
    const RecordStore &record = m_.sources.record;
    if (!WorkbookFiles::hasRecord(record)) {
        m_.prompts.message(NotAnyRecordText(), applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::None);
        return false;
    }
    const QString name = m_.sources.monitor.file.trimmed();
    const QString suggested = QDir(AppPaths::recordsFolder()).filePath(WorkbookFiles::baseName(name));
    QString path =
        m_.prompts
            .saveFileName(QCoreApplication::translate("WorkbookSaver", WorkbookFiles::SaveDialogTitle),
                          suggested, SaveFilters())
            .trimmed();
    if (path.isEmpty()) return false;

    QString error;
    if (saveAs(&path, &error)) return true;
    m_.prompts.message(
        QCoreApplication::translate("WorkbookSaver", "The record was not saved (%1).").arg(error),
        QCoreApplication::translate("WorkbookSaver", WorkbookFiles::SaveDialogTitle), Prompts::Buttons::Ok,
        Prompts::Icon::Warning);
    return false;
}

bool WorkbookSaver::saveAs(QString *path, QString *error)
{
    const QString name = m_.sources.monitor.file.trimmed();
    // The save dialog gives the final name already; a name given otherwise gets the same rule.
    *path = SaveFileNames::finalName(*path, SaveFilters());
    // A CSV is a copy of the table, not the record's workbook: the record is still to be saved.
    if (isCsvPath(*path)) return CsvExport::write(m_.sources.record, *path, error);
    if (!writeWorkbook(*path, error)) return false;
    m_savedPaths.insert(name, *path);
    tellSaved(RecordStore::fileNameForStamp(m_.sources.record.stamp()), *path);
    // The record now goes by the name it was saved under: the monitor, the printouts, the save
    // question and the next save follow it.
    const QString savedName = QFileInfo(*path).fileName();
    if (savedName != name) {
        m_savedPaths.insert(savedName, *path);
        m_.fileField.file = savedName;
        m_.fileField.notify();
    }
    return true;
}

QString WorkbookSaver::savedPathFor(const QString &recordFileName) const
{
    const QString name = recordFileName.trimmed();
    return m_savedPaths.value(name, WorkbookFiles::autoSavePath(AppPaths::recordsFolder(), name));
}

QString WorkbookSaver::writtenPathFor(const QString &recordFileName) const
{
    return m_savedPaths.value(recordFileName.trimmed());
}

void WorkbookSaver::removeAbandonedFiles() const
{
    StagedFile::removeAbandoned(AppPaths::recordsFolder());
    if (!m_fallbackFolder.isEmpty()) StagedFile::removeAbandoned(m_fallbackFolder);
}

void WorkbookSaver::noteOpened(const QString &recordFileName, const QString &path)
{
    m_savedPaths.insert(recordFileName.trimmed(), path);
}

void WorkbookSaver::tellSaved(const QString &recordFileName, const QString &path) const
{
    if (m_savedListener) m_savedListener(recordFileName, path);
}
