// voltrix-sim: a receiver with up to six clamp meters, on a pseudo-terminal or a device.
#include "core/simulator/MeterSetup.h"
#include "core/simulator/Pty.h"
#include "core/simulator/ReceiverSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace
{

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

// Quits the event loop on SIGINT/SIGTERM so the descriptors close in order.
void quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {
    };
    action.sa_handler = onSignal;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

[[noreturn]] void fail(const QString &message)
{
    QTextStream(stderr) << "voltrix-sim: " << message << Qt::endl;
    std::exit(2);
}

int positiveInt(const QCommandLineParser &parser, const QString &name)
{
    if (!parser.isSet(name)) return 0;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0)
        fail(QStringLiteral("--%1 needs a whole number, not \"%2\"").arg(name, parser.value(name)));
    return value;
}

// A terminal device gets the receiver's line settings; anything else (a file, a pipe) is
// written as it is.
int openDevice(const QString &path)
{
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(QStringLiteral("cannot open %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat info {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) [[maybe_unused]]
        const int truncated = ::ftruncate(fd, 0);
    if (::isatty(fd)) {
        termios raw{};
        ::tcgetattr(fd, &raw);
        cfmakeraw(&raw);
        cfsetispeed(&raw, B9600);
        cfsetospeed(&raw, B9600);
        ::tcsetattr(fd, TCSANOW, &raw);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return fd;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("voltrix-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VOLTRIX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates the receiver of up to six clamp meters: sends its six-byte frames at 9600 8N1.\n"
        "Without --device it opens a pseudo-terminal and prints the device to open as the first line\n"
        "of its output. Without --meter or --demo it simulates one DCV meter on channel 1.\n\n"
        "Meter keys (--meter, comma separated key=value):\n"
        "  ch=0..5            channel (0 is the user's channel 1)\n"
        "  fn=NAME|0..9       DCV ACV DCA ACA OHM CAP Hz Duty Diode Continuity\n"
        "  prefix=P|0..5      n u m none K M\n"
        "  dp=1|10|100|1000   divisor of the shown digits; dpcode=0..7 sends a raw code\n"
        "  interval=T|0..4    2s 10s 30s 1m 2m (code 0..4), or any time (500ms, 5s) sent with\n"
        "                     the nearest code; icode=0..15 sends a raw code\n"
        "  pattern=P          constant ramp sine walk (random walk)\n"
        "  min=X max=X        range of the reading; value=X constant value and walk start\n"
        "  period=T           ramp and sine period (seconds, or 500ms, 2m)\n"
        "  seed=N             random walk seed (default: --seed plus the channel)\n"
        "  overload=N range=N switch=N switchto=FN delay=MS   per-meter forms of the options below\n"
        "Example: --meter ch=0,fn=DCV,prefix=m,dp=10,interval=2s,pattern=sine,min=-100,max=100,period=60"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QList<QCommandLineOption> options{
        {QStringLiteral("meter"), QStringLiteral("Adds a simulated meter (repeatable; keys above)."),
         QStringLiteral("keys")},
        {QStringLiteral("demo"),
         QStringLiteral(
             "Six meters at 2 s: DCV sine, ACV ramp, DCA random walk, ACA constant, OHM random walk, "
             "Hz sine.")},
        {QStringLiteral("device"),
         QStringLiteral("Writes to this device or file instead of a pseudo-terminal (a regular file is "
                        "truncated first)."),
         QStringLiteral("path")},
        {QStringLiteral("overload-every"),
         QStringLiteral("Every Nth frame of each meter is an overload mark."), QStringLiteral("N")},
        {QStringLiteral("range-change-every"),
         QStringLiteral("Each meter toggles to a neighbouring range prefix every N frames."),
         QStringLiteral("N")},
        {QStringLiteral("function-switch-after"),
         QStringLiteral("After N frames each meter switches to the next measuring function."),
         QStringLiteral("N")},
        {QStringLiteral("status-every"),
         QStringLiteral("Sends a status frame (0xFE) every MS milliseconds (default 1000; 0 sends none, as a "
                        "receiver that died)."),
         QStringLiteral("MS")},
        {QStringLiteral("stray-bytes"),
         QStringLiteral("Puts one to three bytes that start no frame before each frame.")},
        {QStringLiteral("time-factor"), QStringLiteral("Runs F times faster than real time (default 1)."),
         QStringLiteral("F")},
        {QStringLiteral("count"), QStringLiteral("Stops after N frames (readings and status frames)."),
         QStringLiteral("N")},
        {QStringLiteral("flood"),
         QStringLiteral("The meters send in turn as fast as the reader takes their frames, none dropped; "
                        "their intervals only time the readings' values.")},
        {QStringLiteral("rate"), QStringLiteral("With --flood: at most N frames a second."),
         QStringLiteral("N")},
        {QStringLiteral("seed"), QStringLiteral("Seed of random walks and stray bytes (default 1)."),
         QStringLiteral("N")},
        {QStringLiteral("quiet"), QStringLiteral("Does not log each frame to standard error.")},
    };
    parser.addOptions(options);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument \"%1\"; see --help")
                 .arg(parser.positionalArguments().first()));

    SimulatorOptions simOptions;
    simOptions.seed = quint32(positiveInt(parser, QStringLiteral("seed")));
    if (!parser.isSet(QStringLiteral("seed"))) simOptions.seed = 1;
    if (parser.isSet(QStringLiteral("status-every")))
        simOptions.statusEveryMs = positiveInt(parser, QStringLiteral("status-every"));
    simOptions.frameLimit = positiveInt(parser, QStringLiteral("count"));
    simOptions.strayBytes = parser.isSet(QStringLiteral("stray-bytes"));
    simOptions.flood = parser.isSet(QStringLiteral("flood"));
    simOptions.floodRate = positiveInt(parser, QStringLiteral("rate"));
    if (simOptions.floodRate > 0 && !simOptions.flood) fail(QStringLiteral("--rate needs --flood"));
    if (parser.isSet(QStringLiteral("time-factor"))) {
        bool ok = false;
        simOptions.timeFactor = parser.value(QStringLiteral("time-factor")).toDouble(&ok);
        if (!ok || !(simOptions.timeFactor > 0) || simOptions.timeFactor > 1e6)
            fail(QStringLiteral("--time-factor needs a positive number"));
    }

    QList<SimulatedMeter> meters;
    if (parser.isSet(QStringLiteral("demo"))) meters = ReceiverSimulator::demoScene(simOptions.seed);
    const QStringList setups = parser.values(QStringLiteral("meter"));
    for (const QString &setup : setups) {
        QString error;
        const std::optional<SimulatedMeter> meter = MeterSetup::parse(setup, simOptions.seed, &error);
        if (!meter) fail(QStringLiteral("--meter %1: %2").arg(setup, error));
        meters.append(*meter);
    }
    if (meters.isEmpty()) meters.append(SimulatedMeter{});
    if (meters.size() > 6) fail(QStringLiteral("at most six meters"));

    const int overloadEvery = positiveInt(parser, QStringLiteral("overload-every"));
    const int rangeEvery = positiveInt(parser, QStringLiteral("range-change-every"));
    const int switchAfter = positiveInt(parser, QStringLiteral("function-switch-after"));
    for (SimulatedMeter &meter : meters) {
        if (meter.overloadEvery == 0) meter.overloadEvery = overloadEvery;
        if (meter.rangeChangeEvery == 0) meter.rangeChangeEvery = rangeEvery;
        if (meter.functionSwitchAfter == 0) meter.functionSwitchAfter = switchAfter;
    }

    std::unique_ptr<Pty> pty;
    int fd = -1;
    QString served;
    if (parser.isSet(QStringLiteral("device"))) {
        served = parser.value(QStringLiteral("device"));
        fd = openDevice(served);
    } else {
        pty = std::make_unique<Pty>();
        if (!pty->isValid()) fail(pty->errorString());
        fd = pty->masterFd();
        served = pty->slavePath();
    }
    // The first line is the contract with scripts and tests: the device to open.
    std::fprintf(stdout, "%s\n", served.toLocal8Bit().constData());
    std::fflush(stdout);

    ReceiverSimulator simulator(fd);
    simulator.setMeters(meters);
    simulator.setOptions(simOptions);
    int exitCode = 0;
    if (!parser.isSet(QStringLiteral("quiet"))) {
        QObject::connect(&simulator, &ReceiverSimulator::frameSent, &app, [](const QByteArray &frame) {
            QTextStream(stderr) << frame.toHex(' ') << Qt::endl;
        });
    }
    QObject::connect(&simulator, &ReceiverSimulator::finished, &app, &QCoreApplication::quit);
    QObject::connect(&simulator, &ReceiverSimulator::outputClosed, &app, [&exitCode](const QString &reason) {
        QTextStream(stderr) << "voltrix-sim: output closed: " << reason << Qt::endl;
        exitCode = 1;
        QCoreApplication::quit();
    });
    quitOnSignals(app);
    simulator.start();
    const int loopCode = app.exec();
    simulator.stop();
    if (!pty && fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return exitCode ? exitCode : loopCode;
}
