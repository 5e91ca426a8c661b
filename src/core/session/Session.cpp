#include "core/session/Session.h"

#include <QDir>

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/views/GraphFollower.h"
#include "core/layout/WindowVisibility.h"
#include "core/link/FrameDecoder.h"
#include "core/link/LinkProber.h"
#include "core/link/SerialControl.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/AlarmSound.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/record/CsvExport.h"
#include "core/views/PowerCostHooks.h"
#include "core/power/PowerCostMonitor.h"
#include "core/recording/RecordReset.h"
#include "core/record/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/recording/SampleRecorder.h"
#include "core/common/WindowHooks.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/UserSettings.h"

namespace
{

// Until the workbook writer exists, saves keep the record as CSV in the records folder, so
// a split, a function change or a Yes to the save question never loses data.
class CsvAutoSaver final : public RecordSaver
{
public:
    CsvAutoSaver(const RecordStore &record, Prompts &prompts) : m_record(record), m_prompts(prompts) {}
    bool autoSave(QString *error) override
    {
        const QString path = savedPathFor(RecordStore::fileNameForStamp(m_record.stamp()));
        QString reason;
        if (CsvExport::write(m_record, path, &reason)) return true;
        if (error) *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
        return false;
    }
    // Answering Yes to the save question must not lose the record: it is kept as CSV.
    bool saveDataCommand() override
    {
        QString error;
        if (!autoSave(&error)) {
            m_prompts.message(QStringLiteral("The record could not be saved (") + error +
                                  QStringLiteral("). It is kept in the table."),
                              applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
            return false;
        }
        const QString path = savedPathFor(RecordStore::fileNameForStamp(m_record.stamp()));
        m_prompts.message(QStringLiteral("The record was saved as ") + QDir::toNativeSeparators(path) +
                              QStringLiteral(". ") + notAvailableYetText(QStringLiteral("Saving workbooks")),
                          applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Information);
        return true;
    }
    QString savedPathFor(const QString &recordFileName) const override
    {
        QString csvName = recordFileName;
        csvName.replace(QStringLiteral(".xlsx"), QStringLiteral(".csv"));
        return QDir(AppPaths::recordsFolder()).filePath(csvName);
    }

private:
    const RecordStore &m_record;
    Prompts &m_prompts;
};

} // namespace

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
    struct Saver final : RecordSaver {
        explicit Saver(RecordSaver &fallback) : fallback(fallback) {}
        RecordSaver &fallback;
        RecordSaver *to = nullptr;
        RecordSaver &target() const { return to ? *to : fallback; }
        bool autoSave(QString *error) override { return target().autoSave(error); }
        bool saveDataCommand() override { return target().saveDataCommand(); }
        QString savedPathFor(const QString &name) const override { return target().savedPathFor(name); }
    };
    struct Sound final : AlarmSound {
        AlarmSound *to = nullptr;
        void play() override
        {
            if (to) to->play();
        }
    };

    Relays(const RecordStore &record, Prompts &prompts) : csvSaver(record, prompts), saver(csvSaver) {}
    Graph graph;
    Power power;
    CsvAutoSaver csvSaver;
    Saver saver;
    Sound sound;
};

Session::Session(SerialControl &serial, Clock &clock, Prompts &prompts, SettingsStore &store, QObject *parent)
    : QObject(parent), m_serial(serial), m_clock(clock), m_prompts(prompts), m_store(store),
      m_settings(new UserSettings(store, this)), m_record(new RecordStore(this)),
      m_monitor(new MonitorFields(this)), m_windows(new WindowVisibility(this))
{
    m_relays = std::make_unique<Relays>(*m_record, prompts);
    const Settings &values = m_settings->values();

    m_statistics = std::make_unique<Statistics>(m_state, *m_record, *m_monitor);
    m_alarm = std::make_unique<Alarm>(m_state, *m_monitor, m_alarmSetup, store, m_relays->sound);
    m_recorder = new SampleRecorder({m_state, *m_record, *m_monitor, *m_statistics, *m_alarm, values,
                                     *m_windows, clock, m_relays->graph, m_relays->power},
                                    this);
    m_decoder = new FrameDecoder(serial, *m_recorder, this);
    m_reset = new RecordReset({*m_record, *m_monitor, m_state, *m_statistics, m_alarmSetup, values,
                               m_relays->graph, m_relays->power},
                              this);
    // The scan ends when Stop or Pause is given meanwhile; the recording control that owns that
    // state is made just below.
    m_link =
        new LinkProber({serial, clock, prompts, m_state, values,
                        [this] { return m_recording->status().stopped() || m_recording->status().paused(); }},
                       this);
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
    m_powerCost = new PowerCostMonitor(this);
    m_powerHooks = std::make_unique<PowerCostHooks>(
        PowerCostHooks::Collaborators{*m_powerCost, m_state, *m_monitor, values, *m_windows, clock});
    setPowerHooks(m_powerHooks.get());

    connect(m_monitor, &MonitorFields::entrySelected, m_selector, &ChannelSelector::select);
    connect(m_recorder, &SampleRecorder::restartNeeded, m_recording, &RecordingControl::restartRecord);
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
void Session::setAlarmSound(AlarmSound *sound)
{
    m_relays->sound.to = sound;
}

void Session::startUp()
{
    m_settings->loadOptions();
    m_state.resetPending = 5;
    // Start-up loads the Setup dialog hidden: the setup keys are read and, with no recording
    // running, the alarm is left switched off.
    m_recording->reloadSetup();
    m_record->clearRecord(settings().channelNames());
    m_monitor->reset();
    m_alarm->alm(); // shows the limits and notifies the monitor
}
