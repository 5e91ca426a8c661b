#include "core/link/FrameDecoder.h"

#include <QScopedValueRollback>

#include "core/common/Clock.h"
#include "core/link/SerialControl.h"

FrameDecoder::FrameDecoder(SerialControl &serial, ReadingSink &sink, const Clock &clock, QObject *parent)
    : QObject(parent), m_serial(serial), m_sink(sink), m_clock(clock)
{
    connect(&serial, &SerialControl::onComm, this, &FrameDecoder::onComm);
}

void FrameDecoder::onComm()
{
    if (m_serial.commEvent() == SerialControl::ReceiveEvent) read();
}

void FrameDecoder::read()
{
    // Closing a record for a restart lets events run; a receive event then would decode into
    // the record being closed and saved and could start a second restart. Its bytes stay
    // waiting instead.
    if (m_reading) return;
    if (m_discarding) {
        discardInput();
        return;
    }
    const QScopedValueRollback<bool> reading(m_reading, true);
    bool took = false;
    bool recording = true;
    do {
        if (m_serial.inBufferCount() > 0) {
            m_serial.setInputLen(0);
            m_reader.append(m_serial.input(), m_clock.tickMs());
        }
        while (const std::optional<FrameReader::Frame> frame = m_reader.next()) {
            // A status frame, and even a frame that fails the checks, proves the receiver is alive.
            Q_EMIT frameReceived();
            if (frame->kind != FrameReader::Frame::Kind::Reading) continue;
            took = true;
            const int waiting = m_serial.inBufferCount() + m_reader.bufferedBytes();
            recording = m_sink.take(frame->reading, waiting);
            if (!recording) break;
        }
        // The time spent taking the readings (a record restart) is no pause of the receiver's,
        // and what arrived meanwhile raised no event of its own: it is read on now.
        m_reader.heldUntil(m_clock.tickMs());
    } while (recording && m_serial.inBufferCount() > 0);
    if (took) m_sink.readingsTaken();
    followFrameInThreshold();
}

void FrameDecoder::followFrameInThreshold()
{
    // A threshold of 0 means no receive events are wanted (the port is being probed).
    if (m_serial.rThreshold() > 0) m_serial.setRThreshold(m_reader.bytesWanted());
}

bool FrameDecoder::inputWaiting()
{
    read();
    return m_serial.inBufferCount() > 0;
}

void FrameDecoder::discardInput()
{
    m_serial.clearInput();
    m_reader.clear();
    followFrameInThreshold();
}
