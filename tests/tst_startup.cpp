#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "core/common/AppPaths.h"
#include "core/common/QtMessages.h"
#include "core/session/LaunchPlan.h"
#include "core/session/StartupFaults.h"
#include "core/settings/SettingsStore.h"
#include "support/PtyReceiver.h"
#include "support/ScriptedPrompts.h"

using ReadFault = SettingsStore::ReadFault;
Q_DECLARE_METATYPE(ReadFault)

namespace
{

// How a test lays out the settings file.
enum class Layout { Missing, File, FileWithoutReadPermission, Folder };

const QString Damaged = QStringLiteral(
    "The settings file %1 is damaged. Voltrix uses the default of every setting it cannot read.");
const QString Unreadable =
    QStringLiteral("Cannot read the settings file %1. Voltrix uses its default settings.");

// Lays out `path`; false when the layout cannot be made for this user (root reads anything).
bool layOut(const QString &path, Layout layout, const QByteArray &content)
{
    if (layout == Layout::Missing) return true;
    if (layout == Layout::Folder) return QDir().mkpath(path);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return false;
    file.close();
    if (layout == Layout::File) return true;
    file.setPermissions(QFileDevice::WriteOwner);
    return !file.open(QIODevice::ReadOnly);
}

// Bytes no editor wrote, the same every run.
QByteArray noise(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 12345;
    for (char &byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    return bytes;
}

// What a plan asks for beyond the defaults, a word each.
QString summary(const LaunchPlan &plan)
{
    if (plan.action == LaunchPlan::Action::Refuse) return "refused: " + plan.refusal;
    if (plan.action != LaunchPlan::Action::Run) return "help or version";
    const UnattendedRun::Plan &run = plan.run;
    QStringList words;
    words << plan.ports << (plan.demo ? "demo" : "") << (run.record ? "record" : "")
          << (run.quit ? "quit" : "")
          << (run.durationSeconds ? QString::number(run.durationSeconds).append(u's') : "") << run.openPath
          << run.outputPath << plan.files.dataPdf << plan.files.graphPdf << plan.files.graphImage
          << plan.energyPath << (plan.graphView == GraphViewKind::AllChannels ? "all" : "")
          << (plan.graphZoom ? "whole" : "")
          << (plan.stream ? (plan.stream == StreamWriter::Format::Csv ? "csv" : "jsonl") : "");
    if (const PublishOptions &mqtt = plan.publishing; !mqtt.url.isEmpty())
        words << mqtt.url << mqtt.prefix << "pw=" + mqtt.password << (mqtt.discovery ? "on" : "off")
              << QString::number(mqtt.qos);
    return (words + plan.notices).filter(QRegularExpression(QStringLiteral("."))).join(u' ');
}

} // namespace

// A first start and the files start-up cannot read: the program says only what the user needs,
// goes on with defaults for what it could not read, tells each fault once and records as usual.
class TestStartup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void settingsReadFault_data()
    {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ReadFault>("fault");
        QTest::addColumn<QString>("alarm");            // setup_alarm as read, default "0"
        QTest::addColumn<ReadFault>("faultAfterSave"); // the file as a new store reads it after a save
        const QByteArray good("[VK47]\nsetup_alarm=1\n");
        const auto row = [](const char *name, Layout layout, const QByteArray &content, ReadFault fault,
                            const char *alarm, ReadFault after) {
            QTest::newRow(name) << layout << content << fault << QString::fromLatin1(alarm) << after;
        };
        row("first run", Layout::Missing, {}, ReadFault::None, "0", ReadFault::None);
        row("good", Layout::File, good, ReadFault::None, "1", ReadFault::None);
        // What can be read is kept; the next save writes the file anew without the rest.
        row("line that is no setting", Layout::File, good + "this is no setting\n", ReadFault::Damaged, "1",
            ReadFault::None);
        row("unclosed section", Layout::File, "[VK47\nsetup_alarm=1\n", ReadFault::Damaged, "1",
            ReadFault::None);
        row("noise", Layout::File, noise(512), ReadFault::Damaged, "0", ReadFault::None);
        // Nothing is read and nothing written over it.
        row("no read permission", Layout::FileWithoutReadPermission, good, ReadFault::Unreadable, "0",
            ReadFault::Unreadable);
        row("a folder in its place", Layout::Folder, {}, ReadFault::Unreadable, "0", ReadFault::Unreadable);
    }
    void settingsReadFault()
    {
        QFETCH(Layout, layout);
        QFETCH(QByteArray, content);
        QFETCH(ReadFault, fault);
        QFETCH(QString, alarm);
        QFETCH(ReadFault, faultAfterSave);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("regtest.ini"));
        if (!layOut(path, layout, content)) QSKIP("this user reads files without read permission (root)");
        {
            SettingsStore store(path);
            QCOMPARE(store.readFault(), fault);
            QCOMPARE(store.get(QStringLiteral("setup_alarm"), QStringLiteral("0")), alarm);
            store.save(QStringLiteral("setup_yscale"), QStringLiteral("2"));
        }
        const SettingsStore reread(path);
        QCOMPARE(reread.readFault(), faultAfterSave);
        if (faultAfterSave == ReadFault::None) {
            QCOMPARE(reread.get(QStringLiteral("setup_yscale"), QStringLiteral("0")), QStringLiteral("2"));
            QCOMPARE(reread.get(QStringLiteral("setup_alarm"), QStringLiteral("0")), alarm);
        }
        if (layout == Layout::FileWithoutReadPermission) {
            QFile file(path);
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content);
        }
    }
    void faultsAreToldOnce_data()
    {
        QTest::addColumn<QByteArray>("settings"); // null: a folder in the settings file's place
        QTest::addColumn<QByteArray>("label");    // null: no label file
        QTest::addColumn<QStringList>("told");    // %1: the settings file, %2: the label file
        const QString label =
            QStringLiteral("Cannot read the label file %2 as text. The window title shows no label.");
        QTest::newRow("nothing wrong")
            << QByteArray("[VK47]\nsetup_alarm=1\n") << QByteArray("ACME") << QStringList();
        QTest::newRow("no label file") << QByteArray("") << QByteArray() << QStringList();
        QTest::newRow("unreadable settings") << QByteArray() << QByteArray("ACME") << QStringList{Unreadable};
        QTest::newRow("both") << QByteArray("garbage") << QByteArray(2000, 'x')
                              << QStringList{Damaged, label};
    }
    void faultsAreToldOnce()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, label);
        QFETCH(QStringList, told);
        QTemporaryDir dir;
        const QString settingsPath = dir.filePath(QStringLiteral("regtest.ini"));
        const QString labelPath = dir.filePath(QStringLiteral("LabelName.txt"));
        QVERIFY(layOut(settingsPath, settings.isNull() ? Layout::Folder : Layout::File, settings));
        if (!label.isNull()) QVERIFY(layOut(labelPath, Layout::File, label));
        for (QString &text : told)
            text = text.replace(QStringLiteral("%1"), settingsPath).replace(QStringLiteral("%2"), labelPath);
        const SettingsStore store(settingsPath);
        StartupFaults faults;
        ScriptedPrompts prompts;
        faults.noteSettings(store);
        faults.noteLabelFile(Measurement::readLabelFile(labelPath), labelPath);
        faults.noteSettings(store); // start-up run twice tells no more
        faults.tell(prompts);
        QCOMPARE(prompts.messageTexts(), told);
        for (const ScriptedPrompts::Call &call : prompts.calls()) {
            QCOMPARE(call.title, QStringLiteral("Voltrix"));
            QCOMPARE(call.buttons, Prompts::Buttons::Ok);
            QCOMPARE(call.icon, Prompts::Icon::Warning);
        }
        faults.noteSettings(store);
        faults.tell(prompts);
        QCOMPARE(prompts.calls().size(), told.size());
    }
    void platformNotes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("category"); // null: none given
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("note");
        const auto row = [](const char *name, QtMsgType type, const char *category, const char *message,
                            bool note) {
            QTest::newRow(name) << int(type) << QByteArray(category) << QString::fromLatin1(message) << note;
        };
        // The unattended run below meets those of a missing runtime folder, display and sound server.
        row("no runtime folder", QtWarningMsg, "default",
            "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/runtime-u'", true);
        row("no category given", QtWarningMsg, nullptr, "This plugin does not support raise()", true);
        row("wayland on GNOME", QtWarningMsg, "default",
            "Warning: Ignoring XDG_SESSION_TYPE=wayland on Gnome. Use QT_QPA_PLATFORM=wayland to run on "
            "Wayland anyway.",
            true);
        row("platform plugin category", QtWarningMsg, "qt.qpa.plugin",
            "Could not find the Qt platform plugin \"wayland\" in \"\"", true);
        row("multimedia category", QtWarningMsg, "qt.multimedia.ffmpeg", "Using Qt multimedia with FFmpeg",
            true);
        row("a device that cannot seek", QtWarningMsg, "default",
            "QIODevice::seek (QFile, \"/tmp/pipe\"): Cannot call seek on a sequential device", true);
        // What is left for the user or for whoever switched it on.
        row("other warning", QtWarningMsg, "default", "QFile::remove: Empty or null file name", false);
        row("note text in another category", QtWarningMsg, "voltrix.link",
            "This plugin does not support raise()", false);
        row("critical of a Qt category", QtCriticalMsg, "qt.qpa.xcb", "could not connect to display", false);
        row("debug switched on", QtDebugMsg, "qt.qpa.xcb", "xcb: connected", false);
    }
    void platformNotes()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, category);
        QFETCH(QString, message);
        QFETCH(bool, note);
        QCOMPARE(QtMessages::isPlatformNote(QtMsgType(type),
                                            category.isNull() ? nullptr : category.constData(), message),
                 note);
    }
    void unattendedRunSaysWhatMatters_data()
    {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("told"); // %1: the settings file; empty: nothing
        QTest::newRow("first run") << Layout::Missing << QByteArray() << QString();
        QTest::newRow("damaged settings")
            << Layout::File << QByteArray("[VK47]\nsetup_yscale=2\nnot a setting\n") << Damaged;
    }
    // The program run unattended as on a first start (no runtime folder, no display, no sound
    // server, the platform chosen by the program) prints its own lines and nothing of Qt's.
    void unattendedRunSaysWhatMatters()
    {
        QFETCH(Layout, layout);
        QFETCH(QByteArray, content);
        QFETCH(QString, told);
        QTemporaryDir dir;
        const QDir home(dir.path());
        const QString app = isolatedProgram(home);
        if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
        const QString settingsPath = home.filePath(QStringLiteral("config/regtest.ini"));
        QVERIFY(layOut(settingsPath, layout, content));
        QProcessEnvironment env = isolatedEnvironment(home);
        for (const char *name :
             {"XDG_RUNTIME_DIR", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "QT_LOGGING_RULES"})
            env.remove(QLatin1String(name));
        QProcess program;
        program.setProcessEnvironment(env);
        const QString output = home.filePath(QStringLiteral("rec.csv"));
        program.start(app,
                      {QStringLiteral("--demo"), QStringLiteral("--record"), QStringLiteral("--duration"),
                       QStringLiteral("2"), QStringLiteral("--output"), output, QStringLiteral("--quit")});
        QVERIFY(program.waitForFinished(60000));
        const QString said = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), QString());
        QStringList expected;
        if (!told.isEmpty())
            expected << QStringLiteral("voltrix: [Voltrix] %1 -> OK").arg(told.arg(settingsPath));
        expected << QStringLiteral("voltrix: recording for 2 s")
                 << QStringLiteral("voltrix: record written to ") + output
                 << QStringLiteral(
                        "voltrix: [Save File!] (yymmdd_hhnnss.xlsx).  This record didn't saved ! Do "
                        "you want to save? -> No");
        QString lines = said;
        lines.replace(QRegularExpression(QStringLiteral("\\(\\d{6}_\\d{6}\\.xlsx\\)")),
                      QStringLiteral("(yymmdd_hhnnss.xlsx)"));
        QCOMPARE(lines.split(u'\n', Qt::SkipEmptyParts), expected);
    }
    // Where records, journals and the log file go, by the program's folder.
    void recordsFolder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("beside"); // false: the per-user data folder
        QTest::newRow("installed, run by root") << "/usr/bin" << true << false;
        QTest::newRow("installed locally, run by root") << "/usr/local/bin/" << true << false;
        QTest::newRow("installed, run by a user") << "/usr/bin" << false << false;
        QTest::newRow("build tree") << "/home/ann/voltrix/build/dev/src" << true << true;
        QTest::newRow("unpacked") << "/tmp/root/usr/bin" << true << true;
        QTest::newRow("a folder named like /usr") << "/usr2/bin" << true << true;
        QTest::newRow("read-only folder") << "/media/cd/voltrix" << false << false;
        QTest::newRow("no program folder") << "" << true << false;
    }
    void recordsFolder()
    {
        QFETCH(QString, program);
        QFETCH(bool, writable);
        QFETCH(bool, beside);
        const QString data = QStringLiteral("/home/ann/.local/share/Voltrix");
        QCOMPARE(AppPaths::recordsFolderFor(program, writable, data), beside ? program : data);
    }
    // Plans from argument lists: what runs, what is refused (status 2, nothing started), and the
    // stored publishing replaced by --mqtt, overridden by --mqtt-* and the environment's password.
    void launchPlan_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("stored");   // the stored broker (topic stored/p, password kept, QoS 1)
        QTest::addColumn<QString>("password"); // $VOLTRIX_MQTT_PASSWORD, "" = unset
        QTest::addColumn<QString>("plan");
        // clang-format off
        QTest::newRow("unattended") << QStringList{"--ports", "a,b", "--record", "--duration", "2147483", "--output", "r.XLSX", "--print-data", "t.pdf", "--print-graph", "g.PDF", "--save-graph", "g.svg", "--energy", "e.csv", "--quit"} << "" << "" << "a,b record quit 2147483s r.XLSX t.pdf g.PDF g.svg e.csv";
        QTest::newRow("opened") << QStringList{"--demo", "--open", "r.xls", "--output=r.csv", "--graph-view", "all", "--graph-zoom", "whole", "--lang", "ja", "--stream", "csv", "--save-graph", "g.JPG"} << "" << "" << "demo r.xls r.csv g.JPG all whole csv";
        QTest::newRow("help first") << QStringList{"--duration", "x", "--help"} << "" << "" << "help or version";
        QTest::newRow("stored") << QStringList{"--stream", "jsonl", "--save-graph", "g.png"} << "mqtt://s" << "" << "g.png jsonl mqtt://s stored/p pw=kept on 1";
        QTest::newRow("--mqtt replaces") << QStringList{"--mqtt", "mqtt://h"} << "mqtt://s" << "" << "mqtt://h voltrix/box pw= on 0";
        QTest::newRow("options override") << QStringList{"--mqtt-topic", "t", "--mqtt-discovery", "off", "--mqtt-qos", "0"} << "mqtt://s" << "env" << "mqtt://s t pw=env off 0";
        QTest::newRow("environment password") << QStringList{"--mqtt", "mqtt://u@h", "--save-graph", "g.bmp"} << "" << "env" << "g.bmp mqtt://u@h voltrix/box pw=env on 0";
        QTest::newRow("stored unusable") << QStringList{} << "mqtt//s" << "" << "publishing is off: the broker address does not parse: expected mqtt://[user[:password]@]host[:port] or mqtts://[user[:password]@]host[:port]";
        QTest::newRow("stored, topic unusable") << QStringList{"--mqtt-topic", "a/#"} << "mqtt://s" << "" << "publishing is off: the topic prefix must not hold +, # or a NUL character";
        QTest::newRow("stored, qos unusable") << QStringList{"--mqtt-qos", "2"} << "mqtt://s" << "" << "refused: --mqtt-qos takes 0 or 1";
        QTest::newRow("scheme") << QStringList{"--mqtt", "http://h"} << "" << "" << "refused: unknown scheme \"http\": use mqtt:// or mqtts://";
        QTest::newRow("port") << QStringList{"--mqtt", "mqtt://h:70000"} << "" << "" << "refused: the port must be a number from 1 to 65535";
        QTest::newRow("host") << QStringList{"--mqtt", "mqtts://"} << "" << "" << "refused: the broker address names no host";
        QTest::newRow("empty prefix") << QStringList{"--mqtt", "mqtt://h", "--mqtt-topic", ""} << "" << "" << "refused: the topic prefix is empty";
        QTest::newRow("reserved") << QStringList{"--mqtt", "mqtt://h", "--mqtt-topic", "homeassistant/x"} << "" << "" << "refused: the topic prefix must not be homeassistant or lie under it: Home Assistant's own topics are there";
        QTest::newRow("ca") << QStringList{"--mqtt", "mqtts://h", "--mqtt-ca", "/nonexistent/ca.crt"} << "" << "" << "refused: cannot read the CA file /nonexistent/ca.crt: No such file or directory";
        QTest::newRow("ca not PEM") << QStringList{"--mqtt", "mqtts://h", "--mqtt-ca", QCoreApplication::applicationFilePath()} << "" << "" << "refused: cannot read the CA file " + QCoreApplication::applicationFilePath() + ": it holds no PEM certificate";
        QTest::newRow("discovery, then stream") << QStringList{"--mqtt", "mqtt://h", "--mqtt-discovery", "yes", "--stream", "xml"} << "" << "" << "refused: --stream takes jsonl or csv";
        QTest::newRow("discovery") << QStringList{"--mqtt", "mqtt://h", "--mqtt-discovery", "yes"} << "" << "" << "refused: --mqtt-discovery takes on or off";
        QTest::newRow("duration") << QStringList{"--duration", "x"} << "" << "" << "refused: --duration takes a whole number of seconds";
        QTest::newRow("negative duration") << QStringList{"--duration", "-1"} << "" << "" << "refused: --duration takes a whole number of seconds";
        QTest::newRow("too long") << QStringList{"--duration", "2147484", "--output", "r.txt"} << "" << "" << "refused: --duration takes at most 2147483 seconds (about 24 days)";
        QTest::newRow("output") << QStringList{"--output", "r.txt", "--print-data", "t"} << "" << "" << "refused: --output takes a file name ending in .csv or .xlsx";
        QTest::newRow("print data") << QStringList{"--print-data", "t", "--print-graph", "g"} << "" << "" << "refused: --print-data takes a file name ending in .pdf";
        QTest::newRow("print graph") << QStringList{"--print-graph", "g", "--save-graph", "g.gif"} << "" << "" << "refused: --print-graph takes a file name ending in .pdf";
        QTest::newRow("save graph") << QStringList{"--save-graph", "g.gif", "--graph-view", "x"} << "" << "" << "refused: --save-graph takes a file name ending in .bmp, .jpg, .png or .svg";
        QTest::newRow("graph view") << QStringList{"--graph-view", "sideways", "--graph-zoom", "2"} << "" << "" << "refused: --graph-view takes main or all";
        QTest::newRow("graph zoom") << QStringList{"--graph-zoom", "2", "--lang", "fr"} << "" << "" << "refused: --graph-zoom takes whole";
        QTest::newRow("language") << QStringList{"--lang", "fr", "--mqtt", "x"} << "" << "" << "refused: --lang takes en, ja or zh_TW";
        QTest::newRow("no such option") << QStringList{"--colour", "--help"} << "" << "" << "refused: Unknown option 'colour'.";
        QTest::newRow("no value") << QStringList{"--ports"} << "" << "" << "refused: Missing value after '--ports'.";
        // clang-format on
    }
    void launchPlan()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, stored);
        QFETCH(QString, password);
        LaunchPlan::Surroundings surroundings{{stored, "kept", "stored/p", true, 1, {}}, {}, "box"};
        if (!password.isEmpty()) surroundings.mqttPassword = password;
        QTEST(summary(LaunchPlan::read(QStringList{"voltrix"} + arguments, surroundings)), "plan");
    }
    // --help in the language asked for, the settings' choice when none is.
    void commandLineLanguage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("storedLanguage");
        QTest::addColumn<QString>("said"); // the start of what it prints
        QTest::newRow("English") << QStringList{"--lang", "en", "--help"} << QByteArray("ja") << "Usage: ";
        QTest::newRow("Japanese") << QStringList{"--lang=ja", "--help"} << QByteArray() << "使い方: ";
        QTest::newRow("the settings' choice") << QStringList{"--help"} << QByteArray("zh_TW") << "用法：";
    }
    void commandLineLanguage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, storedLanguage);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QDir home(dir.path());
        const QString app = isolatedProgram(home);
        if (app.isEmpty()) QSKIP("VOLTRIX_APP is not set");
        if (!storedLanguage.isEmpty())
            QVERIFY(layOut(home.filePath(QStringLiteral("config/regtest.ini")), Layout::File,
                           "[VK47]\nlanguage=" + storedLanguage + '\n'));
        QProcess program;
        program.setProcessEnvironment(isolatedEnvironment(home));
        program.start(app, arguments);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QString output =
            QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
        QVERIFY2(output.startsWith(said), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
