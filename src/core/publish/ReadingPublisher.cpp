#include "core/publish/ReadingPublisher.h"

#include <QFileInfo>
#include <algorithm>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/Clock.h"
#include "core/measurement/MeasurementTables.h"
#include "core/record/RecordStore.h"

ReadingPublisher::ReadingPublisher(const RecordStore &record, const Clock &clock,
                                   const AcquisitionState &state)
    : m_record(record), m_clock(clock), m_state(state)
{
}

void ReadingPublisher::addOutput(SampleOutput *output)
{
    if (output && std::find(m_outputs.begin(), m_outputs.end(), output) == m_outputs.end())
        m_outputs.push_back(output);
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

// "+01:00", "-03:30", "+00:00"
QString offsetText(int seconds)
{
    const int minutes = std::abs(seconds) / 60;
    return QString(seconds < 0 ? u'-' : u'+') + QString::number(minutes / 60).rightJustified(2, u'0') + u':' +
           QString::number(minutes % 60).rightJustified(2, u'0');
}

// The record's stamp as its file name has it: yymmdd_hhnnss.
QString recordKey(const QString &stamp)
{
    return stamp.mid(2, 13);
}

} // namespace

PublishedSample ReadingPublisher::sampleAt(int channel, int row, const QDateTime &now)
{
    const RecordStore &record = m_record;
    PublishedSample sample;
    sample.channel = channel + 1;
    sample.record = recordKey(record.stamp());
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
    sample.time = m_dayText + time + offsetText(now.offsetFromUtc());
    sample.text = record.cell(row, RecordStore::valueColumn(channel));
    sample.textUnit = record.cell(row, RecordStore::unitColumn(channel));
    sample.function = record.functionCaption[std::size_t(channel)];
    SampleFormat::setBaseValue(sample);
    sample.name = record.cell(0, RecordStore::valueColumn(channel)).trimmed();
    if (sample.name.isEmpty()) sample.name = QStringLiteral("Ch%1").arg(channel + 1);
    sample.intervalS = Measurement::intervalSeconds(m_state.reading.intervalCode);
    return sample;
}

void ReadingPublisher::sampleRecorded(int channel, int row, int /*divisor*/)
{
    if (m_outputs.empty()) return;
    const PublishedSample sample = sampleAt(channel, row, m_clock.now());
    m_rows = std::max(m_rows, sample.row);
    for (SampleOutput *output : m_outputs)
        output->sampleRecorded(sample);
}

void ReadingPublisher::tell(SampleOutput::RecordState state, const QString &stamp)
{
    if (state == m_told && stamp == m_toldStamp) return;
    m_told = state;
    m_toldStamp = stamp;
    for (SampleOutput *output : m_outputs)
        output->recordStateChanged(state, m_rows, recordKey(stamp));
}

void ReadingPublisher::recordingModeChanged(RecordingMode mode)
{
    using State = SampleOutput::RecordState;
    m_mode = mode;
    switch (mode) {
    case RecordingMode::Recording:
        // A resume goes on with its record; a Start waits for the stamp of the record it begins.
        if (m_told == State::Paused || m_startPending) tell(State::Recording, m_record.stamp());
        m_startPending = false;
        break;
    case RecordingMode::Paused:
        if (m_told == State::Recording) tell(State::Paused, m_toldStamp);
        break;
    case RecordingMode::Stopped:
        m_startPending = false;
        if (m_told != State::Stopped) tell(State::Stopped, m_toldStamp);
        break;
    default:
        break; // on the way to one of the three
    }
}

void ReadingPublisher::recordStarted()
{
    using State = SampleOutput::RecordState;
    if (m_told != State::Stopped) tell(State::Stopped, m_toldStamp); // split off on the open port
    m_rows = 0;
    if (m_mode == RecordingMode::Recording)
        tell(State::Recording, m_record.stamp());
    else
        m_startPending = true;
}

void ReadingPublisher::recordSaved(const QString &path)
{
    const QString fileName = QFileInfo(path).fileName();
    for (SampleOutput *output : m_outputs)
        output->recordSaved(fileName);
}
