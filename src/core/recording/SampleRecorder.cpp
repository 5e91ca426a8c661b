#include "core/recording/SampleRecorder.h"

#include "core/acquisition/AcquisitionState.h"
#include "core/common/Clock.h"
#include "core/common/NumberFormat.h"
#include "core/common/WindowHooks.h"
#include "core/layout/WindowVisibility.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/RecordStore.h"
#include "core/recording/SampleJournal.h"
#include "core/settings/Settings.h"

namespace
{

constexpr int LastIntervalCode = Measurement::IntervalCodeCount - 1;

// The top range of each function: the only range in which an overload still counts in the
// statistics.
struct TopRange {
    int prefixCode;
    int divisor;
};
constexpr TopRange topRange[Measurement::FunctionCount] = {
    {3, 1}, {3, 1}, {3, 1}, {3, 1}, {5, 100}, {1, 10}, {5, 1000}, {3, 10}, {3, 1000}, {3, 10},
};

constexpr qint64 KeptMainSlackMs = 1000;

// An interval code outside the table may stand for the longest.
int intervalSeconds(int intervalCode)
{
    const int seconds = Measurement::intervalSeconds(intervalCode);
    return seconds ? seconds : Measurement::IntervalSecondsByCode[LastIntervalCode];
}

QStringView valuePicture(int divisor)
{
    switch (divisor) {
    case 10:
        return u"####0.0";
    case 100:
        return u"###0.00";
    case 1000:
        return u"##0.000";
    default:
        return u"####0";
    }
}

QString unitOf(int prefixCode, int functionCode)
{
    return Measurement::prefixText(prefixCode) + Measurement::unitText(functionCode);
}

// The reading's value as the record shows it: "+OL"/"-OL", or the number with the
// divisor's decimals; a whole zero keeps its sign.
QString readingValueText(const MeterReading &r)
{
    const QString sign = r.negative ? QStringLiteral("-") : QStringLiteral("+");
    if (r.overload) return sign + QStringLiteral("OL");
    const int signedDigits = r.negative ? -r.digits : r.digits;
    QString text = NumberFormat::format(double(signedDigits) / r.divisor, valuePicture(r.divisor));
    // A whole zero keeps its sign, which decides the alarm at a limit of zero.
    if (text == u"0") text.prepend(sign);
    return text;
}

} // namespace

bool SampleRecorder::overloadCounts(int functionCode, int prefixCode, int divisor)
{
    if (functionCode < 0 || functionCode >= Measurement::FunctionCount) return false;
    const TopRange &top = topRange[functionCode];
    return prefixCode == top.prefixCode && divisor == top.divisor;
}

SampleRecorder::SampleRecorder(const Collaborators &collaborators, QObject *parent)
    : QObject(parent), m_(collaborators)
{
    m_intervalSeconds.fill(intervalSeconds(-1));
}

void SampleRecorder::readingsTaken()
{
    m_.monitor.notify();
}

bool SampleRecorder::take(const MeterReading &r, int waitingBytes)
{
    const int k = r.channel;
    m_intervalSeconds[std::size_t(k)] = intervalSeconds(r.intervalCode);
    // The meter was switched to another function: the record closes, is saved and a new one
    // starts, with this reading as its first.
    if (functionChanged(r) && !restart()) return false;
    giveUpOverdueMainChannel();

    AcquisitionState &state = m_.state;
    ChannelReading &current = state.reading;
    current.channel = qint16(k);
    current.intervalCode = qint16(r.intervalCode);
    current.prefixCode = qint16(r.prefixCode);
    current.functionCode = qint16(r.functionCode);

    admitChannel(r);
    // An interval code outside the table leaves the interval display as it is.
    if (k == state.main.channel && r.intervalCode <= LastIntervalCode) showInterval(r.intervalCode);

    current.divisor = qint16(r.divisor);
    current.sign = r.negative ? QStringLiteral("-") : QStringLiteral("+");
    current.valueText = readingValueText(r);
    if (r.overload) state.channels.skipStats[k] = !overloadCounts(r.functionCode, r.prefixCode, r.divisor);

    const int row = m_.record.nextRow(k);
    current.timeStamp = m_.record.appendSample(k, current.valueText, unitOf(r.prefixCode, r.functionCode),
                                               m_.clock.now(), waitingBytes);
    updateHistory(r);
    // A sample the table had no row for is in no journal either.
    if (m_journal && m_.record.nextRow(k) != row) m_journal->sampleRecorded(k, row, r.divisor);

    if (k == state.main.channel) {
        showMainChannel(r);
    } else {
        m_.statistics.avg();
        runStatistics(k);
    }

    // The reading that filled the table is the old record's last.
    if (m_.record.growOrSplit() == RecordStore::Growth::SplitNeeded) return restart();
    keepNewestRowsInView();
    return true;
}

bool SampleRecorder::functionChanged(const MeterReading &r) const
{
    const int k = r.channel;
    return m_.record.nextRow(k) != 1 &&
           m_.record.functionCaption[k] != Measurement::functionName(r.functionCode);
}

bool SampleRecorder::restart()
{
    AcquisitionState &state = m_.state;
    const int main = state.main.channel;
    Q_EMIT restartNeeded();
    // Where the recording stopped instead, the old record is still in the table.
    if (!m_.record.cell(1, 1).isEmpty()) return false;
    // The user's main channel, with its alarm and power cost, stays the monitor's while its meter
    // goes on reporting: it is given two of its intervals to report in the new record.
    state.main.keptChannel = qint16(main);
    state.main.keptUntilMs =
        m_.clock.tickMs() + 2 * 1000 * qint64(m_intervalSeconds[std::size_t(main)]) + KeptMainSlackMs;
    state.main.rowCount = 0;
    return true;
}

void SampleRecorder::giveUpOverdueMainChannel()
{
    AcquisitionState &state = m_.state;
    if (state.main.keptChannel < 0 || m_.clock.tickMs() <= state.main.keptUntilMs) return;
    // Its meter is silent: the record's first channel takes the monitor and the alarm, as in any
    // record.
    state.main.keptChannel = -1;
    MonitorFields &monitor = m_.monitor;
    if (monitor.channelEntries.isEmpty()) return;
    monitor.channelIndex = 0;
    monitor.selectEntry(0);
    m_.alarm.setUpForFunction(state.main.function);
    m_.alarm.alm();
}

void SampleRecorder::admitChannel(const MeterReading &r)
{
    RecordStore &record = m_.record;
    const int k = r.channel;
    if (record.nextRow(k) != 1) return;
    MonitorFields &monitor = m_.monitor;
    AcquisitionState &state = m_.state;
    // Only the record's first channel becomes the main channel by itself, or in a record begun
    // automatically the main channel of the record before: a meter heard later never takes the
    // user's choice or its alarm away.
    const bool takesMonitor =
        state.main.keptChannel < 0 ? monitor.channelEntries.isEmpty() : k == state.main.keptChannel;
    monitor.channelEntries.append(QString(QString::number(k + 1) + u'_' + m_.settings.Channel_n[k]));
    record.setChannelCount(record.channelCount() + 1);
    monitor.receivedChannels = QString::number(record.channelCount());
    state.channels.present[k] = true;
    record.functionCaption[k] = Measurement::functionName(r.functionCode);
    if (!takesMonitor) return;
    state.main.keptChannel = -1;
    monitor.channelIndex = int(monitor.channelEntries.size()) - 1;
    monitor.selectEntry(monitor.channelIndex);
}

void SampleRecorder::showInterval(int intervalCode)
{
    // Minutes and seconds, two digits each.
    const int seconds = Measurement::intervalSeconds(intervalCode);
    m_.monitor.interval = {NumberFormat::format(seconds / 60, u"00"),
                           NumberFormat::format(seconds % 60, u"00")};
}

void SampleRecorder::updateHistory(const MeterReading &r)
{
    AcquisitionState &state = m_.state;
    RecordStore &record = m_.record;
    const int k = r.channel;
    const auto setCaptions = [&] {
        record.prefixCaption[k] = QString::number(state.channels.currentPrefix[k]);
        record.divisorCaption[k] = QString::number(r.divisor);
    };

    state.channels.unit[k] = unitOf(r.prefixCode, r.functionCode);
    if (record.nextRow(k) == 2) {
        state.channels.currentPrefix[k] = qint16(r.prefixCode);
        state.channels.prefixChanged[k] = false;
        setCaptions();
        state.channels.rangeMixed[k] = false;
    } else if (state.channels.currentPrefix[k] != r.prefixCode) {
        state.channels.previousPrefix[k] = state.channels.currentPrefix[k];
        state.channels.currentPrefix[k] = qint16(r.prefixCode);
        state.channels.prefixChanged[k] = true;
        if (r.functionCode == Measurement::DCV || r.functionCode == Measurement::OHM ||
            r.functionCode == Measurement::Hz) {
            // The captions keep the smallest range seen and the divisor that came with it.
            if (record.prefixCaption[k].isEmpty() ||
                state.channels.currentPrefix[k] < record.prefixCaption[k].toInt())
                setCaptions();
            state.channels.rangeMixed[k] = true;
        }
    }
}

void SampleRecorder::showMainChannel(const MeterReading &r)
{
    AcquisitionState &state = m_.state;
    MonitorFields &monitor = m_.monitor;

    if (m_.record.nextRow(r.channel) == 2) {
        firstMainReading(r);
    } else if (state.main.prefix != r.prefixCode) {
        state.main.prefix = qint16(r.prefixCode);
        state.applyDisplayLimits();
        state.main.rangeChanged = true;
    }

    monitor.bigValue = state.reading.valueText;
    monitor.bigUnit = unitOf(r.prefixCode, r.functionCode);
    monitor.type = Measurement::functionName(r.functionCode);
    m_.statistics.avg();
    if (state.main.powerRunning) m_.power.powerRate();
    runStatistics(r.channel);
    if (state.main.alarmEnabled)
        m_.alarm.beepT1();
    else
        m_.alarm.disarm();

    state.main.rowCount = m_.record.nextRow(state.main.channel) - 1;
    if (m_.windows.isShown(ChildWindow::Graph)) m_.graph.dataAll();
}

void SampleRecorder::firstMainReading(const MeterReading &r)
{
    AcquisitionState &state = m_.state;
    const int k = r.channel;
    state.main.function = qint16(r.functionCode);
    state.main.prefix = qint16(r.prefixCode);
    state.applyDisplayLimits();
    state.main.rangeChanged = false;

    m_.alarm.setUpForFunction(r.functionCode);
    m_.alarm.alm();
    // The table has 20 columns: scroll the main channel's columns into view.
    m_.record.setFirstVisibleColumn(k <= 2 ? RecordStore::timeColumn(k) : 11);
    m_.power.powerCheck();

    m_.monitor.serialNumber = m_.settings.Channel_sn[k];
    m_.monitor.place = m_.settings.Channel_p[k];
}

void SampleRecorder::runStatistics(int channel)
{
    AcquisitionState &state = m_.state;
    if (state.channels.skipStats[channel]) {
        state.channels.skipStats[channel] = false;
        return;
    }
    m_.statistics.maxMin();
    state.channels.prefixChanged[channel] = false;
}

void SampleRecorder::keepNewestRowsInView()
{
    RecordStore &record = m_.record;
    const int next = record.nextRow(m_.state.main.channel);
    int row = 0;
    if (!m_.windows.isShown(ChildWindow::Power)) {
        if (record.gridRowCount() > 7) row = next - 5;
    } else if (record.gridRowCount() > 4) {
        row = next - 2;
    }
    // A main channel with few rows yet leaves the view where it is.
    if (row >= 1) record.setFirstVisibleRow(row);
}
