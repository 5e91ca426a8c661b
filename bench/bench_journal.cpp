// What the journal of the open record costs: a full six-channel record (9,999 rows) goes
// through the receive cycle once without a journal and once with one, and the journal is then
// read back and rebuilt into a table. Prints the time per sample of each and the journal's size.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "core/common/AppPaths.h"
#include "core/link/FrameEncoder.h"
#include "core/record/RecordJournal.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/RecordingStatus.h"
#include "support/RecorderRig.h"
#include "support/ScriptedPrompts.h"

namespace
{

// One frame of each channel per row, as the receiver sends them.
QByteArray frameFor(int channel, int row)
{
    static constexpr int functions[6] = {0, 1, 2, 4, 6, 7};
    FrameEncoder::Header header;
    header.channel = channel;
    header.functionCode = functions[channel];
    header.decimalCode = FrameEncoder::Divisor10;
    return FrameEncoder::encodeReading(header, (row * 37 + channel * 1000) % 10000);
}

struct Fill {
    long samples = 0;
    qint64 ns = 0;
};

// Fills the rig's record, one frame per receive event and a second of the clock per row.
Fill fill(RecorderRig &rig)
{
    Fill out;
    QElapsedTimer timer;
    timer.start();
    for (int row = 1; rig.restartsAsked() == 0; ++row) {
        rig.clock.advance(1000);
        for (int channel = 0; channel < 6 && rig.restartsAsked() == 0; ++channel) {
            rig.feed(frameFor(channel, row));
            ++out.samples;
        }
    }
    out.ns = timer.nsecsElapsed();
    return out;
}

void print(const char *title, const Fill &run)
{
    std::printf("%s: %ld samples in %.1f ms, %.2f us/sample\n", title, run.samples, run.ns / 1e6,
                run.ns / 1e3 / run.samples);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    AppPaths::setRecordsFolderOverride(folder.path());

    RecorderRig plain;
    const Fill without = fill(plain);
    print("receive cycle without journal", without);

    RecorderRig rig;
    RecordingStatus status;
    ScriptedPrompts prompts;
    JournalWriter journal({rig.record, status, rig.clock, prompts});
    rig.record.stampRecord(rig.clock.now());
    journal.recordStarted();
    rig.recorder.setJournal(&journal);
    status.setMode(RecordingMode::Recording);
    const Fill with = fill(rig);
    status.setMode(RecordingMode::Stopped); // written through and closed
    print("receive cycle with journal   ", with);
    std::printf("journal per sample: %.2f us\n",
                (with.ns / double(with.samples) - without.ns / double(without.samples)) / 1e3);

    QFile file(journal.currentPath());
    if (!file.open(QIODevice::ReadOnly)) return 1;
    const QByteArray bytes = file.readAll();
    std::printf("journal file: %.1f KiB, %.1f bytes/sample\n", bytes.size() / 1024.0,
                double(bytes.size()) / with.samples);
    QElapsedTimer timer;
    timer.start();
    const RecordJournal::Content content = RecordJournal::read(bytes);
    const qint64 readNs = timer.nsecsElapsed();
    RecordStore rebuilt;
    RecordJournal::rebuild(content, rebuilt);
    const qint64 rebuildNs = timer.nsecsElapsed() - readNs;
    std::printf("read %d samples: %.1f ms; rebuild the table: %.1f ms\n", content.samples, readNs / 1e6,
                rebuildNs / 1e6);
    return content.samples == with.samples ? 0 : 1;
}
