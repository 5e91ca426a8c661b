#include "core/recording/WorkbookSaver.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/layout/WindowVisibility.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/workbook/WorkbookWriter.h"

namespace
{

// The automatic save's file in `folder`, or, when a file of that name exists already (an
// earlier record begun in the same second), the first free numbered name beside it.
QString freeAutoSavePath(const QString &folder, const QString &recordFileName)
{
    const QString path = WorkbookFiles::autoSavePath(folder, recordFileName);
    if (!QFileInfo::exists(path)) return path;
    const QString stem = path.chopped(int(qstrlen(WorkbookFiles::Suffix)) + 1);
    for (int n = 2;; ++n) {
        const QString numbered =
            QStringLiteral("%1_%2.%3").arg(stem).arg(n).arg(QLatin1String(WorkbookFiles::Suffix));
        if (!QFileInfo::exists(numbered)) return numbered;
    }
}

bool isCsvPath(const QString &path)
{
    return QFileInfo(path).suffix().toLower() == QLatin1String("csv");
}

} // namespace

WorkbookSaver::WorkbookSaver(const Collaborators &collaborators)
    : m_(collaborators), m_fallbackFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
{
}

bool WorkbookSaver::writeWorkbook(const QString &path, bool interactive, QString *error) const
{
    const WorkbookRecord workbook = recordWorkbook(m_.sources);
    if (!interactive) return WorkbookWriter(WorkbookSaveKind::AutoSave).write(workbook, path, error);
    m_.progress.showProgress(ProgressCaption, ProgressLabel,
                             std::max(0, m_.sources.record.gridRowCount() - 2));
    const bool written = WorkbookWriter(WorkbookSaveKind::SaveData, [this](int row, int) {
                             m_.progress.setProgress(row);
                         }).write(workbook, path, error);
    m_.progress.closeProgress();
    return written;
}

bool WorkbookSaver::autoSave(QString *error)
{
    if (!WorkbookFiles::hasRecord(m_.sources.record)) return true; // nothing to keep
    const QString name = m_.sources.monitor.file.trimmed();
    const QString firstFolder = AppPaths::recordsFolder();
    QStringList reasons;
    for (const QString &folder : {firstFolder, m_fallbackFolder}) {
        if (folder.isEmpty()) continue;
        QDir().mkpath(folder);
        const QString path = freeAutoSavePath(folder, name);
        QString reason;
        if (!writeWorkbook(path, false, &reason)) {
            reasons << reason;
            continue;
        }
        m_savedPaths.insert(name, path);
        tellSaved(name);
        if (!reasons.isEmpty())
            m_.prompts.message(QStringLiteral("The record could not be saved in the records folder (") +
                                   reasons.join(QStringLiteral("; ")) +
                                   QStringLiteral("). It was saved as ") + QDir::toNativeSeparators(path) +
                                   QStringLiteral("."),
                               applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return true;
    }
    if (error) *error = reasons.join(QStringLiteral("; "));
    return false;
}

bool WorkbookSaver::saveDataFromMenu()
{
    if (m_.windows.isShown(ChildWindow::Table)) return saveDataCommand();
    m_.prompts.message(NotAnyRecordText, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::None);
    return false;
}

bool WorkbookSaver::saveDataCommand()
{
    const RecordStore &record = m_.sources.record;
    if (!WorkbookFiles::hasRecord(record)) {
        m_.prompts.message(NotAnyRecordText, applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::None);
        return false;
    }
    const QString name = m_.sources.monitor.file.trimmed();
    const QString suggested = QDir(AppPaths::recordsFolder()).filePath(WorkbookFiles::baseName(name));
    QString path =
        m_.prompts.saveFileName(QLatin1String(WorkbookFiles::SaveDialogTitle), suggested, SaveFilters)
            .trimmed();
    if (path.isEmpty()) return false;

    QString error;
    const bool saved = saveAs(&path, &error);
    if (!saved) {
        m_.prompts.message(QStringLiteral("The record was not saved (") + error + QStringLiteral(")."),
                           QLatin1String(WorkbookFiles::SaveDialogTitle), Prompts::Buttons::Ok,
                           Prompts::Icon::Warning);
        return false;
    }
    m_savedPaths.insert(name, path);
    if (!isCsvPath(path)) tellSaved(name);
    return true;
}

bool WorkbookSaver::saveAs(QString *path, QString *error)
{
    if (isCsvPath(*path)) return CsvExport::write(m_.sources.record, *path, error);
    if (QFileInfo(*path).suffix().toLower() != QLatin1String(WorkbookFiles::Suffix))
        *path += QLatin1Char('.') + QLatin1String(WorkbookFiles::Suffix);
    return writeWorkbook(*path, true, error);
}

QString WorkbookSaver::savedPathFor(const QString &recordFileName) const
{
    const QString name = recordFileName.trimmed();
    return m_savedPaths.value(name, WorkbookFiles::autoSavePath(AppPaths::recordsFolder(), name));
}

void WorkbookSaver::noteOpened(const QString &recordFileName, const QString &path)
{
    m_savedPaths.insert(recordFileName.trimmed(), path);
}

void WorkbookSaver::tellSaved(const QString &recordFileName) const
{
    if (m_savedListener) m_savedListener(recordFileName);
}
