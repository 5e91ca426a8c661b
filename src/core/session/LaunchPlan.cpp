#include "core/session/LaunchPlan.h"

#include "core/language/UiLanguage.h"
#include "core/printing/GraphImageExport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace
{

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

// Every option of the command line, in the order --help lists them.
struct OptionTable {
    const QCommandLineOption ports{
        QStringLiteral("ports"),
        QCoreApplication::translate("CommandLine", "The devices behind COM 1, COM 2, ... (comma separated; "
                                                   "default: $VOLTRIX_PORTS, else the system's ports)."),
        QStringLiteral("DEV1,DEV2,...")};
    const QCommandLineOption demo{
        QStringLiteral("demo"),
        QCoreApplication::translate("CommandLine",
                                    "Start the built-in simulated receiver (six meters) and put "
                                    "it first in the port list.")};
    const QCommandLineOption record{
        QStringLiteral("record"),
        QCoreApplication::translate("CommandLine", "Press Start once the window is up.")};
    const QCommandLineOption duration{
        QStringLiteral("duration"),
        QCoreApplication::translate("CommandLine", "Press Stop after this many seconds of recording."),
        QStringLiteral("SECONDS")};
    const QCommandLineOption output{
        QStringLiteral("output"),
        QCoreApplication::translate(
            "CommandLine", "After Stop (or after --open), write the record to FILE: .xlsx a workbook "
                           "as Save Data writes it, .csv the table as RFC 4180 CSV in UTF-8."),
        QStringLiteral("FILE")};
    const QCommandLineOption energy{
        QStringLiteral("energy"),
        QCoreApplication::translate(
            "CommandLine", "After Stop (or after --open), write the energy table to FILE as RFC 4180 CSV: "
                           "a row per current channel (Ch1..Ch6) and a row Total, with kWh, average W, "
                           "seconds covered and cost; after Stop the run's since Start."),
        QStringLiteral("FILE.csv")};
    const QCommandLineOption open{
        QStringLiteral("open"),
        QCoreApplication::translate("CommandLine",
                                    "Open the record of a workbook (.xlsx or .xls) at start, as Open does."),
        QStringLiteral("FILE")};
    const QCommandLineOption saveGraph{
        QStringLiteral("save-graph"),
        QCoreApplication::translate(
            "CommandLine", "After Stop, save the graph page shown as Save Graph does (.bmp, .jpg, .png "
                           "or .svg by the name's extension)."),
        QStringLiteral("FILE")};
    const QCommandLineOption printData{
        QStringLiteral("print-data"),
        QCoreApplication::translate("CommandLine", "After Stop, print the table into the PDF file FILE."),
        QStringLiteral("FILE.pdf")};
    const QCommandLineOption printGraph{
        QStringLiteral("print-graph"),
        QCoreApplication::translate("CommandLine",
                                    "After Stop, print the graph page shown into the PDF file FILE."),
        QStringLiteral("FILE.pdf")};
    const QCommandLineOption graphView{
        QStringLiteral("graph-view"),
        QCoreApplication::translate(
            "CommandLine", "The graph view shown, printed and saved: main (the main channel's page, the "
                           "default) or all (a lane for every channel)."),
        QStringLiteral("main|all"), QStringLiteral("main")};
    const QCommandLineOption graphZoom{
        QStringLiteral("graph-zoom"),
        QCoreApplication::translate("CommandLine", "whole: the graph shows the whole record."),
        QStringLiteral("whole")};
    const QCommandLineOption lang{
        QStringLiteral("lang"),
        QCoreApplication::translate("CommandLine",
                                    "The language of the windows: en, ja or zh_TW (default: the one "
                                    "chosen in Options, else the system's)."),
        QStringLiteral("LANG")};
    const QCommandLineOption quit{QStringLiteral("quit"),
                                  QCoreApplication::translate("CommandLine", "Exit when done.")};
    const QCommandLineOption mqtt{
        QStringLiteral("mqtt"),
        QCoreApplication::translate(
            "CommandLine",
            "Publish every recorded sample to this MQTT broker: mqtt://[user[:password]@]host[:port] "
            "(port 1883) or mqtts://... (TLS, port 8883). The password may also come from "
            "$VOLTRIX_MQTT_PASSWORD."),
        QStringLiteral("URL")};
    const QCommandLineOption mqttTopic{
        QStringLiteral("mqtt-topic"),
        QCoreApplication::translate("CommandLine", "The topics' prefix (default voltrix/<host name>)."),
        QStringLiteral("PREFIX")};
    const QCommandLineOption mqttDiscovery{
        QStringLiteral("mqtt-discovery"),
        QCoreApplication::translate("CommandLine", "Home Assistant discovery (default on)."),
        QStringLiteral("on|off")};
    const QCommandLineOption mqttQos{
        QStringLiteral("mqtt-qos"),
        QCoreApplication::translate("CommandLine", "Quality of service of the readings (default 0)."),
        QStringLiteral("0|1")};
    const QCommandLineOption mqttCa{
        QStringLiteral("mqtt-ca"),
        QCoreApplication::translate(
            "CommandLine",
            "The CA certificate of an mqtts:// broker (default: the system's CA certificates)."),
        QStringLiteral("FILE")};
    const QCommandLineOption stream{
        QStringLiteral("stream"),
        QCoreApplication::translate(
            "CommandLine",
            "Write every recorded sample to standard output as it is recorded: a JSON object a "
            "line, or CSV after a header line. Every other message goes to standard error."),
        QStringLiteral("jsonl|csv")};

    explicit OptionTable(QCommandLineParser &parser)
    {
        parser.setApplicationDescription(
            QCoreApplication::translate("CommandLine",
                                        "Records the readings of up to six clamp meters from their "
                                        "radio receiver.") +
            QCoreApplication::translate("CommandLine", UnattendedHelp));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({ports,     demo,      open,          record,    duration,  output, energy,
                           saveGraph, printData, printGraph,    graphView, graphZoom, lang,   quit,
                           mqtt,      mqttTopic, mqttDiscovery, mqttQos,   mqttCa,    stream});
    }
};

LaunchPlan refused(const QString &why)
{
    LaunchPlan plan;
    plan.action = LaunchPlan::Action::Refuse;
    plan.refusal = why;
    return plan;
}

QString checkRun(const UnattendedRun::Plan &plan)
{
    if (plan.durationSeconds < 0) return QStringLiteral("--duration takes a whole number of seconds");
    // The stop timer counts milliseconds in an int; a longer run would stop far too early or never.
    if (plan.durationSeconds > UnattendedRun::MaxDurationSeconds)
        return QStringLiteral("--duration takes at most %1 seconds (about 24 days)")
            .arg(UnattendedRun::MaxDurationSeconds);
    if (plan.outputPath.isEmpty()) return {};
    const QString suffix = QFileInfo(plan.outputPath).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("xlsx"))
        return QStringLiteral("--output takes a file name ending in .csv or .xlsx");
    return {};
}

QString checkPdfName(const QString &option, const QString &path)
{
    if (path.isEmpty() || QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return {};
    return option + QStringLiteral(" takes a file name ending in .pdf");
}

QString checkImageName(const QString &option, const QString &path)
{
    if (path.isEmpty() || GraphImageExport::namedFormat(path)) return {};
    return option + QStringLiteral(" takes a file name ending in .bmp, .jpg, .png or .svg");
}

QString checkFiles(const UnattendedFiles &files)
{
    QString error = checkPdfName(QStringLiteral("--print-data"), files.dataPdf);
    if (error.isEmpty()) error = checkPdfName(QStringLiteral("--print-graph"), files.graphPdf);
    if (error.isEmpty()) error = checkImageName(QStringLiteral("--save-graph"), files.graphImage);
    return error;
}

// --mqtt replaces the stored publishing settings; the other --mqtt-* options and the password
// from the environment override whichever of the two applies. "" when fine, else the refusal.
QString readPublishing(const QCommandLineParser &parser, const OptionTable &options,
                       const LaunchPlan::Surroundings &surroundings, LaunchPlan *plan)
{
    PublishOptions &publishing = plan->publishing;
    publishing = surroundings.storedPublishing;
    const bool given = parser.isSet(options.mqtt);
    if (given) {
        publishing = PublishOptions{};
        publishing.url = parser.value(options.mqtt);
        publishing.prefix = PublishRules::defaultPrefix(surroundings.hostName);
    }
    if (surroundings.mqttPassword) publishing.password = *surroundings.mqttPassword;
    QString error;
    if (parser.isSet(options.mqttTopic)) publishing.prefix = parser.value(options.mqttTopic);
    if (parser.isSet(options.mqttCa)) publishing.caFile = parser.value(options.mqttCa);
    if (parser.isSet(options.mqttDiscovery) &&
        !PublishRules::parseSwitch(parser.value(options.mqttDiscovery), &publishing.discovery))
        error = QCoreApplication::translate("CommandLine", "--mqtt-discovery takes on or off");
    if (parser.isSet(options.mqttQos) &&
        !PublishRules::parseQos(parser.value(options.mqttQos), &publishing.qos))
        error = QCoreApplication::translate("CommandLine", "--mqtt-qos takes 0 or 1");
    if (parser.isSet(options.stream)) {
        StreamWriter::Format format = StreamWriter::Format::Jsonl;
        if (!StreamWriter::parseFormat(parser.value(options.stream), &format))
            error = QCoreApplication::translate("CommandLine", "--stream takes jsonl or csv");
        plan->stream = format;
    }
    if (!error.isEmpty() || publishing.url.isEmpty()) return error;
    BrokerAddress address;
    const QString problem = PublishRules::check(publishing, &address);
    // Stored settings that no longer work leave publishing off; the command line's are refused.
    if (given || problem.isEmpty()) return problem;
    plan->notices << QCoreApplication::translate("CommandLine", "publishing is off: %1").arg(problem);
    publishing.url.clear();
    return {};
}

} // namespace

LaunchPlan LaunchPlan::read(const QStringList &arguments, const Surroundings &surroundings)
{
    QCommandLineParser parser;
    const OptionTable options(parser);
    // QCommandLineParser would end an unknown option or a missing value with status 1.
    if (!parser.parse(arguments)) return refused(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")) ||
        parser.isSet(QStringLiteral("version"))) {
        LaunchPlan plan;
        plan.action = Action::ShowHelpOrVersion;
        return plan;
    }

    LaunchPlan plan;
    plan.run.record = parser.isSet(options.record);
    plan.run.quit = parser.isSet(options.quit);
    plan.run.openPath = parser.value(options.open);
    plan.run.outputPath = parser.value(options.output);
    if (parser.isSet(options.duration)) {
        bool number = false;
        plan.run.durationSeconds = parser.value(options.duration).toInt(&number);
        if (!number) plan.run.durationSeconds = -1; // refused as a negative count is
    }
    plan.files = {parser.value(options.printData), parser.value(options.printGraph),
                  parser.value(options.saveGraph)};
    QString error = checkRun(plan.run);
    if (error.isEmpty()) error = checkFiles(plan.files);
    if (error.isEmpty() && !GraphViewState::parseView(parser.value(options.graphView), &plan.graphView))
        error = QStringLiteral("--graph-view takes main or all");
    if (error.isEmpty() && !GraphViewState::parseZoom(parser.value(options.graphZoom), &plan.graphZoom))
        error = QStringLiteral("--graph-zoom takes whole");
    if (error.isEmpty() && parser.isSet(options.lang) && !UiLanguage::parse(parser.value(options.lang)))
        error = QStringLiteral("--lang takes en, ja or zh_TW");
    if (error.isEmpty()) error = readPublishing(parser, options, surroundings, &plan);
    if (!error.isEmpty()) return refused(error);

    plan.ports = parser.value(options.ports);
    plan.demo = parser.isSet(options.demo);
    plan.energyPath = parser.value(options.energy);
    return plan;
}

void LaunchPlan::showHelpOrVersion(const QStringList &arguments)
{
    QCommandLineParser parser;
    const OptionTable options(parser);
    parser.process(arguments);
}

QString LaunchPlan::languageArgument(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--lang") && i + 1 < arguments.size()) return arguments.at(i + 1);
        if (argument.startsWith(QLatin1String("--lang="))) return argument.mid(7);
    }
    return {};
}

bool LaunchPlan::needsNoDisplay(const QStringList &arguments)
{
    static const QStringList Names{QStringLiteral("--record"),   QStringLiteral("--quit"),
                                   QStringLiteral("--help"),     QStringLiteral("-h"),
                                   QStringLiteral("--help-all"), QStringLiteral("-?"),
                                   QStringLiteral("--version"),  QStringLiteral("-v")};
    for (qsizetype i = 1; i < arguments.size(); ++i)
        for (const QString &name : Names)
            if (arguments.at(i) == name || arguments.at(i).startsWith(name + u'=')) return true;
    return false;
}
