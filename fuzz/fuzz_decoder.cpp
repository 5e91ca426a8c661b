// The frame reader on two kinds of input, chosen by the first input byte.
//
// Any bytes, in chunks of any size at any times: every reading it gives passes the checks, and
// what it holds never exceeds one frame.
//
// A receiver's stream that the input describes: good reading and status frames, frames that fail
// the checks, frames cut short, and pauses followed by noise, in chunks of any size. Compared with
// what was sent: every good frame comes out, in order, and nothing else.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/link/FrameEncoder.h"
#include "core/link/FrameReader.h"

namespace
{

// The input read as a stream of numbers; zeros once it is used up.
class Input
{
public:
    Input(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_at >= m_size; }
    int byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    int below(int n) { return byte() % n; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

bool isStartByte(int byte)
{
    return byte == FrameEncoder::ReadingStart || byte == FrameEncoder::StatusStart;
}

void check(bool condition)
{
    if (!condition) std::abort();
}

// What a frame gives: 'R' with its fields, 'S' for a status frame.
std::array<int, 7> outcome(const FrameReader::Frame &frame)
{
    if (frame.kind == FrameReader::Frame::Kind::Status) return {'S'};
    const MeterReading &r = frame.reading;
    return {'R', r.channel, r.functionCode, r.digits, int(r.negative), int(r.overload), r.divisor};
}

// Feeds `stream` in chunks whose sizes `input` gives; `pauses` are the stream positions after
// which the receiver was silent. Returns every frame the reader gave, rejected ones left out.
std::vector<std::array<int, 7>> readAll(const QByteArray &stream, const std::vector<qsizetype> &pauses,
                                        Input &chunks)
{
    FrameReader reader;
    std::vector<std::array<int, 7>> out;
    qint64 now = 0;
    qsizetype at = 0;
    auto pause = pauses.begin();
    while (at < stream.size()) {
        while (pause != pauses.end() && *pause <= at) {
            now += FrameReader::PauseMs + 1 + chunks.below(500);
            ++pause;
        }
        const qsizetype end = pause != pauses.end() ? *pause : stream.size();
        const qsizetype size = std::min<qsizetype>(1 + chunks.below(13), end - at);
        reader.append(QByteArrayView(stream.constData() + at, size), now);
        at += size;
        now += chunks.below(int(FrameReader::PauseMs) + 1); // never a pause
        while (const auto frame = reader.next()) {
            if (frame->kind != FrameReader::Frame::Kind::Rejected) out.push_back(outcome(*frame));
        }
    }
    return out;
}

FrameEncoder::Header header(Input &input)
{
    return {input.below(6), input.below(5), input.below(6), input.below(10), 0, input.below(2) == 1};
}

// A receiver's stream: every good frame goes to `sent`.
void describedStream(Input &input)
{
    static constexpr int knownCodes[] = {FrameEncoder::Divisor1, FrameEncoder::Divisor10,
                                         FrameEncoder::Divisor100, FrameEncoder::Divisor1000};
    QByteArray stream;
    std::vector<qsizetype> pauses;
    std::vector<std::array<int, 7>> sent;
    int lastDivisor = 0;
    for (int element = 0; element < 64 && !input.atEnd(); ++element) {
        switch (input.below(5)) {
        case 0: { // a reading; an overload may carry a code that names no divisor
            FrameEncoder::Header h = header(input);
            const bool overload = input.below(4) == 0;
            h.decimalCode = overload ? input.below(8) : knownCodes[input.below(4)];
            const int digits = input.byte() * 100 + input.byte();
            const QByteArray frame =
                overload ? FrameEncoder::encodeOverload(h) : FrameEncoder::encodeReading(h, digits);
            if (const int divisor = FrameEncoder::divisorOf(h.decimalCode)) lastDivisor = divisor;
            stream += frame;
            sent.push_back({'R', h.channel, h.functionCode,
                            overload ? 0 : std::min(digits, FrameEncoder::MaxDigits), int(h.negative),
                            int(overload), lastDivisor});
            break;
        }
        case 1: { // a status frame, whose payload holds no start byte
            std::array<quint8, 5> payload{};
            for (quint8 &byte : payload)
                byte = quint8(input.byte() & 0x7F);
            stream += FrameEncoder::encodeStatus(payload);
            sent.push_back({'S'});
            break;
        }
        case 2: { // a frame that fails the checks: one field made invalid, the rest anything
            QByteArray frame(
                1, char(input.below(2) == 0 ? FrameEncoder::ReadingStart : FrameEncoder::StatusStart));
            for (int i = 1; i < FrameEncoder::FrameSize; ++i)
                frame += char(input.byte());
            const int byteAt = 1 + input.below(5);
            if (quint8(frame[0]) == FrameEncoder::StatusStart || input.below(2) == 0) {
                frame[byteAt] =
                    char(input.below(2) == 0 ? FrameEncoder::ReadingStart : FrameEncoder::StatusStart);
            } else if (byteAt == 1 || (byteAt == 2 && input.below(2) == 0)) { // channel or prefix above 5
                frame[byteAt] = char((6 + input.below(10)) << 4 | (frame[byteAt] & 0x0F));
            } else if (byteAt == 2) { // function above 9
                frame[2] = char((frame[2] & 0xF0) | (10 + input.below(6)));
            } else { // digits that are not BCD, and no overload mark
                frame[3] = char(0xA0 | input.below(10));
            }
            stream += frame;
            break;
        }
        case 3: { // a good frame cut short
            const int kept = 1 + input.below(FrameEncoder::FrameSize - 1);
            stream += FrameEncoder::encodeReading(header(input), input.byte()).left(kept);
            break;
        }
        default: { // silence, and maybe noise after it
            pauses.push_back(stream.size());
            for (int n = input.below(8); n > 0; --n) {
                const int byte = input.byte();
                stream += char(isStartByte(byte) ? byte & 0x7F : byte);
            }
            break;
        }
        }
    }
    check(readAll(stream, pauses, input) == sent);
}

void anyBytes(Input &input, const uint8_t *data, size_t size)
{
    FrameReader reader;
    qint64 now = 0;
    size_t at = 1;
    while (at < size) {
        const size_t chunk = std::min<size_t>(1 + input.below(13), size - at);
        now += input.below(2 * int(FrameReader::PauseMs));
        reader.append(QByteArrayView(reinterpret_cast<const char *>(data + at), qsizetype(chunk)), now);
        at += chunk;
        while (const auto frame = reader.next()) {
            if (frame->kind != FrameReader::Frame::Kind::Reading) continue;
            const MeterReading &r = frame->reading;
            const bool divisorKnown =
                r.divisor == 1 || r.divisor == 10 || r.divisor == 100 || r.divisor == 1000;
            check(r.channel >= 0 && r.channel < 6 && r.functionCode >= 0 && r.functionCode < 10 &&
                  r.prefixCode >= 0 && r.prefixCode < 6 && r.digits >= 0 && r.digits <= 9999 &&
                  (divisorKnown || (r.overload && r.divisor == 0)));
        }
        check(reader.bufferedBytes() <= FrameReader::FrameSize && reader.bytesWanted() >= 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    // The chunk sizes and times of the first kind come from the input too, read from its end.
    std::vector<uint8_t> reversed(data, data + size);
    std::reverse(reversed.begin(), reversed.end());
    Input times(reversed.data(), reversed.size());
    if (data[0] % 2 == 0) {
        anyBytes(times, data, size);
    } else {
        Input input(data + 1, size - 1);
        describedStream(input);
    }
    return 0;
}
