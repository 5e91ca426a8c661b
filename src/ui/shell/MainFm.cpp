#include "ui/shell/MainFm.h"

#include <QCloseEvent>
#include <QCursor>
#include <QKeySequence>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/followers/GraphLanes.h"
#include "core/link/LinkProber.h"
#include "core/measurement/MeasurementTables.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "ui/graph/FmGraph.h"
#include "ui/help/HelpCommands.h"
#include "ui/link/ScanWindow.h"
#include "ui/monitor/FmMonitor.h"
#include "ui/power/FmPower.h"
#include "ui/printing/PrintFeature.h"
#include "ui/publish/PublishFeature.h"
#include "ui/setup/SettingsDialogs.h"
#include "ui/shell/FmLoading.h"
#include "ui/shell/UiResources.h"
#include "ui/table/FmGrid.h"

namespace
{

// The View item that shows and hides a child window.
MenuItem viewItemOf(ChildWindow window)
{
    switch (window) {
    case ChildWindow::Table:
        return MenuItem::Table;
    case ChildWindow::Monitor:
        return MenuItem::Monitor;
    case ChildWindow::Graph:
        return MenuItem::Graph;
    case ChildWindow::Power:
        break;
    }
    return MenuItem::Power;
}

LayoutRule::WindowState stateOf(Qt::WindowStates states)
{
    if (states & Qt::WindowMinimized) return LayoutRule::WindowState::Minimized;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) return LayoutRule::WindowState::Maximized;
    return LayoutRule::WindowState::Normal;
}

} // namespace

MainFm::MainFm(Session &session, QWidget *parent) : QMainWindow(parent), m_session(session)
{
    setObjectName(QStringLiteral("MainFm"));
    UiResources::ensureLoaded();

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MDIClient"));
    m_mdi->viewport()->installEventFilter(this);
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolbar();

    m_layoutTimer.setSingleShot(true);
    m_layoutTimer.setInterval(0);
    connect(&m_layoutTimer, &QTimer::timeout, this, &MainFm::applyLayoutRule);

    // Start-up, in this order. The frame fits the screen it opens on.
    if (const QScreen *shown = screen())
        m_normalTwips = LayoutRule::normalFrameSize(
            LayoutRule::toTwips(shown->availableGeometry().size(), logicalDpiX(), logicalDpiY()));
    m_scale = LayoutRule::scaleOf(m_normalTwips);
    move(0, 0);
    resize(referencePixelSize());
    loadIcon();
    loadCaption();
    m_session.startUp();
    createChildWindows();
    auto *loading = new FmLoading(this);
    m_session.setProgressHooks(loading);
    // The window is half destroyed when its children go: the lambda holds the session alone.
    connect(loading, &QObject::destroyed, &session, [&session] { session.setProgressHooks(nullptr); });

    Commands &commands = m_session.commandProcs();
    connect(&m_session.commands(), &CommandState::changed, this, &MainFm::mirrorCommandState);
    connect(&commands, &Commands::popupRequested, this, &MainFm::showPopup);
    connect(&commands, &Commands::arrangeRequested, this, &MainFm::arrangeTiles);
    connect(&commands, &Commands::commandUnavailable, this, &MainFm::tellUnavailable);
    connect(&commands, &Commands::exitRequested, this, &QWidget::close);
    // The View menu's graph commands, and their keys, work wherever the keyboard is in the frame.
    for (const auto &[command, action] : {std::pair{Command::MainChannelView, m_graph->mainChannelAction()},
                                          {Command::AllChannelsView, m_graph->allChannelsAction()},
                                          {Command::ZoomIn, m_graph->zoomInAction()},
                                          {Command::ZoomOut, m_graph->zoomOutAction()},
                                          {Command::WholeRecord, m_graph->wholeRecordAction()}})
        commands.setHandler(command, [action = action] { action->trigger(); });
    SettingsDialogs::install(m_session, *this);
    PublishFeature::install(m_session, *this);
    HelpCommands::install(m_session, *this);
    mirrorCommandState();
    placeTiles(false);
}

MainFm::~MainFm() = default;

QSize MainFm::referencePixelSize() const
{
    return LayoutRule::toPixels({{0, 0}, m_normalTwips}, logicalDpiX(), logicalDpiY()).size();
}

// ---- menus and toolbar

QAction *MainFm::registerItem(QAction *action, const CommandTable::MenuRow &row)
{
    const QString name = QLatin1String(row.name);
    action->setObjectName(name);
    action->setCheckable(row.checkable);
    if (row.shortcut[0] != '\0') action->setShortcut(QKeySequence(QLatin1String(row.shortcut)));
    m_items.insert(name, action);
    m_itemActions[std::size_t(row.item)] = action;
    return action;
}

void MainFm::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MenuBar"));
    // The pop-up menus belong to no menu bar entry.
    QHash<QString, QMenu *> menus;
    for (const char *name : CommandTable::popupMenus) {
        auto *menu = new QMenu(QLatin1String(name), this);
        menu->setObjectName(QLatin1String(name));
        m_popups.insert(menu->objectName(), menu);
        menus.insert(menu->objectName(), menu);
    }
    for (const CommandTable::MenuRow &row : CommandTable::menuRows()) {
        QMenu *parent = menus.value(QLatin1String(row.parent));
        const QString caption = CommandTable::text(row.item);
        switch (row.kind) {
        case CommandTable::Kind::Menu: {
            QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
            menu->setObjectName(QLatin1String(row.name));
            menus.insert(menu->objectName(), menu);
            registerItem(menu->menuAction(), row);
            break;
        }
        case CommandTable::Kind::Separator:
            registerItem(parent->addSeparator(), row);
            break;
        case CommandTable::Kind::Item: {
            QAction *action = parent ? parent->addAction(caption) : menuBar()->addAction(caption);
            registerItem(action, row);
            const MenuItem item = row.item;
            connect(action, &QAction::triggered, this, [this, item] { runMenuCommand(item); });
            break;
        }
        }
    }
}

void MainFm::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    for (const CommandTable::ButtonRow &row : CommandTable::buttonRows()) {
        const QString key = QLatin1String(row.key);
        const QString tip = CommandTable::toolTip(row.button);
        QAction *button = m_toolbar->addAction(UiResources::icon(key), tip);
        button->setObjectName(key);
        button->setData(key);
        // The tooltip names the key that runs the same command from the keyboard.
        for (const CommandTable::MenuRow &item : CommandTable::menuRows()) {
            if (row.command == Command::None || item.command != row.command || item.shortcut[0] == '\0')
                continue;
            button->setToolTip(QStringLiteral("%1 (%2)").arg(
                tip, QKeySequence(QLatin1String(item.shortcut)).toString(QKeySequence::NativeText)));
            break;
        }
        m_buttons.insert(key, button);
        connect(button, &QAction::triggered, this, [this, key] { runToolbarKey(key); });
    }
}

// ---- start-up

void MainFm::loadIcon()
{
    QIcon icon;
    const QString path = AppPaths::findAsset(QStringLiteral("Mark.ico"));
    if (!path.isEmpty()) icon = QIcon(path);
    if (icon.isNull()) icon = UiResources::icon(QStringLiteral("mark"));
    setWindowIcon(icon);
}

void MainFm::loadCaption()
{
    const QString path = AppPaths::findAsset(QStringLiteral("LabelName.txt"));
    const Measurement::LabelFile file = Measurement::readLabelFile(path);
    m_session.startupFaults().noteLabelFile(file, path);
    setWindowTitle(file.label.isEmpty() ? applicationTitle()
                                        : file.label + QLatin1Char(' ') + applicationTitle());
}

QMdiSubWindow *MainFm::addTile(QWidget *window, ChildWindow shownBy)
{
    QMdiSubWindow *frame = m_mdi->addSubWindow(window);
    frame->setObjectName(window->objectName() + QStringLiteral("Frame"));
    frame->setWindowIcon(window->windowIcon().isNull() ? windowIcon() : window->windowIcon());
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->hide();
    frame->installEventFilter(this);
    m_tiles.push_back({shownBy, frame});
    m_tileStates.insert(frame, frame->windowState());
    return frame;
}

void MainFm::createChildWindows()
{
    m_monitor = new FmMonitor(m_session.monitor(), m_session.userSettings());
    addTile(m_monitor, ChildWindow::Monitor);
    m_grid = new FmGrid(m_session.record(), m_session.userSettings());
    addTile(m_grid, ChildWindow::Table);
    m_graph = new FmGraph(m_session.graph(), m_session.lanes());
    addTile(m_graph, ChildWindow::Graph);
    m_power = new FmPower({m_session.powerCost(), m_session.energy(), m_session.userSettings()});
    addTile(m_power, ChildWindow::Power);
    m_scan = new ScanWindow(m_session.link(), this);
    m_printing = new PrintFeature(m_session, this);
}

QMdiSubWindow *MainFm::subWindowOf(const QWidget *child) const
{
    for (const Tile &tile : m_tiles) {
        if (tile.frame->widget() == child) return tile.frame;
    }
    return nullptr;
}

// ---- commands

void MainFm::runMenuCommand(MenuItem item)
{
    // A checkable item has already flipped its own mark; the command state decides it.
    mirrorCommandState();
    m_session.commandProcs().run(CommandTable::row(item).command);
    mirrorCommandState();
}

void MainFm::runToolbarKey(const QString &key)
{
    m_session.commandProcs().toolbarClicked(key);
    mirrorCommandState();
}

void MainFm::tellUnavailable(MenuItem item)
{
    m_session.prompts().message(notAvailableYetText(CommandTable::caption(item)), applicationTitle(),
                                Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void MainFm::showPopup(const QString &menuName)
{
    if (QMenu *menu = m_popups.value(menuName)) menu->popup(QCursor::pos());
}

// ---- mirroring the command state

void MainFm::mirrorCommandState()
{
    const CommandState &state = m_session.commands();
    for (const CommandTable::MenuRow &row : CommandTable::menuRows()) {
        QAction *action = m_itemActions[std::size_t(row.item)];
        action->setEnabled(state.isEnabled(row.item));
        if (action->isCheckable()) action->setChecked(state.isChecked(row.item));
    }
    for (const CommandTable::ButtonRow &row : CommandTable::buttonRows())
        m_buttons.value(QLatin1String(row.key))->setEnabled(state.isEnabled(row.button));
    syncWindows();
}

void MainFm::syncWindows()
{
    const WindowVisibility &windows = m_session.windows();
    bool powerChanged = false;
    for (const Tile &tile : m_tiles) {
        const bool shown = windows.isShown(tile.window);
        if (tile.frame->isHidden() != shown) continue;
        tile.frame->setVisible(shown);
        powerChanged = powerChanged || tile.window == ChildWindow::Power;
    }
    // The table gives up the power window's height while that one is shown.
    if (powerChanged && !m_closing)
        placeTile(subWindowOf(m_grid), LayoutRule::tableTile(m_scale, powerShown()), false);
}

// ---- layout

LayoutRule::WindowState MainFm::frameState() const
{
    return stateOf(windowState());
}

double MainFm::innerHeightTwips() const
{
    return LayoutRule::pixelsToTwips(m_mdi->viewport()->height(), logicalDpiY());
}

bool MainFm::powerShown() const
{
    return m_session.windows().isShown(ChildWindow::Power);
}

void MainFm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    scheduleLayout();
}

void MainFm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) scheduleLayout();
}

// The rule waits for the events of one resize to settle: a window manager may report the
// new state and the new size separately, and the rule needs both.
void MainFm::scheduleLayout()
{
    if (!m_closing && !m_layoutTimer.isActive()) m_layoutTimer.start();
}

void MainFm::layOutNow()
{
    if (m_layoutTimer.isActive()) {
        m_layoutTimer.stop();
        applyLayoutRule();
    }
}

void MainFm::applyLayoutRule()
{
    const LayoutRule::WindowState state = frameState();
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const LayoutRule::FrameStep step =
        LayoutRule::frameStep(state, m_previousState, LayoutRule::toTwips(size(), dpiX, dpiY), m_normalTwips);
    if (!step.layOut) return;
    if (step.resizeFrame) {
        const QSize target = LayoutRule::toPixels({{0, 0}, step.frameSize}, dpiX, dpiY).size();
        if (target != size()) resize(target);
    }
    m_scale = LayoutRule::scaleOf(step.frameSize);
    placeTiles(false);
    m_previousState = state;
}

void MainFm::placeTiles(bool restoreTileStates)
{
    const LayoutRule::Tiles tiles = LayoutRule::tiles(m_scale, innerHeightTwips(), powerShown());
    placeTile(subWindowOf(m_monitor), tiles.monitor, restoreTileStates);
    placeTile(subWindowOf(m_grid), tiles.table, restoreTileStates);
    placeTile(subWindowOf(m_graph), tiles.graph, restoreTileStates);
    if (!restoreTileStates) placeTile(subWindowOf(m_power), tiles.power, false);
}

void MainFm::placeTile(QMdiSubWindow *frame, const QRectF &twips, bool restoreState)
{
    if (!frame) return;
    const Qt::WindowStates minMax = Qt::WindowMinimized | Qt::WindowMaximized;
    if (restoreState && (frame->windowState() & minMax))
        frame->setWindowState(frame->windowState() & ~minMax);
    // A tile the user has minimised or maximised inside the frame keeps that state.
    if (frame->windowState() & minMax) return;
    m_placingTiles = true;
    frame->setGeometry(LayoutRule::toPixels(twips, logicalDpiX(), logicalDpiY()));
    // A tile placed while it had no height keeps its window squashed until its layout is redone.
    if (QLayout *layout = frame->layout()) layout->invalidate();
    m_placingTiles = false;
}

void MainFm::arrangeTiles()
{
    placeTiles(true);
}

// The table, graph and power windows return to their place when resized while neither the
// frame's nor their own window state changed.
void MainFm::snapTile(QMdiSubWindow *frame)
{
    const Qt::WindowStates previous = m_tileStates.value(frame);
    m_tileStates.insert(frame, frame->windowState());
    if (m_placingTiles || m_closing || frame->windowState() != previous || frameState() != m_previousState ||
        (frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        return;
    QRectF placement;
    if (frame->widget() == m_grid) {
        const QMdiSubWindow *power = subWindowOf(m_power);
        const double powerHeight = LayoutRule::pixelsToTwips(power->height(), logicalDpiY());
        placement = LayoutRule::derivedTablePlacement(m_scale, powerShown(), powerHeight);
    } else if (frame->widget() == m_graph) {
        placement = LayoutRule::graphTile(m_scale, innerHeightTwips());
    } else if (frame->widget() == m_power) {
        placement = LayoutRule::powerTile(m_scale);
    } else {
        return;
    }
    placeTile(frame, placement, false);
}

bool MainFm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mdi->viewport()) {
        if (event->type() == QEvent::Resize) scheduleLayout();
        return QMainWindow::eventFilter(watched, event);
    }
    auto *frame = qobject_cast<QMdiSubWindow *>(watched);
    if (!frame || !subWindowOf(frame->widget())) return QMainWindow::eventFilter(watched, event);

    if (event->type() == QEvent::Close && !m_closing) {
        // A child window's close box only hides it; its View item loses the check mark.
        event->ignore();
        for (const Tile &tile : m_tiles) {
            if (tile.frame != frame) continue;
            if (m_session.windows().isShown(tile.window))
                runMenuCommand(viewItemOf(tile.window));
            else
                frame->hide();
        }
        return true;
    }
    if (event->type() == QEvent::Resize) snapTile(frame);
    return QMainWindow::eventFilter(watched, event);
}

// ---- shut-down

void MainFm::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        // An unsaved record is offered for saving first; Cancel keeps the program open.
        if (!m_session.recording().confirmClose()) {
            event->ignore();
            return;
        }
        m_closing = true;
        m_layoutTimer.stop();
        m_session.link().abandon(); // a scan under way would keep the program alive for a minute
        m_session.commandProcs().closeAll();
        m_scan->hide();
    }
    event->accept();
}
