#include "core/common/Clock.h"
#include "core/common/QtMessages.h"
#include "core/energy/EnergyTable.h"
#include "core/followers/EnergyFollower.h"
#include "core/followers/GraphLanes.h"
#include "core/graph/GraphViewState.h"
#include "core/language/SystemLanguage.h"
#include "core/language/UiLanguage.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/publish/MqttPublisher.h"
#include "core/publish/PublishSettings.h"
#include "core/publish/ReadingPublisher.h"
#include "core/publish/StreamWriter.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/RecordRecovery.h"
#include "core/recording/RecordingControl.h"
#include "core/session/LaunchPlan.h"
#include "core/session/Session.h"
#include "core/session/TerminationSignals.h"
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
#include <QFile>
#include <QSysInfo>
#include <QTextStream>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <unistd.h>

int main(int argc, char **argv)
{
    QtMessages::dropPlatformNotes();
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    // A run nobody watches, and one that only prints its help or version, must not fail for want
    // of a display.
    const bool display = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (LaunchPlan::needsNoDisplay(rawArguments) && !display && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voltrix"));
    QApplication::setApplicationVersion(QStringLiteral(VOLTRIX_VERSION));

    // The language comes first: the help and every message of the command line are in it.
    SettingsStore store;
    const UiLanguage::Translations translations(UiLanguage::choose(LaunchPlan::languageArgument(rawArguments),
                                                                   UiLanguage::stored(store),
                                                                   SystemLanguage::systemLanguageId()));

    LaunchPlan::Surroundings surroundings;
    surroundings.storedPublishing = PublishSettings::load(store);
    if (qEnvironmentVariableIsSet("VOLTRIX_MQTT_PASSWORD"))
        surroundings.mqttPassword = qEnvironmentVariable("VOLTRIX_MQTT_PASSWORD");
    surroundings.hostName = QSysInfo::machineHostName();
    const LaunchPlan plan = LaunchPlan::read(QCoreApplication::arguments(), surroundings);
    switch (plan.action) {
    case LaunchPlan::Action::Refuse:
        QTextStream(stderr) << "voltrix: " << plan.refusal << Qt::endl;
        return LaunchPlan::BadOption;
    case LaunchPlan::Action::ShowHelpOrVersion:
        LaunchPlan::showHelpOrVersion(QCoreApplication::arguments());
        return EXIT_SUCCESS;
    case LaunchPlan::Action::Run:
        break;
    }
    for (const QString &notice : plan.notices)
        QTextStream(stderr) << "voltrix: " << notice << Qt::endl;

    // The demonstration receiver lives on a pseudo-terminal of its own for the whole run.
    std::unique_ptr<Pty> demoPty;
    std::unique_ptr<ReceiverSimulator> demoReceiver;
    PortDirectory ports = PortDirectory::fromSources(plan.ports);
    if (plan.demo) {
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

    const bool unattended = plan.unattended();
    SystemClock clock;
    QtSerialControl serial(ports);
    UnattendedPrompts unattendedPrompts;
    QtPrompts dialogPrompts(nullptr, &store);
    Session session(serial, clock, unattended ? static_cast<Prompts &>(unattendedPrompts) : dialogPrompts,
                    store);
    QtAlarmSound sound;
    session.setAlarmSound(&sound);
    session.lanes().state().setView(plan.graphView);
    session.lanes().state().setZoom(plan.graphZoom);

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
    if (plan.stream) {
        std::signal(SIGPIPE, SIG_IGN);
        stream = std::make_unique<StreamWriter>(*plan.stream, STDOUT_FILENO, [](const QString &message) {
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
    if (!plan.publishing.url.isEmpty()) {
        QString error;
        if (!session.mqtt().start(plan.publishing, &error)) {
            QTextStream(stderr) << "voltrix: mqtt: " << error << Qt::endl;
            if (unattended) return LaunchPlan::BadOption;
        }
    }

    MainFm window(session);
    dialogPrompts.setDialogParent(&window);
    window.show();

    UnattendedRun run(session.recording(), session.openRecord(), session.workbookSaver(), plan.run);
    window.printFeature()->addUnattendedOutputs(run, plan.files);
    QObject::connect(&run, &UnattendedRun::finished, &app, [&window](int code) {
        window.close();
        QCoreApplication::exit(code);
    });
    if (const QString energyPath = plan.energyPath; !energyPath.isEmpty())
        run.addOutput(QStringLiteral("energy written"), energyPath, [&session, energyPath, &plan] {
            // An opened record is no recording: its energy is taken from its samples.
            const EnergyMeter meter =
                plan.run.record
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
