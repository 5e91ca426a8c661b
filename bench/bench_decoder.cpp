// Frames per second through the whole receive path: decoder, record store, statistics, alarm
// and monitor. Six channels fill a full record of 9,999 rows one frame per receive event; the
// frame after that stops, saves and restarts the record, which is counted and timed. A second
// run feeds the same frames in backlogged bursts of eight frames per receive event.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "core/common/AppPaths.h"
#include "core/common/WindowHooks.h"
#include "core/link/FrameEncoder.h"
#include "core/link/FrameReader.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "core/settings/SettingsStore.h"
#include "support/FakeSerialControl.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"

namespace
{

class CountingSaver final : public RecordSaver
{
public:
    bool autoSave(QString *) override
    {
        ++saves;
        return true;
    }
    bool saveDataCommand() override { return true; }
    int saves = 0;
};

// One frame of each channel per row: DCV in mV, ACV, DCA, OHM in kilohms, Hz, Duty.
QByteArray frameFor(int channel, int row)
{
    static constexpr int functions[6] = {0, 1, 2, 4, 6, 7};
    static constexpr int prefixes[6] = {2, 3, 3, 4, 3, 3};
    FrameEncoder::Header header;
    header.channel = channel;
    header.functionCode = functions[channel];
    header.prefixCode = prefixes[channel];
    header.decimalCode = FrameEncoder::Divisor10;
    header.negative = channel == 0 && row % 3 == 0;
    if (row % 997 == 0) return FrameEncoder::encodeOverload(header);
    return FrameEncoder::encodeReading(header, (row * 37 + channel * 1000) % 10000);
}

struct Run {
    long frames = 0;
    qint64 fillNs = 0;
    qint64 restartNs = 0;
    int rowsAtSplit = 0;
    int saves = 0;
    long notifications = 0;
};

Run fillRecord(const QString &folder, int framesPerEvent)
{
    // The receiver on port 1 answers a probe at once; time moves only when told or while the
    // program waits (a millisecond per event pass too); questions are answered No.
    FakeSerialControl serial;
    serial.setAnsweringPorts({1});
    serial.setAnswer(FrameEncoder::encodeStatus());
    ManualClock clock;
    clock.setProcessEventsStep(1);
    ScriptedPrompts prompts;
    SettingsStore store(folder + QStringLiteral("/settings.ini"));
    store.save(QStringLiteral("setup_Alarm"), QStringLiteral("1"));
    CountingSaver saver;
    Session session(serial, clock, prompts, store);
    session.setRecordSaver(&saver);
    session.recording().setTimerRunsByItself(false);
    session.startUp();
    session.recording().start();

    Run run;
    // A stand-in for the monitor window: every notification is delivered somewhere.
    QObject::connect(&session.monitor(), &MonitorFields::changed, [&run] { ++run.notifications; });
    const RecordStore &record = session.record();
    QObject::connect(&record, &QAbstractItemModel::rowsInserted,
                     [&run, &record] { run.rowsAtSplit = std::max(run.rowsAtSplit, record.sampleRows()); });

    QElapsedTimer timer;
    timer.start();
    QByteArray burst;
    for (int row = 1; saver.saves == 0; ++row) {
        clock.advance(1000);
        for (int channel = 0; channel < 6 && saver.saves == 0; ++channel) {
            burst += frameFor(channel, row);
            ++run.frames;
            if (burst.size() < framesPerEvent * FrameEncoder::FrameSize) continue;
            const qint64 before = timer.nsecsElapsed();
            serial.feed(burst);
            burst.clear();
            if (saver.saves > 0) run.restartNs = timer.nsecsElapsed() - before;
        }
    }
    run.fillNs = timer.nsecsElapsed() - run.restartNs;
    run.saves = saver.saves;
    session.setRecordSaver(nullptr);
    return run;
}

void print(const char *title, const Run &run)
{
    std::printf("%s\n", title);
    std::printf("  %ld frames, record split at %d rows, %d automatic save(s), %ld monitor notifications\n",
                run.frames, run.rowsAtSplit, run.saves, run.notifications);
    std::printf("  decode + record: %.1f ms, %.0f frames/s, %.2f us/frame\n", run.fillNs / 1e6,
                run.frames / (run.fillNs / 1e9), run.fillNs / 1e3 / run.frames);
    std::printf("  stop, save and restart at the split: %.2f ms\n", run.restartNs / 1e6);
}

// The frame reader by itself: a full record's frames in chunks of 64 bytes.
void readFramesAlone()
{
    QByteArray stream;
    for (int row = 1; row <= 9999; ++row)
        for (int channel = 0; channel < 6; ++channel)
            stream += frameFor(channel, row);
    QElapsedTimer timer;
    timer.start();
    long frames = 0;
    constexpr int Rounds = 10;
    for (int round = 0; round < Rounds; ++round) {
        FrameReader reader;
        for (qsizetype at = 0; at < stream.size(); at += 64) {
            reader.append(
                QByteArrayView(stream.constData() + at, std::min<qsizetype>(64, stream.size() - at)));
            while (reader.next())
                ++frames;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("frame reader alone: %ld frames in %.1f ms, %.0f frames/s\n", frames, seconds * 1e3,
                frames / seconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    AppPaths::setRecordsFolderOverride(folder.path());
    readFramesAlone();
    print("one frame per receive event:", fillRecord(folder.path(), 1));
    print("eight frames per receive event:", fillRecord(folder.path(), 8));
    return 0;
}
