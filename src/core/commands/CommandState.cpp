#include "core/commands/CommandState.h"

#include <initializer_list>

#include "core/layout/WindowVisibility.h"

namespace
{

using M = MenuItem;
using B = ToolbarButton;

template <typename Key, std::size_t N>
void setAll(std::array<bool, N> &states, std::initializer_list<Key> keys, bool on)
{
    for (Key key : keys)
        states[std::size_t(key)] = on;
}

} // namespace

CommandState::CommandState(const RecordingStatus &status, const WindowVisibility &windows, QObject *parent)
    : QObject(parent), m_status(status), m_windows(windows)
{
    m_enabled.fill(true);
    m_buttonEnabled.fill(true);
    connect(&status, &RecordingStatus::modeChanged, this, &CommandState::followStatus);
    connect(&status, &RecordingStatus::linkedChanged, this, &CommandState::changed);
    connect(&windows, &WindowVisibility::visibilityChanged, this, &CommandState::changed);
}

bool CommandState::isChecked(MenuItem item) const
{
    switch (item) {
    case M::Start:
        return m_status.running();
    case M::Pause:
        return m_status.paused();
    case M::Stop:
        return m_status.stopped();
    case M::Connect:
        return m_status.linked();
    case M::Table:
        return m_windows.isShown(ChildWindow::Table);
    case M::Monitor:
        return m_windows.isShown(ChildWindow::Monitor);
    case M::Graph:
        return m_windows.isShown(ChildWindow::Graph);
    case M::Power:
        return m_windows.isShown(ChildWindow::Power);
    case M::Arrange:
        return m_arranged;
    default:
        return false;
    }
}

bool CommandState::isEnabled(ToolbarButton button) const
{
    // Connect is offered while there is no link to drop.
    if (button == B::Connect) return !m_status.linked();
    return m_buttonEnabled[std::size_t(button)];
}

void CommandState::setEnabled(MenuItem item, bool on)
{
    if (m_enabled[std::size_t(item)] == on) return;
    m_enabled[std::size_t(item)] = on;
    Q_EMIT changed();
}

void CommandState::setEnabled(ToolbarButton button, bool on)
{
    if (m_buttonEnabled[std::size_t(button)] == on) return;
    m_buttonEnabled[std::size_t(button)] = on;
    Q_EMIT changed();
}

void CommandState::markArranged()
{
    if (m_arranged) return;
    m_arranged = true;
    Q_EMIT changed();
}

void CommandState::followStatus()
{
    const RecordingMode mode = m_status.mode();
    if (mode != m_appliedMode) applyRow(mode);
    m_appliedMode = mode;
    Q_EMIT changed();
}

void CommandState::applyRow(RecordingMode mode)
{
    switch (mode) {
    case RecordingMode::Recording:
        setAll(m_enabled, {M::File, M::Edit, M::Open, M::Save, M::Print}, false);
        setAll(m_enabled, {M::SaveData, M::PopSaveData, M::Power}, true);
        setAll(m_buttonEnabled, {B::Open, B::Save, B::Print, B::Start}, false);
        setAll(m_buttonEnabled, {B::Pause, B::Stop, B::Power}, true);
        break;
    case RecordingMode::Paused:
        setAll(m_enabled, {M::Open, M::Save, M::Print}, false);
        setAll(m_buttonEnabled, {B::Open, B::Save, B::Print, B::Pause}, false);
        setAll(m_buttonEnabled, {B::Start, B::Stop}, true);
        break;
    case RecordingMode::Stopped:
        setAll(m_enabled,
               {M::File, M::Setup, M::Edit, M::View, M::Record, M::Options, M::Window, M::Help, M::Open,
                M::Save, M::Print},
               true);
        setAll(m_buttonEnabled, {B::Open, B::Save, B::Print, B::Start, B::Pause, B::Stop}, true);
        break;
    case RecordingMode::Idle:
        m_enabled.fill(true);
        m_buttonEnabled.fill(true);
        break;
    case RecordingMode::Linking:
    case RecordingMode::Stopping:
        break; // the marks change at once, the menus once the port is open or closed
    }
}
