#include "core/recordfiles/OpenRecord.h"

#include <algorithm>

#include "core/acquisition/AcquisitionState.h"
#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/common/WindowHooks.h"
#include "core/layout/WindowVisibility.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/RecordReset.h"
#include "core/recording/RecordingControl.h"
#include "core/workbook/WorkbookFormat.h"
#include "core/workbook/XlsReader.h"
#include "core/workbook/XlsxReader.h"

namespace
{

constexpr MenuItem LockedMenus[] = {MenuItem::File,   MenuItem::Setup,   MenuItem::View,   MenuItem::Edit,
                                    MenuItem::Record, MenuItem::Options, MenuItem::Window, MenuItem::Help};
constexpr ToolbarButton LockedButtons[] = {ToolbarButton::Open,    ToolbarButton::Save,  ToolbarButton::Print,
                                           ToolbarButton::Connect, ToolbarButton::Start, ToolbarButton::Pause,
                                           ToolbarButton::Stop,    ToolbarButton::Grid,  ToolbarButton::Graph,
                                           ToolbarButton::Monitor, ToolbarButton::Help};
// Disabled while the file is read and left so: an opened record is not saved again and has
// no power cost.
constexpr MenuItem StayDisabledMenus[] = {MenuItem::SaveData, MenuItem::PopSaveData, MenuItem::Power};

// The entry "<channel + 1>_<name>" of `channel`, or -1.
int entryOfChannel(const QStringList &entries, int channel)
{
    const QString prefix = QString::number(channel + 1) + u'_';
    for (int i = 0; i < entries.size(); ++i)
        if (entries.at(i).startsWith(prefix)) return i;
    return -1;
}

} // namespace

bool OpenRecord::clearFirst()
{
    if (!m_.recording.reAutoSave()) return false;
    m_.recording.discardRecord();
    AcquisitionState &state = m_.import.state;
    if (state.resetPending != ResetPending::OpenedRecord) m_.commands.closeAll();
    m_.reset.clearRecord();
    state.resetPending = ResetPending::OpenedRecord;
    return true;
}

void OpenRecord::run()
{
    if (!clearFirst()) return;
    const QString path =
        m_.prompts.openFileName(DialogTitle(), AppPaths::recordsFolder(), WorkbookFormat::openFilter());
    if (path.isEmpty()) {
        m_.import.state.resetPending = ResetPending::Idle;
        return;
    }
    load(path);
}

bool OpenRecord::open(const QString &path)
{
    return clearFirst() && load(path);
}

void OpenRecord::enableCommands(bool on)
{
    for (const MenuItem item : LockedMenus)
        m_.commandState.setEnabled(item, on);
    for (const ToolbarButton button : LockedButtons)
        m_.commandState.setEnabled(button, on);
    if (!on) {
        for (const MenuItem item : StayDisabledMenus)
            m_.commandState.setEnabled(item, false);
        m_.commandState.setEnabled(ToolbarButton::Power, false);
    }
}

bool OpenRecord::load(const QString &path)
{
    const WindowVisibility &windows = m_.windows;
    if (!windows.isShown(ChildWindow::Monitor) && !windows.isShown(ChildWindow::Graph) &&
        !windows.isShown(ChildWindow::Table)) {
        m_.commands.toggleTable();
        m_.commands.toggleMonitor();
        m_.commands.toggleGraph();
    }
    enableCommands(false);

    XlsxReader xlsx;
    XlsReader xls;
    SheetReader &reader = WorkbookFormat::detectFile(path) == WorkbookFormat::Kind::Xls
                              ? static_cast<SheetReader &>(xls)
                              : static_cast<SheetReader &>(xlsx);
    const WorkbookOpening opening = openWorkbook(path, reader);
    MonitorFields &monitor = m_.import.monitor;
    monitor.file = opening.fileName;
    const bool loaded = opening.outcome == WorkbookOpening::Outcome::Loaded;
    if (opening.outcome != WorkbookOpening::Outcome::Blank) m_.graph.setPageBox(QStringLiteral("0"));
    if (loaded) {
        m_.import.record.setStamp(opening.fileName);
        RecordImport(m_.import).apply(opening.record);
        m_.saver.noteOpened(opening.fileName, path);
    } else {
        monitor.file.clear();
    }
    monitor.notify();
    if (!opening.message.isEmpty()) {
        const bool blank = opening.outcome == WorkbookOpening::Outcome::Blank;
        m_.prompts.message(opening.message, applicationTitle(), Prompts::Buttons::Ok,
                           blank ? Prompts::Icon::None : Prompts::Icon::Warning);
    }
    if (loaded && !monitor.channelEntries.isEmpty()) {
        monitor.selectEntry(
            std::max(0, entryOfChannel(monitor.channelEntries, opening.record.shownChannel())));
        // The record is seen from its start, scaled to its first page.
        m_.graph.setPageBox(QStringLiteral("1"));
    }
    enableCommands(true);
    return loaded;
}
