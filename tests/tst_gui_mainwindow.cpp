// The frame window: start-up, menus, mirrored marks, toggles, close boxes, commands not built yet.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTableView>
#include <QToolBar>
#include <QtTest>
#include <optional>

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/link/FrameEncoder.h"
#include "core/link/LinkProber.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "support/RecordingSession.h"
#include "ui/link/ScanWindow.h"
#include "ui/shell/MainFm.h"
#include "ui/table/FmGrid.h"

class TestMainWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_assets; // an empty asset folder: no label file, the plain title
    std::optional<RecordingSession> m_rig;
    std::optional<MainFm> m_frame;
    bool checked(const QString &item) const { return m_frame->menuItem(item)->isChecked(); }
    void trigger(const QString &item) { m_frame->menuItem(item)->trigger(); }
    void press(const QString &key) { m_frame->toolbarButton(key)->trigger(); }
    QList<QMdiSubWindow *> tiles() const { return m_frame->mdiArea()->subWindowList(); } // in creation order
    QString tileTitles(bool shownOnly = true) const
    {
        QStringList titles;
        for (const QMdiSubWindow *tile : tiles())
            if (tile->isVisible() || !shownOnly) titles << tile->windowTitle();
        return titles.join(',');
    }
    // Items as "name caption", separators "name -", submenus in brackets.
    static QString describe(const QList<QAction *> &actions)
    {
        QStringList items;
        for (const QAction *action : actions)
            items << action->objectName() + ' ' +
                         (action->isSeparator() ? QStringLiteral("-") : action->text()) +
                         (action->menu() ? '[' + describe(action->menu()->actions()) + ']' : QString());
        return items.join(',');
    }
    // Checked items | disabled items | disabled toolbar keys, each in menu or toolbar order.
    QString marks() const
    {
        QStringList checkedItems, disabledItems, disabledKeys;
        for (const CommandTable::MenuRow &row : CommandTable::menuRows()) {
            const QString item = QLatin1String(row.name);
            if (m_frame->menuItem(item)->isChecked()) checkedItems << item;
            if (!m_frame->menuItem(item)->isEnabled()) disabledItems << item;
        }
        for (const CommandTable::ButtonRow &row : CommandTable::buttonRows())
            if (!m_frame->toolbarButton(QLatin1String(row.key))->isEnabled())
                disabledKeys << QLatin1String(row.key);
        return checkedItems.join(' ') + " | " + disabledItems.join(' ') + " | " + disabledKeys.join(' ');
    }
private Q_SLOTS:
    void initTestCase() { AppPaths::setAssetFolderOverride(m_assets.path()); }
    void init()
    {
        m_frame.reset(); // the window goes before the session it shows
        m_rig.emplace();
        m_frame.emplace(m_rig->session);
    }
    void cleanupTestCase() { m_frame.reset(), AppPaths::setAssetFolderOverride(QString()); }
    void startUpStateAndNormalSize()
    {
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Voltrix"));
        QVERIFY(m_frame->windowIcon().availableSizes().contains(QSize(48, 48))); // the program's own icon
        QCOMPARE(m_frame->geometry(), QRect(QPoint(0, 0), m_frame->referencePixelSize()));
        QVERIFY(m_frame->screen()->availableGeometry().contains(m_frame->geometry()));
        QCOMPARE(marks(), QStringLiteral(" |  | "));
        QCOMPARE(tileTitles(false), QStringLiteral("Monitor,Table,Graph,Electric Power Cost Monitor"));
        QCOMPARE(tileTitles(), QString()); // loaded hidden
        QVERIFY(m_frame->scanWindow()->isHidden());
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*m_frame));
        m_frame->resize(1000, 700); // a user's resize of the normal frame is undone
        QTRY_COMPARE(m_frame->size(), m_frame->referencePixelSize());
    }
    void captionTakesLabelPrefix()
    {
        QFile label(QDir(m_assets.path()).filePath(QStringLiteral("LabelName.txt")));
        QVERIFY(label.open(QIODevice::WriteOnly) && label.write("ACME\r\n") > 0);
        label.close();
        m_frame.reset();
        m_frame.emplace(m_rig->session);
        QVERIFY(label.remove()); // the other tests keep the plain title
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("ACME Voltrix"));
    }
    void scanWindowFollowsTheScan()
    {
        ScanWindow *scan = m_frame->scanWindow();
        QCOMPARE(scan->windowTitle(), QStringLiteral("Scan com port"));
        QCOMPARE(scan->findChild<QLabel *>("Label2")->text(), QStringLiteral("Link up"));
        QList<int> dots; // left edge of the dots when shown and after each silent port; -1 while hidden
        const auto note = [&] { dots << (scan->isVisible() ? scan->progressLabel()->x() : -1); };
        connect(&m_rig->session.link(), &LinkProber::scanShown, scan, note);
        connect(&m_rig->session.link(), &LinkProber::progressMoved, scan, note);
        m_rig->serial.setAnsweringPorts({5}); // auto-scan: COM1..COM4 stay silent
        m_frame->show();
        trigger("mnconnect");
        QList<int> expected;
        for (const int twips : {1080, 1160, 1240, 1320, 1400})
            expected << qRound(twips * scan->logicalDpiX() / 1440.0);
        QCOMPARE(dots, expected);
        QVERIFY(scan->isHidden() && checked("mnconnect"));
        QTRY_COMPARE(QApplication::activeWindow(), &*m_frame); // the keyboard is back
    }
    void menuTree()
    {
        QCOMPARE(
            describe(m_frame->menuBar()->actions()),
            QStringLiteral(
                "mnfile &File[mnopen &Open,par4 -,mnsave &Save[mnSaveData Save &Data,mnsaveBmp Save "
                "&Graph],par5 -,mnprint &Print[mnpritab Print &Data,mnPrigr Print &Graph],par_0 -,mnexit "
                "E&xit],mnsetup &Setup,mnpublish P&ublish readings,mnedit &Edit[mnClear &Clear "
                "record],mnveiw &View[mntab &Table,mnmo "
                "&Monitor,mngr &Graph,mnpower &Electric Power Cost Monitor,par6 -,mnMainChannel Main "
                "&channel,"
                "mnAllChannels &All channels,mnZoomIn Zoom &in,mnZoomOut Zoom &out,mnWholeRecord &Whole "
                "record],mnrecord &Record[mnconnect "
                "&Connect,par2 -,mnrun &Start,mnpause &Pause,mnstop S&top],mnoption &Option,mnwindow "
                "&Window[mnArr_icons &Arr_icons],mnhelp &Help[mnVK47 Voltrix User's &Manual,mnhe &Help,"
                "par_3 -,mnabout &About]"));
        QStringList popups;
        for (const char *name : {"pop", "pop_print", "Mblank"})
            popups << describe(m_frame->popupMenu(QLatin1String(name))->actions());
        QCOMPARE(popups.join(';'),
                 QStringLiteral("pop_SaveData Save &Data,pop_SaveGraph Save &Graph;pop_PrintData "
                                "Print &Data,pop_PrintGraph Print &Graph;Skip Skip"));
        QStringList keys;
        for (const QAction *button : m_frame->toolbar()->actions())
            keys << button->data().toString() + (button->icon().isNull() ? "(no icon)" : "");
        QCOMPARE(keys.join(' '),
                 QLatin1String("open save print monitor grid graph power connect start pause stop help"));
    }
    // The usual keys, shown in the menus and the toolbar's tooltips, run the commands.
    void keyboardReachesTheCommands()
    {
        QStringList shortcuts;
        for (const char *item : {"mnopen", "mnSaveData", "mnpritab", "mnexit", "mnhe", "mnconnect", "mnrun",
                                 "mnpause", "mnstop"})
            shortcuts << m_frame->menuItem(QLatin1String(item))->shortcut().toString();
        QCOMPARE(shortcuts.join(' '), QStringLiteral("Ctrl+O Ctrl+S Ctrl+P Ctrl+Q F1 F4 F5 F6 Shift+F5"));
        QStringList tips;
        for (const char *key : {"open", "connect", "start", "pause", "stop", "help", "save"})
            tips << m_frame->toolbarButton(QLatin1String(key))->toolTip();
        QCOMPARE(tips.join(u'|'), QStringLiteral("Open (Ctrl+O)|Connect (F4)|Start (F5)|Pause (F6)|Stop "
                                                 "(Shift+F5)|Help (F1)|Save"));
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowActive(&*m_frame));
        QTest::keyClick(&*m_frame, Qt::Key_F5);
        QVERIFY(m_rig->session.status().running());
        QTRY_COMPARE(QApplication::activeWindow(), &*m_frame); // back from the port's probe
        QTest::keyClick(&*m_frame, Qt::Key_F5, Qt::ShiftModifier);
        QVERIFY(m_rig->session.status().stopped());
    }
    void recordingCycleMirrorsStates()
    {
        m_frame->show();
        m_rig->serial.setAnsweringPorts({}); // a failed link changes nothing; the prober told the user
        trigger("mnconnect");
        QCOMPARE(marks(), QStringLiteral(" |  | "));
        QCOMPARE(m_rig->prompts.lastCall().text, QStringLiteral("Link error ! Please check your connector."));
        m_rig->serial.setAnsweringPorts({1});
        press("connect");
        QCOMPARE(marks(), QStringLiteral("mnconnect |  | connect"));
        const auto busy = QStringLiteral(" | mnfile mnopen mnsave mnprint mnedit | open save print connect ");
        trigger("mnrun"); // shows monitor, table and graph
        QCOMPARE(marks(), "mntab mnmo mngr mnconnect mnrun" + busy + "start");
        QCOMPARE(tileTitles(), QStringLiteral("Monitor,Table,Graph"));
        press("pause");
        QCOMPARE(marks(), "mntab mnmo mngr mnconnect mnpause" + busy + "pause");
        press("start"); // resumes
        QCOMPARE(marks(), "mntab mnmo mngr mnconnect mnrun" + busy + "start");
        trigger("mnstop"); // leaves the link as it was
        QCOMPARE(marks(), QStringLiteral("mntab mnmo mngr mnconnect mnstop |  | connect"));
        trigger("mnconnect"); // the menu item unlinks
        QCOMPARE(marks(), QStringLiteral("mntab mnmo mngr mnstop |  | "));
        trigger("mnconnect"); // Stop's mark ends no scan begun after it
        QCOMPARE(marks(), QStringLiteral("mntab mnmo mngr mnconnect mnstop |  | connect"));
    }
    void togglesAndCloseBoxes_data() // tagged with the toolbar key
    {
        QTest::addColumn<int>("tile");
        QTest::addColumn<QString>("item");
        QTest::newRow("monitor") << 0 << "mnmo";
        QTest::newRow("grid") << 1 << "mntab";
        QTest::newRow("graph") << 2 << "mngr";
        QTest::newRow("power") << 3 << "mnpower";
    }
    void togglesAndCloseBoxes()
    {
        QFETCH(int, tile);
        QFETCH(QString, item);
        const QString key = QLatin1String(QTest::currentDataTag());
        QPointer<QMdiSubWindow> frame = tiles()[tile];
        m_frame->show();
        for (const bool byKey : {false, true}) {
            byKey ? press(key) : trigger(item);
            QVERIFY(checked(item) && frame->isVisible());
            byKey ? press(key) : trigger(item);
            QVERIFY(!checked(item) && frame->isHidden());
        }
        // The close box only hides the window: shown again it is the same one, with the same record.
        m_rig->session.record().setCell(1, RecordStore::valueColumn(0), QStringLiteral("12.34"));
        trigger(item);
        QVERIFY(!frame->close());
        QVERIFY(frame && frame->isHidden() && !checked(item));
        trigger(item);
        QVERIFY(frame->isVisible());
        QVERIFY(m_frame->gridWindow()->grid()->model()->index(0, 3).data() == QStringLiteral("12.34"));
    }
    // Every command of the menus does its work: none is left to say it is not available.
    void everyCommandHasItsProcedure()
    {
        for (const CommandTable::MenuRow &row : CommandTable::menuRows()) {
            if (Commands::runsThroughHandler(row.command))
                QVERIFY2(m_rig->session.commandProcs().hasHandler(row.command), row.name);
        }
    }
    // Closing with an unsaved record asks first: Yes saves and closes, No closes, Cancel stays.
    // Without a record nothing is asked.
    void closing_data()
    {
        QTest::addColumn<bool>("record");
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("saves");
        QTest::newRow("Yes") << true << Prompts::Answer::Yes << true << 1;
        QTest::newRow("No") << true << Prompts::Answer::No << true << 0;
        QTest::newRow("Cancel") << true << Prompts::Answer::Cancel << false << 0;
        QTest::newRow("no record") << false << Prompts::Answer::Cancel << true << 0;
    }
    void closing()
    {
        QFETCH(bool, record);
        QFETCH(Prompts::Answer, answer);
        QFETCH(bool, closed);
        QFETCH(int, saves);
        m_frame->show();
        if (record) {
            trigger("mnrun");
            m_rig->feed(FrameEncoder::encodeReading({}, 1234));
            QVERIFY(!m_rig->session.record().cell(1, RecordStore::valueColumn(0)).isEmpty());
        }
        m_rig->prompts.clear();
        m_rig->prompts.queueAnswer(answer);
        QCOMPARE(m_frame->close(), closed);
        QCOMPARE(m_rig->prompts.calls().size(), int(record));
        QCOMPARE(m_rig->saveCommands(), saves);
        if (!record) return;
        const ScriptedPrompts::Call &call = m_rig->prompts.lastCall();
        QCOMPARE(call.text,
                 QStringLiteral("(240315_093000.xlsx).  This record didn't saved ! Do you want to save?"));
        QCOMPARE(call.title, QStringLiteral("Save File!"));
        QCOMPARE(call.buttons, Prompts::Buttons::YesNoCancel);
        QCOMPARE(call.icon, Prompts::Icon::Question);
        if (!closed) { // still recording, windows as they were
            QVERIFY(m_rig->session.status().running() && m_rig->session.recording().timerEnabled());
            QVERIFY(checked("mnmo") && checked("mntab"));
            return;
        }
        QVERIFY(!m_rig->session.recording().timerEnabled() && !m_rig->session.state().link.up);
        QVERIFY(!checked("mnmo") && !checked("mntab") && !checked("mngr") && !checked("mnpower"));
        QCOMPARE(tileTitles(), QString());
    }
    void maximisedScalesProportionally()
    {
        m_frame->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&*m_frame));
        QTRY_VERIFY(m_frame->isMaximized());
        m_frame->resize(1600, 1000); // whatever the screen, a maximised frame keeps the size it is given
        QTRY_COMPARE(m_frame->size(), QSize(1600, 1000));
        m_frame->layOutNow(); // the tiles' proportions are the layout rule's own test
        QVERIFY(qAbs(tiles()[0]->width() - 1600.0 * 5250 / 12000) <= 1);
        QCOMPARE(tiles()[2]->geometry().bottom(), m_frame->mdiArea()->viewport()->height() - 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_gui_mainwindow.moc"
