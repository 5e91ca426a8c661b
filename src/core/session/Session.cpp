#include "core/session/Session.h"

#include "core/commands/CommandState.h"
#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/common/Prompts.h"
#include "core/link/FrameDecoder.h"
#include "core/link/LinkProber.h"
#include "core/link/SerialControl.h"
#include "core/monitor/Alarm.h"
#include "core/monitor/AlarmSound.h"
#include "core/monitor/ChannelSelector.h"
#include "core/monitor/MonitorFields.h"
#include "core/monitor/Statistics.h"
#include "core/recording/CsvExport.h"
#include "core/recording/RecordStore.h"
#include "core/recording/RecordingControl.h"
#include "core/session/WindowHooks.h"
#include "core/settings/SettingsStore.h"

#include <QDir>

namespace
{

// Until the workbook writer exists, saves keep the record as CSV in the records folder, so
// a split, a function change or a Yes to the save question never loses data.
class CsvAutoSaver final : public RecordSaver
{
public:
    explicit CsvAutoSaver(Session &session) : m_session(session) {}
    void autoSave() override
    {
        const QString name = RecordStore::fileNameForStamp(m_session.record().stamp());
        if (!name.isEmpty()) CsvExport::write(m_session.record(), savedPathFor(name));
    }
    // Answering Yes to the save question must not lose the record: it is kept as CSV.
    void saveDataCommand() override
    {
        autoSave();
        const QString path = savedPathFor(RecordStore::fileNameForStamp(m_session.record().stamp()));
        m_session.prompts().message(QStringLiteral("The record was saved as ") +
                                        QDir::toNativeSeparators(path) + QStringLiteral(". ") +
                                        notAvailableYetText(QStringLiteral("Saving workbooks")),
                                    applicationTitle(), Prompts::Buttons::Ok, Prompts::Icon::Information);
    }
    QString savedPathFor(const QString &recordFileName) const override
    {
        QString csvName = recordFileName;
        csvName.replace(QStringLiteral(".xlsx"), QStringLiteral(".csv"));
        return QDir(AppPaths::recordsFolder()).filePath(csvName);
    }

private:
    Session &m_session;
};

class SilentAlarm final : public AlarmSound
{
public:
    void play() override {}
};

} // namespace

Session::Session(SerialControl &serial, Clock &clock, Prompts &prompts, SettingsStore &store, QObject *parent)
    : QObject(parent), m_serial(serial), m_clock(clock), m_prompts(prompts), m_store(store),
      m_record(new RecordStore(this)), m_monitor(new MonitorFields(this)), m_commands(new CommandState(this)),
      m_defaultGraph(std::make_unique<GraphHooks>()), m_defaultPower(std::make_unique<PowerHooks>()),
      m_defaultSaver(std::make_unique<CsvAutoSaver>(*this)), m_defaultSound(std::make_unique<SilentAlarm>()),
      m_graph(m_defaultGraph.get()), m_power(m_defaultPower.get()), m_saver(m_defaultSaver.get()),
      m_sound(m_defaultSound.get())
{
    m_statistics = std::make_unique<Statistics>(*this);
    m_alarm = std::make_unique<Alarm>(*this);
    m_selector = std::make_unique<ChannelSelector>(*this);
    m_decoder = std::make_unique<FrameDecoder>(*this);
    m_link = std::make_unique<LinkProber>(*this);
    m_recording = std::make_unique<RecordingControl>(*this);
    m_commandProcs = std::make_unique<Commands>(*this);

    connect(&m_serial, &SerialControl::onComm, m_decoder.get(), &FrameDecoder::onComm);
    connect(m_monitor, &MonitorFields::entrySelected, m_selector.get(), &ChannelSelector::select);
}

Session::~Session() = default;

void Session::setGraphHooks(GraphHooks *hooks)
{
    m_graph = hooks ? hooks : m_defaultGraph.get();
}
void Session::setPowerHooks(PowerHooks *hooks)
{
    m_power = hooks ? hooks : m_defaultPower.get();
}
void Session::setRecordSaver(RecordSaver *saver)
{
    m_saver = saver ? saver : m_defaultSaver.get();
}
void Session::setAlarmSound(AlarmSound *sound)
{
    m_sound = sound ? sound : m_defaultSound.get();
}

void Session::startUp()
{
    m_settings.loadOptions(m_store);
    m_state.resetPending = 5;
    // Start-up loads the Setup dialog hidden: the setup keys are read and, with no recording
    // running, the alarm is left switched off.
    m_recording->reloadSetup();
    m_record->clearRecord(channelNames());
    m_monitor->reset();
    m_alarm->alm(); // shows the limits and notifies the monitor
}

std::array<QString, 6> Session::channelNames() const
{
    std::array<QString, 6> names;
    for (int c = 0; c < ChannelCount; ++c)
        names[c] = m_settings.channelName(c);
    return names;
}
