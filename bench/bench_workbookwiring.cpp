// The Open command end to end on a full record (9,999 rows of one channel, saved by Save Data):
// reading the workbook, the import rules, filling the table and the monitor, choosing the main
// channel. Also the Save Data write of the same record through the session. Prints medians.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/link/FrameEncoder.h"
#include "core/record/RecordStore.h"
#include "core/recordfiles/OpenRecord.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/RecordingControl.h"
#include "support/RecordingSession.h"

namespace
{

double medianMs(std::vector<qint64> &nanoseconds)
{
    std::sort(nanoseconds.begin(), nanoseconds.end());
    return double(nanoseconds[nanoseconds.size() / 2]) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("full.xlsx"));
    {
        RecordingSession recording;
        recording.session.setRecordSaver(nullptr);
        recording.start();
        for (int i = 0; i < RecordStore::MaxSampleRows - 1; ++i)
            recording.feed(
                FrameEncoder::encodeReading({0, 0, 3, 0, FrameEncoder::Divisor100, false}, 1 + i % 9000));
        recording.session.recording().stop();
        std::vector<qint64> saves;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer timer;
            timer.start();
            QString error;
            if (!recording.session.workbookSaver().saveAs(&path, &error)) {
                std::printf("bench_workbookwiring: %s\n", qPrintable(error));
                return 1;
            }
            saves.push_back(timer.nsecsElapsed());
        }
        std::printf("record: %d table rows\n", recording.session.record().gridRowCount() - 2);
        std::printf("Save Data through the session:   median %7.1f ms of %zu runs\n", medianMs(saves),
                    saves.size());
    }
    std::vector<qint64> opens;
    int rows = 0;
    for (int run = 0; run < 5; ++run) {
        RecordingSession viewer;
        QElapsedTimer timer;
        timer.start();
        if (!viewer.session.openRecord().open(path)) {
            std::printf("bench_workbookwiring: the record did not open\n");
            return 1;
        }
        opens.push_back(timer.nsecsElapsed());
        rows = viewer.session.record().gridRowCount() - 2;
    }
    std::printf("Open through the session:        median %7.1f ms of %zu runs (%d rows shown)\n",
                medianMs(opens), opens.size(), rows);
    return 0;
}
