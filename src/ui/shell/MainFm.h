#pragma once
#include <QHash>
#include <QMainWindow>
#include <QTimer>

#include "core/commands/CommandTable.h"
#include "core/layout/LayoutRule.h"
#include "core/layout/WindowVisibility.h"

class FmGraph;
class FmGrid;
class FmMonitor;
class FmPower;
class PrintFeature;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class ScanWindow;
class Session;

// The frame window: menus, toolbar and the four tiled child windows. It mirrors the
// session's command state (enable and check marks, which child windows are shown), forwards
// every command to the session and lays the tiles out when the frame is resized.
//
// Constructing it runs the start-up: the frame is placed at its reference size, the icon
// and the label file's title prefix are loaded, the session starts up and the child windows
// are created hidden. Closing it asks whether to save a record not yet saved, then
// runs the close-everything procedure.
class MainFm : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainFm(Session &session, QWidget *parent = nullptr);
    ~MainFm() override;

    FmMonitor *monitorWindow() const { return m_monitor; }
    FmGrid *gridWindow() const { return m_grid; }
    FmGraph *graphWindow() const { return m_graph; }
    FmPower *powerWindow() const { return m_power; }
    ScanWindow *scanWindow() const { return m_scan; }
    PrintFeature *printFeature() const { return m_printing; }
    QMdiArea *mdiArea() const { return m_mdi; }
    // The sub-window frame around one of the four child windows.
    QMdiSubWindow *subWindowOf(const QWidget *child) const;

    // A menu item by its name ("mnrun", "par4", "pop_SaveData", "mnfile", ...).
    QAction *menuItem(const QString &name) const { return m_items.value(name); }
    // A toolbar button by its key ("open" ... "help").
    QAction *toolbarButton(const QString &key) const { return m_buttons.value(key); }
    QToolBar *toolbar() const { return m_toolbar; }
    // The hidden pop-up menus "pop", "pop_print" and "Mblank".
    QMenu *popupMenu(const QString &name) const { return m_popups.value(name); }

    // The scale factors of the last layout (frame size / reference size).
    LayoutRule::Scale scale() const { return m_scale; }
    // The frame's normal size on this screen: 12000 x 8800 twips, shrunk to fit a smaller screen.
    QSize referencePixelSize() const;
    // Runs a pending layout now (the rule normally runs once the events of a resize settle).
    void layOutNow();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Tile {
        ChildWindow window;
        QMdiSubWindow *frame = nullptr;
    };

    void buildMenus();
    void buildToolbar();
    QAction *registerItem(QAction *action, const CommandTable::MenuRow &row);
    void loadIcon();
    void loadCaption();
    void createChildWindows();
    QMdiSubWindow *addTile(QWidget *window, ChildWindow shownBy);

    void runMenuCommand(MenuItem item);
    void runToolbarKey(const QString &key);
    void tellUnavailable(MenuItem item);
    void showPopup(const QString &menuName);

    void mirrorCommandState();
    void syncWindows();
    void scheduleLayout();
    void applyLayoutRule();
    void placeTiles(bool restoreTileStates);
    void placeTile(QMdiSubWindow *frame, const QRectF &twips, bool restoreState);
    void snapTile(QMdiSubWindow *frame);
    void arrangeTiles();
    LayoutRule::WindowState frameState() const;
    double innerHeightTwips() const;
    bool powerShown() const;

    Session &m_session;
    QMdiArea *m_mdi = nullptr;
    QToolBar *m_toolbar = nullptr;
    QHash<QString, QAction *> m_items;
    std::array<QAction *, MenuItemCount> m_itemActions{};
    QHash<QString, QAction *> m_buttons;
    QHash<QString, QMenu *> m_popups;

    FmMonitor *m_monitor = nullptr;
    FmGrid *m_grid = nullptr;
    FmGraph *m_graph = nullptr;
    FmPower *m_power = nullptr;
    ScanWindow *m_scan = nullptr;
    PrintFeature *m_printing = nullptr;
    std::vector<Tile> m_tiles; // monitor, table, graph, power
    QHash<const QMdiSubWindow *, Qt::WindowStates> m_tileStates;

    QTimer m_layoutTimer;
    LayoutRule::WindowState m_previousState = LayoutRule::WindowState::Normal;
    LayoutRule::Scale m_scale;
    QSizeF m_normalTwips{LayoutRule::ReferenceWidth, LayoutRule::ReferenceHeight};
    bool m_placingTiles = false;
    bool m_closing = false;
};
