#include "core/commands/Commands.h"

#include <cmath>
#include <utility>

#include "core/acquisition/AcquisitionState.h"
#include "core/commands/CommandState.h"
#include "core/common/WindowHooks.h"
#include "core/link/LinkProber.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/RecordingStatus.h"
#include "core/settings/Settings.h"

namespace
{

constexpr double SamplesPerPage = 100.0;

// The menu item that names a command of a part of the program not built yet.
MenuItem itemOf(Command command)
{
    for (const CommandTable::MenuRow &row : CommandTable::menuRows())
        if (row.command == command) return row.item;
    return MenuItem::Skip;
}

} // namespace

Commands::Commands(const Collaborators &collaborators, QObject *parent) : QObject(parent), m_(collaborators)
{
}

bool Commands::toggle(ChildWindow window)
{
    const bool shown = !m_.windows.isShown(window);
    m_.windows.setShown(window, shown);
    return shown;
}

void Commands::toggleTable()
{
    toggle(ChildWindow::Table);
}

void Commands::toggleMonitor()
{
    toggle(ChildWindow::Monitor);
}

void Commands::toggleGraph()
{
    toggle(ChildWindow::Graph);
    if (m_.monitor.file.isEmpty()) return;
    m_.graph.tickText();
    m_.graph.setPageBox(QStringLiteral("0"));
    m_.graph.setPageBox(QString::number(graphPageCount()));
}

int Commands::graphPageCount() const
{
    const double factor = m_.settings.timeAxisFactor;
    const int dataRows = m_.record.gridRowCount() - 2;
    if (factor <= 0 || dataRows <= 0) return 0;
    return int(std::ceil(dataRows / SamplesPerPage / factor));
}

void Commands::togglePower()
{
    toggle(ChildWindow::Power);
    m_.power.powerCheck();
}

void Commands::showRecordWindows()
{
    if (!m_.windows.isShown(ChildWindow::Monitor)) toggleMonitor();
    if (!m_.windows.isShown(ChildWindow::Table)) toggleTable();
    if (!m_.windows.isShown(ChildWindow::Graph)) toggleGraph();
}

void Commands::connectCommand()
{
    if (m_.status.linked()) {
        m_.status.setLinked(false);
        m_.recording.stop();
        m_.state.link.up = false;
        return;
    }
    if (!m_.state.link.up) m_.link.linkOn();
    // A failed link has told the user already and changes nothing here.
    if (m_.state.link.up) m_.status.setLinked(true);
}

void Commands::closeAll()
{
    if (m_.recording.timerEnabled()) m_.recording.disableTimer();
    m_.recording.endWaiting(); // without the link, a port that comes back resumes nothing
    m_.state.link.up = false;  // the port itself stays as it is
    if (m_.windows.isShown(ChildWindow::Graph)) toggleGraph();
    if (m_.windows.isShown(ChildWindow::Table)) toggleTable();
    if (m_.windows.isShown(ChildWindow::Monitor)) toggleMonitor();
    if (m_.windows.isShown(ChildWindow::Power)) togglePower();
}

void Commands::arrange()
{
    if (!m_.windows.isShown(ChildWindow::Graph) && !m_.windows.isShown(ChildWindow::Table) &&
        !m_.windows.isShown(ChildWindow::Monitor))
        return;
    m_.commandState.markArranged();
    Q_EMIT arrangeRequested();
}

void Commands::run(Command command)
{
    switch (command) {
    case Command::None:
        return;
    case Command::Exit:
        Q_EMIT exitRequested();
        return;
    case Command::ClearRecord:
        m_.recording.clearCommand();
        return;
    case Command::ShowTable:
        toggleTable();
        return;
    case Command::ShowMonitor:
        toggleMonitor();
        return;
    case Command::ShowGraph:
        toggleGraph();
        return;
    case Command::ShowPower:
        togglePower();
        return;
    case Command::Connect:
        connectCommand();
        return;
    case Command::Start:
        m_.recording.start();
        return;
    case Command::Pause:
        m_.link.stopGiven(); // a scan under way gives up
        m_.recording.pause();
        return;
    case Command::Stop:
        m_.link.stopGiven();
        m_.recording.stop();
        return;
    case Command::Arrange:
        arrange();
        return;
    default:
        if (!runsThroughHandler(command)) return;
        if (const auto &handler = m_handlers[std::size_t(command)])
            handler();
        else
            Q_EMIT commandUnavailable(itemOf(command));
        return;
    }
}

bool Commands::runsThroughHandler(Command command)
{
    switch (command) {
    case Command::Open:
    case Command::SaveData:
    case Command::SaveGraph:
    case Command::PrintData:
    case Command::PrintGraph:
    case Command::Setup:
    case Command::PublishReadings:
    case Command::Options:
    case Command::Manual:
    case Command::Help:
    case Command::About:
    case Command::MainChannelView:
    case Command::AllChannelsView:
    case Command::ZoomIn:
    case Command::ZoomOut:
    case Command::WholeRecord:
        return true;
    default:
        return false;
    }
}

void Commands::setHandler(Command command, std::function<void()> handler)
{
    m_handlers[std::size_t(command)] = std::move(handler);
}

void Commands::toolbarClicked(const QString &key)
{
    const auto found = CommandTable::buttonWithKey(key);
    if (!found) return;
    // Each button runs the same procedure as its menu item.
    const CommandTable::ButtonRow &row = CommandTable::row(*found);
    if (row.command == Command::None)
        Q_EMIT popupRequested(QLatin1String(row.popup));
    else
        run(row.command);
}
