#include "core/link/FrameEncoder.h"

#include <algorithm>

namespace FrameEncoder
{

namespace
{

quint8 nibbles(int high, int low)
{
    return quint8(((high & 0x0F) << 4) | (low & 0x0F));
}

QByteArray frame(const Header &header, quint8 low, quint8 high)
{
    QByteArray bytes(FrameSize, '\0');
    bytes[0] = char(ReadingStart);
    bytes[1] = char(nibbles(header.channel, header.intervalCode));
    bytes[2] = char(nibbles(header.prefixCode, header.functionCode));
    bytes[3] = char(low);
    bytes[4] = char(high);
    bytes[5] = char((header.negative ? 0x08 : 0x00) | (header.decimalCode & 0x07));
    return bytes;
}

} // namespace

quint8 toBcd(int twoDigits)
{
    const int value = std::clamp(twoDigits, 0, 99);
    return nibbles(value / 10, value % 10);
}

QByteArray encodeReading(const Header &header, int digits)
{
    const int value = std::clamp(digits, 0, MaxDigits);
    return frame(header, toBcd(value % 100), toBcd(value / 100));
}

QByteArray encodeOverload(const Header &header)
{
    return frame(header, OverloadLow, OverloadHigh);
}

QByteArray encodeStatus(const std::array<quint8, 5> &payload)
{
    QByteArray bytes(1, char(StatusStart));
    for (const quint8 byte : payload)
        bytes.append(char(byte));
    return bytes;
}

int divisorOf(int decimalCode)
{
    switch (decimalCode) {
    case Divisor1:
        return 1;
    case Divisor1000:
        return 1000;
    case Divisor100:
        return 100;
    case Divisor10:
        return 10;
    default:
        return 0;
    }
}

int decimalCodeOf(int divisor)
{
    switch (divisor) {
    case 1:
        return Divisor1;
    case 10:
        return Divisor10;
    case 100:
        return Divisor100;
    case 1000:
        return Divisor1000;
    default:
        return -1;
    }
}

} // namespace FrameEncoder
