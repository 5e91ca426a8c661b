#pragma once
#include <QDateTime>
#include <QString>
#include <vector>

#include "core/publish/SampleOutput.h"
#include "core/recording/RecordingStatus.h"
#include "core/recording/SampleJournal.h"

class Clock;
class RecordStore;

// Hands every sample the record takes, as the table shows it, to the outputs; and the
// recording's state and the workbooks written of the record.
class ReadingPublisher : public SampleJournal
{
public:
    ReadingPublisher(const RecordStore &record, const Clock &clock);

    void addOutput(SampleOutput *output);
    void removeOutput(SampleOutput *output);
    bool hasOutputs() const { return !m_outputs.empty(); }

    void sampleRecorded(int channel, int row, int divisor) override;
    void recordingModeChanged(RecordingMode mode);
    void recordSaved(const QString &fileName);

    // The sample of `channel` (0..5) in grid row `row`, dated from `now`.
    PublishedSample sampleAt(int channel, int row, const QDateTime &now);

private:
    const RecordStore &m_record;
    const Clock &m_clock;
    std::vector<SampleOutput *> m_outputs;
    QDate m_day;
    QString m_dayText;
};
