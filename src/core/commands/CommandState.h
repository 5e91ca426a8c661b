#pragma once
#include <QObject>
#include <array>

#include "core/commands/CommandTable.h"
#include "core/recording/RecordingStatus.h"

class WindowVisibility;

// The enable state and check mark of every menu item and the enable state of every toolbar
// button, derived from the recording state and the windows shown. The check marks of Start,
// Pause, Stop and Connect are the recording state's, those of the View items say which window
// is shown. Entering Recording, Paused or Stopped applies that row of the enable table, which
// touches only the items it names. The main window mirrors this.
class CommandState : public QObject
{
    Q_OBJECT
public:
    CommandState(const RecordingStatus &status, const WindowVisibility &windows, QObject *parent = nullptr);

    bool isEnabled(MenuItem item) const { return m_enabled[std::size_t(item)]; }
    bool isChecked(MenuItem item) const;
    bool isEnabled(ToolbarButton button) const;

    void setEnabled(MenuItem item, bool on);
    void setEnabled(ToolbarButton button, bool on);
    // Arrange keeps its mark once used; no state of the program stands behind it.
    void markArranged();

Q_SIGNALS:
    void changed();

private:
    void followStatus();
    void applyRow(RecordingMode mode);

    const RecordingStatus &m_status;
    const WindowVisibility &m_windows;
    RecordingMode m_appliedMode = RecordingMode::Idle;
    std::array<bool, MenuItemCount> m_enabled;
    std::array<bool, ToolbarButtonCount> m_buttonEnabled;
    bool m_arranged = false;
};
