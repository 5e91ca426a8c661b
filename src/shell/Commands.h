#pragma once
#include <QObject>
#include <QString>

class Session;

// The frame window's own procedures that are rules rather than drawing: the window
// toggles, Connect, the close-everything procedure and the toolbar's key dispatch.
class Commands : public QObject {
    Q_OBJECT
public:
    explicit Commands(Session &session);

    void toggleTable();    // mntab_Click
    void toggleMonitor();  // mnmo_Click
    void toggleGraph();    // mngr_Click
    void togglePower();    // mnpower_Click
    void connectCommand(); // mnconnect_Click
    void closeAll();       // mnclose_Click
    void arrange();        // mnArr_icons_Click (the window lays out the tiles)

    // A toolbar click by button key; keys that match no command do nothing. "save" and
    // "print" ask the window for their pop-up menu.
    void toolbarClicked(const QString &key);

Q_SIGNALS:
    void popupRequested(const QString &menuName);   // "pop" or "pop_print"
    void arrangeRequested();
    void commandUnavailable(const QString &item);   // commands of subsystems not built yet

private:
    Session &m_session;
};
