// Feeds arbitrary bytes, split into arbitrary chunks, to the frame reader: whatever the stream,
// every reading it gives passes the checks, and what it holds never exceeds one frame begun
// plus the bytes not yet read. The first input byte seeds the chunk sizes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/link/FrameReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    FrameReader reader;
    quint32 seed = data[0];
    size_t at = 1;
    while (at < size) {
        seed = seed * 1103515245u + 12345u;
        const size_t chunk = std::min<size_t>(1 + (seed >> 16) % 13, size - at);
        reader.append(QByteArrayView(reinterpret_cast<const char *>(data + at), qsizetype(chunk)));
        at += chunk;
        while (const auto frame = reader.next()) {
            if (frame->kind != FrameReader::Frame::Kind::Reading) continue;
            const MeterReading &r = frame->reading;
            const bool valid = r.channel >= 0 && r.channel < 6 && r.functionCode >= 0 &&
                               r.functionCode < 10 && r.prefixCode >= 0 && r.prefixCode < 6 &&
                               r.digits >= 0 && r.digits <= 9999 &&
                               (r.divisor == 1 || r.divisor == 10 || r.divisor == 100 || r.divisor == 1000);
            if (!valid) std::abort();
        }
        if (reader.bufferedBytes() >= FrameReader::FrameSize || reader.bytesWanted() < 1) std::abort();
    }
    return 0;
}
