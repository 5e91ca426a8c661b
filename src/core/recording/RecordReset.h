#pragma once
#include <QObject>

struct AcquisitionState;
struct AlarmSetup;
struct Settings;
class GraphHooks;
class MonitorFields;
class PowerHooks;
class RecordStore;
class Statistics;

// Empties the record and everything that shows it for a new record (ClearRecord): the table
// with the channel names in its header, the monitor, the power cost start, the per-channel
// flags, the statistics, the graph's page box, the channel list and the alarm units.
class RecordReset : public QObject
{
    Q_OBJECT
public:
    struct Collaborators {
        RecordStore &record;
        MonitorFields &monitor;
        AcquisitionState &state;
        Statistics &statistics;
        AlarmSetup &alarmSetup;
        const Settings &settings;
        GraphHooks &graph;
        PowerHooks &power;
    };
    explicit RecordReset(const Collaborators &collaborators, QObject *parent = nullptr);

    void clearRecord();

Q_SIGNALS:
    // A new, empty record can be saved again (Save Data is offered).
    void cleared();

private:
    Collaborators m_;
};
