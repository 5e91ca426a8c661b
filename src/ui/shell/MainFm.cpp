#include "ui/shell/MainFm.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/link/LinkProber.h"
#include "core/measurement/MeasurementTables.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "ui/graph/FmGraph.h"
#include "ui/link/ScanWindow.h"
#include "ui/monitor/FmMonitor.h"
#include "ui/power/FmPower.h"
#include "ui/shell/UiResources.h"
#include "ui/table/FmGrid.h"

namespace
{

const QString TableItem = QStringLiteral("mntab");
const QString MonitorItem = QStringLiteral("mnmo");
const QString GraphItem = QStringLiteral("mngr");
const QString PowerItem = QStringLiteral("mnpower");

// Items whose check mark means something: the window toggles, the recording state and
// Arrange.
const QStringList &checkableItems()
{
    static const QStringList items{TableItem,
                                   MonitorItem,
                                   GraphItem,
                                   PowerItem,
                                   QStringLiteral("mnconnect"),
                                   QStringLiteral("mnrun"),
                                   QStringLiteral("mnpause"),
                                   QStringLiteral("mnstop"),
                                   QStringLiteral("mnArr_icons")};
    return items;
}

struct ToolbarButton {
    const char *key;
    const char *toolTip;
};

constexpr ToolbarButton toolbarButtons[] = {{"open", "Open"},
                                            {"save", "Save"},
                                            {"print", "Print"},
                                            {"monitor", "Monitor"},
                                            {"grid", "Table"},
                                            {"graph", "Graph"},
                                            {"power", "Electric Power Cost Monitor"},
                                            {"connect", "Connect"},
                                            {"start", "Start"},
                                            {"pause", "Pause"},
                                            {"stop", "Stop"},
                                            {"help", "Help"}};

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

    // Start-up, in this order.
    move(0, 0);
    resize(referencePixelSize());
    loadIcon();
    loadCaption();
    m_session.startUp();
    createChildWindows();

    Commands &commands = m_session.commandProcs();
    connect(&m_session.commands(), &CommandState::changed, this, &MainFm::mirrorCommandState);
    connect(&commands, &Commands::popupRequested, this, &MainFm::showPopup);
    connect(&commands, &Commands::arrangeRequested, this, &MainFm::arrangeTiles);
    connect(&commands, &Commands::commandUnavailable, this, &MainFm::tellUnavailable);
    connect(&commands, &Commands::exitRequested, this, &QWidget::close);
    mirrorCommandState();
    placeTiles(false);
}

MainFm::~MainFm() = default;

QSize MainFm::referencePixelSize() const
{
    return LayoutRule::toPixels({0, 0, LayoutRule::ReferenceWidth, LayoutRule::ReferenceHeight},
                                logicalDpiX(), logicalDpiY())
        .size();
}

// ---- menus and toolbar

QAction *MainFm::registerItem(QAction *action, const QString &name)
{
    action->setObjectName(name);
    action->setCheckable(checkableItems().contains(name));
    m_items.insert(name, action);
    return action;
}

QMenu *MainFm::addMenu(QMenu *parent, const QString &name, const QString &caption)
{
    QMenu *menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    menu->setObjectName(name);
    registerItem(menu->menuAction(), name);
    return menu;
}

QAction *MainFm::addItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
    registerItem(action, name);
    connect(action, &QAction::triggered, this, [this, name] { runMenuCommand(name); });
    return action;
}

QAction *MainFm::addSeparator(QMenu *menu, const QString &name)
{
    return registerItem(menu->addSeparator(), name);
}

void MainFm::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MenuBar"));

    QMenu *file = addMenu(nullptr, QStringLiteral("mnfile"), QStringLiteral("File"));
    addItem(file, QStringLiteral("mnopen"), QStringLiteral("Open"));
    addSeparator(file, QStringLiteral("par4"));
    QMenu *save = addMenu(file, QStringLiteral("mnsave"), QStringLiteral("Save"));
    addItem(save, QStringLiteral("mnSaveData"), QStringLiteral("Save Data"));
    addItem(save, QStringLiteral("mnsaveBmp"), QStringLiteral("Save Graph"));
    addSeparator(file, QStringLiteral("par5"));
    QMenu *print = addMenu(file, QStringLiteral("mnprint"), QStringLiteral("Print"));
    addItem(print, QStringLiteral("mnpritab"), QStringLiteral("Print Data"));
    addItem(print, QStringLiteral("mnPrigr"), QStringLiteral("Print Graph"));
    addSeparator(file, QStringLiteral("par_0"));
    addItem(file, QStringLiteral("mnexit"), QStringLiteral("Exit"));

    addItem(nullptr, QStringLiteral("mnsetup"), QStringLiteral("Setup"));

    QMenu *edit = addMenu(nullptr, QStringLiteral("mnedit"), QStringLiteral("Edit"));
    addItem(edit, QStringLiteral("mnClear"), QStringLiteral("Clear record"));

    QMenu *view = addMenu(nullptr, QStringLiteral("mnveiw"), QStringLiteral("View"));
    addItem(view, TableItem, QStringLiteral("Table"));
    addItem(view, MonitorItem, QStringLiteral("Monitor"));
    addItem(view, GraphItem, QStringLiteral("Graph"));
    addItem(view, PowerItem, QStringLiteral("Electric Power Cost Monitor"));

    QMenu *record = addMenu(nullptr, QStringLiteral("mnrecord"), QStringLiteral("Record"));
    addItem(record, QStringLiteral("mnconnect"), QStringLiteral("Connect"));
    addSeparator(record, QStringLiteral("par2"));
    addItem(record, QStringLiteral("mnrun"), QStringLiteral("Start"));
    addItem(record, QStringLiteral("mnpause"), QStringLiteral("Pause"));
    addItem(record, QStringLiteral("mnstop"), QStringLiteral("Stop"));

    addItem(nullptr, QStringLiteral("mnoption"), QStringLiteral("Option"));

    QMenu *window = addMenu(nullptr, QStringLiteral("mnwindow"), QStringLiteral("Window"));
    addItem(window, QStringLiteral("mnArr_icons"), QStringLiteral("Arr_icons"));

    QMenu *help = addMenu(nullptr, QStringLiteral("mnhelp"), QStringLiteral("Help"));
    addItem(help, QStringLiteral("mnVK47"), QStringLiteral("Voltrix User's Manual"));
    addItem(help, QStringLiteral("mnhe"), QStringLiteral("Help"));
    addSeparator(help, QStringLiteral("par_3"));
    addItem(help, QStringLiteral("mnabout"), QStringLiteral("About"));

    // The pop-up menus belong to no menu bar entry.
    auto popup = [this](const QString &name, const QString &caption) {
        auto *menu = new QMenu(caption, this);
        menu->setObjectName(name);
        m_popups.insert(name, menu);
        return menu;
    };
    QMenu *pop = popup(QStringLiteral("pop"), QStringLiteral("pop"));
    addItem(pop, QStringLiteral("pop_SaveData"), QStringLiteral("Save Data"));
    addItem(pop, QStringLiteral("pop_SaveGraph"), QStringLiteral("Save Graph"));
    QMenu *popPrint = popup(QStringLiteral("pop_print"), QStringLiteral("pop_print"));
    addItem(popPrint, QStringLiteral("pop_PrintData"), QStringLiteral("Print Data"));
    addItem(popPrint, QStringLiteral("pop_PrintGraph"), QStringLiteral("Print Graph"));
    QMenu *blank = popup(QStringLiteral("Mblank"), QStringLiteral("Mblank"));
    addItem(blank, QStringLiteral("Skip"), QStringLiteral("Skip"));
}

void MainFm::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    for (const ToolbarButton &entry : toolbarButtons) {
        const QString key = QLatin1String(entry.key);
        QAction *button = m_toolbar->addAction(UiResources::icon(key), QLatin1String(entry.toolTip));
        button->setObjectName(key);
        button->setData(key);
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
    const QString label = Measurement::readLabelFile(AppPaths::findAsset(QStringLiteral("LabelName.txt")));
    setWindowTitle(label.isEmpty() ? applicationTitle() : label + QLatin1Char(' ') + applicationTitle());
}

QMdiSubWindow *MainFm::addTile(QWidget *window, const QString &item)
{
    QMdiSubWindow *frame = m_mdi->addSubWindow(window);
    frame->setObjectName(window->objectName() + QStringLiteral("Frame"));
    frame->setWindowIcon(window->windowIcon().isNull() ? windowIcon() : window->windowIcon());
    frame->setAttribute(Qt::WA_DeleteOnClose, false);
    frame->hide();
    frame->installEventFilter(this);
    m_tiles.push_back({item, frame});
    m_tileStates.insert(frame, frame->windowState());
    return frame;
}

void MainFm::createChildWindows()
{
    m_monitor = new FmMonitor(m_session);
    addTile(m_monitor, MonitorItem);
    m_grid = new FmGrid(m_session);
    addTile(m_grid, TableItem);
    m_graph = new FmGraph(m_session);
    addTile(m_graph, GraphItem);
    m_power = new FmPower(m_session);
    addTile(m_power, PowerItem);
    m_scan = new ScanWindow(m_session.link(), this);
}

QMdiSubWindow *MainFm::subWindowOf(const QWidget *child) const
{
    for (const Tile &tile : m_tiles) {
        if (tile.frame->widget() == child) return tile.frame;
    }
    return nullptr;
}

// ---- commands

void MainFm::runMenuCommand(const QString &name)
{
    // A checkable item has already flipped its own mark; the command state decides it.
    mirrorCommandState();
    m_session.commandProcs().menuCommand(name);
    mirrorCommandState();
}

void MainFm::runToolbarKey(const QString &key)
{
    m_session.commandProcs().toolbarClicked(key);
    mirrorCommandState();
}

void MainFm::tellUnavailable(const QString &item)
{
    const QAction *action = m_items.value(item);
    const QString command = action ? action->text() : item;
    m_session.prompts().message(notAvailableYetText(command), applicationTitle(), Prompts::Buttons::Ok,
                                Prompts::Icon::Information);
}

void MainFm::showPopup(const QString &menuName)
{
    if (QMenu *menu = m_popups.value(menuName)) menu->popup(QCursor::pos());
}

// ---- mirroring the command state

void MainFm::mirrorCommandState()
{
    const CommandState &state = m_session.commands();
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        it.value()->setEnabled(state.isEnabled(it.key()));
        if (it.value()->isCheckable()) it.value()->setChecked(state.isChecked(it.key()));
    }
    for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it)
        it.value()->setEnabled(state.isButtonEnabled(it.key()));
    syncWindows();
}

void MainFm::syncWindows()
{
    const CommandState &state = m_session.commands();
    bool powerChanged = false;
    for (const Tile &tile : m_tiles) {
        const bool shown = state.isChecked(tile.item);
        if (tile.frame->isHidden() != shown) continue;
        tile.frame->setVisible(shown);
        powerChanged = powerChanged || tile.item == PowerItem;
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
    return m_session.commands().isChecked(PowerItem);
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
        LayoutRule::frameStep(state, m_previousState, LayoutRule::toTwips(size(), dpiX, dpiY));
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
            if (m_session.commands().isChecked(tile.item))
                runMenuCommand(tile.item);
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
        m_closing = true;
        m_layoutTimer.stop();
        m_session.link().abandon(); // a scan under way would keep the program alive for a minute
        m_session.commandProcs().closeAll();
        m_scan->hide();
    }
    event->accept();
}
