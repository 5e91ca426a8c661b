#include "core/link/FrameDecoder.h"

#include <QScopedValueRollback>
#include <utility>

#include "core/commands/CommandState.h"
#include "core/common/Clock.h"
#include "core/common/NumberFormat.h"
#include "core/link/FrameEncoder.h"
#include "core/link/SerialControl.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/recording/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/session/Session.h"
#include "core/session/WindowHooks.h"

namespace
{

constexpr int FrameSize = FrameEncoder::FrameSize;
constexpr int LastIntervalCode = 4;
constexpr quint8 SignBit = 0x08;
constexpr quint8 DecimalBits = 0x07;

// The top range of each function: the only range in which an overload still counts in the
// statistics.
struct TopRange {
    int prefixCode;
    int divisor;
};
constexpr TopRange topRange[Measurement::FunctionCount] = {
    {3, 1}, {3, 1}, {3, 1}, {3, 1}, {5, 100}, {1, 10}, {5, 1000}, {3, 10}, {3, 1000}, {3, 10},
};

// The meter's interval as minutes and seconds, by interval code.
constexpr const char *intervalTexts[LastIntervalCode + 1][2] = {
    {"00", "02"}, {"00", "10"}, {"00", "30"}, {"01", "00"}, {"02", "00"},
};

bool isStartByte(quint8 byte)
{
    return byte == FrameEncoder::ReadingStart || byte == FrameEncoder::StatusStart;
}
bool isPackedBcd(quint8 byte)
{
    return (byte >> 4) <= 9 && (byte & 0x0F) <= 9;
}
int bcdValue(quint8 byte)
{
    return (byte >> 4) * 10 + (byte & 0x0F);
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

} // namespace

struct FrameDecoder::Reading {
    int channel = 0;
    int intervalCode = 0;
    int prefixCode = 0; // normalised
    int functionCode = 0;
    int divisor = 0;
    bool negative = false;
    bool overload = false;
    int digits = 0;
};

FrameDecoder::FrameDecoder(Session &session) : m_session(session) {}

void FrameDecoder::onComm()
{
    SerialControl &serial = m_session.serial();
    if (serial.commEvent() == SerialControl::ReceiveEvent &&
        serial.inBufferCount() + m_pending.size() >= FrameSize)
        read();
}

void FrameDecoder::read()
{
    // Stopping the record for a restart lets events run; a receive event then would decode
    // into the record being closed and saved and could start a second restart. Its bytes
    // stay waiting instead.
    if (m_reading) return;
    const QScopedValueRollback<bool> reading(m_reading, true);
    m_changed = false;
    readFrames();
    if (m_changed) m_session.monitor().notify();
}

void FrameDecoder::readFrames()
{
    SerialControl &serial = m_session.serial();
    for (;;) {
        if (m_pending.isEmpty()) {
            if (serial.inBufferCount() < FrameSize) return;
            if (!findStartByte()) return;
        }
        if (!completeFrame()) return;
        const QByteArray frame = std::exchange(m_pending, QByteArray());
        m_session.state().timeoutTicks = 0;
        // A status frame only proves the receiver is alive.
        if (quint8(frame.at(0)) == FrameEncoder::ReadingStart && decodeReading(frame) == Outcome::Restarted)
            return;
        if (serial.inBufferCount() <= 0) return;
    }
}

bool FrameDecoder::findStartByte()
{
    SerialControl &serial = m_session.serial();
    serial.setInputLen(1);
    // A start byte is taken only with a whole frame's bytes behind it. The bytes of a frame
    // still arriving stay in the input, where its rest brings them to the receive threshold;
    // taken out, they would wait for the next frame, and the sample would carry its time.
    while (serial.inBufferCount() >= FrameSize) {
        const QByteArray byte = serial.input();
        if (byte.isEmpty()) return false;
        if (isStartByte(quint8(byte.at(0)))) {
            m_pending = byte.left(1);
            return true;
        }
    }
    return false;
}

bool FrameDecoder::completeFrame()
{
    // A frame whose payload has not all arrived used to be decoded from the fields the
    // previous frame left behind. Its bytes now wait here until the rest is in.
    const int missing = FrameSize - int(m_pending.size());
    if (missing <= 0) return true;
    SerialControl &serial = m_session.serial();
    if (serial.inBufferCount() < missing) return false;
    serial.setInputLen(missing);
    m_pending += serial.input().left(missing);
    return m_pending.size() == FrameSize;
}

bool FrameDecoder::parseReading(const QByteArray &frame, int previousDivisor, Reading *reading)
{
    const auto byte = [&frame](int i) { return quint8(frame.at(i)); };
    Reading &r = *reading;
    r.channel = byte(1) >> 4;
    r.intervalCode = byte(1) & 0x0F;
    r.prefixCode = byte(2) >> 4;
    r.functionCode = byte(2) & 0x0F;
    const quint8 low = byte(3);
    const quint8 high = byte(4);
    r.overload = low == FrameEncoder::OverloadLow && high == FrameEncoder::OverloadHigh;

    // Nothing checks a frame on its way. Codes outside the tables would reach past the
    // per-channel arrays and the function and prefix tables, and digits that are not packed
    // BCD would be read as some other number: such a frame is no reading.
    if (r.channel >= ChannelCount || r.functionCode >= Measurement::FunctionCount ||
        r.prefixCode >= Measurement::PrefixCount)
        return false;
    if (!r.overload && !(isPackedBcd(low) && isPackedBcd(high))) return false;

    // An unknown decimal-point code keeps the divisor of the previous frame; before any
    // frame named one there is nothing to divide by, and the frame cannot be shown.
    const int divisor = FrameEncoder::divisorOf(byte(5) & DecimalBits);
    r.divisor = divisor != 0 ? divisor : previousDivisor;
    if (r.divisor == 0) return false;
    r.negative = (byte(5) & SignBit) != 0;
    r.digits = r.overload ? 0 : bcdValue(high) * 100 + bcdValue(low);

    // Currents below a milliampere and the functions without ranges are shown without prefix.
    using namespace Measurement;
    if ((r.functionCode == DCA || r.functionCode == ACA) && r.prefixCode == 1) r.prefixCode = NoPrefix;
    if (r.functionCode == Duty || r.functionCode == Diode || r.functionCode == Continuity)
        r.prefixCode = NoPrefix;
    return true;
}

FrameDecoder::Outcome FrameDecoder::decodeReading(const QByteArray &frame)
{
    AcquisitionState &state = m_session.state();
    Reading r;
    if (!parseReading(frame, state.reading.divisor, &r)) {
        resync(frame);
        return Outcome::Dropped;
    }
    m_changed = true;
    const int k = r.channel;
    ChannelReading &current = state.reading;
    current.channel = qint16(k);
    current.intervalCode = qint16(r.intervalCode);
    current.prefixCode = qint16(r.prefixCode);
    current.functionCode = qint16(r.functionCode);

    if (!admitChannel(r)) return Outcome::Restarted;
    // An interval code outside the table leaves the interval display as it is.
    if (k == state.mainChannel && r.intervalCode <= LastIntervalCode) showInterval(r.intervalCode);

    current.divisor = qint16(r.divisor);
    current.sign = r.negative ? QStringLiteral("-") : QStringLiteral("+");
    current.valueText = valueText(r);
    if (r.overload) {
        const TopRange &top = topRange[r.functionCode];
        state.skipStats[k] = !(r.prefixCode == top.prefixCode && r.divisor == top.divisor);
    }

    RecordStore &record = m_session.record();
    current.timeStamp = record.appendSample(k, current.valueText, unitOf(r.prefixCode, r.functionCode),
                                            m_session.clock().now(), m_session.serial().inBufferCount());
    updateHistory(r);

    if (k == state.mainChannel) {
        showMainChannel(r);
    } else {
        m_session.statistics().avg();
        runStatistics(k);
    }

    if (!growOrSplit()) return Outcome::Restarted;
    keepNewestRowsInView();
    return Outcome::Recorded;
}

void FrameDecoder::resync(const QByteArray &rejectedFrame)
{
    // A rejected frame may be the tail of a broken frame followed by the head of the next
    // one (a byte lost on the way, or a partial frame left from before the input was
    // discarded): decoding resumes at the first start byte inside it.
    for (int i = 1; i < rejectedFrame.size(); ++i) {
        if (isStartByte(quint8(rejectedFrame.at(i)))) {
            m_pending = rejectedFrame.mid(i);
            return;
        }
    }
}

bool FrameDecoder::admitChannel(const Reading &r)
{
    RecordStore &record = m_session.record();
    const int k = r.channel;
    const QString function = Measurement::functionName(r.functionCode);
    if (record.nextRow(k) == 1) {
        AcquisitionState &state = m_session.state();
        MonitorFields &monitor = m_session.monitor();
        monitor.channelEntries.append(
            QString(QString::number(k + 1) + u'_' + m_session.settings().Channel_n[k]));
        record.setChannelCount(record.channelCount() + 1);
        monitor.receivedChannels = QString::number(record.channelCount());
        state.channelPresent[k] = true;
        monitor.channelIndex = 0;
        m_session.channelSelector().select(0);
        record.functionCaption[k] = function;
        return true;
    }
    // The meter was switched to another function: the record closes, is saved and a new
    // one starts; this frame belongs to neither.
    if (record.functionCaption[k] != function) {
        m_session.recording().restartRecord();
        return false;
    }
    return true;
}

void FrameDecoder::showInterval(int intervalCode)
{
    MonitorFields &monitor = m_session.monitor();
    monitor.label8[0] = QLatin1String(intervalTexts[intervalCode][0]);
    monitor.label8[1] = QLatin1String(intervalTexts[intervalCode][1]);
}

QString FrameDecoder::valueText(const Reading &r)
{
    const QString sign = r.negative ? QStringLiteral("-") : QStringLiteral("+");
    if (r.overload) return sign + QStringLiteral("OL");
    const int signedDigits = r.negative ? -r.digits : r.digits;
    QString text = NumberFormat::format(double(signedDigits) / r.divisor, valuePicture(r.divisor));
    // A whole zero keeps its sign, which decides the alarm at a limit of zero.
    if (text == u"0") text.prepend(sign);
    return text;
}

void FrameDecoder::updateHistory(const Reading &r)
{
    AcquisitionState &state = m_session.state();
    RecordStore &record = m_session.record();
    const int k = r.channel;
    const auto setCaptions = [&] {
        record.prefixCaption[k] = QString::number(state.currentPrefix[k]);
        record.divisorCaption[k] = QString::number(r.divisor);
    };

    state.channelUnit[k] = unitOf(r.prefixCode, r.functionCode);
    if (record.nextRow(k) == 2) {
        state.currentPrefix[k] = qint16(r.prefixCode);
        state.prefixChanged[k] = false;
        setCaptions();
        state.rangeMixed[k] = false;
    } else if (state.currentPrefix[k] != r.prefixCode) {
        state.previousPrefix[k] = state.currentPrefix[k];
        state.currentPrefix[k] = qint16(r.prefixCode);
        state.prefixChanged[k] = true;
        if (r.functionCode == Measurement::DCV || r.functionCode == Measurement::OHM ||
            r.functionCode == Measurement::Hz) {
            // The captions keep the smallest range seen and the divisor that came with it.
            if (record.prefixCaption[k].isEmpty() || state.currentPrefix[k] < record.prefixCaption[k].toInt())
                setCaptions();
            state.rangeMixed[k] = true;
        }
    }
}

void FrameDecoder::showMainChannel(const Reading &r)
{
    AcquisitionState &state = m_session.state();
    const RecordStore &record = m_session.record();
    MonitorFields &monitor = m_session.monitor();

    if (record.nextRow(r.channel) == 2) {
        firstMainReading(r);
    } else if (state.mainPrefix != r.prefixCode) {
        state.mainPrefix = qint16(r.prefixCode);
        setDisplayLimits();
        state.mainRangeChanged = true;
    }

    monitor.bigValue = state.reading.valueText;
    monitor.bigUnit = unitOf(r.prefixCode, r.functionCode);
    monitor.type = Measurement::functionName(r.functionCode);
    m_session.statistics().avg();
    if (state.powerRunning) m_session.power().powerRate();
    runStatistics(r.channel);
    if (state.alarmEnabled)
        m_session.alarm().beepT1();
    else
        m_session.alarm().disarm();

    state.mainRowCount = record.nextRow(state.mainChannel) - 1;
    if (m_session.commands().isChecked(QStringLiteral("mngr"))) m_session.graph().dataAll();
}

void FrameDecoder::firstMainReading(const Reading &r)
{
    AcquisitionState &state = m_session.state();
    const int k = r.channel;
    state.mainFunction = qint16(r.functionCode);
    state.mainPrefix = qint16(r.prefixCode);
    setDisplayLimits();
    state.mainRangeChanged = false;

    Alarm &alarm = m_session.alarm();
    alarm.setUpForFunction(r.functionCode);
    alarm.alm();
    // The table has 20 columns: scroll the main channel's columns into view.
    m_session.record().setFirstVisibleColumn(k <= 2 ? RecordStore::timeColumn(k) : 11);
    m_session.power().powerCheck();

    MonitorFields &monitor = m_session.monitor();
    const Settings &settings = m_session.settings();
    monitor.serialNumber = settings.Channel_sn[k];
    monitor.place = settings.Channel_p[k];
}

void FrameDecoder::setDisplayLimits()
{
    AcquisitionState &state = m_session.state();
    Measurement::DisplayLimits limits;
    if (Measurement::displayLimits(state.mainFunction, state.mainPrefix, &limits)) {
        state.upperLimit = limits.upper;
        state.lowerLimit = limits.lower;
    }
}

void FrameDecoder::runStatistics(int channel)
{
    AcquisitionState &state = m_session.state();
    if (state.skipStats[channel]) {
        state.skipStats[channel] = false;
        return;
    }
    m_session.statistics().maxMin();
    state.prefixChanged[channel] = false;
}

bool FrameDecoder::growOrSplit()
{
    if (m_session.record().growOrSplit() != RecordStore::Growth::SplitNeeded) return true;
    m_session.recording().restartRecord();
    return false;
}

void FrameDecoder::keepNewestRowsInView()
{
    RecordStore &record = m_session.record();
    const int next = record.nextRow(m_session.state().mainChannel);
    int row = 0;
    if (!m_session.commands().isChecked(QStringLiteral("mnpower"))) {
        if (record.gridRowCount() > 7) row = next - 5;
    } else if (record.gridRowCount() > 4) {
        row = next - 2;
    }
    // A main channel with few rows yet leaves the view where it is.
    if (row >= 1) record.setFirstVisibleRow(row);
}
