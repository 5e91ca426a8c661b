// The program as a user has it: the real voltrix with its simulated receiver on a display of
// its own under the openbox window manager, driven by keys and clicks, read from its files and
// window titles. Only what a window manager changes is checked here (activation and focus after
// dialogs, the menu bar's room); everything else is checked offscreen.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "support/DesktopDisplay.h"
#include "support/PtyReceiver.h"

namespace
{

constexpr int WaitMs = 20000;

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private:
    // The left and right edge of the last text on the menu bar of the frame at `frame`.
    static std::pair<int, int> lastMenuBarText(const QImage &screen, const QRect &frame)
    {
        const auto dark = [&](int x) {
            for (int y = frame.top() + 4; y < frame.top() + 18; ++y)
                if (qGray(screen.pixel(x, y)) < 110) return true;
            return false;
        };
        int right = frame.right() - 2;
        while (right > frame.left() && !dark(right))
            --right;
        int left = right;
        for (int gap = 0; left > frame.left() && gap < 12; --left)
            gap = dark(left - 1) ? 0 : gap + 1;
        return {left + 12, right};
    }
    // Runs one step of a scenario: "key K", "type TEXT", "window TITLE", "another TITLE" (one
    // other than the last one waited for), "closed TITLE", "active TITLE", "press K TITLE" (K until the
    // window TITLE shows: a key given while Stop settles finds the commands still off), "journal LINES",
    // "file NAME", "contains NAME TEXT", "lacks NAME TEXT", "click X Y", "last menu" (a click on the menu
    // bar's last entry), "exit".
    void step(const QString &line)
    {
        const QString verb = line.section(u' ', 0, 0), rest = line.section(u' ', 1);
        const QDir home(m_home->path());
        const auto waitFor = [&line](const std::function<bool()> &done, int ms = WaitMs) {
            QVERIFY2(QTest::qWaitFor(done, ms), qPrintable(line));
        };
        if (verb == u"key") {
            m_display.key(rest);
        } else if (verb == u"type") {
            m_display.type(QString(rest).replace(u'@', home.path()));
        } else if (verb == u"window" || verb == u"another") {
            const QString before = verb == u"another" ? m_lastWindow : QString();
            waitFor([&] {
                const QStringList ids = m_display.windowIds(rest);
                m_lastWindow = ids.value(0);
                return !ids.isEmpty() && ids.constFirst() != before;
            });
        } else if (verb == u"closed") {
            waitFor([&] { return m_display.windowIds(rest).isEmpty(); });
        } else if (verb == u"active") {
            waitFor([&] { return m_display.activeTitle() == rest; });
        } else if (verb == u"press") {
            const QString title = rest.section(u' ', 1);
            bool shown = false;
            for (int tries = 0; tries < 5 && !shown; ++tries) {
                m_display.key(rest.section(u' ', 0, 0));
                shown = QTest::qWaitFor([&] { return !m_display.windowIds(title).isEmpty(); }, 3000);
            }
            QVERIFY2(shown, qPrintable(line));
        } else if (verb == u"journal") {
            const auto lines = [&] {
                const QStringList journals = home.entryList({QStringLiteral("*.journal")});
                QFile file(home.filePath(journals.value(0)));
                return journals.isEmpty() || !file.open(QIODevice::ReadOnly)
                           ? 0
                           : int(file.readAll().count('\n'));
            };
            waitFor([&] { return lines() >= rest.toInt(); });
        } else if (verb == u"file") {
            waitFor([&] { return QFileInfo(home.filePath(rest)).size() > 0; });
        } else if (verb == u"contains" || verb == u"lacks") {
            QFile file(home.filePath(rest.section(u' ', 0, 0)));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(line));
            QVERIFY2(QString::fromUtf8(file.readAll()).contains(rest.section(u' ', 1)) ==
                         (verb == u"contains"),
                     qPrintable(line));
        } else if (verb == u"click") { // at fractions of the active window's width and height
            const QRect frame = m_display.activeGeometry();
            m_display.click({frame.left() + int(rest.section(u' ', 0, 0).toDouble() * frame.width()),
                             frame.top() + int(rest.section(u' ', 1).toDouble() * frame.height())});
        } else if (verb == u"last") {
            const QRect frame = m_display.activeGeometry();
            const auto [left, right] = lastMenuBarText(m_display.screenshot(), frame);
            m_display.click({(left + right) / 2, frame.top() + 11});
        } else if (verb == u"exit") {
            QVERIFY2(m_program.waitForFinished(WaitMs), "Ctrl+Q did not close the program");
        } else {
            QFAIL(qPrintable(u"unknown step " + line));
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (const QString missing = DesktopDisplay::missingTool(); !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed")));
        if (qEnvironmentVariableIsEmpty("VOLTRIX_APP")) QSKIP("VOLTRIX_APP is not set");
    }
    // Each row starts the program with its arguments in a folder of its own and runs its steps.
    // Under a window manager, a save, an open and a port scan give the keyboard back to the frame;
    // the Japanese menu bar with live readings on keeps its last menu reachable by the mouse; the
    // lanes view's keys work wherever the keyboard is in the frame.
    void userSession_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("steps");
        // Steps separated by ";". F5 scans for the receiver and records; Stop and the save dialog by
        // keys afterwards. (A plain save and the keys after it are where the replace row begins.)
        const auto row = [](const char *name, const QStringList &arguments, const QString &steps) {
            QTest::newRow(name) << arguments << steps.split(u';');
        };
        const QString recorded = QStringLiteral("active Voltrix;key F5;journal 12;key shift+F5;"
                                                "press ctrl+s Save File;");
        const QString firstSave =
            recorded + "type @/first.xlsx;key Return;file first.xlsx;closed Save File;active Voltrix;";
        const QString saveAgainAndQuit = QStringLiteral(
            "press ctrl+s Save File;key Escape;closed Save File;active Voltrix;key ctrl+q;exit");
        row("replace, then the keys", {},
            firstSave +
                "press ctrl+s Save File;type @/first.xlsx;key Return;another Save File;"
                "key alt+y;closed Save File;active Voltrix;" +
                saveAgainAndQuit);
        row("open, then the keys", {},
            firstSave + "key ctrl+o;window Open File;type @/first.xlsx;key Return;closed Open File;"
                        "active Voltrix;key F5;journal 12;key shift+F5;press ctrl+s Save File;key Escape;"
                        "closed Save File;active Voltrix;key ctrl+q;window Save File!");
        // Nothing listens on port 1: the publisher's state is a long "cannot reach" text.
        row("Japanese menu bar with live readings", {"--lang", "ja", "--mqtt", "mqtt://127.0.0.1:1"},
            QStringLiteral("active Voltrix;last menu;key a;window Voltrix のバージョン情報;key Escape;"
                           "closed Voltrix のバージョン情報;active Voltrix;key ctrl+q;exit"));
        // The view keys reach the graph with the keyboard anywhere in the frame (here in the table,
        // clicked); Save Graph saves the view shown.
        const QString saveGraph = QStringLiteral("active Voltrix;key alt+f;key s;key g;window Save File;");
        row("lanes view by keys", {},
            recorded + "key Escape;closed Save File;active Voltrix;click 0.7 0.3;key ctrl+2;" + saveGraph +
                "type @/lanes.svg;key Return;file lanes.svg;contains lanes.svg Ch1 DCV V;closed Save File;"
                "active Voltrix;click 0.7 0.3;key ctrl+1;" +
                saveGraph + "type @/main.svg;key Return;file main.svg;lacks main.svg Ch1 DCV V");
    }
    void userSession()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, steps);
        m_home.emplace();
        const QString app = isolatedProgram(QDir(m_home->path()));
        QVERIFY(!app.isEmpty());
        QVERIFY2(m_display.start(), qPrintable(m_display.errorString()));
        m_program.setProcessEnvironment(m_display.environment(isolatedEnvironment(QDir(m_home->path()))));
        // Its output goes to a file: a pipe nobody reads would stop the program once full.
        m_program.setStandardOutputFile(QDir(m_home->path()).filePath(QStringLiteral("output.txt")));
        m_program.setStandardErrorFile(QDir(m_home->path()).filePath(QStringLiteral("output.txt")),
                                       QIODevice::Append);
        m_program.start(app, QStringList{"--demo"} + arguments);
        QVERIFY(QTest::qWaitFor([this] { return !m_display.windowIds(QStringLiteral("Voltrix")).isEmpty(); },
                                WaitMs));
        for (const QString &line : steps) {
            step(line);
            if (QTest::currentTestFailed()) return;
        }
    }
    void cleanup()
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished(5000);
        }
        m_display.stop();
        m_home.reset();
    }

private:
    DesktopDisplay m_display;
    QProcess m_program;
    std::optional<QTemporaryDir> m_home;
    QString m_lastWindow;
};

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
