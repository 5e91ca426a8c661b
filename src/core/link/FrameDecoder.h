#pragma once
#include <QObject>

#include "core/link/FrameReader.h"

class Clock;
class SerialControl;

// Takes the readings the receiver's frames carry.
class ReadingSink
{
public:
    virtual ~ReadingSink() = default;
    // One reading, with the bytes still waiting behind its frame. False when the reading ended
    // the recording: the frames behind it belong to no record and are not read.
    virtual bool take(const MeterReading &reading, int waitingBytes) = 0;
    // The readings of one receive event have all been taken.
    virtual void readingsTaken() = 0;
};

// The serial control's receive event: drains the port into the frame reader, the bytes stamped
// with the clock's tick as they are read, and hands every reading to the sink. The receive
// threshold follows the frame being read, so the rest of a frame that arrived in parts raises
// the event by itself.
class FrameDecoder : public QObject
{
    Q_OBJECT
public:
    FrameDecoder(SerialControl &serial, ReadingSink &sink, const Clock &clock, QObject *parent = nullptr);

    // Bytes of a frame whose rest has not arrived yet.
    // Whether input waits that can still make a frame. Noise and the start of a frame that
    // never ended do not count: a receiver that went silent must lead to the time-out question.
    bool inputWaiting();
    // Drops what waits at the port and any frame begun (at Start, resume and Stop).
    void discardInput();
    // While discarding, whatever arrives is dropped undecoded.
    void setDiscarding(bool on) { m_discarding = on; }

public Q_SLOTS:
    void onComm();
    // Works off every complete frame waiting in the input.
    void read();

Q_SIGNALS:
    // A frame header of any kind arrived: the receiver is alive.
    void frameReceived();

private:
    void followFrameInThreshold();

    SerialControl &m_serial;
    ReadingSink &m_sink;
    const Clock &m_clock;
    FrameReader m_reader;
    bool m_reading = false;
    bool m_discarding = false;
};
