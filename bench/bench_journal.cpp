// What the journal of the open record costs: the samples of a full six-channel record (9,999
// rows) go to the journal as the sample recorder hands them on, and the journal is then read
// back and rebuilt into a table. Prints the time per sample, the time to close, the size.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "core/common/AppPaths.h"
#include "core/record/RecordJournal.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/RecordingStatus.h"
#include "support/RecorderRig.h"
#include "support/ScriptedPrompts.h"

namespace
{

// Fills the rig's record, one frame per receive event and a second of the clock per row.
long fill(RecorderRig &rig)
{
    long samples = 0;
    for (int row = 1; rig.restartsAsked() == 0; ++row) {
        rig.clock.advance(1000);
        for (int channel = 0; channel < 6 && rig.restartsAsked() == 0; ++channel) {
            rig.feed(benchFrame(channel, row));
            ++samples;
        }
    }
    return samples;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    AppPaths::setRecordsFolderOverride(folder.path());
    RecorderRig rig;
    const long samples = fill(rig);
    const RecordStore &record = rig.record;

    // The journal told of every sample of the full record again, as the recorder tells it,
    // the clock moving on a millisecond every twenty samples (twenty thousand a second).
    RecordingStatus status;
    ScriptedPrompts prompts;
    JournalWriter journal({rig.record, status, rig.clock, prompts});
    constexpr int Rounds = 5;
    qint64 writeNs = 0;
    qint64 closeNs = 0;
    QElapsedTimer timer;
    for (int round = 0; round < Rounds; ++round) {
        rig.record.stampRecord(rig.clock.now().addSecs(round));
        journal.recordStarted();
        status.setMode(RecordingMode::Recording);
        long told = 0;
        timer.start();
        for (int row = 1; row <= record.sampleRows(); ++row)
            for (int channel = 0; channel < 6; ++channel) {
                if (row >= record.nextRow(channel)) continue;
                journal.sampleRecorded(channel, row, 10);
                if (++told % 20 == 0) rig.clock.advance(1);
            }
        writeNs += timer.nsecsElapsed();
        timer.start();
        status.setMode(RecordingMode::Stopped); // the rest written, synced and closed
        closeNs += timer.nsecsElapsed();
        status.setMode(RecordingMode::Idle);
    }
    std::printf("journal: %ld samples x %d records, %.3f us/sample; written through and synced at Stop: "
                "%.2f ms\n",
                samples, Rounds, writeNs / 1e3 / (double(samples) * Rounds), closeNs / 1e6 / Rounds);

    QFile file(journal.currentPath());
    if (!file.open(QIODevice::ReadOnly)) return 1;
    const QByteArray bytes = file.readAll();
    std::printf("journal file: %.1f KiB, %.1f bytes/sample\n", bytes.size() / 1024.0,
                double(bytes.size()) / samples);
    timer.start();
    const RecordJournal::Content content = RecordJournal::read(bytes);
    const qint64 readNs = timer.nsecsElapsed();
    RecordStore rebuilt;
    RecordJournal::rebuild(content, rebuilt);
    const qint64 rebuildNs = timer.nsecsElapsed() - readNs;
    std::printf("read %d samples: %.1f ms; rebuild the table: %.1f ms\n", content.samples, readNs / 1e6,
                rebuildNs / 1e6);
    return content.samples == samples ? 0 : 1;
}
