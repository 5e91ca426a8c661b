#include "core/link/FrameReader.h"

#include <algorithm>

#include "core/common/ChannelCount.h"
#include "core/link/FrameEncoder.h"
#include "core/measurement/MeasurementTables.h"

namespace
{

constexpr quint8 SignBit = 0x08;
constexpr quint8 DecimalBits = 0x07;
// Consumed bytes are cut off the buffer's front only now and then, not at every frame.
constexpr qsizetype CompactThreshold = 4096;

bool isStartByte(char byte)
{
    return quint8(byte) == FrameEncoder::ReadingStart || quint8(byte) == FrameEncoder::StatusStart;
}
bool isPackedBcd(quint8 byte)
{
    return (byte >> 4) <= 9 && (byte & 0x0F) <= 9;
}
int bcdValue(quint8 byte)
{
    return (byte >> 4) * 10 + (byte & 0x0F);
}

} // namespace

void FrameReader::append(QByteArrayView bytes, qint64 arrivalMs)
{
    if (m_at >= CompactThreshold || m_at == m_buffer.size()) {
        m_buffer.remove(0, m_at);
        m_arrival.erase(m_arrival.begin(), m_arrival.begin() + m_at);
        m_at = 0;
    }
    m_buffer.append(bytes.data(), bytes.size());
    m_arrival.insert(m_arrival.end(), std::size_t(bytes.size()), arrivalMs);
}

void FrameReader::dropNonStartBytes()
{
    while (m_at < m_buffer.size() && !isStartByte(m_buffer.at(m_at)))
        ++m_at;
}

int FrameReader::bytesWanted() const
{
    const int held = bufferedBytes();
    if (held == 0) return FrameSize;
    // A frame that failed the checks waits for the byte behind it.
    return held < FrameSize ? FrameSize - held : 1;
}

void FrameReader::heldUntil(qint64 nowMs)
{
    std::fill(m_arrival.begin() + m_at, m_arrival.end(), nowMs);
}

void FrameReader::clear()
{
    m_buffer.clear();
    m_arrival.clear();
    m_at = 0;
}

int FrameReader::bytesBeforePause(int count) const
{
    for (int i = 1; i < count; ++i) {
        const std::size_t at = std::size_t(m_at + i);
        if (m_arrival[at] - m_arrival[at - 1] > PauseMs) return i;
    }
    return 0;
}

std::optional<FrameReader::Frame> FrameReader::next()
{
    dropNonStartBytes();
    const int held = bufferedBytes();
    if (held == 0) return std::nullopt;
    Frame frame;
    // A frame cut short by a pause goes whole, whatever came after the pause.
    if (const int cut = bytesBeforePause(std::min(held, FrameSize))) {
        m_at += cut;
        return frame;
    }
    if (held < FrameSize) return std::nullopt;
    const char *bytes = m_buffer.constData() + m_at;
    if (std::none_of(bytes + 1, bytes + FrameSize, isStartByte)) {
        if (quint8(bytes[0]) == FrameEncoder::StatusStart) {
            frame.kind = Frame::Kind::Status;
        } else if (const std::optional<MeterReading> reading = parseReading(bytes)) {
            frame.kind = Frame::Kind::Reading;
            frame.reading = *reading;
            m_lastDivisor = reading->divisor;
        }
    }
    if (frame.kind != Frame::Kind::Rejected) {
        m_at += FrameSize;
        return frame;
    }
    // Whether the rejected frame is whole shows in the byte behind it.
    if (held == FrameSize) return std::nullopt;
    const bool whole = isStartByte(bytes[FrameSize]) || bytesBeforePause(FrameSize + 1) == FrameSize;
    m_at += whole ? FrameSize : 1;
    return frame;
}

std::optional<MeterReading> FrameReader::parseReading(const char *frame) const
{
    const auto byte = [frame](int i) { return quint8(frame[i]); };
    MeterReading r;
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
        return std::nullopt;
    if (!r.overload && !(isPackedBcd(low) && isPackedBcd(high))) return std::nullopt;

    // An unknown decimal-point code keeps the divisor of the previous frame; before any
    // frame named one there is nothing to divide by, and only the overload mark can be shown.
    const int divisor = FrameEncoder::divisorOf(byte(5) & DecimalBits);
    r.divisor = divisor != 0 ? divisor : m_lastDivisor;
    if (r.divisor == 0 && !r.overload) return std::nullopt;
    r.negative = (byte(5) & SignBit) != 0;
    r.digits = r.overload ? 0 : bcdValue(high) * 100 + bcdValue(low);

    // Currents below a milliampere and the functions without ranges are shown without prefix.
    using namespace Measurement;
    if ((r.functionCode == DCA || r.functionCode == ACA) && r.prefixCode == 1) r.prefixCode = NoPrefix;
    if (r.functionCode == Duty || r.functionCode == Diode || r.functionCode == Continuity)
        r.prefixCode = NoPrefix;
    return r;
}
