#pragma once
#include <QByteArray>
#include <QObject>

class Session;

// Takes the receiver's frames out of the serial input and turns every reading into a sample
// of its channel: the record, the channel's history, the monitor of the main channel, the
// statistics, the alarm, the power cost and the graph. A channel that changes its function,
// and a full table, close the record, save it and start a new one.
class FrameDecoder : public QObject
{
    Q_OBJECT
public:
    explicit FrameDecoder(Session &session);

    // Bytes of a frame whose rest has not arrived yet (kept for the next receive event).
    int pendingBytes() const { return int(m_pending.size()); }
    // The input was discarded: the rest of a kept frame will never come.
    void discardPending() { m_pending.clear(); }

    // The main channel's display limits for its function and prefix (set_OL).
    void setDisplayLimits();

public Q_SLOTS:
    // The serial receive event: reads when a whole frame can be waiting.
    void onComm();
    // Works off every complete frame waiting in the input.
    void read();

private:
    struct Reading;
    enum class Outcome { Recorded, Dropped, Restarted };

    static bool parseReading(const QByteArray &frame, int previousDivisor, Reading *reading);
    void readFrames();
    bool findStartByte();
    bool completeFrame();
    Outcome decodeReading(const QByteArray &frame);
    bool admitChannel(const Reading &reading);
    void showInterval(int intervalCode);
    static QString valueText(const Reading &reading);
    void updateHistory(const Reading &reading);
    void showMainChannel(const Reading &reading);
    void firstMainReading(const Reading &reading);
    void runStatistics(int channel);
    bool growOrSplit();
    void keepNewestRowsInView();
    void resync(const QByteArray &rejectedFrame);

    Session &m_session;
    QByteArray m_pending;
    bool m_reading = false;
    bool m_changed = false;
};
