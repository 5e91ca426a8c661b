#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <array>

// Builds the receiver's six-byte frames. The simulator sends them; tests feed them to the
// decoder. No checks beyond masking: out-of-range codes are sent as given (within their
// nibble), because sending malformed frames on purpose is part of the job.
namespace FrameEncoder
{

constexpr int FrameSize = 6;
constexpr quint8 ReadingStart = 0xFF;
constexpr quint8 StatusStart = 0xFE;
constexpr quint8 OverloadLow = 0xBA;  // byte 3 of an overload frame
constexpr quint8 OverloadHigh = 0xA0; // byte 4 of an overload frame
constexpr int MaxDigits = 9999;

// Decimal-point codes and the divisor each one stands for.
enum DecimalCode : quint8 { Divisor1 = 0, Divisor1000 = 1, Divisor100 = 2, Divisor10 = 4 };

struct Header {
    int channel = 0;      // 0..5
    int intervalCode = 0; // 0..4
    int prefixCode = 3;   // 0..5
    int functionCode = 0; // 0..9
    int decimalCode = 0;  // 0..7 (0, 1, 2, 4 are meaningful)
    bool negative = false;
};

// Two decimal digits (0..99) as packed BCD.
quint8 toBcd(int twoDigits);

// A reading of `digits` (0..9999; larger values are clamped) with the header's sign and
// decimal-point code.
QByteArray encodeReading(const Header &header, int digits);
// The overload mark, carrying the header's sign and decimal-point code.
QByteArray encodeOverload(const Header &header);
// A status frame: 0xFE and five payload bytes the program ignores.
QByteArray encodeStatus(const std::array<quint8, 5> &payload = {});

// The divisor of a decimal-point code; 0 for the codes that carry none.
int divisorOf(int decimalCode);
// The decimal-point code of a divisor (1, 10, 100, 1000); -1 for any other divisor.
int decimalCodeOf(int divisor);

} // namespace FrameEncoder
