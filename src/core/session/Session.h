#pragma once
#include <QObject>
#include <memory>

#include "core/acquisition/AcquisitionState.h"
#include "core/session/StartupFaults.h"
#include "core/settings/AlarmSetup.h"

class Alarm;
class AlarmSound;
class ChannelSelector;
class Clock;
class CommandState;
class Commands;
class FrameDecoder;
class GraphFollower;
class GraphLanes;
class GraphHooks;
class JournalWriter;
class LinkProber;
class MonitorFields;
class MqttPublisher;
class EnergyFollower;
class PowerCostHooks;
class PowerCostMonitor;
class OpenRecord;
class PowerHooks;
class ProgressHooks;
class Prompts;
class RecordRecovery;
class ReadingPublisher;
class RecordReset;
class RecordSaver;
class RecordStore;
class RecordingControl;
class RecordingStatus;
class SampleRecorder;
class SerialControl;
class SettingsStore;
class Statistics;
class UserSettings;
class WindowVisibility;
class WorkbookSaver;
struct Settings;

// The composition root of one acquisition session: creates the shared state, the record and
// every rule, hands each rule the few collaborators it uses, and wires their signals. The seams
// (serial control, clock, prompts, settings store) are handed in, so the program and the tests
// run the same code. No rule knows the session; windows get from it what they show.
class Session : public QObject
{
    Q_OBJECT
public:
    Session(SerialControl &serial, Clock &clock, Prompts &prompts, SettingsStore &store,
            QObject *parent = nullptr);
    ~Session() override;

    // seams
    SerialControl &serial() const { return m_serial; }
    Clock &clock() const { return m_clock; }
    Prompts &prompts() const { return m_prompts; }
    SettingsStore &store() const { return m_store; }

    // shared state
    AcquisitionState &state() { return m_state; }
    UserSettings &userSettings() const { return *m_settings; }
    const Settings &settings() const;
    AlarmSetup &alarmSetup() { return m_alarmSetup; }
    RecordStore &record() const { return *m_record; }
    MonitorFields &monitor() const { return *m_monitor; }
    WindowVisibility &windows() const { return *m_windows; }
    const RecordingStatus &status() const;
    CommandState &commands() const { return *m_commands; }

    // rules
    FrameDecoder &decoder() const { return *m_decoder; }
    LinkProber &link() const { return *m_link; }
    RecordingControl &recording() const { return *m_recording; }
    Statistics &statistics() const { return *m_statistics; }
    Alarm &alarm() const { return *m_alarm; }
    ChannelSelector &channelSelector() const { return *m_selector; }
    Commands &commandProcs() const { return *m_commandProcs; }
    GraphFollower &graph() const { return *m_graph; }
    GraphLanes &lanes() const { return *m_lanes; }
    PowerCostMonitor &powerCost() const { return *m_powerCost; }
    EnergyFollower &energy() const { return *m_energy; }

    // What the rules call in the graph window; it reaches the graph once one is set.
    GraphHooks &graphHooks() const;
    WorkbookSaver &workbookSaver() const { return *m_workbookSaver; }
    OpenRecord &openRecord() const { return *m_openRecord; }
    JournalWriter &journal() const { return *m_journal; }
    // Run once at start-up, before anything is recorded or opened.
    RecordRecovery &recovery() const { return *m_recovery; }
    // Every recorded sample, the recording's state and the workbooks saved, for other programs:
    // the broker publisher is one of its outputs, a stream on standard output may be another.
    ReadingPublisher &readings() const { return *m_readings; }
    MqttPublisher &mqtt() const { return *m_mqtt; }

    // Procedures of windows of later parts and of the platform; each does nothing until set.
    void setGraphHooks(GraphHooks *hooks);
    void setPowerHooks(PowerHooks *hooks);
    void setRecordSaver(RecordSaver *saver);
    void setProgressHooks(ProgressHooks *hooks);
    void setAlarmSound(AlarmSound *sound);

    // Start-up of the session: settings loaded, alarm controls as the Setup dialog's load
    // leaves them, monitor and record in their empty state.
    void startUp();
    // The files start-up could not read (the settings file; the windows add the label file),
    // told to the user once the window is up.
    StartupFaults &startupFaults() { return m_startupFaults; }
    void tellStartupFaults() { m_startupFaults.tell(m_prompts); }

Q_SIGNALS:
    // A record could not be saved where it was to go; its journal is kept for the next start.
    void recordKept(const QString &recordFileName);

private:
    struct Relays;

    SerialControl &m_serial;
    Clock &m_clock;
    Prompts &m_prompts;
    SettingsStore &m_store;

    std::unique_ptr<Relays> m_relays;
    AcquisitionState m_state;
    AlarmSetup m_alarmSetup;
    StartupFaults m_startupFaults;
    // QObject children of the session
    UserSettings *m_settings;
    RecordStore *m_record;
    MonitorFields *m_monitor;
    WindowVisibility *m_windows;
    std::unique_ptr<Statistics> m_statistics;
    std::unique_ptr<Alarm> m_alarm;
    std::unique_ptr<WorkbookSaver> m_workbookSaver;
    SampleRecorder *m_recorder = nullptr;
    FrameDecoder *m_decoder = nullptr;
    LinkProber *m_link = nullptr;
    RecordReset *m_reset = nullptr;
    RecordingControl *m_recording = nullptr;
    CommandState *m_commands = nullptr;
    ChannelSelector *m_selector = nullptr;
    Commands *m_commandProcs = nullptr;
    GraphFollower *m_graph = nullptr;
    GraphLanes *m_lanes = nullptr;
    PowerCostMonitor *m_powerCost = nullptr;
    EnergyFollower *m_energy = nullptr;
    std::unique_ptr<PowerCostHooks> m_powerHooks;
    std::unique_ptr<OpenRecord> m_openRecord;
    JournalWriter *m_journal = nullptr;
    RecordRecovery *m_recovery = nullptr;
    std::unique_ptr<ReadingPublisher> m_readings;
    MqttPublisher *m_mqtt = nullptr;
};
