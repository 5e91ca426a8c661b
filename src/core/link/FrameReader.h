#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <vector>

// One reading as the receiver reported it, validated: every code is inside its table and the
// digits are packed BCD (or the overload mark).
struct MeterReading {
    int channel = 0;      // 0..5
    int intervalCode = 0; // 0..15; only 0..4 name an interval
    int prefixCode = 0;   // 0..5, normalised for the functions shown without prefix
    int functionCode = 0; // 0..9
    int divisor = 1;      // 1, 10, 100 or 1000; 0 for an overload before any frame named one
    bool negative = false;
    bool overload = false;
    int digits = 0; // 0..9999; 0 for an overload
};

// Turns the receiver's byte stream into frames. Bytes come in chunks of any size; a frame whose
// bytes have not all arrived waits for the rest. Every byte that cannot begin a frame is dropped
// as soon as it is seen, so noise never stays behind as input.
//
// No reading is made of bytes from two frames. A start byte is never inside a frame: one there
// begins the next frame. A pause inside a frame's bytes cuts it: what came before the pause goes
// whole. A frame that fails the checks goes whole when the next frame begins right behind it (or
// a pause follows it); otherwise it lost bytes and the next frame begins inside it, so reading
// resumes at its next start byte.
class FrameReader
{
public:
    static constexpr int FrameSize = 6;
    // At 9600 baud a frame's six bytes take 6 ms, and serial adapters hand them on in pieces at
    // most a few tens of milliseconds apart: bytes further apart belong to a frame cut short.
    static constexpr qint64 PauseMs = 100;

    struct Frame {
        enum class Kind { Reading, Status, Rejected };
        Kind kind = Kind::Rejected;
        MeterReading reading; // Reading only
    };

    // `arrivalMs`: when the bytes arrived, on a monotonic millisecond clock.
    void append(QByteArrayView bytes, qint64 arrivalMs = 0);
    // The next whole frame, or nothing while the frame begun (if any) is incomplete or, failing
    // the checks, waits for the byte that tells whether it lost bytes.
    std::optional<Frame> next();

    // Bytes held: whole frames not yet taken and the frame begun.
    int bufferedBytes() const { return int(m_buffer.size() - m_at); }
    // Bytes still missing from the frame at the front; a whole frame when none is begun.
    int bytesWanted() const;
    // The bytes held were still waiting at `nowMs`: time the program spent elsewhere (a record
    // restart) is no pause of the receiver's.
    void heldUntil(qint64 nowMs);
    // Drops every byte held. The divisor of the last reading stays: it is the receiver's, not
    // the record's.
    void clear();

private:
    std::optional<MeterReading> parseReading(const char *frame) const;
    void dropNonStartBytes();
    // The number of bytes before the first pause among the next `count`; 0 without a pause.
    int bytesBeforePause(int count) const;

    QByteArray m_buffer;
    std::vector<qint64> m_arrival; // per byte of m_buffer
    qsizetype m_at = 0;            // the front of the unread bytes
    int m_lastDivisor = 0;
};
