#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// One reading as the receiver reported it, validated: every code is inside its table and the
// digits are packed BCD (or the overload mark).
struct MeterReading {
    int channel = 0;      // 0..5
    int intervalCode = 0; // 0..15; only 0..4 name an interval
    int prefixCode = 0;   // 0..5, normalised for the functions shown without prefix
    int functionCode = 0; // 0..9
    int divisor = 1;      // 1, 10, 100 or 1000
    bool negative = false;
    bool overload = false;
    int digits = 0; // 0..9999; 0 for an overload
};

// Turns the receiver's byte stream into frames. Bytes come in chunks of any size; a frame whose
// bytes have not all arrived waits for the rest. Every byte that cannot begin a frame is dropped
// as soon as it is seen, so noise never stays behind as input. A frame that fails the checks is
// dropped, and reading resumes at the first start byte inside it: it may be the tail of a frame
// that lost a byte followed by the head of the next one.
class FrameReader
{
public:
    static constexpr int FrameSize = 6;

    struct Frame {
        enum class Kind { Reading, Status, Rejected };
        Kind kind = Kind::Rejected;
        MeterReading reading; // Reading only
    };

    void append(QByteArrayView bytes);
    // The next whole frame, or nothing while the frame begun (if any) is incomplete.
    std::optional<Frame> next();

    // Bytes held: whole frames not yet taken and the frame begun.
    int bufferedBytes() const { return int(m_buffer.size() - m_at); }
    // Bytes still missing from the frame at the front; a whole frame when none is begun.
    int bytesWanted() const;
    // Drops every byte held. The divisor of the last reading stays: it is the receiver's, not
    // the record's.
    void clear();

private:
    std::optional<MeterReading> parseReading(const char *frame) const;
    void dropNonStartBytes();

    QByteArray m_buffer;
    qsizetype m_at = 0; // the front of the unread bytes
    int m_lastDivisor = 0;
};
