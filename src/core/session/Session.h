#pragma once
#include <QObject>
#include <memory>

#include "core/session/AcquisitionState.h"
#include "core/settings/AlarmSetup.h"
#include "core/settings/Settings.h"

class Alarm;
class AlarmSound;
class ChannelSelector;
class Clock;
class CommandState;
class Commands;
class FrameDecoder;
class GraphHooks;
class LinkProber;
class MonitorFields;
class PowerHooks;
class Prompts;
class RecordSaver;
class RecordStore;
class RecordingControl;
class SerialControl;
class SettingsStore;
class Statistics;

// One acquisition session: owns the shared state, the record and every rule that works on
// them. The seams (serial control, clock, prompts, settings store) are handed in, so the
// program and the tests run the same code. Windows only listen to it and forward commands.
// Components reach each other through it, as the windows of the original design called
// each other's procedures directly.
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
    Settings &settings() { return m_settings; }
    AlarmSetup &alarmSetup() { return m_alarmSetup; }
    RecordStore &record() const { return *m_record; }
    MonitorFields &monitor() const { return *m_monitor; }
    CommandState &commands() const { return *m_commands; }

    // rules
    FrameDecoder &decoder() const { return *m_decoder; }
    LinkProber &link() const { return *m_link; }
    RecordingControl &recording() const { return *m_recording; }
    Statistics &statistics() const { return *m_statistics; }
    Alarm &alarm() const { return *m_alarm; }
    ChannelSelector &channelSelector() const { return *m_selector; }
    Commands &commandProcs() const { return *m_commandProcs; }

    // windows of later subsystems; each defaults to one that does nothing
    GraphHooks &graph() const { return *m_graph; }
    PowerHooks &power() const { return *m_power; }
    RecordSaver &saver() const { return *m_saver; }
    AlarmSound &sound() const { return *m_sound; }
    void setGraphHooks(GraphHooks *hooks);
    void setPowerHooks(PowerHooks *hooks);
    void setRecordSaver(RecordSaver *saver);
    void setAlarmSound(AlarmSound *sound);

    // Start-up of the session: settings loaded, alarm controls as the Setup dialog's load
    // leaves them, monitor and record in their empty state.
    void startUp();

    // the six channel names, blanks removed at both ends, as the table's header shows them
    std::array<QString, 6> channelNames() const;

private:
    SerialControl &m_serial;
    Clock &m_clock;
    Prompts &m_prompts;
    SettingsStore &m_store;

    AcquisitionState m_state;
    Settings m_settings;
    AlarmSetup m_alarmSetup;
    RecordStore *m_record; // QObject children of the session
    MonitorFields *m_monitor;
    CommandState *m_commands;

    std::unique_ptr<FrameDecoder> m_decoder;
    std::unique_ptr<LinkProber> m_link;
    std::unique_ptr<RecordingControl> m_recording;
    std::unique_ptr<Statistics> m_statistics;
    std::unique_ptr<Alarm> m_alarm;
    std::unique_ptr<ChannelSelector> m_selector;
    std::unique_ptr<Commands> m_commandProcs;

    std::unique_ptr<GraphHooks> m_defaultGraph;
    std::unique_ptr<PowerHooks> m_defaultPower;
    std::unique_ptr<RecordSaver> m_defaultSaver;
    std::unique_ptr<AlarmSound> m_defaultSound;
    GraphHooks *m_graph;
    PowerHooks *m_power;
    RecordSaver *m_saver;
    AlarmSound *m_sound;
};
