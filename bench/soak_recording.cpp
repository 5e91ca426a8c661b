// Soak of the record split: the real program records unattended from a simulated receiver on a
// pseudo-terminal, up to six meters flooding it at a steady rate, through many 9,999-row splits. Each
// reading is a step of its meter's own ramp, so the saved workbooks and the last record can be
// checked for every reading sent, once and in order. Also checked: the program's resident size
// after the last split against the second, and the longest split as the program measured it.
// Prints its figures; exits with 1 when a check fails, 2 when the run could not be made.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "core/link/FrameEncoder.h"
#include "core/record/RecordStore.h"
#include "core/simulator/Pty.h"
#include "core/simulator/ReceiverSimulator.h"
#include "core/workbook/XlsxReader.h"
#include "support/PtyReceiver.h"

namespace
{

constexpr int MaxChannels = 6;
constexpr int ExtraReadings = 1000; // per channel, left in the last record
// The program records this much longer than the frames take at the rate asked, so that it can
// fall behind for a while and still take every frame before its Stop.
constexpr int StopMarginS = 5;
constexpr double StopMarginShare = 0.25;
constexpr double MaxSplitMs = 100;
constexpr double MaxRssGrowth = 0.10;

struct Plan {
    QString app;
    int splits = 20;
    int channels = MaxChannels;
    int rate = 8000; // frames a second, all meters together
};

[[noreturn]] void giveUp(const QString &why)
{
    std::fprintf(stderr, "soak_recording: %s\n", qPrintable(why));
    std::exit(2);
}

Plan parse(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Records from a simulated six-meter receiver through many record splits and checks that "
        "no reading is lost or doubled, that memory stays flat and that no split is slow."));
    parser.addHelpOption();
    const QCommandLineOption appOption(
        QStringLiteral("app"),
        QStringLiteral("The program (default: $VOLTRIX_APP, else ../src/voltrix "
                       "beside this one)."),
        QStringLiteral("PATH"));
    const QCommandLineOption splitsOption(
        QStringLiteral("splits"), QStringLiteral("Record splits to go through (default 20, at least 2)."),
        QStringLiteral("N"));
    const QCommandLineOption rateOption(
        QStringLiteral("rate"),
        QStringLiteral("Frames a second from the six meters together (default "
                       "8000)."),
        QStringLiteral("N"));
    const QCommandLineOption channelsOption(
        QStringLiteral("channels"), QStringLiteral("Meters sending (default 6)."), QStringLiteral("N"));
    parser.addOptions({appOption, splitsOption, rateOption, channelsOption});
    parser.process(app);
    Plan plan;
    plan.app = parser.value(appOption);
    if (plan.app.isEmpty()) plan.app = qEnvironmentVariable("VOLTRIX_APP");
    if (plan.app.isEmpty())
        plan.app = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../src/voltrix"));
    bool ok = true;
    if (parser.isSet(splitsOption)) plan.splits = parser.value(splitsOption).toInt(&ok);
    if (!ok || plan.splits < 2) giveUp(QStringLiteral("--splits takes a whole number of at least 2"));
    if (parser.isSet(channelsOption)) plan.channels = parser.value(channelsOption).toInt(&ok);
    if (!ok || plan.channels < 1 || plan.channels > MaxChannels)
        giveUp(QStringLiteral("--channels takes a whole number from 1 to 6"));
    if (parser.isSet(rateOption)) plan.rate = parser.value(rateOption).toInt(&ok);
    if (!ok || plan.rate < plan.channels)
        giveUp(QStringLiteral("--rate takes a whole number of at least --channels"));
    if (!QFileInfo(plan.app).isExecutable()) giveUp(plan.app + QStringLiteral(" is not a program"));
    return plan;
}

// The program as a file of a folder of its own, which then is its records folder.
QString placeProgram(const QString &app, const QDir &folder)
{
    const QString placed = folder.filePath(QStringLiteral("voltrix"));
    if (::link(QFile::encodeName(app).constData(), QFile::encodeName(placed).constData()) == 0) return placed;
    if (QFile::copy(app, placed)) return placed;
    giveUp(QStringLiteral("cannot place the program in ") + folder.path());
}

qint64 residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    const QRegularExpression line(QStringLiteral("^VmRSS:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

QList<qint64> splitDurationsUs(const QString &log)
{
    QFile file(log);
    QList<qint64> durations;
    if (!file.open(QIODevice::ReadOnly)) return durations;
    while (!file.atEnd()) {
        bool ok = false;
        const qint64 us = file.readLine().trimmed().toLongLong(&ok);
        if (ok) durations << us;
    }
    return durations;
}

// The automatic saves in the order the records were made: by stamp, then by the number that
// tells records of the same second apart.
QStringList workbooksInOrder(const QDir &folder)
{
    QStringList names = folder.entryList({QStringLiteral("??????_??????*.xlsx")}, QDir::Files);
    const auto key = [](const QString &name) {
        const QString numbered = name.mid(13, name.size() - 13 - 5); // "" or "_2", "_3", ...
        return std::make_pair(name.left(13), numbered.isEmpty() ? 1 : numbered.mid(1).toInt());
    };
    std::sort(names.begin(), names.end(),
              [&key](const QString &a, const QString &b) { return key(a) < key(b); });
    return names;
}

// Appends each channel's readings of a workbook, in row order.
bool collect(const QString &path, std::array<QList<int>, MaxChannels> &found)
{
    SheetCells cells;
    QString error;
    if (!XlsxReader().read(path, &cells, &error)) {
        std::fprintf(stderr, "soak_recording: %s\n", qPrintable(error));
        return false;
    }
    for (int row = 8; row <= cells.rowCount(); ++row)
        for (int k = 0; k < MaxChannels; ++k) {
            const SheetCell cell = cells.at(row, 3 * k + 4);
            if (cell.type == SheetCell::Type::Number)
                found[std::size_t(k)] << int(cell.number);
            else if (!cell.text.isEmpty())
                found[std::size_t(k)] << cell.text.toInt();
        }
    return true;
}

// How many of a channel's readings came in order from the first; the rest is lost or doubled.
int inOrder(const QList<int> &found, int sent)
{
    int n = 0;
    while (n < found.size() && n < sent && found.at(n) == n % CountingSteps)
        ++n;
    return n;
}

int waitingBytes(int fd)
{
    int bytes = 0;
    return ::ioctl(fd, FIONREAD, &bytes) == 0 ? bytes : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Plan plan = parse(app);
    QElapsedTimer total;
    total.start();

    QTemporaryDir work(QFileInfo(plan.app).absolutePath() + QStringLiteral("/soak-XXXXXX"));
    if (!work.isValid()) giveUp(QStringLiteral("no work folder: ") + work.errorString());
    const QDir folder(work.path());
    const QString program = placeProgram(plan.app, folder);
    const QString splitLog = folder.filePath(QStringLiteral("splits.log"));
    const QString output = folder.filePath(QStringLiteral("last.xlsx"));

    Pty pty;
    if (!pty.isValid()) giveUp(pty.errorString());
    const int probe =
        ::open(QFile::encodeName(pty.slavePath()).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    const int perChannel = plan.splits * RecordStore::MaxSampleRows + ExtraReadings;
    const int frames = plan.channels * perChannel;
    const int sendingS = (frames + plan.rate - 1) / plan.rate;
    const int durationS = sendingS + std::max(StopMarginS, int(sendingS * StopMarginShare));

    ReceiverSimulator simulator(pty);
    simulator.setMeters(countingMeters(plan.channels));
    simulator.setOptions(floodOptions(frames, plan.rate));

    QProcessEnvironment env = isolatedEnvironment(folder);
    env.insert(QStringLiteral("VOLTRIX_SPLIT_LOG"), splitLog);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess voltrix;
    voltrix.setProcessEnvironment(env);
    voltrix.setStandardErrorFile(folder.filePath(QStringLiteral("voltrix.err")));
    voltrix.setStandardOutputFile(QProcess::nullDevice());
    voltrix.start(program, {QStringLiteral("--ports"), pty.slavePath(), QStringLiteral("--record"),
                            QStringLiteral("--duration"), QString::number(durationS),
                            QStringLiteral("--output"), output, QStringLiteral("--quit")});
    if (!voltrix.waitForStarted()) giveUp(QStringLiteral("cannot start ") + plan.app);
    const qint64 pid = voltrix.processId();
    std::printf(
        "%s: %d splits, %d channels of %d readings, %d frames at %d a second; records stop after %d s\n",
        qPrintable(QFileInfo(plan.app).fileName()), plan.splits, plan.channels, perChannel, frames, plan.rate,
        durationS);
    std::fflush(stdout);

    QElapsedTimer sending;
    qint64 sendingMs = 0;
    QObject::connect(&simulator, &ReceiverSimulator::finished, [&] { sendingMs = sending.elapsed(); });
    // The receiver proves it is alive while the program links; the meters start once it records.
    QTimer alive;
    QObject::connect(&alive, &QTimer::timeout, [&] {
        if (QFileInfo::exists(folder.filePath(QStringLiteral("data.log")))) {
            alive.stop();
            // What waits when the record begins is dropped: the first reading comes after that.
            QTimer::singleShot(100, &simulator, [&] {
                sending.start();
                simulator.start();
            });
            return;
        }
        pty.write(FrameEncoder::encodeStatus());
    });
    alive.start(20);

    QList<qint64> residentAfterSplit; // kB, by split
    int backlogAtEnd = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const qsizetype splits = splitDurationsUs(splitLog).size();
        while (residentAfterSplit.size() < splits)
            residentAfterSplit << residentKb(pid);
        if (backlogAtEnd < 0 && !simulator.isRunning() && simulator.framesSent() >= frames)
            backlogAtEnd = waitingBytes(probe);
    });
    watch.start(10);
    QObject::connect(&voltrix, &QProcess::finished, &app, &QCoreApplication::quit);
    QTimer::singleShot((durationS + 300) * 1000, &app, [&voltrix] {
        std::fprintf(stderr, "soak_recording: the program did not end\n");
        voltrix.kill();
    });
    app.exec();
    watch.stop();
    simulator.stop();
    ::close(probe);

    // --- the checks
    bool passed = true;
    const auto fail = [&passed](const QString &what) {
        std::printf("FAILED: %s\n", qPrintable(what));
        passed = false;
    };
    if (voltrix.exitStatus() != QProcess::NormalExit || voltrix.exitCode() != 0) {
        QFile err(folder.filePath(QStringLiteral("voltrix.err")));
        err.open(QIODevice::ReadOnly);
        fail(QStringLiteral("the program ended with %1: %2")
                 .arg(voltrix.exitCode())
                 .arg(QString::fromUtf8(err.readAll().right(2000))));
    }
    const QList<qint64> durations = splitDurationsUs(splitLog);
    const QStringList workbooks = workbooksInOrder(folder);
    std::array<QList<int>, MaxChannels> found;
    for (const QString &name : workbooks)
        if (!collect(folder.filePath(name), found)) fail(QStringLiteral("unreadable ") + name);
    if (!collect(output, found)) fail(QStringLiteral("no last record"));

    qint64 readingsFound = 0;
    qint64 readingsInOrder = 0;
    for (int k = 0; k < plan.channels; ++k) {
        const QList<int> &channel = found[std::size_t(k)];
        readingsFound += channel.size();
        const int good = inOrder(channel, perChannel);
        readingsInOrder += good;
        if (good != perChannel || channel.size() != perChannel)
            fail(QStringLiteral("channel %1: %2 readings found, the first %3 of %4 sent in order")
                     .arg(k + 1)
                     .arg(channel.size())
                     .arg(good)
                     .arg(perChannel));
    }
    for (int k = plan.channels; k < MaxChannels; ++k)
        if (!found[std::size_t(k)].isEmpty())
            fail(QStringLiteral("readings in channel %1, which sent none").arg(k + 1));
    if (durations.size() != plan.splits || workbooks.size() != plan.splits)
        fail(QStringLiteral("%1 splits and %2 workbooks, not %3")
                 .arg(durations.size())
                 .arg(workbooks.size())
                 .arg(plan.splits));
    const qint64 longestUs = durations.isEmpty() ? 0 : *std::max_element(durations.begin(), durations.end());
    if (longestUs / 1000.0 > MaxSplitMs) fail(QStringLiteral("a split took %1 ms").arg(longestUs / 1000.0));
    const qint64 second = residentAfterSplit.value(1);
    const qint64 last = residentAfterSplit.value(plan.splits - 1);
    if (second <= 0 || last <= 0)
        fail(QStringLiteral("no resident size measured"));
    else if (last > second * (1 + MaxRssGrowth))
        fail(QStringLiteral("resident size grew by %1 %").arg(100.0 * (last - second) / second, 0, 'f', 1));
    if (backlogAtEnd > 0)
        std::printf("note: %d bytes were still waiting when the last frame was sent\n", backlogAtEnd);

    std::printf("readings sent %d in %.1f s (%.0f a second), found %lld, in order %lld\n", frames,
                sendingMs / 1000.0, sendingMs > 0 ? frames * 1000.0 / sendingMs : 0.0,
                static_cast<long long>(readingsFound), static_cast<long long>(readingsInOrder));
    QList<qint64> sorted = durations;
    std::sort(sorted.begin(), sorted.end());
    std::printf("splits %lld; longest %.1f ms, median %.1f ms\n", static_cast<long long>(durations.size()),
                longestUs / 1000.0, sorted.isEmpty() ? 0.0 : sorted.at(sorted.size() / 2) / 1000.0);
    std::printf("resident size after split 2: %lld kB, after split %d: %lld kB (%+.1f %%)\n",
                static_cast<long long>(second), plan.splits, static_cast<long long>(last),
                second > 0 ? 100.0 * double(last - second) / double(second) : 0.0);
    std::printf("total time %.1f s\n", total.elapsed() / 1000.0);
    std::printf("%s\n", passed ? "passed" : "FAILED");
    return passed ? 0 : 1;
}
