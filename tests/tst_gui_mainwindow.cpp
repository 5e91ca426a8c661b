// The frame window: start-up, the menu tree, the mirrored enable and check states through a
// recording, the window toggles and close boxes, the commands not built yet, the layout rule
// and shut-down.
#include <QtTest>

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <memory>

#include "common/AppPaths.h"
#include "graph/FmGraph.h"
#include "link/FrameEncoder.h"
#include "link/ScanWindow.h"
#include "monitor/FmMonitor.h"
#include "monitor/MonitorFields.h"
#include "power/FmPower.h"
#include "recording/RecordStore.h"
#include "recording/RecordingControl.h"
#include "shell/CommandState.h"
#include "shell/Commands.h"
#include "shell/MainFm.h"
#include "support/RecordingSession.h"
#include "table/FmGrid.h"

namespace
{

QStringList itemsOf(const QList<QAction *> &actions)
{
    QStringList items;
    for (const QAction *action : actions)
        items.append(action->objectName() + QLatin1Char(' ') +
                     (action->isSeparator() ? QStringLiteral("-") : action->text()));
    return items;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startUpState();
    void menuTree();
    void captionTakesLabelPrefix();
    void recordingCycleMirrorsStates();
    void connectDisablesButtonUntilMenuUnlinks();
    void scanWindowShowsProgress();
    void viewToggles_data();
    void viewToggles();
    void closeBoxHidesAndUnchecks_data();
    void closeBoxHidesAndUnchecks();
    void toolbarKeyWithoutCommandDoesNothing();
    void unavailableCommandsSaySo_data();
    void unavailableCommandsSaySo();
    void savePrintButtonsShowPopups_data();
    void savePrintButtonsShowPopups();
    void normalStateSnapsBack();
    void maximisedScalesProportionally();
    void powerWindowShortensTable();
    void arrangeRestoresTiles();
    void closingWhileRecording();

private:
    bool checked(const QString &item) const { return m_frame->menuItem(item)->isChecked(); }
    bool enabled(const QString &item) const { return m_frame->menuItem(item)->isEnabled(); }
    bool buttonEnabled(const QString &key) const { return m_frame->toolbarButton(key)->isEnabled(); }
    QMdiSubWindow *tile(const QWidget *window) const { return m_frame->subWindowOf(window); }
    void trigger(const QString &item) { m_frame->menuItem(item)->trigger(); }
    void press(const QString &key) { m_frame->toolbarButton(key)->trigger(); }
    QString recordFile() const;

    std::unique_ptr<QTemporaryDir> m_assets;
    std::unique_ptr<RecordingSession> m_rig;
    std::unique_ptr<MainFm> m_frame;
};

void TestMainWindow::init()
{
    m_assets = std::make_unique<QTemporaryDir>();
    AppPaths::setAssetFolderOverride(m_assets->path());
    m_rig = std::make_unique<RecordingSession>();
    m_frame = std::make_unique<MainFm>(m_rig->session);
}

void TestMainWindow::cleanup()
{
    m_frame.reset();
    m_rig.reset();
    AppPaths::setAssetFolderOverride(QString());
    m_assets.reset();
}

void TestMainWindow::startUpState()
{
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Voltrix"));
    // The program's own Mark.ico, with its three sizes.
    QVERIFY(m_frame->windowIcon().availableSizes().contains(QSize(48, 48)));
    QCOMPARE(m_frame->size(), m_frame->referencePixelSize());
    QCOMPARE(m_frame->pos(), QPoint(0, 0));

    for (const QString &item : CommandState::menuItems()) {
        QVERIFY2(m_frame->menuItem(item), qPrintable(item));
        QVERIFY2(enabled(item), qPrintable(item));
        QVERIFY2(!checked(item), qPrintable(item));
    }
    QStringList keys;
    for (QAction *button : m_frame->toolbar()->actions()) {
        keys.append(button->data().toString());
        QVERIFY(button->isEnabled());
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(keys, CommandState::toolbarKeys());
    QCOMPARE(m_frame->toolbar()->objectName(), QStringLiteral("Toolbar1"));

    // The child windows are loaded hidden, in the frame's MDI area, with their captions.
    const QList<QMdiSubWindow *> tiles = m_frame->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(tiles.size(), 4);
    const QStringList captions{QStringLiteral("Monitor"), QStringLiteral("Table"), QStringLiteral("Graph"),
                               QStringLiteral("Electric Power Cost Monitor")};
    for (int i = 0; i < tiles.size(); ++i) {
        QVERIFY(tiles[i]->isHidden());
        QCOMPARE(tiles[i]->windowTitle(), captions[i]);
    }
    QCOMPARE(tiles[0]->widget(), m_frame->monitorWindow());
    QVERIFY(m_frame->scanWindow()->isHidden());
}

void TestMainWindow::menuTree()
{
    QStringList bar;
    for (const QAction *action : m_frame->menuBar()->actions())
        bar.append(action->objectName() + QLatin1Char(' ') + action->text());
    QCOMPARE(bar, (QStringList{"mnfile File", "mnsetup Setup", "mnedit Edit", "mnveiw View",
                               "mnrecord Record", "mnoption Option", "mnwindow Window", "mnhelp Help"}));

    auto menuOf = [this](const QString &name) { return m_frame->menuItem(name)->menu(); };
    QCOMPARE(itemsOf(menuOf("mnfile")->actions()),
             (QStringList{"mnopen Open", "par4 -", "mnsave Save", "par5 -", "mnprint Print", "par_0 -",
                          "mnexit Exit"}));
    QCOMPARE(itemsOf(menuOf("mnsave")->actions()),
             (QStringList{"mnSaveData Save Data", "mnsaveBmp Save Graph"}));
    QCOMPARE(itemsOf(menuOf("mnprint")->actions()),
             (QStringList{"mnpritab Print Data", "mnPrigr Print Graph"}));
    QVERIFY(!m_frame->menuItem("mnsetup")->menu());
    QCOMPARE(itemsOf(menuOf("mnedit")->actions()), (QStringList{"mnClear Clear record"}));
    QCOMPARE(itemsOf(menuOf("mnveiw")->actions()), (QStringList{"mntab Table", "mnmo Monitor", "mngr Graph",
                                                                "mnpower Electric Power Cost Monitor"}));
    QCOMPARE(itemsOf(menuOf("mnrecord")->actions()),
             (QStringList{"mnconnect Connect", "par2 -", "mnrun Start", "mnpause Pause", "mnstop Stop"}));
    QVERIFY(!m_frame->menuItem("mnoption")->menu());
    QCOMPARE(itemsOf(menuOf("mnwindow")->actions()), (QStringList{"mnArr_icons Arr_icons"}));
    QCOMPARE(itemsOf(menuOf("mnhelp")->actions()),
             (QStringList{"mnVK47 Voltrix User's Manual", "mnhe Help", "par_3 -", "mnabout About"}));

    QCOMPARE(itemsOf(m_frame->popupMenu("pop")->actions()),
             (QStringList{"pop_SaveData Save Data", "pop_SaveGraph Save Graph"}));
    QCOMPARE(itemsOf(m_frame->popupMenu("pop_print")->actions()),
             (QStringList{"pop_PrintData Print Data", "pop_PrintGraph Print Graph"}));
    QCOMPARE(itemsOf(m_frame->popupMenu("Mblank")->actions()), (QStringList{"Skip Skip"}));
}

void TestMainWindow::captionTakesLabelPrefix()
{
    QFile label(m_assets->filePath(QStringLiteral("LabelName.txt")));
    QVERIFY(label.open(QIODevice::WriteOnly));
    label.write("\"Plant 7\"\r\n");
    label.close();
    m_frame.reset();
    m_frame = std::make_unique<MainFm>(m_rig->session);
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("Plant 7 Voltrix"));
}

QString TestMainWindow::recordFile() const
{
    return m_rig->session.monitor().file;
}

void TestMainWindow::recordingCycleMirrorsStates()
{
    m_frame->show();
    const QStringList fileItems{"mnfile", "mnedit", "mnopen", "mnsave", "mnprint"};

    // Start: links, shows monitor, table and graph, and applies the Recording row.
    trigger("mnrun");
    QVERIFY(checked("mnrun") && checked("mnconnect") && !checked("mnpause") && !checked("mnstop"));
    for (const QString &item : fileItems)
        QVERIFY2(!enabled(item), qPrintable(item));
    QVERIFY(enabled("mnSaveData") && enabled("pop_SaveData") && enabled("mnpower"));
    for (const char *key : {"open", "save", "print", "start", "connect"})
        QVERIFY2(!buttonEnabled(key), key);
    for (const char *key : {"pause", "stop", "power"})
        QVERIFY2(buttonEnabled(key), key);
    QVERIFY(checked("mnmo") && checked("mntab") && checked("mngr"));
    QVERIFY(tile(m_frame->monitorWindow())->isVisible());
    QVERIFY(tile(m_frame->gridWindow())->isVisible());
    QVERIFY(tile(m_frame->graphWindow())->isVisible());
    QVERIFY(tile(m_frame->powerWindow())->isHidden());

    // The recording items themselves are never disabled, whatever the state.
    press("pause");
    QVERIFY(checked("mnpause") && !checked("mnrun") && !checked("mnstop"));
    for (const char *item : {"mnopen", "mnsave", "mnprint"})
        QVERIFY2(!enabled(item), item);
    for (const char *key : {"open", "save", "print", "pause"})
        QVERIFY2(!buttonEnabled(key), key);
    QVERIFY(buttonEnabled("start") && buttonEnabled("stop"));
    QVERIFY(enabled("mnrun") && enabled("mnpause") && enabled("mnstop"));

    // Resume.
    press("start");
    QVERIFY(checked("mnrun") && !checked("mnpause"));
    QVERIFY(!buttonEnabled("start") && buttonEnabled("pause"));

    trigger("mnstop");
    QVERIFY(checked("mnstop") && !checked("mnrun") && !checked("mnpause"));
    for (const char *item : {"mnfile", "mnsetup", "mnedit", "mnveiw", "mnrecord", "mnoption", "mnwindow",
                             "mnhelp", "mnopen", "mnsave", "mnprint"})
        QVERIFY2(enabled(item), item);
    for (const char *key : {"open", "save", "print", "start", "pause", "stop"})
        QVERIFY2(buttonEnabled(key), key);
    // Stop leaves the link as it was.
    QVERIFY(checked("mnconnect"));
    QVERIFY(!buttonEnabled("connect"));
    QVERIFY(m_rig->prompts.unexpected().isEmpty());
}

void TestMainWindow::connectDisablesButtonUntilMenuUnlinks()
{
    // A failed link changes nothing here; the prober has told the user.
    m_rig->serial.setAnsweringPorts({});
    trigger("mnconnect");
    QVERIFY(!checked("mnconnect"));
    QVERIFY(buttonEnabled("connect"));
    QCOMPARE(m_rig->prompts.lastCall().text, QStringLiteral("Link error ! Please check your connector."));

    m_rig->serial.setAnsweringPorts({1});
    press("connect");
    QVERIFY(m_rig->session.state().linkUp);
    QVERIFY(checked("mnconnect"));
    QVERIFY(!buttonEnabled("connect"));

    trigger("mnconnect");
    QVERIFY(!m_rig->session.state().linkUp);
    QVERIFY(!checked("mnconnect"));
    QVERIFY(buttonEnabled("connect"));
}

void TestMainWindow::scanWindowShowsProgress()
{
    // Auto-scan is on by default: COM1..COM4 stay silent, COM5 answers.
    m_rig->serial.setAnsweringPorts({5});
    ScanWindow *scan = m_frame->scanWindow();
    QList<int> positions;
    bool shownDuringScan = false;
    m_rig->clock.setOnProcessEvents([&] {
        shownDuringScan = shownDuringScan || scan->isVisible();
        if (positions.isEmpty() || positions.last() != scan->progressLabel()->x())
            positions.append(scan->progressLabel()->x());
    });
    m_frame->show();
    trigger("mnconnect");
    m_rig->clock.setOnProcessEvents({});

    QVERIFY(checked("mnconnect"));
    QVERIFY(shownDuringScan);
    QVERIFY(scan->isHidden());
    QCOMPARE(scan->windowTitle(), QStringLiteral("Scan com port"));
    // The dots start at 1080 twips and move 80 twips for each silent port.
    const double dpi = scan->logicalDpiX();
    QCOMPARE(positions.first(), qRound(1080 * dpi / 1440));
    QCOMPARE(scan->progressLabel()->x(), qRound((1080 + 4 * 80) * dpi / 1440));
    QCOMPARE(scan->progressLabel()->text(), QStringLiteral("......."));
    QCOMPARE(scan->findChild<QLabel *>("Label2")->text(), QStringLiteral("Link up"));
}

void TestMainWindow::viewToggles_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("window");
    QTest::newRow("table") << "mntab"
                           << "grid" << 1;
    QTest::newRow("monitor") << "mnmo"
                             << "monitor" << 0;
    QTest::newRow("graph") << "mngr"
                           << "graph" << 2;
    QTest::newRow("power") << "mnpower"
                           << "power" << 3;
}

void TestMainWindow::viewToggles()
{
    QFETCH(QString, item);
    QFETCH(QString, key);
    QFETCH(int, window);
    const QWidget *windows[] = {m_frame->monitorWindow(), m_frame->gridWindow(), m_frame->graphWindow(),
                                m_frame->powerWindow()};
    QMdiSubWindow *frame = tile(windows[window]);
    m_frame->show();

    trigger(item);
    QVERIFY(checked(item));
    QVERIFY(frame->isVisible());
    trigger(item);
    QVERIFY(!checked(item));
    QVERIFY(frame->isHidden());

    press(key);
    QVERIFY(checked(item));
    QVERIFY(frame->isVisible());
    press(key);
    QVERIFY(!checked(item));
    QVERIFY(frame->isHidden());
}

void TestMainWindow::closeBoxHidesAndUnchecks_data()
{
    viewToggles_data();
}

void TestMainWindow::closeBoxHidesAndUnchecks()
{
    QFETCH(QString, item);
    QFETCH(int, window);
    QWidget *windows[] = {m_frame->monitorWindow(), m_frame->gridWindow(), m_frame->graphWindow(),
                          m_frame->powerWindow()};
    QPointer<QWidget> child = windows[window];
    QPointer<QMdiSubWindow> frame = tile(child);
    m_frame->show();
    trigger(item);
    QVERIFY(frame->isVisible());

    QVERIFY(!frame->close());
    QVERIFY(frame);
    QVERIFY(frame->isHidden());
    QVERIFY(!checked(item));

    // Shown again, it is the same window.
    trigger(item);
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->widget(), child.data());
}

void TestMainWindow::toolbarKeyWithoutCommandDoesNothing()
{
    m_frame->show();
    const auto snapshot = [this] {
        QStringList states;
        for (const QString &item : CommandState::menuItems())
            states.append(item + QString::number(enabled(item)) + QString::number(checked(item)));
        for (const QString &key : CommandState::toolbarKeys())
            states.append(key + QString::number(buttonEnabled(key)));
        return states;
    };
    const QStringList before = snapshot();
    m_rig->session.commandProcs().toolbarClicked(QStringLiteral("Open"));
    m_rig->session.commandProcs().toolbarClicked(QStringLiteral("nothing"));
    QCoreApplication::processEvents();
    QCOMPARE(snapshot(), before);
    QVERIFY(m_rig->prompts.calls().isEmpty());
    QVERIFY(!m_frame->popupMenu("pop")->isVisible());
    for (QMdiSubWindow *frame : m_frame->mdiArea()->subWindowList())
        QVERIFY(frame->isHidden());
}

void TestMainWindow::unavailableCommandsSaySo_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    const QString tail = QStringLiteral(" is not available in this version yet.");
    QTest::newRow("open") << "mnopen"
                          << "open" << QStringLiteral("Open") + tail;
    QTest::newRow("save data") << "mnSaveData"
                               << "" << QStringLiteral("Save Data") + tail;
    QTest::newRow("save data pop-up") << "pop_SaveData"
                                      << "" << QStringLiteral("Save Data") + tail;
    QTest::newRow("save graph") << "mnsaveBmp"
                                << "" << QStringLiteral("Save Graph") + tail;
    QTest::newRow("save graph pop-up") << "pop_SaveGraph"
                                       << "" << QStringLiteral("Save Graph") + tail;
    QTest::newRow("print data") << "mnpritab"
                                << "" << QStringLiteral("Print Data") + tail;
    QTest::newRow("print data pop-up") << "pop_PrintData"
                                       << "" << QStringLiteral("Print Data") + tail;
    QTest::newRow("print graph") << "mnPrigr"
                                 << "" << QStringLiteral("Print Graph") + tail;
    QTest::newRow("print graph pop-up") << "pop_PrintGraph"
                                        << "" << QStringLiteral("Print Graph") + tail;
    QTest::newRow("setup") << "mnsetup"
                           << "" << QStringLiteral("Setup") + tail;
    QTest::newRow("option") << "mnoption"
                            << "" << QStringLiteral("Option") + tail;
    QTest::newRow("manual") << "mnVK47"
                            << "" << QStringLiteral("Voltrix User's Manual") + tail;
    QTest::newRow("help") << "mnhe"
                          << "help" << QStringLiteral("Help") + tail;
    QTest::newRow("about") << "mnabout"
                           << "" << QStringLiteral("About") + tail;
}

void TestMainWindow::unavailableCommandsSaySo()
{
    QFETCH(QString, item);
    QFETCH(QString, key);
    QFETCH(QString, text);

    QVERIFY(enabled(item));
    trigger(item);
    QCOMPARE(m_rig->prompts.calls().size(), 1);
    const ScriptedPrompts::Call call = m_rig->prompts.lastCall();
    QCOMPARE(call.text, text);
    QCOMPARE(call.title, QStringLiteral("Voltrix"));
    QCOMPARE(call.buttons, Prompts::Buttons::Ok);
    QCOMPARE(call.icon, Prompts::Icon::Information);

    if (!key.isEmpty()) {
        press(key);
        QCOMPARE(m_rig->prompts.calls().size(), 2);
        QCOMPARE(m_rig->prompts.lastCall().text, text);
    }
}

void TestMainWindow::savePrintButtonsShowPopups_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("menu");
    QTest::newRow("save") << "save"
                          << "pop";
    QTest::newRow("print") << "print"
                           << "pop_print";
}

void TestMainWindow::savePrintButtonsShowPopups()
{
    QFETCH(QString, key);
    QFETCH(QString, menu);
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    press(key);
    QMenu *popup = m_frame->popupMenu(menu);
    QTRY_VERIFY(popup->isVisible());
    popup->close();
    QVERIFY(m_rig->prompts.calls().isEmpty());
    QVERIFY(!m_frame->popupMenu("Mblank")->isVisible());
}

void TestMainWindow::normalStateSnapsBack()
{
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    const QSize reference = m_frame->referencePixelSize();
    for (const QSize userSize : {QSize(1000, 700), QSize(500, 400)}) {
        m_frame->resize(userSize);
        QTRY_COMPARE(m_frame->size(), reference);
    }
    m_frame->layOutNow();
    QCOMPARE(m_frame->scale().sx, 1.0f);
    QCOMPARE(m_frame->scale().sy, 1.0f);
    // The monitor's tile at the reference size: 5250 x 3990 twips.
    const double dpiX = m_frame->logicalDpiX();
    const double dpiY = m_frame->logicalDpiY();
    const QRect monitor = tile(m_frame->monitorWindow())->geometry();
    QCOMPARE(monitor.topLeft(), QPoint(0, 0));
    QCOMPARE(monitor.width(), qRound(5250 * dpiX / 1440));
    QCOMPARE(monitor.height(), qRound(3990 * dpiY / 1440));
}

void TestMainWindow::maximisedScalesProportionally()
{
    m_frame->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    QTRY_VERIFY(m_frame->isMaximized());
    // Whatever the screen, a maximised frame keeps the size it is given.
    m_frame->resize(1600, 1000);
    QTRY_COMPARE(m_frame->size(), QSize(1600, 1000));
    QTest::qWait(1);
    m_frame->layOutNow();
    QCOMPARE(m_frame->size(), QSize(1600, 1000));

    const QRect monitor = tile(m_frame->monitorWindow())->geometry();
    const QRect table = tile(m_frame->gridWindow())->geometry();
    const QRect graph = tile(m_frame->graphWindow())->geometry();
    QVERIFY(qAbs(monitor.width() - 1600.0 * 5250 / 12000) <= 1);
    QVERIFY(qAbs(monitor.height() - 1000.0 * 3990 / 8800) <= 1);
    QVERIFY(qAbs(table.width() - 1600.0 * 6570 / 12000) <= 1);
    QCOMPARE(table.left(), monitor.right() + 1);
    QVERIFY(qAbs(graph.width() - 1600.0 * 11820 / 12000) <= 1);
    QCOMPARE(graph.top(), monitor.bottom() + 1);
    QCOMPARE(graph.bottom(), m_frame->mdiArea()->viewport()->height() - 1);
}

void TestMainWindow::powerWindowShortensTable()
{
    m_frame->show();
    m_frame->layOutNow();
    const double frameHeight = m_frame->height();
    QMdiSubWindow *table = tile(m_frame->gridWindow());
    QMdiSubWindow *power = tile(m_frame->powerWindow());
    trigger("mntab");
    QVERIFY(qAbs(table->height() - frameHeight * 3990 / 8800) <= 1);

    trigger("mnpower");
    QVERIFY(power->isVisible());
    QVERIFY(qAbs(table->height() - frameHeight * 2370 / 8800) <= 1);
    QCOMPARE(power->geometry().top(), table->geometry().bottom() + 1);
    QVERIFY(qAbs(power->height() - frameHeight * 1620 / 8800) <= 1);

    trigger("mnpower");
    QVERIFY(power->isHidden());
    QVERIFY(qAbs(table->height() - frameHeight * 3990 / 8800) <= 1);

    // Resized by hand in an unchanged state, the table returns to its place.
    const QRect place = table->geometry();
    table->resize(place.width() / 2, place.height() / 2);
    QCOMPARE(table->geometry(), place);
}

void TestMainWindow::arrangeRestoresTiles()
{
    m_frame->show();
    m_frame->layOutNow();
    // With no tile shown Arrange does nothing at all.
    trigger("mnArr_icons");
    QVERIFY(!checked("mnArr_icons"));

    trigger("mnmo");
    trigger("mntab");
    QMdiSubWindow *monitor = tile(m_frame->monitorWindow());
    QMdiSubWindow *table = tile(m_frame->gridWindow());
    const QRect monitorPlace = monitor->geometry();
    const QRect tablePlace = table->geometry();
    monitor->move(40, 60);
    table->showMinimized();
    QVERIFY(table->isMinimized());

    trigger("mnArr_icons");
    QVERIFY(checked("mnArr_icons"));
    QVERIFY(!table->isMinimized());
    QCOMPARE(monitor->geometry(), monitorPlace);
    QCOMPARE(table->geometry(), tablePlace);
    // Nothing ever takes the mark away again.
    trigger("mnArr_icons");
    QVERIFY(checked("mnArr_icons"));
}

void TestMainWindow::closingWhileRecording()
{
    m_frame->show();
    trigger("mnrun");
    QVERIFY(m_rig->session.recording().timerEnabled());
    m_rig->feed(FrameEncoder::encodeReading({}, 1234));
    QVERIFY(!m_rig->session.record().cell(1, RecordStore::valueColumn(0)).isEmpty());
    m_rig->prompts.clear();
    m_rig->prompts.setStrict(true);

    QVERIFY(m_frame->close());
    QVERIFY(!m_rig->session.recording().timerEnabled());
    QVERIFY(!m_rig->session.state().linkUp);
    for (const char *item : {"mnmo", "mntab", "mngr", "mnpower"})
        QVERIFY2(!checked(item), item);
    for (QMdiSubWindow *frame : m_frame->mdiArea()->subWindowList())
        QVERIFY(frame->isHidden());
    // No question on the way out.
    QVERIFY(m_rig->prompts.calls().isEmpty());
    QVERIFY(m_rig->prompts.unexpected().isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_gui_mainwindow.moc"
