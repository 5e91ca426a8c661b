#include "core/publish/ReadingPublisher.h"

#include <algorithm>

#include "core/common/Clock.h"
#include "core/record/RecordStore.h"

ReadingPublisher::ReadingPublisher(const RecordStore &record, const Clock &clock)
    : m_record(record), m_clock(clock)
{
}

void ReadingPublisher::addOutput(SampleOutput *output)
{
    if (output && std::find(m_outputs.begin(), m_outputs.end(), output) == m_outputs.end())
        m_outputs.push_back(output);
}

void ReadingPublisher::removeOutput(SampleOutput *output)
{
    m_outputs.erase(std::remove(m_outputs.begin(), m_outputs.end(), output), m_outputs.end());
}

namespace
{

// Seconds since midnight of a "hh:mm:ss" text, or -1.
int secondsOfDay(const QString &text)
{
    if (text.size() != 8 || text[2] != u':' || text[5] != u':') return -1;
    auto two = [&text](int at) { return (text[at].unicode() - '0') * 10 + (text[at + 1].unicode() - '0'); };
    for (int at : {0, 1, 3, 4, 6, 7})
        if (!text[at].isDigit()) return -1;
    return two(0) * 3600 + two(3) * 60 + two(6);
}

} // namespace

PublishedSample ReadingPublisher::sampleAt(int channel, int row, const QDateTime &now)
{
    const RecordStore &record = m_record;
    PublishedSample sample;
    sample.channel = channel + 1;
    sample.row = record.cell(row, 0).toInt();
    if (sample.row == 0) sample.row = row;
    // The cell holds the time of day, possibly moved on a second past `now`, past midnight too.
    QString time = record.cell(row, RecordStore::timeColumn(channel));
    const int seconds = secondsOfDay(time);
    QDate date = now.date();
    if (seconds < 0)
        time = now.time().toString(u"hh:mm:ss");
    else if (now.time().msecsSinceStartOfDay() / 1000 - seconds > 12 * 3600)
        date = date.addDays(1);
    if (date != m_day) {
        m_day = date;
        m_dayText = date.toString(Qt::ISODate) + u'T';
    }
    sample.time = m_dayText + time;
    sample.text = record.cell(row, RecordStore::valueColumn(channel));
    sample.unit = record.cell(row, RecordStore::unitColumn(channel));
    sample.function = record.functionCaption[std::size_t(channel)];
    return sample;
}

void ReadingPublisher::sampleRecorded(int channel, int row, int /*divisor*/)
{
    if (m_outputs.empty()) return;
    const PublishedSample sample = sampleAt(channel, row, m_clock.now());
    for (SampleOutput *output : m_outputs)
        output->sampleRecorded(sample);
}

void ReadingPublisher::recordingModeChanged(RecordingMode mode)
{
    SampleOutput::RecordState state;
    switch (mode) {
    case RecordingMode::Recording:
        state = SampleOutput::RecordState::Recording;
        break;
    case RecordingMode::Paused:
        state = SampleOutput::RecordState::Paused;
        break;
    case RecordingMode::Stopped:
        state = SampleOutput::RecordState::Stopped;
        break;
    default:
        return; // on the way to one of the three
    }
    int rows = 0;
    for (int k = 0; k < 6; ++k)
        rows = std::max(rows, m_record.nextRow(k) - 1);
    for (SampleOutput *output : m_outputs)
        output->recordStateChanged(state, rows, m_record.stamp());
}

void ReadingPublisher::recordSaved(const QString &fileName)
{
    for (SampleOutput *output : m_outputs)
        output->recordSaved(fileName);
}
