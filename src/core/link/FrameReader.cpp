#include "core/link/FrameReader.h"

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

void FrameReader::append(QByteArrayView bytes)
{
    if (m_at >= CompactThreshold || m_at == m_buffer.size()) {
        m_buffer.remove(0, m_at);
        m_at = 0;
    }
    m_buffer.append(bytes.data(), bytes.size());
}

void FrameReader::dropNonStartBytes()
{
    while (m_at < m_buffer.size() && !isStartByte(m_buffer.at(m_at)))
        ++m_at;
}

int FrameReader::bytesWanted() const
{
    const int held = bufferedBytes();
    return held == 0 ? FrameSize : qMax(0, FrameSize - held);
}

void FrameReader::clear()
{
    m_buffer.clear();
    m_at = 0;
}

std::optional<FrameReader::Frame> FrameReader::next()
{
    dropNonStartBytes();
    if (bufferedBytes() < FrameSize) return std::nullopt;
    const char *bytes = m_buffer.constData() + m_at;
    Frame frame;
    if (quint8(bytes[0]) == FrameEncoder::StatusStart) {
        frame.kind = Frame::Kind::Status;
    } else if (const std::optional<MeterReading> reading = parseReading(bytes)) {
        frame.kind = Frame::Kind::Reading;
        frame.reading = *reading;
        m_lastDivisor = reading->divisor;
    }
    if (frame.kind == Frame::Kind::Rejected) {
        // Resume at the next start byte inside the rejected frame (dropNonStartBytes finds it).
        ++m_at;
    } else {
        m_at += FrameSize;
    }
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
    // frame named one there is nothing to divide by, and the frame cannot be shown.
    const int divisor = FrameEncoder::divisorOf(byte(5) & DecimalBits);
    r.divisor = divisor != 0 ? divisor : m_lastDivisor;
    if (r.divisor == 0) return std::nullopt;
    r.negative = (byte(5) & SignBit) != 0;
    r.digits = r.overload ? 0 : bcdValue(high) * 100 + bcdValue(low);

    // Currents below a milliampere and the functions without ranges are shown without prefix.
    using namespace Measurement;
    if ((r.functionCode == DCA || r.functionCode == ACA) && r.prefixCode == 1) r.prefixCode = NoPrefix;
    if (r.functionCode == Duty || r.functionCode == Diode || r.functionCode == Continuity)
        r.prefixCode = NoPrefix;
    return r;
}
