#include "core/session/Session.h"

#include <QDir>
#include <algorithm>

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/common/WindowHooks.h"
#include "core/followers/EnergyFollower.h"
#include "core/followers/GraphFollower.h"
#include "core/followers/GraphLanes.h"
#include "core/followers/PowerCostHooks.h"
#include "core/graph/GraphPaging.h"
#include "core/graph/GraphZoom.h"
#include "core/layout/WindowVisibility.h"
#include "core/link/FrameDecoder.h"
#include "core/link/LinkProber.h"
#include "core/link/SerialControl.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/AlarmSound.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/power/PowerCostMonitor.h"
#include "core/publish/EnergyPublisher.h"
#include "core/publish/MqttPublisher.h"
#include "core/publish/ReadingPublisher.h"
#include "core/record/CsvExport.h"
#include "core/record/RecordStore.h"
#include "core/recordfiles/OpenRecord.h"
#include "core/recordfiles/WorkbookSaver.h"
#include "core/recording/JournalWriter.h"
#include "core/recording/RecordRecovery.h"
#include "core/recording/RecordReset.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/SampleRecorder.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/UserSettings.h"

// The rules hold references to these; what stands behind them can be set later, when the
// windows that implement them exist.
struct Session::Relays {
    struct Graph final : GraphHooks {
        GraphHooks *to = nullptr;
        void dataAll() override
        {
            if (to) to->dataAll();
        }
        void tickText() override
        {
            if (to) to->tickText();
        }
        void reDisplay() override
        {
            if (to) to->reDisplay();
        }
        void setPageBox(const QString &text) override
        {
            if (to) to->setPageBox(text);
        }
    };
    struct Power final : PowerHooks {
        PowerHooks *to = nullptr;
        void powerCheck() override
        {
            if (to) to->powerCheck();
        }
        void powerRate() override
        {
            if (to) to->powerRate();
        }
        void resetStart() override
        {
            if (to) to->resetStart();
        }
    };
    // Until another saver is set, the record is saved as a workbook.
    struct Saver final : RecordSaver {
        RecordSaver *workbook = nullptr;
        RecordSaver *to = nullptr;
        RecordSaver &target() const { return to ? *to : *workbook; }
        bool autoSave(QString *error) override { return target().autoSave(error); }
        bool saveDataCommand() override { return target().saveDataCommand(); }
        QString savedPathFor(const QString &name) const override { return target().savedPathFor(name); }
        QString writtenPathFor(const QString &name) const override { return target().writtenPathFor(name); }
        bool isSaving(const QString &name) const override { return target().isSaving(name); }
        void waitForSaves() override { target().waitForSaves(); }
    };
    struct Sound final : AlarmSound {
        AlarmSound *to = nullptr;
        void play() override
        {
            if (to) to->play();
        }
    };

    struct Progress final : ProgressHooks {
        ProgressHooks *to = nullptr;
        void showProgress(const QString &caption, const QString &label, int maximum) override
        {
            if (to) to->showProgress(caption, label, maximum);
        }
        void setProgress(int value) override
        {
            if (to) to->setProgress(value);
        }
        void closeProgress() override
        {
            if (to) to->closeProgress();
        }
    };

    // Each sample goes to the journal first, then to the live readings.
    struct Samples final : SampleJournal {
        SampleJournal *journal = nullptr;
        SampleJournal *readings = nullptr;
        SampleJournal *energy = nullptr;
        void sampleRecorded(int channel, int row, int divisor) override
        {
            journal->sampleRecorded(channel, row, divisor);
            energy->sampleRecorded(channel, row, divisor);
            readings->sampleRecorded(channel, row, divisor);
        }
    };

    Graph graph;
    Power power;
    Samples samples;
    Progress progress;
    Saver saver;
    Sound sound;
};

Session::Session(SerialControl &serial, Clock &clock, Prompts &prompts, SettingsStore &store, QObject *parent)
    : QObject(parent), m_serial(serial), m_clock(clock), m_prompts(prompts), m_store(store),
      m_settings(new UserSettings(store, this)), m_record(new RecordStore(this)),
      m_monitor(new MonitorFields(this)), m_windows(new WindowVisibility(this))
{
    m_relays = std::make_unique<Relays>();
    const Settings &values = m_settings->values();

    m_statistics = std::make_unique<Statistics>(m_state, *m_record, *m_monitor);
    m_workbookSaver = std::make_unique<WorkbookSaver>(
        WorkbookSaver::Collaborators{{*m_record, m_state, *m_statistics, *m_monitor, values},
                                     *m_windows,
                                     prompts,
                                     m_relays->progress,
                                     *m_monitor});
    m_relays->saver.workbook = m_workbookSaver.get();
    m_alarm = std::make_unique<Alarm>(m_state, *m_monitor, m_alarmSetup, store, m_relays->sound);
    m_recorder = new SampleRecorder({m_state, *m_record, *m_monitor, *m_statistics, *m_alarm, values,
                                     *m_windows, clock, m_relays->graph, m_relays->power},
                                    this);
    m_decoder = new FrameDecoder(serial, *m_recorder, clock, this);
    m_reset = new RecordReset({*m_record, *m_monitor, m_state, *m_statistics, m_alarmSetup, values,
                               m_relays->graph, m_relays->power},
                              this);
    m_link = new LinkProber({serial, clock, prompts, m_state, values}, this);
    m_recording = new RecordingControl({serial, clock, prompts, *m_link, *m_decoder, m_state, *m_record,
                                        *m_monitor, *m_alarm, *m_reset, m_relays->saver, *m_settings},
                                       this);
    m_commands = new CommandState(m_recording->status(), *m_windows, this);
    m_selector = new ChannelSelector({m_state, *m_monitor, *m_record, *m_statistics, *m_alarm, m_alarmSetup,
                                      values, *m_windows, m_relays->graph, m_relays->power},
                                     this);
    m_commandProcs = new Commands({*m_recording, m_recording->status(), *m_link, *m_commands, *m_windows,
                                   m_state, *m_monitor, *m_record, values, m_relays->graph, m_relays->power},
                                  this);

    m_graph = new GraphFollower(
        {*m_record, m_state, m_recording->status(), *m_monitor, *m_settings, *m_windows}, this);
    setGraphHooks(m_graph);
    connect(m_reset, &RecordReset::cleared, m_graph, &GraphFollower::reDisplay);
    m_lanes = new GraphLanes({*m_record, m_state, m_recording->status(), m_graph->page()}, this);
    // Zoomed out, the graph shows more than its page: the monitor's page extremes follow those rows.
    m_graph->setShownRows([this]() -> std::optional<GraphZoom::Window> {
        const int level = m_lanes->shownLevel();
        if (level == 0) return std::nullopt;
        int rows = 0;
        for (int k = 0; k < ChannelCount; ++k)
            rows = std::max(rows, m_record->nextRow(k) - 1);
        const GraphView &view = m_graph->page().view();
        return GraphZoom::window(level, view.page, GraphPaging::samplesPerPage(view.timeScale), rows);
    });
    connect(&m_lanes->state(), &GraphViewState::zoomChanged, m_graph, &GraphFollower::shownRowsChanged);
    m_powerCost = new PowerCostMonitor(this);
    m_powerHooks = std::make_unique<PowerCostHooks>(
        PowerCostHooks::Collaborators{*m_powerCost, m_state, *m_monitor, values, *m_windows, clock});
    setPowerHooks(m_powerHooks.get());
    m_openRecord = std::make_unique<OpenRecord>(
        OpenRecord::Collaborators{{*m_record, *m_monitor, *m_statistics, m_state, m_relays->progress},
                                  prompts,
                                  *m_reset,
                                  *m_recording,
                                  *m_commandProcs,
                                  *m_commands,
                                  *m_windows,
                                  m_relays->graph,
                                  *m_workbookSaver});
    m_commandProcs->setHandler(Command::Open, [this] {
        m_openRecord->run();
        m_energy->recordReplaced();
    });
    m_commandProcs->setHandler(Command::SaveData, [this] { m_workbookSaver->saveDataFromMenu(); });

    // The journal of the open record: every sample, kept until the record is saved or dropped.
    m_journal = new JournalWriter({*m_record, m_recording->status(), clock, prompts}, this);
    m_readings = std::make_unique<ReadingPublisher>(*m_record, clock, m_state);
    m_mqtt = new MqttPublisher(this);
    m_readings->addOutput(m_mqtt);
    m_relays->samples.journal = m_journal;
    m_relays->samples.readings = m_readings.get();
    m_energy = new EnergyFollower({*m_record, m_state, *m_settings}, this);
    m_relays->samples.energy = m_energy;
    auto *energyOut = new EnergyPublisher(*m_mqtt, clock, this);
    connect(m_energy, &EnergyFollower::changed, energyOut,
            [this, energyOut] { energyOut->energyChanged(m_energy->run()); });
    connect(m_recording, &RecordingControl::recordStarted, m_energy, &EnergyFollower::recordStarted);
    // Start after Stop (or the first Start) begins a run; Start after Pause goes on with it.
    connect(&m_recording->status(), &RecordingStatus::modeChanged, m_energy,
            [this, energyOut, previous = RecordingMode::Idle](RecordingMode mode) mutable {
                if (mode == RecordingMode::Linking && previous != RecordingMode::Paused) {
                    energyOut->runStarted();
                    m_energy->runStarted();
                }
                if (mode == RecordingMode::Stopped) energyOut->flush();
                previous = mode;
            });
    m_recorder->setJournal(&m_relays->samples);
    m_journal->setFallbackFolder([this] { return m_workbookSaver->fallbackFolder(); });
    connect(m_recording, &RecordingControl::recordStarted, m_journal, &JournalWriter::recordStarted);
    connect(m_recording, &RecordingControl::recordStarted, this, [this] { m_readings->recordStarted(); });
    connect(m_recording, &RecordingControl::recordDiscarded, m_journal, &JournalWriter::recordDiscarded);
    m_workbookSaver->setSavedListener([this](const QString &name, const QString &path) {
        m_journal->recordSaved(name);
        m_readings->recordSaved(path);
    });
    connect(&m_recording->status(), &RecordingStatus::modeChanged, this,
            [this](RecordingMode mode) { m_readings->recordingModeChanged(mode); });
    m_recovery = new RecordRecovery(
        {*m_record, *m_monitor, *m_statistics, m_state, *m_reset, m_relays->saver, *m_journal, prompts},
        this);
    connect(m_recovery, &RecordRecovery::recordRebuilt, m_commandProcs, &Commands::showRecordWindows);
    connect(m_recovery, &RecordRecovery::recordRebuilt, m_energy, &EnergyFollower::recordReplaced);
    connect(m_recovery, &RecordRecovery::recoveryFailed, this, &Session::recordKept);

    connect(m_monitor, &MonitorFields::entrySelected, m_selector, &ChannelSelector::select);
    connect(m_recorder, &SampleRecorder::restartNeeded, m_recording, &RecordingControl::restartRecord);
    // A record split off that could be written nowhere: no further records are split off.
    // Its journal stays until a workbook of it exists.
    m_workbookSaver->setAutoSaveFailedHandler([this](const QString &name) {
        WorkbookSaver::AutoSaveFailure done;
        if (m_recording->status().running() || m_recording->status().paused()) {
            m_recording->stop();
            done.recordingStopped = true;
        }
        done.journalPath = m_journal->keepForRecovery(name);
        Q_EMIT recordKept(name);
        return done;
    });
    connect(m_recording, &RecordingControl::windowsResetNeeded, m_commandProcs, &Commands::closeAll);
    connect(m_recording, &RecordingControl::recordWindowsNeeded, m_commandProcs,
            &Commands::showRecordWindows);
    connect(m_reset, &RecordReset::cleared, m_commands, [this] {
        m_commands->setEnabled(MenuItem::SaveData, true);
        m_commands->setEnabled(MenuItem::PopSaveData, true);
    });
}

Session::~Session() = default;

const Settings &Session::settings() const
{
    return m_settings->values();
}

const RecordingStatus &Session::status() const
{
    return m_recording->status();
}

GraphHooks &Session::graphHooks() const
{
    return m_relays->graph;
}

void Session::setGraphHooks(GraphHooks *hooks)
{
    m_relays->graph.to = hooks;
}
void Session::setPowerHooks(PowerHooks *hooks)
{
    m_relays->power.to = hooks;
}
void Session::setRecordSaver(RecordSaver *saver)
{
    m_relays->saver.to = saver;
}
void Session::setProgressHooks(ProgressHooks *hooks)
{
    m_relays->progress.to = hooks;
}
void Session::setAlarmSound(AlarmSound *sound)
{
    m_relays->sound.to = sound;
}

void Session::startUp()
{
    m_startupFaults.noteSettings(m_store);
    m_settings->loadOptions();
    m_state.resetPending = ResetPending::Idle;
    // Start-up loads the Setup dialog hidden: the setup keys are read and, with no recording
    // running, the alarm is left switched off.
    m_recording->reloadSetup();
    m_record->clearRecord(settings().channelNames());
    m_monitor->reset();
    m_alarm->alm(); // shows the limits and notifies the monitor
}
