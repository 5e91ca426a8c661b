#pragma once
#include <QObject>
#include <QString>
#include <array>
#include <functional>

#include "core/commands/CommandTable.h"
#include "core/layout/WindowVisibility.h"

struct AcquisitionState;
class CommandState;
class GraphHooks;
class LinkProber;
class MonitorFields;
class PowerHooks;
class RecordStore;
class RecordingControl;
class RecordingStatus;
struct Settings;

// The frame window's procedures that are rules rather than drawing: the commands of menus and
// toolbar, the window toggles, Connect and the close-everything procedure.
class Commands : public QObject
{
    Q_OBJECT
public:
    struct Collaborators {
        RecordingControl &recording;
        RecordingStatus &status;
        LinkProber &link;
        CommandState &commandState;
        WindowVisibility &windows;
        AcquisitionState &state;
        const MonitorFields &monitor;
        const RecordStore &record;
        const Settings &settings;
        GraphHooks &graph;
        PowerHooks &power;
    };
    explicit Commands(const Collaborators &collaborators, QObject *parent = nullptr);

    void run(Command command);
    // The procedure of a command whose work lies outside these rules (dialogs, files, printing).
    // A command without one tells the user it is not available.
    void setHandler(Command command, std::function<void()> handler);
    bool hasHandler(Command command) const { return bool(m_handlers[std::size_t(command)]); }
    // The commands whose procedure is such a handler.
    static bool runsThroughHandler(Command command);
    // A toolbar click by button key; "save" and "print" ask for their pop-up menu.
    void toolbarClicked(const QString &key);

    void toggleTable();
    void toggleMonitor();
    void toggleGraph();
    void togglePower(); // the window re-fits the table
    void connectCommand();
    void closeAll();
    void arrange(); // the window lays out the tiles
    // Monitor, table and graph shown for a record that starts.
    void showRecordWindows();

    // The graph's last page for the table as it stands: (grid rows - 2) / 100 / time-axis
    // factor, rounded up.
    int graphPageCount() const;

Q_SIGNALS:
    void popupRequested(const QString &menuName); // "pop" or "pop_print"
    void arrangeRequested();
    void exitRequested(); // File > Exit: the window closes the frame
    // A command of a part of the program not built yet.
    void commandUnavailable(MenuItem item);

private:
    bool toggle(ChildWindow window); // flips a window's visibility; returns the new state

    Collaborators m_;
    std::array<std::function<void()>, CommandCount> m_handlers;
};
