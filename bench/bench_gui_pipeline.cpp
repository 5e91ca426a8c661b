// The whole program with its windows shown: a simulated receiver on a pseudo-terminal, the
// real serial control, the session and the frame window. Prints how many frames a second the
// pipeline records and how long a main-channel frame takes from being sent to the monitor's
// repaint of its value.
//
//   bench_gui_pipeline [--frames N] [--rate FRAMES_PER_SECOND] [--screenshot FILE.png]
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <vector>

#include "core/commands/CommandState.h"
#include "core/common/AppPaths.h"
#include "core/common/Clock.h"
#include "core/link/FrameEncoder.h"
#include "core/link/PortDirectory.h"
#include "core/link/QtSerialControl.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "core/session/UnattendedPrompts.h"
#include "core/settings/SettingsStore.h"
#include "core/simulator/Pty.h"
#include "core/simulator/ReceiverSimulator.h"
#include "ui/monitor/FmMonitor.h"
#include "ui/shell/MainFm.h"

namespace
{

struct Options {
    int frames = 6000;
    int rate = 600; // frames per second over all six meters
    QString screenshot;
};

Options parseOptions(const QApplication &app)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption frames("frames", "Frames of the throughput run.", "N", "6000");
    const QCommandLineOption rate("rate", "Frames per second the receiver sends (all meters).", "N", "600");
    const QCommandLineOption screenshot("screenshot", "Saves the frame window as an image.", "FILE");
    parser.addOptions({frames, rate, screenshot});
    parser.process(app);
    Options options;
    options.frames = std::max(60, parser.value(frames).toInt());
    options.rate = std::max(6, parser.value(rate).toInt());
    options.screenshot = parser.value(screenshot);
    return options;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto at = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[at];
}

// Every frame the session has recorded in this record, over all channels.
int recordedSamples(const Session &session)
{
    int samples = 0;
    for (int channel = 0; channel < 6; ++channel)
        samples += session.record().nextRow(channel) - 1;
    return samples;
}

// Runs the event loop until `done` holds or `timeoutMs` passes.
void runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Options options = parseOptions(app);

    QTemporaryDir folder;
    AppPaths::setRecordsFolderOverride(folder.path());
    SettingsStore store(folder.filePath(QStringLiteral("settings.ini")));
    store.save(QStringLiteral("setup_autoScan"), QStringLiteral("0"));

    Pty pty;
    if (!pty.isValid()) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(pty.errorString()));
        return 1;
    }
    ReceiverSimulator receiver(pty);
    QtSerialControl serial(PortDirectory({pty.slavePath()}));
    SystemClock clock;
    UnattendedPrompts prompts;
    Session session(serial, clock, prompts, store);
    MainFm frame(session);
    frame.show();
    FmMonitor *monitor = frame.monitorWindow();

    // --- throughput: six meters sharing the rate
    QList<SimulatedMeter> meters = ReceiverSimulator::demoScene();
    for (SimulatedMeter &meter : meters)
        meter.intervalMs = std::max(1, 6 * 1000 / options.rate);
    receiver.setMeters(meters);
    SimulatorOptions simulation;
    simulation.frameLimit = options.frames;
    receiver.setOptions(simulation);
    receiver.start();

    int renders = 0;
    int paints = 0;
    QObject::connect(monitor, &FmMonitor::rendered, [&renders] { ++renders; });
    QObject::connect(monitor, &FmMonitor::bigValuePainted, [&paints] { ++paints; });

    session.recording().start();
    if (!session.status().running()) {
        std::fprintf(stderr, "the recording did not start\n");
        return 1;
    }
    int splits = 0;
    const QMetaObject::Connection splitCount =
        QObject::connect(&session.recording(), &RecordingControl::recordStarted, [&splits] { ++splits; });
    // Samples of records that were split off at 9,999 rows count too.
    int samplesBeforeSplits = 0;
    const QMetaObject::Connection splitSamples =
        QObject::connect(&session.record(), &QAbstractItemModel::modelAboutToBeReset,
                         [&] { samplesBeforeSplits += recordedSamples(session); });

    QElapsedTimer wall;
    wall.start();
    const int sentAtStart = receiver.framesSent();
    runUntil([&] { return !receiver.isRunning(); }, 600000);
    // Let the last frames drain through the pipeline.
    QElapsedTimer drain;
    drain.start();
    int last = -1;
    while (drain.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const int now = samplesBeforeSplits + recordedSamples(session);
        if (now == last && drain.elapsed() > 300) break;
        last = now;
    }
    const double seconds = wall.elapsed() / 1000.0;
    const int sent = receiver.framesSent() - sentAtStart;
    const int recorded = samplesBeforeSplits + recordedSamples(session);
    QObject::disconnect(splitCount);
    QObject::disconnect(splitSamples);
    const int rendersOfThroughput = renders;
    const int paintsOfThroughput = paints;

    if (!options.screenshot.isEmpty()) frame.grab().save(options.screenshot);

    // --- latency: one meter whose value changes with every frame, slow enough to pair each
    // frame with the repaint it causes
    session.recording().stop();
    runUntil([] { return false; }, 100);
    SimulatedMeter ramp;
    ramp.channel = 0;
    ramp.functionCode = 0;
    ramp.decimalCode = FrameEncoder::Divisor100;
    ramp.pattern = SimulatedMeter::Pattern::Ramp;
    ramp.minimum = 0;
    ramp.maximum = 99.99;
    ramp.periodS = 100; // 0.025 a frame: every frame shows a new value
    ramp.intervalMs = 25;
    ramp.startDelayMs = 0;
    receiver.setMeters({ramp});
    simulation.frameLimit = receiver.framesSent() + 400; // the limit counts every frame sent
    receiver.setOptions(simulation);
    receiver.start();
    session.recording().start();

    std::deque<qint64> pending;
    std::vector<double> latencies;
    QElapsedTimer clockMs;
    clockMs.start();
    QObject::connect(&receiver, &ReceiverSimulator::frameSent,
                     [&](const QByteArray &) { pending.push_back(clockMs.nsecsElapsed()); });
    QObject::connect(monitor, &FmMonitor::bigValuePainted, [&] {
        if (pending.empty()) return;
        latencies.push_back((clockMs.nsecsElapsed() - pending.back()) / 1e6);
        pending.clear();
    });
    runUntil([&] { return !receiver.isRunning(); }, 60000);
    runUntil([] { return false; }, 200);
    session.recording().stop();

    std::printf("bench_gui_pipeline (windows shown, %s)\n", qPrintable(QGuiApplication::platformName()));
    std::printf("  throughput: %d frames sent, %d recorded in %.2f s: %.0f frames/s (%d record split%s)\n",
                sent, recorded, seconds, recorded / seconds, splits, splits == 1 ? "" : "s");
    std::printf("  monitor: %d renders, %d repaints of the big value for %d frames\n", rendersOfThroughput,
                paintsOfThroughput, recorded);
    std::printf(
        "  frame sent -> monitor repaint: median %.2f ms, 95%% %.2f ms, max %.2f ms over %zu frames\n",
        percentile(latencies, 0.5), percentile(latencies, 0.95),
        latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end()), latencies.size());
    AppPaths::setRecordsFolderOverride(QString());
    return 0;
}
