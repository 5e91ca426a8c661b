#include "core/common/Clock.h"
#include "core/common/QtMessages.h"
#include "core/help/SystemLanguage.h"
#include "core/help/UiLanguage.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/recording/RecordRecovery.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "core/session/UnattendedPrompts.h"
#include "core/session/UnattendedRun.h"
#include "core/settings/SettingsStore.h"
#include "core/simulator/Pty.h"
#include "core/simulator/ReceiverSimulator.h"
#include "ui/monitor/QtAlarmSound.h"
#include "ui/printing/PrintFeature.h"
#include "ui/shell/MainFm.h"
#include "ui/shell/QtPrompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <cstdlib>
#include <memory>

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
A record left unsaved when Voltrix last ended is recovered and saved without asking.
Exit status: 0 done, 1 no recording could be started, 2 the output could not be written,
3 the workbook given to --open could not be read.)");

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
    const QCommandLineOption langOption(
        QStringLiteral("lang"),
        QCoreApplication::translate("CommandLine",
                                    "The language of the windows: en, ja or zh_TW (default: the one "
                                    "chosen in Options, else the system's)."),
        QStringLiteral("LANG"));
    const QCommandLineOption quitOption(QStringLiteral("quit"),
                                        QCoreApplication::translate("CommandLine", "Exit when done."));
    parser.addOptions({portsOption, demoOption, openOption, recordOption, durationOption, outputOption,
                       saveGraphOption, printDataOption, printGraphOption, langOption, quitOption});
    parser.process(app);

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
    if (planError.isEmpty() && parser.isSet(langOption) && !UiLanguage::parse(parser.value(langOption)))
        planError = QStringLiteral("--lang takes en, ja or zh_TW");
    if (!planError.isEmpty()) {
        QTextStream(stderr) << "voltrix: " << planError << Qt::endl;
        return EXIT_FAILURE;
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

    // Opt-in for the soak test: each record split's duration in microseconds, a line each.
    if (const QString splitLog = qEnvironmentVariable("VOLTRIX_SPLIT_LOG"); !splitLog.isEmpty())
        QObject::connect(&session.recording(), &RecordingControl::recordSplit, &app, [splitLog](qint64 ns) {
            QFile file(splitLog);
            if (file.open(QIODevice::Append | QIODevice::Text))
                file.write(QByteArray::number(ns / 1000) + '\n');
        });

    MainFm window(session);
    dialogPrompts.setDialogParent(&window);
    window.show();

    UnattendedRun run(session.recording(), session.openRecord(), session.workbookSaver(), plan);
    window.printFeature()->addUnattendedOutputs(run, printFiles);
    QObject::connect(&run, &UnattendedRun::finished, &app, [&window](int code) {
        window.close();
        QCoreApplication::exit(code);
    });
    if (unattended)
        QObject::connect(&session.recovery(), &RecordRecovery::recordRecovered, &run,
                         &UnattendedRun::reportRecovered);
    QTimer::singleShot(0, &run, [&session, &run, unattended] {
        session.tellStartupFaults();
        // What a crash left unsaved comes back before anything is recorded or opened.
        session.recovery().recoverAll(unattended ? RecordRecovery::Asking::DoNotAsk
                                                 : RecordRecovery::Asking::Ask);
        run.begin();
    });
    return app.exec();
}
