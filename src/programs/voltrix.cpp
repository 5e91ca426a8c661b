#include "core/common/Clock.h"
#include "core/common/QtMessages.h"
#include "core/energy/EnergyTable.h"
#include "core/graph/GraphViewState.h"
#include "core/help/SystemLanguage.h"
#include "core/help/UiLanguage.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/publish/MqttPublisher.h"
#include "core/publish/PublishSettings.h"
#include "core/publish/ReadingPublisher.h"
#include "core/publish/StreamWriter.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/RecordRecovery.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/WorkbookSaver.h"
#include "core/session/Session.h"
#include "core/session/TerminationSignals.h"
#include "core/session/UnattendedPrompts.h"
#include "core/session/UnattendedRun.h"
#include "core/settings/SettingsStore.h"
#include "core/simulator/Pty.h"
#include "core/simulator/ReceiverSimulator.h"
#include "core/views/EnergyFollower.h"
#include "core/views/GraphLanes.h"
#include "ui/monitor/QtAlarmSound.h"
#include "ui/printing/PrintFeature.h"
#include "ui/shell/MainFm.h"
#include "ui/shell/QtPrompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QSysInfo>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace
{

bool hasOption(int argc, char **argv, std::initializer_list<const char *> names)
{
    for (int i = 1; i < argc; ++i)
        for (const char *name : names)
            if (qstrcmp(argv[i], name) == 0 ||
                QByteArray(argv[i]).startsWith(QByteArray(QByteArray(name) + '=')))
                return true;
    return false;
}

// A run nobody watches, and one that only prints its help or version, must not fail for want
// of a display.
void chooseOffscreenWhenHeadless(int argc, char **argv)
{
    const bool unattended =
        hasOption(argc, argv, {"--record", "--quit", "--help", "-h", "--help-all", "-?", "--version", "-v"});
    const bool display = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (unattended && !display && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The value of --lang, read before the parser so that the help text comes in that language.
QString languageArgument(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--lang" && i + 1 < argc) return QString::fromLocal8Bit(argv[i + 1]);
        if (arg.startsWith("--lang=")) return QString::fromLocal8Bit(arg.mid(7));
    }
    return {};
}

const char *const UnattendedHelp = QT_TRANSLATE_NOOP("CommandLine", R"(
Unattended runs (--record or --quit) never wait on a question; each question is printed to
standard error and answered by rule:
  "Time out! Continue to receive data now? "   Yes, keep recording
  "Clear record!"                               Yes
  "Save File!" (the record has not been saved)  No; --output writes the record
    (also when the program closes)
  "Not any record !", "Not any graph!"          the output named fails (exit status 2)
  any other Yes/No question                     No
  messages with an OK button                    OK
  file dialogs                                  cancelled
A record left unsaved when Voltrix last ended is recovered and saved without asking. A record
that could not be written (to --output, or by an automatic or recovering save) keeps its journal
for the next start, whatever the save question is answered, and the exit status is 2.
SIGTERM and SIGHUP end an unattended run as --quit does after Stop: what was asked for is
written first.
Exit status: 0 done, 1 no recording could be started, 2 the output could not be written,
3 the workbook given to --open could not be read; 2 also for an option or value that cannot
be used (nothing is started then). A broker that cannot be reached never stops the recording:
it is told once on standard error and reconnected by itself.)");

// What --mqtt and --stream ask for, checked before anything starts.
struct LiveReadings {
    PublishOptions mqtt;
    bool mqttGiven = false;
    bool stream = false;
    StreamWriter::Format streamFormat = StreamWriter::Format::Jsonl;
};

// An option or a value that cannot be used: nothing is started.
constexpr int BadOption = 2;

} // namespace

int main(int argc, char **argv)
{
    QtMessages::dropPlatformNotes();
    chooseOffscreenWhenHeadless(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltrix"));
    QApplication::setApplicationVersion(QStringLiteral(VOLTRIX_VERSION));

    SettingsStore store;
    const UiLanguage::Translations translations(UiLanguage::choose(
        languageArgument(argc, argv), UiLanguage::stored(store), SystemLanguage::systemLanguageId()));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine",
                                    "Records the readings of up to six clamp meters from their "
                                    "radio receiver.") +
        QCoreApplication::translate("CommandLine", UnattendedHelp));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portsOption(
        QStringLiteral("ports"),
        QCoreApplication::translate("CommandLine", "The devices behind COM 1, COM 2, ... (comma separated; "
                                                   "default: $VOLTRIX_PORTS, else the system's ports)."),
        QStringLiteral("DEV1,DEV2,..."));
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QCoreApplication::translate("CommandLine",
                                    "Start the built-in simulated receiver (six meters) and put "
                                    "it first in the port list."));
    const QCommandLineOption recordOption(
        QStringLiteral("record"),
        QCoreApplication::translate("CommandLine", "Press Start once the window is up."));
    const QCommandLineOption durationOption(
        QStringLiteral("duration"),
        QCoreApplication::translate("CommandLine", "Press Stop after this many seconds of recording."),
        QStringLiteral("SECONDS"));
    const QCommandLineOption outputOption(
        QStringLiteral("output"),
        QCoreApplication::translate(
            "CommandLine", "After Stop (or after --open), write the record to FILE: .xlsx a workbook "
                           "as Save Data writes it, .csv the table as RFC 4180 CSV in UTF-8."),
        QStringLiteral("FILE"));
    const QCommandLineOption energyOption(
        QStringLiteral("energy"),
        QCoreApplication::translate(
            "CommandLine", "After Stop (or after --open), write the energy table to FILE as RFC 4180 CSV: "
                           "a row per current channel (Ch1..Ch6) and a row Total, with kWh, average W, "
                           "seconds covered and cost; after Stop the run's since Start."),
        QStringLiteral("FILE.csv"));
    const QCommandLineOption openOption(
        QStringLiteral("open"),
        QCoreApplication::translate("CommandLine",
                                    "Open the record of a workbook (.xlsx or .xls) at start, as Open does."),
        QStringLiteral("FILE"));
    const QCommandLineOption saveGraphOption(
        QStringLiteral("save-graph"),
        QCoreApplication::translate(
            "CommandLine", "After Stop, save the graph page shown as Save Graph does (.bmp, .jpg, .png "
                           "or .svg by the name's extension)."),
        QStringLiteral("FILE"));
    const QCommandLineOption printDataOption(
        QStringLiteral("print-data"),
        QCoreApplication::translate("CommandLine", "After Stop, print the table into the PDF file FILE."),
        QStringLiteral("FILE.pdf"));
    const QCommandLineOption printGraphOption(
        QStringLiteral("print-graph"),
        QCoreApplication::translate("CommandLine",
                                    "After Stop, print the graph page shown into the PDF file FILE."),
        QStringLiteral("FILE.pdf"));
    const QCommandLineOption graphViewOption(
        QStringLiteral("graph-view"),
        QCoreApplication::translate(
            "CommandLine", "The graph view shown, printed and saved: main (the main channel's page, the "
                           "default) or all (a lane for every channel)."),
        QStringLiteral("main|all"), QStringLiteral("main"));
    const QCommandLineOption graphZoomOption(
        QStringLiteral("graph-zoom"),
        QCoreApplication::translate("CommandLine", "whole: the graph shows the whole record."),
        QStringLiteral("whole"));
    const QCommandLineOption langOption(
        QStringLiteral("lang"),
        QCoreApplication::translate("CommandLine",
                                    "The language of the windows: en, ja or zh_TW (default: the one "
                                    "chosen in Options, else the system's)."),
        QStringLiteral("LANG"));
    const QCommandLineOption quitOption(QStringLiteral("quit"),
                                        QCoreApplication::translate("CommandLine", "Exit when done."));
    const QCommandLineOption mqttOption(
        QStringLiteral("mqtt"),
        QCoreApplication::translate(
            "CommandLine",
            "Publish every recorded sample to this MQTT broker: mqtt://[user[:password]@]host[:port] "
            "(port 1883) or mqtts://... (TLS, port 8883). The password may also come from "
            "$VOLTRIX_MQTT_PASSWORD."),
        QStringLiteral("URL"));
    const QCommandLineOption mqttTopicOption(
        QStringLiteral("mqtt-topic"),
        QCoreApplication::translate("CommandLine", "The topics' prefix (default voltrix/<host name>)."),
        QStringLiteral("PREFIX"));
    const QCommandLineOption mqttDiscoveryOption(
        QStringLiteral("mqtt-discovery"),
        QCoreApplication::translate("CommandLine", "Home Assistant discovery (default on)."),
        QStringLiteral("on|off"));
    const QCommandLineOption mqttQosOption(
        QStringLiteral("mqtt-qos"),
        QCoreApplication::translate("CommandLine", "Quality of service of the readings (default 0)."),
        QStringLiteral("0|1"));
    const QCommandLineOption mqttCaOption(
        QStringLiteral("mqtt-ca"),
        QCoreApplication::translate(
            "CommandLine",
            "The CA certificate of an mqtts:// broker (default: the system's CA certificates)."),
        QStringLiteral("FILE"));
    const QCommandLineOption streamOption(
        QStringLiteral("stream"),
        QCoreApplication::translate(
            "CommandLine",
            "Write every recorded sample to standard output as it is recorded: a JSON object a "
            "line, or CSV after a header line. Every other message goes to standard error."),
        QStringLiteral("jsonl|csv"));
    parser.addOptions({portsOption, demoOption, openOption, recordOption, durationOption, outputOption, energyOption,
                       saveGraphOption, printDataOption, printGraphOption, graphViewOption, graphZoomOption,
                       langOption, quitOption, mqttOption, mqttTopicOption, mqttDiscoveryOption,
                       mqttQosOption, mqttCaOption, streamOption});
    // QCommandLineParser would end an unknown option or a missing value with status 1.
    if (!parser.parse(QCoreApplication::arguments())) {
        QTextStream(stderr) << "voltrix: " << parser.errorText() << Qt::endl;
        return BadOption;
    }
    parser.process(app); // --help and --version

    UnattendedRun::Plan plan;
    plan.record = parser.isSet(recordOption);
    plan.quit = parser.isSet(quitOption);
    plan.openPath = parser.value(openOption);
    plan.outputPath = parser.value(outputOption);
    bool durationOk = true;
    if (parser.isSet(durationOption)) plan.durationSeconds = parser.value(durationOption).toInt(&durationOk);
    const PrintFeature::UnattendedFiles printFiles{
        parser.value(printDataOption), parser.value(printGraphOption), parser.value(saveGraphOption)};
    QString planError = durationOk ? UnattendedRun::checkPlan(plan)
                                   : QStringLiteral("--duration takes a whole number of seconds");
    if (planError.isEmpty()) planError = PrintFeature::checkFiles(printFiles);
    GraphViewKind graphView = GraphViewKind::MainChannel;
    int graphZoom = 0;
    if (planError.isEmpty() && !GraphViewState::parseView(parser.value(graphViewOption), &graphView))
        planError = QStringLiteral("--graph-view takes main or all");
    if (planError.isEmpty() && !GraphViewState::parseZoom(parser.value(graphZoomOption), &graphZoom))
        planError = QStringLiteral("--graph-zoom takes whole");
    if (planError.isEmpty() && parser.isSet(langOption) && !UiLanguage::parse(parser.value(langOption)))
        planError = QStringLiteral("--lang takes en, ja or zh_TW");
    if (!planError.isEmpty()) {
        QTextStream(stderr) << "voltrix: " << planError << Qt::endl;
        return BadOption;
    }

    LiveReadings live;
    live.mqtt = PublishSettings::load(store);
    live.mqttGiven = parser.isSet(mqttOption);
    if (live.mqttGiven) {
        live.mqtt = PublishOptions{};
        live.mqtt.url = parser.value(mqttOption);
        live.mqtt.prefix = PublishRules::defaultPrefix(QSysInfo::machineHostName());
    }
    live.mqtt.password = qEnvironmentVariable("VOLTRIX_MQTT_PASSWORD", live.mqtt.password);
    QString liveError;
    if (parser.isSet(mqttTopicOption)) live.mqtt.prefix = parser.value(mqttTopicOption);
    if (parser.isSet(mqttCaOption)) live.mqtt.caFile = parser.value(mqttCaOption);
    if (parser.isSet(mqttDiscoveryOption) &&
        !PublishRules::parseSwitch(parser.value(mqttDiscoveryOption), &live.mqtt.discovery))
        liveError = QCoreApplication::translate("CommandLine", "--mqtt-discovery takes on or off");
    if (parser.isSet(mqttQosOption) && !PublishRules::parseQos(parser.value(mqttQosOption), &live.mqtt.qos))
        liveError = QCoreApplication::translate("CommandLine", "--mqtt-qos takes 0 or 1");
    live.stream = parser.isSet(streamOption);
    if (live.stream && !StreamWriter::parseFormat(parser.value(streamOption), &live.streamFormat))
        liveError = QCoreApplication::translate("CommandLine", "--stream takes jsonl or csv");
    BrokerAddress address;
    if (liveError.isEmpty() && !live.mqtt.url.isEmpty()) {
        const QString problem = PublishRules::check(live.mqtt, &address);
        // Stored settings that no longer work leave publishing off; the command line's are refused.
        if (live.mqttGiven)
            liveError = problem;
        else if (!problem.isEmpty()) {
            QTextStream(stderr)
                << "voltrix: "
                << QCoreApplication::translate("CommandLine", "publishing is off: %1").arg(problem)
                << Qt::endl;
            live.mqtt.url.clear();
        }
    }
    if (!liveError.isEmpty()) {
        QTextStream(stderr) << "voltrix: " << liveError << Qt::endl;
        return BadOption;
    }

    // The demonstration receiver lives on a pseudo-terminal of its own for the whole run.
    std::unique_ptr<Pty> demoPty;
    std::unique_ptr<ReceiverSimulator> demoReceiver;
    PortDirectory ports = PortDirectory::fromSources(parser.value(portsOption));
    if (parser.isSet(demoOption)) {
        demoPty = std::make_unique<Pty>();
        if (!demoPty->isValid()) {
            QTextStream(stderr) << "voltrix: cannot start the simulated receiver: " << demoPty->errorString()
                                << Qt::endl;
            return EXIT_FAILURE;
        }
        demoReceiver = std::make_unique<ReceiverSimulator>(*demoPty);
        demoReceiver->setMeters(ReceiverSimulator::demoScene());
        demoReceiver->start();
        ports = PortDirectory(QStringList{demoPty->slavePath()} + ports.devices());
    }

    const bool unattended = plan.record || plan.quit;
    SystemClock clock;
    QtSerialControl serial(ports);
    UnattendedPrompts unattendedPrompts;
    QtPrompts dialogPrompts(nullptr, &store);
    Session session(serial, clock, unattended ? static_cast<Prompts &>(unattendedPrompts) : dialogPrompts,
                    store);
    QtAlarmSound sound;
    session.setAlarmSound(&sound);
    session.lanes().state().setView(graphView);
    session.lanes().state().setZoom(graphZoom);

    // Opt-in for the soak test: each record split's duration in microseconds, a line each.
    if (const QString splitLog = qEnvironmentVariable("VOLTRIX_SPLIT_LOG"); !splitLog.isEmpty())
        QObject::connect(&session.recording(), &RecordingControl::recordSplit, &app, [splitLog](qint64 ns) {
            QFile file(splitLog);
            if (file.open(QIODevice::Append | QIODevice::Text))
                file.write(QByteArray::number(ns / 1000) + '\n');
        });

    // Live readings: standard output carries nothing else in stream mode. A reader that goes
    // away ends the stream, and a standard error closed with it must not end the recording.
    std::unique_ptr<StreamWriter> stream;
    if (live.stream) {
        std::signal(SIGPIPE, SIG_IGN);
        stream = std::make_unique<StreamWriter>(live.streamFormat, STDOUT_FILENO, [](const QString &message) {
            QTextStream(stderr) << "voltrix: " << message << Qt::endl;
        });
        session.readings().addOutput(stream.get());
    }
    if (unattended)
        QObject::connect(&session.mqtt(), &MqttPublisher::stateChanged, &app,
                         [](MqttClient::State state, const QString &text) {
                             if (state == MqttClient::State::Connected || state == MqttClient::State::Failed)
                                 QTextStream(stderr) << "voltrix: mqtt: " << text << Qt::endl;
                         });
    if (!live.mqtt.url.isEmpty()) {
        QString error;
        if (!session.mqtt().start(live.mqtt, &error)) {
            QTextStream(stderr) << "voltrix: mqtt: " << error << Qt::endl;
            if (unattended) return BadOption;
        }
    }

    MainFm window(session);
    dialogPrompts.setDialogParent(&window);
    window.show();

    UnattendedRun run(session.recording(), session.openRecord(), session.workbookSaver(), plan);
    window.printFeature()->addUnattendedOutputs(run, printFiles);
    QObject::connect(&run, &UnattendedRun::finished, &app, [&window](int code) {
        window.close();
        QCoreApplication::exit(code);
    });
    if (const QString energyPath = parser.value(energyOption); !energyPath.isEmpty())
        run.addOutput(QStringLiteral("energy written"), energyPath, [&session, energyPath, &plan] {
            // An opened record is no recording: its energy is taken from its samples.
            const EnergyMeter meter =
                plan.record
                    ? session.energy().run()
                    : EnergyMeter::ofRecord(session.record().snapshot(), EnergyRates::of(session.settings()));
            return EnergyTable::write(meter, energyPath);
        });
    run.setRecordKeeper([&session] { return session.journal().keepCurrentForRecovery(); });
    if (unattended) {
        QObject::connect(&session.recovery(), &RecordRecovery::recordRecovered, &run,
                         &UnattendedRun::reportRecovered);
        QObject::connect(&session, &Session::recordKept, &run, &UnattendedRun::noteRecordKept);
    }
    // Log-out and shut-down close the program as its window's close box does, the journal on disk
    // first and kept whatever the save question gets for an answer; an unattended run writes what
    // it was asked for first, as --quit does after Stop, and ends with the status that earned.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &window,
                     [&session, &window, &run, unattended] {
                         session.journal().keepCurrentForRecovery();
                         if (unattended)
                             run.closeBySignal();
                         else
                             window.close();
                     });
    QTimer::singleShot(0, &run, [&session, &run, unattended] {
        session.tellStartupFaults();
        // What a killed program was writing when it died is of no use.
        session.workbookSaver().removeAbandonedFiles();
        session.journal().removeAbandonedLocks();
        // What a crash left unsaved comes back before anything is recorded or opened.
        session.recovery().recoverAll(unattended ? RecordRecovery::Asking::DoNotAsk
                                                 : RecordRecovery::Asking::Ask);
        run.begin();
    });
    return app.exec();
}
