#pragma once
#include <QDateTime>
#include <QString>
#include <vector>

#include "core/publish/SampleOutput.h"
#include "core/recording/RecordingStatus.h"
#include "core/recording/SampleJournal.h"

struct AcquisitionState;
class Clock;
class RecordStore;

// Hands every sample the record takes, as the table shows it, to the outputs; and each
// record's start, pause, resume and stop with that record's stamp, and the workbooks written.
class ReadingPublisher : public SampleJournal
{
public:
    // `state` tells the interval of the reading being recorded.
    ReadingPublisher(const RecordStore &record, const Clock &clock, const AcquisitionState &state);

    void addOutput(SampleOutput *output);

    void sampleRecorded(int channel, int row, int divisor) override;
    void recordingModeChanged(RecordingMode mode);
    // A new record has its stamp: it follows the one before, which may not have stopped (a split).
    void recordStarted();
    // `path`: the file written.
    void recordSaved(const QString &path);

    // The sample of `channel` (0..5) in grid row `row`, dated from `now`.
    PublishedSample sampleAt(int channel, int row, const QDateTime &now);

private:
    void tell(SampleOutput::RecordState state, const QString &stamp);

    const RecordStore &m_record;
    const Clock &m_clock;
    const AcquisitionState &m_state;
    std::vector<SampleOutput *> m_outputs;
    QDate m_day;
    QString m_dayText;
    RecordingMode m_mode = RecordingMode::Idle;
    // What the outputs were last told, and the rows of that record.
    SampleOutput::RecordState m_told = SampleOutput::RecordState::Stopped;
    QString m_toldStamp;
    int m_rows = 0;
    // A record stamped while the link was still being made starts once the recording does.
    bool m_startPending = false;
};
