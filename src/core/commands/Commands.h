#pragma once
#include <QObject>
#include <QString>

class Session;

// The frame window's own procedures that are rules rather than drawing: the command table
// (menu items and toolbar keys), the window toggles, Connect and the close-everything
// procedure.
// The check marks of "mntab", "mnmo", "mngr" and "mnpower" are the windows' visibility:
// the windows follow them.
class Commands : public QObject
{
    Q_OBJECT
public:
    explicit Commands(Session &session);

    void toggleTable();    // mntab_Click
    void toggleMonitor();  // mnmo_Click
    void toggleGraph();    // mngr_Click
    void togglePower();    // mnpower_Click (the window re-fits the table)
    void connectCommand(); // mnconnect_Click
    void closeAll();       // mnclose_Click
    void arrange();        // mnArr_icons_Click (the window lays out the tiles)

    // A menu item chosen, by item name ("mnrun"); items of no command do nothing.
    void menuCommand(const QString &item);
    // A toolbar click by button key; keys that match no command do nothing. "save" and
    // "print" ask the window for their pop-up menu.
    void toolbarClicked(const QString &key);

    // The graph's last page for the table as it stands: (grid rows - 2) / 100 / time-axis
    // factor, rounded up.
    int graphPageCount() const;

Q_SIGNALS:
    void popupRequested(const QString &menuName); // "pop" or "pop_print"
    void arrangeRequested();
    void exitRequested(); // File > Exit: the window closes the frame
    // A command of a subsystem not built yet, by menu item name ("mnopen", "mnhe", ...).
    void commandUnavailable(const QString &item);

private:
    bool toggle(const QString &item); // flips the check mark; returns the new state

    Session &m_session;
};
