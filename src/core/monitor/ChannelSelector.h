#pragma once
#include <QObject>

struct AcquisitionState;
struct AlarmSetup;
struct Settings;
class Alarm;
class GraphHooks;
class MonitorFields;
class PowerHooks;
class RecordStore;
class Statistics;
class WindowVisibility;

// Choosing the main channel from the monitor's channel list: the monitor, the display
// limits, the alarm and the graph follow the chosen channel, while recording and for a
// stopped or opened record alike.
class ChannelSelector : public QObject
{
    Q_OBJECT
public:
    struct Collaborators {
        AcquisitionState &state;
        MonitorFields &monitor;
        RecordStore &record;
        Statistics &statistics;
        Alarm &alarm;
        AlarmSetup &alarmSetup;
        const Settings &settings;
        const WindowVisibility &windows;
        GraphHooks &graph;
        PowerHooks &power;
    };
    explicit ChannelSelector(const Collaborators &collaborators, QObject *parent = nullptr);

public Q_SLOTS:
    // Entry `index` of the monitor's channel list; ignored while the list is being rebuilt.
    void select(int index);

private:
    void showStoredRecord(int channel);
    void showRunningRecord(int channel);
    void setUpAlarm(int channel);
    void setLimits(const QString &unit);
    void followInGraph();

    Collaborators m_;
};
