#pragma once
#include <QObject>
#include <array>

#include "core/common/ChannelCount.h"
#include "core/link/FrameDecoder.h"

struct AcquisitionState;
class Alarm;
class Clock;
class GraphHooks;
class MonitorFields;
class PowerHooks;
class RecordStore;
class SampleJournal;
class Statistics;
class WindowVisibility;
struct Settings;

// Turns every reading into a sample of its channel, in this order: the record, the channel's
// history, the monitor of the main channel with its display limits, alarm, power cost and
// graph, the statistics of every channel, the table's growth and the rows kept in view. A
// channel that changes its function, and a full table, ask for the record to be saved and a
// new one begun, whose main channel stays the one of the record before while it reports.
class SampleRecorder : public QObject, public ReadingSink
{
    Q_OBJECT
public:
    struct Collaborators {
        AcquisitionState &state;
        RecordStore &record;
        MonitorFields &monitor;
        Statistics &statistics;
        Alarm &alarm;
        const Settings &settings;
        const WindowVisibility &windows;
        const Clock &clock;
        GraphHooks &graph;
        PowerHooks &power;
    };
    explicit SampleRecorder(const Collaborators &collaborators, QObject *parent = nullptr);

    // The journal told of every sample recorded; none by default.
    void setJournal(SampleJournal *journal) { m_journal = journal; }

    bool take(const MeterReading &reading, int waitingBytes) override;

    // An overload counts in the maximum and minimum only in its function's top range.
    static bool overloadCounts(int functionCode, int prefixCode, int divisor);
    void readingsTaken() override;

Q_SIGNALS:
    // The record must be saved and a new one begun. The reading of a changed function is the
    // new record's first; the reading that filled the table is the old record's last.
    void restartNeeded();

private:
    bool functionChanged(const MeterReading &reading) const;
    // Asks for the restart. True when a new record began, into which the readings behind go;
    // false when the recording stopped instead, and they belong to no record.
    bool restart();
    void giveUpOverdueMainChannel();
    void admitChannel(const MeterReading &reading);
    void showInterval(int intervalCode);
    void updateHistory(const MeterReading &reading);
    void showMainChannel(const MeterReading &reading);
    void firstMainReading(const MeterReading &reading);
    void runStatistics(int channel);
    void keepNewestRowsInView();

    Collaborators m_;
    SampleJournal *m_journal = nullptr;
    // Each channel's reporting interval as its last reading announced it; the longest until then.
    std::array<int, ChannelCount> m_intervalSeconds{};
};
